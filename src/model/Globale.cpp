#include "model/Globale.h"

bool StartAbgeschlossen = false;
bool SatzwechselAktiv = true;
qint16 Portnummer = 1;
