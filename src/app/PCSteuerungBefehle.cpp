// The commands of the main window that go to the controller: program transfer, program start
// and block start.
#include "app/PCSteuerung.h"

#include "link/Protokoll.h"
#include "link/SerielleSchnittstelle.h"
#include "link/Uebertragungspruefung.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>

namespace {

const QString UebertragungTitel = QStringLiteral("Übertragung abgebrochen !");

// Re-enables a button however the command ends.
struct Wiederfreigabe {
    QPushButton *knopf;
    ~Wiederfreigabe() { knopf->setEnabled(true); }
};

} // namespace

void PCSteuerung::VerbindenBefehle() {
    connect(CommandProgrammieren, &QPushButton::clicked, this, &PCSteuerung::ProgrammUebertragen);
    connect(CommandProgrammstart, &QPushButton::clicked, this, &PCSteuerung::ProgrammstartSenden);
    connect(CommandSatzstart, &QPushButton::clicked, this, &PCSteuerung::SatzstartSenden);
}

int PCSteuerung::SaetzeZaehlen() {
    SatzwechselAktiv = false;
    setAktuelleZeile(0);
    int n = 0;
    while (!aktuellerZellText().isEmpty() && n < m_namesData->tabellenzeilen()) {
        ++n;
        setAktuelleZeile(n);
    }
    SatzwechselAktiv = true;
    return n;
}

void PCSteuerung::ProgrammUebertragen() {
    CommandProgrammieren->setEnabled(false);
    Wiederfreigabe freigabe{CommandProgrammieren};
    if (MSComm1->beschaeftigt()) {
        Meldung(QStringLiteral("Es wird gerade ein anderer Befehl gesendet. Bitte die "
                               "Übertragung danach noch einmal starten."),
                UebertragungTitel);
        return;
    }

    // A block the walk over the rows could not store (its message is the report) would go
    // out with its old values: the transfer then ends with nothing sent.
    const int satzfehlerVorher = m_satzfehler;
    const auto satzNichtGespeichert = [&] { return m_satzfehler != satzfehlerVorher; };

    // Count the filled rows, starting from block 1 with the panel stored.
    setAktuelleZeile(0);
    if (satzNichtGespeichert())
        return;
    ProgrammSettings.setAktuellerSatz(0);
    const int n = SaetzeZaehlen();
    ProgrammSettings.setAnzahlSätze(qint16(n));
    setAktuelleZeile(0);

    const Programmpruefung kopf = PruefeProgramm(
        n, TextProgrammdurchläufe->text(), TextProgrammpause->text(), TextBefehlspause->text());
    if (!kopf.meldung.isEmpty()) {
        Meldung(kopf.meldung, UebertragungTitel);
        return;
    }

    std::vector<Satzwerte> saetze;
    for (int i = 1; i <= n; ++i) {
        setAktuelleZeile(i - 1);
        if (satzNichtGespeichert())
            return;
        const Satzpruefung p = PruefeSatz(i, aktuellerZellText(), TextStartfrequenz->text(),
                                          TextMaximalfrequenz->text(), TextSatzdurchläufe->text(),
                                          TextSatzpause->text());
        Satz &satz = SatzListe[size_t(i - 1)];
        if (p.startfrequenz)
            satz.setStartfrequenz(*p.startfrequenz);
        if (p.maximalfrequenz)
            satz.setMaximalfrequenz(*p.maximalfrequenz);
        if (p.satzdurchlaeufe)
            satz.setSatzdurchläufe(*p.satzdurchlaeufe);
        if (p.satzpause)
            satz.setSatzpause(*p.satzpause);
        if (!p.meldung.isEmpty()) {
            Meldung(p.meldung, UebertragungTitel);
            return;
        }
        Satzwerte w;
        w.schritte = p.schritte;
        saetze.push_back(w);
    }
    // The last block's options reach its record as they would on leaving its row.
    if (n > 0 && !SatzÜbernehmen())
        return;
    for (int i = 1; i <= n; ++i) {
        const Satz &satz = SatzListe[size_t(i - 1)];
        if (satz.Rampe() < 1 || satz.Rampe() > 4) {
            Meldung(QStringLiteral("Rampe in Satz %1 ist ungültig !").arg(i), UebertragungTitel);
            return;
        }
        Satzwerte &w = saetze[size_t(i - 1)];
        w.startfrequenz = satz.Startfrequenz();
        w.maximalfrequenz = satz.Maximalfrequenz();
        w.durchlaeufe = satz.Satzdurchläufe().alsZahl().value_or(-1);
        w.pause = satz.Satzpause();
        w.richtung = satz.Richtung().gleich(1) ? 1 : 0;
        w.richtungsumkehr = satz.Richtungsumkehr();
        w.rampe = satz.Rampe();
    }
    const std::optional<Befehl> befehl = Programmuebertragung(
        {kopf.programmdurchlaeufe, kopf.programmpause, kopf.befehlspause}, saetze);
    if (!befehl) {
        Meldung(QStringLiteral("Das Programm lässt sich nicht übertragen."), UebertragungTitel);
        return;
    }

    // While the bytes go out the window shows the block being sent; editing waits until the
    // transfer is over, so what is sent is what was checked.
    FrameSatzparameter->setEnabled(false);
    Frame1->setEnabled(false);
    dbgridschritte->setEnabled(false);
    Senden(*befehl, [this](int nummer) { SatzZeigenOhneSpeichern(nummer - 1); });
    FrameSatzparameter->setEnabled(true);
    Frame1->setEnabled(true);
    dbgridschritte->setEnabled(true);
}

void PCSteuerung::SatzZeigenOhneSpeichern(int zeile) {
    const bool vorher = SatzwechselAktiv;
    SatzwechselAktiv = false;
    setAktuelleZeile(zeile);
    SatzwechselAktiv = vorher;
    ProgrammSettings.setAktuellerSatz(qint16(zeile));
    CommandSatzstart->setText(QStringLiteral("Satz Nr. %1 starten").arg(zeile + 1));
    SatzAnzeigen();
}

void PCSteuerung::ProgrammstartSenden() {
    // A start requested while another command is under way is ignored.
    Senden(Programmstart());
}

void PCSteuerung::SatzstartSenden() {
    CommandSatzstart->setEnabled(false);
    Wiederfreigabe freigabe{CommandSatzstart};
    if (const std::optional<Befehl> befehl = Satzstart(ProgrammSettings.aktuellerSatz() + 1))
        Senden(*befehl);
}

bool PCSteuerung::Senden(const Befehl &befehl, const std::function<void(int)> &beiMarke) {
    // A command started while another one sends is refused; the menus stay as the first has them.
    if (MSComm1->beschaeftigt())
        return false;
    MenuesFreigeben(false);
    const bool ok = MSComm1->Sendevorgang(befehl, beiMarke);
    MenuesFreigeben(true);
    return ok;
}

void PCSteuerung::MenuesFreigeben(bool frei) {
    m_menuesFrei = frei;
    // The entries themselves too, so that their keys do nothing meanwhile either.
    for (QAction *aktion : menuBar()->actions()) {
        aktion->setEnabled(frei);
        if (QMenu *menue = aktion->menu()) {
            for (QAction *eintrag : menue->actions())
                eintrag->setEnabled(frei);
        }
    }
    ZuletztGeoeffnet->menuAction()->setEnabled(frei && !m_zuletzt.isEmpty());
}
