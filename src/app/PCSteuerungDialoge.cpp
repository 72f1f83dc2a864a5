// The dialogs for direct control of the controller, opened from the menu.
#include "app/PCSteuerung.h"

void PCSteuerung::VerbindenDialoge() {}
