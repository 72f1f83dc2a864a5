// The commands of the main window that go to the controller.
#include "app/PCSteuerung.h"

void PCSteuerung::VerbindenBefehle() {}
