#include "dialogs/ManuelleFahrt.h"

#include "dialogs/Handbefehle.h"
#include "files/Kleindateien.h"
#include "gestaltung/Dialoggestaltung.h"
#include "link/MsTimer.h"
#include "link/Protokoll.h"
#include "link/SerielleSchnittstelle.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

using namespace Dialoggestaltung;

namespace {

const QString Titel = QStringLiteral("Zelkor_V2");

// The wait for the answer looks at the port this often (seconds).
constexpr double Abfragetakt = 0.002;

} // namespace

ManuelleFahrt::ManuelleFahrt(Dialogumgebung &umgebung) : Handdialog(umgebung) {
    setObjectName(QStringLiteral("ManuelleFahrt"));
    setWindowTitle(Fenstertitel(82, QStringLiteral("Manuelle Fahrt")));
    FensterAnlegen(this, TwipsGroesse(7680, 4245));
    Aufbauen();
    Zentrieren(this);
}

ManuelleFahrt::~ManuelleFahrt() {
    // Only when the main window goes away with the dialog still open: leave manual mode
    // without waiting, as far as the port allows.
    SerielleSchnittstelle *p = portFallsVorhanden();
    if (istBeendet() || !p || !p->istOffen() || p->beschaeftigt())
        return;
    if (m_zustand == Zustand::Einzelschritt || m_zustand == Zustand::WartetAufZeichen)
        p->SendeByte(Befehlsbyte::Stopp);
    p->SendeByte(Befehlsbyte::ManuellAus);
    p->schliessen();
}

void ManuelleFahrt::Aufbauen() {
    const auto rechts = Qt::AlignRight | Qt::AlignTop;
    const auto links = Qt::AlignLeft | Qt::AlignTop;
    LabelEinzelschritt = Beschriftung(this, "LabelEinzelschritt", QStringLiteral("Einzelschritt"),
                                      Twips(2790, 90, 1680, 330), links, true);
    Label2Hz = Beschriftung(this, "Label2Hz", QStringLiteral("5 mal 2 Hz, dann 30 Hz"),
                            Twips(630, 630, 2580, 330));
    CommandLinksEinzel =
        Knopf(this, "CommandLinksEinzel", QStringLiteral("<"), Twips(3465, 585, 1860, 420));
    CommandRechtsEinzel =
        Knopf(this, "CommandRechtsEinzel", QStringLiteral(">"), Twips(5580, 585, 1860, 420));
    LabelEilgang = Beschriftung(this, "LabelEilgang", QStringLiteral("Eilgang"),
                                Twips(2790, 1260, 1680, 330), links, true);
    LabelFrequenz = Beschriftung(this, "LabelFrequenz", QStringLiteral("Frequenz:"),
                                 Twips(90, 1800, 1410, 330), rechts);
    TextFrequenz = Eingabefeld(this, "TextFrequenz", Twips(1620, 1755, 1185, 420));
    LabelEinheitFrequenz = Beschriftung(this, "LabelEinheitFrequenz", QStringLiteral("Hz"),
                                        Twips(2880, 1800, 465, 330));
    LabelSchritte = Beschriftung(this, "LabelSchritte", QStringLiteral("Schritte:"),
                                 Twips(90, 2340, 1410, 330), rechts);
    TextSchritte = Eingabefeld(this, "TextSchritte", Twips(1620, 2295, 1185, 420));
    CommandEilLinks =
        Knopf(this, "CommandEilLinks", QStringLiteral("<<"), Twips(3465, 2025, 1860, 420));
    CommandEilRechts =
        Knopf(this, "CommandEilRechts", QStringLiteral(">>"), Twips(5535, 2025, 1860, 420));
    Label1 = Beschriftung(this, "Label1", QStringLiteral("Beenden"), Twips(630, 3240, 2580, 330));
    CommandZurück =
        Knopf(this, "CommandZurück", QStringLiteral("Zurück"), Twips(3465, 3150, 3930, 420));

    TextFrequenz->setText(QStringLiteral("1000"));
    TextSchritte->setText(QStringLiteral("1000"));

    setTabOrder(CommandLinksEinzel, CommandRechtsEinzel);
    setTabOrder(CommandRechtsEinzel, CommandZurück);
    setTabOrder(CommandZurück, CommandEilRechts);
    setTabOrder(CommandEilRechts, CommandEilLinks);
    setTabOrder(CommandEilLinks, TextFrequenz);
    setTabOrder(TextFrequenz, TextSchritte);
    CommandLinksEinzel->setFocus();

    // Single steps answer to the mouse only; the buttons have no click action.
    BewegungsknopfAnmelden(CommandLinksEinzel);
    BewegungsknopfAnmelden(CommandRechtsEinzel);
    connect(CommandEilLinks, &QPushButton::clicked, this, [this] {
        Rahmen rahmen(*this);
        Eilgangfahren(false);
    });
    connect(CommandEilRechts, &QPushButton::clicked, this, [this] {
        Rahmen rahmen(*this);
        Eilgangfahren(true);
    });
    connect(CommandZurück, &QPushButton::clicked, this, [this] {
        Rahmen rahmen(*this);
        VerlassenAnfordern();
    });
}

// ---- File

void ManuelleFahrt::ManuellDateiLaden() {
    if (QFile::exists(Dateizugriff::ManuellDateipfad())) {
        ManuellDateiLesen();
    } else {
        TextFrequenz->setText(QStringLiteral("1000"));
        TextSchritte->setText(QStringLiteral("1000"));
    }
}

void ManuelleFahrt::ManuellDateiLesen() {
    const Dateizugriff::ManuellWerte werte =
        Dateizugriff::ManuellWerteAusDatei(Dateizugriff::ManuellDateipfad());
    TextFrequenz->setText(werte.frequenz);
    TextSchritte->setText(werte.schritte);
}

bool ManuelleFahrt::ManuellDateiSchreiben(QString *fehler) {
    Dateizugriff::ManuellWerte werte;
    werte.frequenz = TextFrequenz->text();
    werte.schritte = TextSchritte->text();
    return Dateizugriff::ManuellDateiSpeichern(Dateizugriff::ManuellDateipfad(), werte, fehler);
}

// ---- Loading and leaving

void ManuelleFahrt::Laden() {
    ManuellDateiLaden();
    // A port that does not open is reported once by the link; the dialog then sends nothing.
    if (port().oeffnen(true))
        port().Abspielen(ManuellEin());
}

void ManuelleFahrt::VerlassenAnfordern() {
    if (istBeendet())
        return;
    if (m_verlassen) {
        // Asked again while a command still runs: cut a wait for the answer short.
        m_warteAbbrechen = true;
        MsTimer::Aufwecken();
        return;
    }
    m_verlassen = true;
    switch (m_zustand) {
    case Zustand::Einzelschritt:
        // Leaving with a single-step button held stops the motor as its release would.
        m_halt = {};
        EinzelschrittBeenden(true);
        break;
    case Zustand::WartetAufZeichen:
        m_warteAbbrechen = true;
        MsTimer::Aufwecken();
        break;
    case Zustand::Eilgang: // a few milliseconds more, then Ruhelage leaves
    case Zustand::Bereit:
        break;
    }
}

void ManuelleFahrt::Ruhelage() {
    if (m_verlassen && m_zustand == Zustand::Bereit)
        Abschliessen();
}

void ManuelleFahrt::Abschliessen() {
    QString dateifehler;
    const bool gespeichert = ManuellDateiSchreiben(&dateifehler);
    if (port().istOffen()) {
        port().Abspielen(ManuellAus());
        port().schliessen();
    }
    Beenden();
    umgebung().DialogGeschlossen();
    if (!gespeichert)
        umgebung().Meldung(QStringLiteral("Frequenz und Schritte konnten nicht für den nächsten "
                                          "Aufruf gespeichert werden.\n%1")
                               .arg(dateifehler),
                           Titel);
}

// ---- Rapid travel

void ManuelleFahrt::Eilgangfahren(bool rechts) {
    if (m_verlassen || m_zustand != Zustand::Bereit)
        return;
    const Handpruefung pruefung =
        EilgangPruefen(rechts ? Fahrtrichtung::Rechts : Fahrtrichtung::Links, TextFrequenz->text(),
                       TextSchritte->text());
    if (!pruefung.ok()) {
        umgebung().Meldung(pruefung.meldung, Titel);
        return;
    }
    if (!port().istOffen())
        return;
    m_zustand = Zustand::Eilgang;
    port().setBewegungBis(SerielleSchnittstelle::BisZumStopp);
    const bool gesendet = port().Abspielen(*pruefung.befehl);
    port().setBewegungBis(gesendet ? MsTimer::Uhr() + pruefung.fahrzeit : 0);
    m_zustand = Zustand::Bereit;
}

// ---- Single steps

void ManuelleFahrt::Gedrueckt(QPushButton *knopf, const QMouseEvent &ereignis) {
    if (m_halt.knopf) {
        // A further mouse button on the held button belongs to the same hold.
        if (ereignis.buttons() & ~ereignis.button())
            return;
        // Only this button is down, so the release of the earlier press never came.
        HaltAufgeben();
    }
    m_halt = {knopf, false, false};
    // Only the left mouse button starts a step; another one sends nothing, nor does its release.
    if (m_verlassen || m_zustand != Zustand::Bereit || !port().istOffen() ||
        ereignis.button() != Qt::LeftButton)
        return;
    m_halt.stoppNoetig = true;
    VeralteteZeichenVerwerfen();
    const Fahrtrichtung richtung =
        knopf == CommandRechtsEinzel ? Fahrtrichtung::Rechts : Fahrtrichtung::Links;
    port().setBewegungBis(SerielleSchnittstelle::BisZumStopp);
    if (port().Abspielen(Einzelschritt(richtung))) {
        m_halt.gestartet = true;
        m_zustand = Zustand::Einzelschritt;
    } else {
        port().setBewegungBis(0);
    }
}

void ManuelleFahrt::Losgelassen(QPushButton *knopf, const QMouseEvent &) {
    if (m_halt.knopf != knopf)
        return;
    const Halt halt = m_halt;
    m_halt = {};
    if (!halt.stoppNoetig)
        return;
    if (halt.gestartet) {
        if (m_zustand == Zustand::Einzelschritt)
            EinzelschrittBeenden(true);
        return;
    }
    // The start byte did not go out: the release still ends as every release does, unless
    // another command has begun meanwhile.
    if (m_zustand == Zustand::Bereit && !m_verlassen)
        EinzelschrittBeenden(false);
}

void ManuelleFahrt::HaltVerloren(QPushButton *knopf) {
    if (!m_halt.knopf || (knopf && knopf != m_halt.knopf))
        return;
    HaltAufgeben();
}

void ManuelleFahrt::HaltAufgeben() {
    const Halt halt = m_halt;
    m_halt = {};
    if (halt.gestartet && m_zustand == Zustand::Einzelschritt)
        EinzelschrittBeenden(true);
}

void ManuelleFahrt::EinzelschrittBeenden(bool gestartet) {
    m_zustand = Zustand::WartetAufZeichen;
    m_warteAbbrechen = false;
    const Antwort antwort = AufZeichenWarten();
    if (port().istOffen() && port().Abspielen(EinzelschrittStopp()))
        port().setBewegungBis(0);
    m_zustand = Zustand::Bereit;
    if (antwort == Antwort::Frist && gestartet && !m_verlassen && port().istOffen())
        umgebung().Meldung(Handmeldung::KeineAntwort, Titel);
}

ManuelleFahrt::Antwort ManuelleFahrt::AufZeichenWarten() {
    const double frist = MsTimer::Uhr() + Antwortfrist;
    const auto abbrechen = [this] { return m_warteAbbrechen || !port().istOffen(); };
    for (;;) {
        if (!port().istOffen())
            return Antwort::PortZu;
        if (m_warteAbbrechen)
            return Antwort::Abgebrochen;
        // What arrived is only the sign that the controller is ready; its value is not used.
        if (!port().LeseZeichen().isEmpty())
            return Antwort::Zeichen;
        const double jetzt = MsTimer::Uhr();
        if (jetzt >= frist)
            return Antwort::Frist;
        MsTimer::WartenBis(std::min(frist, jetzt + Abfragetakt), abbrechen);
    }
}

void ManuelleFahrt::VeralteteZeichenVerwerfen() {
    // A character left over from an earlier step must not end the wait of this one.
    for (int i = 0; i < 4096 && !port().LeseZeichen().isEmpty(); ++i) {
    }
}
