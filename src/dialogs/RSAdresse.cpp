#include "dialogs/RSAdresse.h"

#include "dialogs/Dialogumgebung.h"
#include "files/Kleindateien.h"
#include "gestaltung/Bilder.h"
#include "gestaltung/Dialoggestaltung.h"
#include "link/SerielleSchnittstelle.h"
#include "ramp/Zahlentest.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>

using namespace Dialoggestaltung;

namespace {
constexpr int GrundhoeheGeraet = 100; // room for the device lines when they are few
} // namespace

RSAdresse::RSAdresse(Dialogumgebung &umgebung)
    : QWidget(nullptr, Qt::Dialog), m_umgebung(umgebung),
      m_vorherigePortnummer(umgebung.serielleSchnittstelle()->portnummer()) {
    setObjectName(QStringLiteral("RSAdresse"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Fenstertitel(28, QStringLiteral("Porteinstellung")));
    // Below the controls of the window a few lines tell which device a number stands for.
    FensterAnlegen(this, TwipsGroesse(4470, 1710) + QSize(0, GrundhoeheGeraet + 4));

    LabelPortnummer = Beschriftung(this, "LabelPortnummer", QStringLiteral("Portnummer:"),
                                   Twips(180, 315, 1680, 330));
    TextPortnummer = Eingabefeld(this, "TextPortnummer", Twips(1980, 270, 510, 420), Qt::AlignLeft);
    CommandÜbernehmen =
        Knopf(this, "CommandÜbernehmen", QStringLiteral("Übernehmen"), Twips(135, 1125, 1860, 420));
    CommandÜbernehmen->setDefault(true);
    CommandAbbrechen =
        Knopf(this, "CommandAbbrechen", QStringLiteral("Abbrechen"), Twips(2430, 1125, 1860, 420));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(Twips(3015, 135, 1050, 780));
    Picture1->setPixmap(Steckerbild(Picture1->size()));

    LabelGeraet = new QLabel(this);
    LabelGeraet->setObjectName(QStringLiteral("LabelGeraet"));
    LabelGeraet->setGeometry(9, 1710 / 15 + 2, 4470 / 15 - 18, GrundhoeheGeraet);
    LabelGeraet->setWordWrap(true);
    LabelGeraet->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelGeraet->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128); font-size: 8pt"));

    connect(CommandÜbernehmen, &QPushButton::clicked, this, &RSAdresse::CommandÜbernehmen_Click);
    connect(CommandAbbrechen, &QPushButton::clicked, this, &RSAdresse::CommandAbbrechen_Click);
    connect(TextPortnummer, &QLineEdit::textChanged, this, &RSAdresse::GeraetAnzeigen);

    PortDateiLaden();
    GeraetAnzeigen();
    Zentrieren(this);
}

void RSAdresse::setGrund(const QString &grund) {
    m_grund = grund;
    GeraetAnzeigen();
}

void RSAdresse::PortDateiLaden() {
    TextPortnummer->setText(Dateizugriff::PortfeldAusDatei(Dateizugriff::PortDateipfad()));
}

bool RSAdresse::PortDateiSchreiben() {
    QString fehler;
    if (Dateizugriff::PortDateiSpeichern(Dateizugriff::PortDateipfad(), TextPortnummer->text(),
                                         &fehler))
        return true;
    m_umgebung.Meldung(QStringLiteral("Die Schnittstelle wird benutzt, aber sie konnte nicht für "
                                      "den nächsten Start gespeichert werden.\n%1")
                           .arg(fehler),
                       QStringLiteral("Zelkor_V2"));
    return false;
}

void RSAdresse::GeraetAnzeigen() {
    QStringList zeilen;
    const Ganzzahl n = GanzzahlAusText(TextPortnummer->text());
    if (n.ok() && SerielleSchnittstelle::GueltigePortnummer(n.wert))
        zeilen << QStringLiteral("COM%1 ist %2")
                      .arg(n.wert)
                      .arg(SerielleSchnittstelle::GeraetFuerPort(n.wert));
    else
        zeilen << QStringLiteral("Bitte eine Portnummer ab 1 eingeben.");
    QStringList vorhanden = SerielleSchnittstelle::Portlinks();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        vorhanden << info.systemLocation();
    zeilen << (vorhanden.isEmpty()
                   ? QStringLiteral("Keine seriellen Geräte gefunden.")
                   : QStringLiteral("Vorhanden: ") + vorhanden.join(QStringLiteral(", ")));
    if (!m_grund.isEmpty())
        zeilen.prepend(m_grund);
    LabelGeraet->setText(zeilen.join(QLatin1Char('\n')));
    // A long list of devices or a long reason makes the window taller rather than being cut.
    LabelGeraet->ensurePolished(); // its style sheet sets the font the lines are measured in
    const int hoehe = qMax(GrundhoeheGeraet, LabelGeraet->heightForWidth(LabelGeraet->width()) + 4);
    LabelGeraet->resize(LabelGeraet->width(), hoehe);
    setFixedHeight(LabelGeraet->y() + hoehe + 2);
}

void RSAdresse::CommandÜbernehmen_Click() {
    SerielleSchnittstelle &port = *m_umgebung.serielleSchnittstelle();
    if (port.beschaeftigt())
        return;
    if (port.istOffen())
        port.schliessen();
    // The dialog itself reports a failure: it stays open with the typed text, the reason shows
    // below the buttons, the main window stays disabled and no file is written.
    const std::optional<qint16> n = Dateizugriff::PortnummerAusText(TextPortnummer->text());
    if (!n || !port.setPortnummer(*n)) {
        m_grund = QStringLiteral("„%1“ ist keine gültige Portnummer.").arg(TextPortnummer->text());
        GeraetAnzeigen();
        return;
    }
    port.setEinstellungen(QStringLiteral("19200,N,8,1"));
    port.setEmpfangslaenge(0);
    if (!port.oeffnen(false)) {
        m_grund = port.letzterFehler();
        GeraetAnzeigen();
        return;
    }
    port.schliessen();
    m_grund.clear();
    m_uebernommen = true;
    m_umgebung.DialogGeschlossen();
    PortDateiSchreiben();
    close();
}

void RSAdresse::CommandAbbrechen_Click() {
    close();
}

void RSAdresse::closeEvent(QCloseEvent *event) {
    if (!m_uebernommen) {
        // A port that failed the probe is not kept: later commands use the one that worked.
        m_umgebung.serielleSchnittstelle()->setPortnummer(m_vorherigePortnummer);
        m_umgebung.DialogGeschlossen();
    }
    event->accept();
}
