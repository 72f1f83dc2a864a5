// The dialogs for direct control of the controller, opened from the menu; the traffic window
// beside the main window and the status line that confirms each command.
#include "app/PCSteuerung.h"

#include "dialogs/FormDatenverkehr.h"
#include "dialogs/FormReferenzfahrt.h"
#include "dialogs/ManuelleFahrt.h"
#include "dialogs/ZelkorEinstellungen.h"

#include "link/Verkehrsaufzeichnung.h"

#include <QAction>
#include <QLabel>

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

void PCSteuerung::VerbindenVerkehr() {
    // Every command, the dialogs' included, is confirmed below the work area.
    connect(m_aufzeichnung, &Verkehrsaufzeichnung::befehlErledigt, this,
            [this](const Befehlsergebnis &ergebnis) {
                if (const QString text = Statustext(ergebnis); !text.isEmpty())
                    LabelStatus->setText(text);
            });
    connect(Datenverkehr, &QAction::triggered, this, &PCSteuerung::DatenverkehrZeigen);
}

void PCSteuerung::DatenverkehrZeigen() {
    // Beside the window, not in front of it like a dialog: the window stays usable.
    if (!m_datenverkehrFenster)
        m_datenverkehrFenster = std::make_unique<FormDatenverkehr>(*m_aufzeichnung, *this);
    m_datenverkehrFenster->show();
    m_datenverkehrFenster->raise();
    m_datenverkehrFenster->activateWindow();
}
