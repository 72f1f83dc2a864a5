#include "dialogs/ZelkorEinstellungen.h"

#include "dialogs/Dialogumgebung.h"
#include "dialogs/Handbefehle.h"
#include "files/Kleindateien.h"
#include "gestaltung/Dialoggestaltung.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Einstellwerte.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace Dialoggestaltung;

namespace {

QComboBox *liste(QWidget *eltern, const char *name, const QStringList &eintraege, QRect ort) {
    auto *c = new QComboBox(eltern);
    c->setObjectName(QString::fromUtf8(name));
    c->setEditable(false);
    c->addItems(eintraege);
    c->setGeometry(ort);
    c->setFont(ArialFett(12));
    DunkelblauSchreiben(c);
    return c;
}

QRadioButton *option(QWidget *eltern, const char *name, QRect ort) {
    auto *o = new QRadioButton(eltern);
    o->setObjectName(QString::fromUtf8(name));
    o->setGeometry(ort);
    return o;
}

void waehle(QComboBox *c, const QString &text) {
    const int stelle = c->findText(text, Qt::MatchExactly);
    c->setCurrentIndex(stelle >= 0 ? stelle : 0);
}

} // namespace

ZelkorEinstellungen::ZelkorEinstellungen(Dialogumgebung &umgebung)
    : QWidget(nullptr, Qt::Dialog), m_umgebung(umgebung) {
    setObjectName(QStringLiteral("ZelkorEinstellungen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Fenstertitel(89, QStringLiteral("Zelkor-Modus")));
    FensterAnlegen(this, TwipsGroesse(8010, 2625));
    Aufbauen();
    ZelkorDateiLaden();
    Zentrieren(this);
}

void ZelkorEinstellungen::Aufbauen() {
    CommandAbbrechen =
        Knopf(this, "CommandAbbrechen", QStringLiteral("Abbrechen"), Twips(5130, 315, 2625, 420));
    LabelSchrittmode = Beschriftung(this, "LabelSchrittmode", QStringLiteral("Schrittmodus:"),
                                    Twips(720, 360, 1680, 330));
    ComboSchrittmodus =
        liste(this, "ComboSchrittmodus", Schrittmodi(), Twips(2430, 315, 2265, 405));
    LabelStromeinstellung = Beschriftung(
        this, "LabelStromeinstellung", QStringLiteral("Phasenstrom:"), Twips(720, 900, 1680, 330));
    ComboPhasenstrom = liste(this, "ComboPhasenstrom", Phasenströme(), Twips(2430, 855, 2265, 405));

    FrameStromabsenkung = new QFrame(this);
    FrameStromabsenkung->setObjectName(QStringLiteral("FrameStromabsenkung"));
    FrameStromabsenkung->setFrameShape(QFrame::NoFrame);
    FrameStromabsenkung->setGeometry(Twips(225, 1395, 4065, 1095));
    LabelStromabsenkung =
        Beschriftung(FrameStromabsenkung, "LabelStromabsenkung", QStringLiteral("Stromabsenkung:"),
                     Twips(45, 405, 2085, 330));
    // Only the round mark; the labels beside them carry the meaning and take no clicks.
    OptionAbsenkungEin =
        option(FrameStromabsenkung, "OptionAbsenkungEin", Twips(2565, 270, 240, 195));
    OptionAbsenkungAus =
        option(FrameStromabsenkung, "OptionAbsenkungAus", Twips(2565, 630, 240, 195));
    LabelAbsemkungEin = Beschriftung(FrameStromabsenkung, "LabelAbsemkungEin",
                                     QStringLiteral("Ein"), Twips(2880, 225, 645, 330));
    LabelAbsenkungAus = Beschriftung(FrameStromabsenkung, "LabelAbsenkungAus",
                                     QStringLiteral("Aus"), Twips(2880, 585, 645, 330));

    CommandÜbernehmen =
        Knopf(this, "CommandÜbernehmen", QStringLiteral("Übernehmen"), Twips(5130, 855, 2625, 420));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(Twips(5265, 1350, 2265, 1140));
    // On the white window a sunken edge would show only two of its sides.
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setFrameShadow(QFrame::Plain);
    Picture1->setAutoFillBackground(true);

    setTabOrder(CommandAbbrechen, ComboSchrittmodus);
    setTabOrder(ComboSchrittmodus, ComboPhasenstrom);
    setTabOrder(ComboPhasenstrom, OptionAbsenkungEin);
    setTabOrder(OptionAbsenkungEin, OptionAbsenkungAus);
    setTabOrder(OptionAbsenkungAus, CommandÜbernehmen);
    CommandAbbrechen->setFocus();

    connect(CommandAbbrechen, &QPushButton::clicked, this, &QWidget::close);
    connect(CommandÜbernehmen, &QPushButton::clicked, this,
            &ZelkorEinstellungen::CommandÜbernehmen_Click);
}

void ZelkorEinstellungen::ZelkorDateiLaden() {
    if (QFile::exists(Dateizugriff::ZelkorDateipfad())) {
        ZelkorDateiLesen();
        return;
    }
    waehle(ComboSchrittmodus, StandardSchrittmodus);
    waehle(ComboPhasenstrom, StandardPhasenstrom);
    OptionAbsenkungEin->setChecked(true);
}

void ZelkorEinstellungen::ZelkorDateiLesen() {
    const Dateizugriff::ZelkorWerte werte =
        Dateizugriff::ZelkorWerteAusDatei(Dateizugriff::ZelkorDateipfad());
    waehle(ComboSchrittmodus, werte.schrittmodus);
    waehle(ComboPhasenstrom, werte.phasenstrom);
    if (werte.absenkungEin)
        OptionAbsenkungEin->setChecked(true);
    else
        OptionAbsenkungAus->setChecked(true);
}

bool ZelkorEinstellungen::ZelkorDateiSchreiben(QString *fehler) {
    Dateizugriff::ZelkorWerte werte;
    werte.schrittmodus = ComboSchrittmodus->currentText();
    werte.phasenstrom = ComboPhasenstrom->currentText();
    werte.absenkungEin = OptionAbsenkungEin->isChecked();
    return Dateizugriff::ZelkorDateiSpeichern(Dateizugriff::ZelkorDateipfad(), werte, fehler);
}

bool ZelkorEinstellungen::EinstellungenSenden() {
    const std::optional<Befehl> befehl =
        EinstellungenAusTexten(ComboSchrittmodus->currentText(), ComboPhasenstrom->currentText(),
                               OptionAbsenkungEin->isChecked());
    // A port that does not open is reported once by the link.
    return befehl && m_umgebung.serielleSchnittstelle()->Sendevorgang(*befehl);
}

void ZelkorEinstellungen::CommandÜbernehmen_Click() {
    if (m_uebernommen)
        return;
    m_uebernommen = true;
    // The file first: it holds the new values even when the sending fails.
    QString dateifehler;
    const bool gespeichert = ZelkorDateiSchreiben(&dateifehler);
    EinstellungenSenden();
    m_umgebung.DialogGeschlossen();
    close();
    if (!gespeichert)
        m_umgebung.Meldung(QStringLiteral("Die Einstellungen konnten nicht für den nächsten "
                                          "Aufruf gespeichert werden.\n%1")
                               .arg(dateifehler),
                           QStringLiteral("Zelkor_V2"));
}

void ZelkorEinstellungen::closeEvent(QCloseEvent *ereignis) {
    // "Abbrechen" and the close box leave without storing or sending anything.
    if (!m_uebernommen)
        m_umgebung.DialogGeschlossen();
    ereignis->accept();
}
