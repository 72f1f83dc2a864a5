#pragma once

#include <QStringList>

// zelkorctl's command line: parses the arguments (the program name first), runs the command
// and returns the exit status. Output goes to standard output, messages to standard error.
//
//   0  done
//   1  a refused program or input (the message names the file and the block)
//   2  a port that cannot be used (nothing was sent)
//   3  a command cut short by a port failure or a signal (the message says how many bytes
//      went out)
int ZelkorctlAusfuehren(const QStringList &argumente);
