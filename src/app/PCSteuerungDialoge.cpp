// The dialogs for direct control of the controller, opened from the menu.
#include "app/PCSteuerung.h"

#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "dialogs/ZelkorEinstellungen.h"

#include <QAction>

void PCSteuerung::VerbindenDialoge() {
    // One dialog at a time: the window is disabled while one is open, and a command that
    // reaches the menu anyway does nothing.
    connect(Parameter, &QAction::triggered, this, [this] {
        if (!offenerDialog())
            DialogZeigen(new ZelkorEinstellungen(*this), false);
    });
    connect(Manuell, &QAction::triggered, this, [this] {
        if (!offenerDialog())
            DialogZeigen(new ManuelleFahrt(*this), false);
    });
    connect(Referenzfahrt, &QAction::triggered, this, [this] {
        if (!offenerDialog())
            DialogZeigen(new FormReferenzfahrt(*this), true);
    });
}
