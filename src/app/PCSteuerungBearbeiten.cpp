// Editing in the main window: the grid's events, the field checks and the travel times.
#include "app/PCSteuerung.h"

#include "model/NamesData.h"
#include "ramp/Rampe.h"

#include <QLabel>
#include <QLineEdit>

void PCSteuerung::VerbindenBearbeiten() {}

void PCSteuerung::GridModellVerbinden() {}

void PCSteuerung::BerechneRampe() {
    const RampenErgebnis ergebnis = ZeitenBeiFehlerVerbergen(
        ::BerechneRampe(TextStartfrequenz->text(), TextMaximalfrequenz->text(), aktuellerZellText(),
                        gewaehlteRampe()));
    for (const auto &[name, aenderung] : LabelAenderungen(ergebnis)) {
        auto *label = findChild<QLabel *>(name);
        if (!label)
            continue;
        if (aenderung.text)
            label->setText(*aenderung.text);
        if (aenderung.sichtbar)
            label->setVisible(*aenderung.sichtbar);
    }
}
