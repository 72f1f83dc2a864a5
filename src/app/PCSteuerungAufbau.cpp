// The main window's controls, their places and captions.
#include "app/PCSteuerung.h"
#include "files/Kleindateien.h"
#include "gestaltung/Linie.h"
#include "ramp/Feldpruefung.h"
#include "ramp/Rampe.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>

namespace {

template <typename T> T *neu(const QString &name, QWidget *eltern, QRect ort) {
    auto *w = new T(eltern);
    w->setObjectName(name);
    w->setGeometry(ort);
    return w;
}

QLabel *beschriftung(const QString &name, const QString &text, QWidget *eltern, QRect ort) {
    auto *l = neu<QLabel>(name, eltern, ort);
    l->setText(text);
    return l;
}

QLineEdit *eingabe(const QString &name, const QString &text, QWidget *eltern, QRect ort) {
    auto *e = neu<QLineEdit>(name, eltern, ort);
    e->setMaxLength(Feldlaenge);
    e->setText(text);
    e->setAlignment(Qt::AlignRight);
    return e;
}

QRadioButton *option(const QString &name, const QString &text, QWidget *eltern, QRect ort) {
    auto *o = neu<QRadioButton>(name, eltern, ort);
    o->setText(text);
    return o;
}

} // namespace

void PCSteuerung::Aufbauen() {
    auto *flaeche = new QWidget(this);
    flaeche->setObjectName(QStringLiteral("Arbeitsflaeche"));
    setCentralWidget(flaeche);
    // The status line comes below the work area, which keeps its size.
    Statuszeile = new QStatusBar(this);
    Statuszeile->setObjectName(QStringLiteral("Statuszeile"));
    Statuszeile->setSizeGripEnabled(false);
    LabelStatus = new QLabel(Statuszeile);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    LabelStatus->setIndent(6);
    LabelStatus->setMinimumHeight(LabelStatus->fontMetrics().height() + 8);
    Statuszeile->addWidget(LabelStatus, 1);
    setStatusBar(Statuszeile);
    setFixedSize(930, 610 + Statuszeile->sizeHint().height());

    Line1 = new Linie(QStringLiteral("Line1"), flaeche, {0, 1}, {930, 1}, Qt::darkGray);

    // Block list.
    dbgridschritteTitel =
        beschriftung(QStringLiteral("dbgridschritteTitel"), QStringLiteral("Satz       (Programm)"),
                     flaeche, {8, 8, 180, 22});
    dbgridschritteTitel->setStyleSheet(
        QStringLiteral("background:#000080; color:white; padding-left:4px; font-weight:bold"));
    dbgridschritte = neu<QTableView>(QStringLiteral("dbgridschritte"), flaeche, {8, 30, 180, 525});
    dbgridschritte->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgridschritte->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgridschritte->setEditTriggers(QAbstractItemView::AllEditTriggers);
    dbgridschritte->horizontalHeader()->setStretchLastSection(true);
    dbgridschritte->verticalHeader()->setDefaultSectionSize(23);
    dbgridschritte->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dbgridschritte->setContextMenuPolicy(Qt::ActionsContextMenu);

    // Block panel.
    FrameSatzparameter =
        neu<QGroupBox>(QStringLiteral("FrameSatzparameter"), flaeche, {198, 8, 722, 345});
    FrameSatzparameter->setTitle(QStringLiteral("Satz - Parameter"));
    QWidget *fs = FrameSatzparameter;
    Label4 = beschriftung(QStringLiteral("Label4"), QStringLiteral("Startfrequenz"), fs,
                          {12, 30, 115, 22});
    TextStartfrequenz =
        eingabe(QStringLiteral("TextStartfrequenz"), QStringLiteral("300"), fs, {130, 28, 80, 24});
    Label8 = beschriftung(QStringLiteral("Label8"), QStringLiteral("(100-5000 Hz)"), fs,
                          {130, 53, 110, 18});
    Label3 = beschriftung(QStringLiteral("Label3"), QStringLiteral("Maximalfrequenz"), fs,
                          {12, 88, 115, 22});
    TextMaximalfrequenz = eingabe(QStringLiteral("TextMaximalfrequenz"), QStringLiteral("4000"), fs,
                                  {130, 86, 80, 24});
    Label9 = beschriftung(QStringLiteral("Label9"), QStringLiteral("(100-12000 Hz)"), fs,
                          {130, 111, 110, 18});
    Label6 = beschriftung(QStringLiteral("Label6"), QStringLiteral("Satzdurchläufe"), fs,
                          {12, 146, 115, 22});
    TextSatzdurchläufe =
        eingabe(QStringLiteral("TextSatzdurchläufe"), QString(), fs, {130, 144, 80, 24});
    Label10 =
        beschriftung(QStringLiteral("Label10"), QStringLiteral("(1-255)"), fs, {130, 169, 110, 18});
    Label2 =
        beschriftung(QStringLiteral("Label2"), QStringLiteral("Satzpause"), fs, {12, 204, 115, 22});
    Label15 = beschriftung(QStringLiteral("Label15"), QStringLiteral("(1=100ms)"), fs,
                           {12, 224, 115, 18});
    TextSatzpause =
        eingabe(QStringLiteral("TextSatzpause"), QStringLiteral("10"), fs, {130, 202, 80, 24});
    Label11 = beschriftung(QStringLiteral("Label11"), QStringLiteral("(0=externer Start)"), fs,
                           {130, 227, 120, 18});

    Rampe = neu<QGroupBox>(QStringLiteral("Rampe"), fs, {262, 22, 150, 138});
    Rampe->setTitle(QStringLiteral("Rampe"));
    OptionRampe20ms = option(QStringLiteral("OptionRampe20ms"), QStringLiteral("20ms/100Hz"), Rampe,
                             {10, 24, 130, 24});
    OptionRampe10ms = option(QStringLiteral("OptionRampe10ms"), QStringLiteral("10ms/100Hz"), Rampe,
                             {10, 51, 130, 24});
    OptionRampe5ms = option(QStringLiteral("OptionRampe5ms"), QStringLiteral("5ms/100Hz"), Rampe,
                            {10, 78, 130, 24});
    OptionRampe2ms = option(QStringLiteral("OptionRampe2ms"), QStringLiteral("2ms/100Hz"), Rampe,
                            {10, 105, 130, 24});
    m_rampenGruppe = new QButtonGroup(this);
    m_rampenGruppe->addButton(OptionRampe2ms, 1);
    m_rampenGruppe->addButton(OptionRampe5ms, 2);
    m_rampenGruppe->addButton(OptionRampe10ms, 3);
    m_rampenGruppe->addButton(OptionRampe20ms, 4);

    Richtung = neu<QGroupBox>(QStringLiteral("Richtung"), fs, {262, 168, 150, 82});
    Richtung->setTitle(QStringLiteral("Anfangsrichtung"));
    OptionRechts = option(QStringLiteral("OptionRechts"), QStringLiteral("rechts"), Richtung,
                          {10, 24, 130, 24});
    OptionLinks =
        option(QStringLiteral("OptionLinks"), QStringLiteral("links"), Richtung, {10, 51, 130, 24});
    m_richtungsGruppe = new QButtonGroup(this);
    m_richtungsGruppe->addButton(OptionRechts, 1);
    m_richtungsGruppe->addButton(OptionLinks, 0);

    Richtungsumkehrung =
        neu<QCheckBox>(QStringLiteral("Richtungsumkehrung"), fs, {262, 258, 160, 24});
    Richtungsumkehrung->setText(QStringLiteral("Richtungsänderung"));

    RampengrafikAufbauen();

    CommandSatzstart =
        neu<QPushButton>(QStringLiteral("CommandSatzstart"), fs, {470, 306, 190, 28});
    CommandSatzstart->setText(QStringLiteral("Satz Nr.     starten"));

    // Program parameters, and below them the program's travel time.
    Frame1 = neu<QGroupBox>(QStringLiteral("Frame1"), flaeche, {198, 362, 440, 168});
    Frame1->setTitle(QStringLiteral("Programm - Parameter"));
    QWidget *f1 = Frame1;
    Label1 = beschriftung(QStringLiteral("Label1"), QStringLiteral("Programmdurchläufe"), f1,
                          {12, 26, 150, 22});
    Label14 =
        beschriftung(QStringLiteral("Label14"), QStringLiteral("(1-255)"), f1, {12, 46, 150, 18});
    TextProgrammdurchläufe =
        eingabe(QStringLiteral("TextProgrammdurchläufe"), QString(), f1, {330, 24, 80, 24});
    Label5 = beschriftung(QStringLiteral("Label5"), QStringLiteral("Programmpause"), f1,
                          {12, 76, 150, 22});
    Label16 =
        beschriftung(QStringLiteral("Label16"), QStringLiteral("(1=100ms)"), f1, {12, 96, 150, 18});
    Label13 = beschriftung(QStringLiteral("Label13"), QStringLiteral("(0=externer Start)"), f1,
                           {170, 78, 150, 18});
    TextProgrammpause =
        eingabe(QStringLiteral("TextProgrammpause"), QStringLiteral("10"), f1, {330, 74, 80, 24});
    Label7 = beschriftung(QStringLiteral("Label7"), QStringLiteral("Befehlspause"), f1,
                          {12, 126, 150, 22});
    Label17 = beschriftung(QStringLiteral("Label17"), QStringLiteral("(1=100ms)"), f1,
                           {12, 146, 150, 18});
    Label12 = beschriftung(QStringLiteral("Label12"), QStringLiteral("(0=externer Start)"), f1,
                           {170, 128, 150, 18});
    TextBefehlspause =
        eingabe(QStringLiteral("TextBefehlspause"), QStringLiteral("10"), f1, {330, 124, 80, 24});
    LabelProgrammfahrzeit =
        beschriftung(QStringLiteral("LabelProgrammfahrzeit"),
                     QStringLiteral("Fahrzeit des Programms: –"), flaeche, {210, 534, 428, 20});

    CommandProgrammstart =
        neu<QPushButton>(QStringLiteral("CommandProgrammstart"), flaeche, {660, 380, 240, 44});
    CommandProgrammstart->setText(QStringLiteral("Programm starten"));
    CommandProgrammieren =
        neu<QPushButton>(QStringLiteral("CommandProgrammieren"), flaeche, {660, 480, 240, 44});
    CommandProgrammieren->setText(QStringLiteral("Daten übertragen"));

    LabelAdresse = beschriftung(
        QStringLiteral("LabelAdresse"),
        QStringLiteral("Orbalt-Werk Antriebstechnik · Am Kiesgrund 7 · 86551 Ebersried · "
                       "Tel. 08251 4470-0 · service@orbalt-werk.de"),
        flaeche, {8, 566, 914, 20});
    LabelAdresse->setAlignment(Qt::AlignCenter);

    MenueAufbauen();
}

void PCSteuerung::RampengrafikAufbauen() {
    QWidget *fs = FrameSatzparameter;
    // A fixed trapezoid of frequency over time; its shape never follows the values.
    const int achseX = 450, startY = 190, maxY = 62, zeitY = 220;
    const int beschlX = 520, bremsX = 600, endeX = 670;
    Line6 = new Linie(QStringLiteral("Line6"), fs, {achseX, 25}, {achseX, zeitY});
    Line7 = new Linie(QStringLiteral("Line7"), fs, {achseX, zeitY}, {endeX + 30, zeitY});
    Line5 = new Linie(QStringLiteral("Line5"), fs, {achseX, startY}, {endeX, startY});
    Line2 = new Linie(QStringLiteral("Line2"), fs, {achseX, startY}, {beschlX, maxY}, Qt::blue, 2);
    Line3 = new Linie(QStringLiteral("Line3"), fs, {beschlX, maxY}, {bremsX, maxY}, Qt::blue, 2);
    Line4 = new Linie(QStringLiteral("Line4"), fs, {bremsX, maxY}, {endeX, startY}, Qt::blue, 2);
    Line8 =
        new Linie(QStringLiteral("Line8"), fs, {beschlX, maxY}, {beschlX, zeitY + 5}, Qt::darkGray);
    Line9 =
        new Linie(QStringLiteral("Line9"), fs, {bremsX, maxY}, {bremsX, zeitY + 5}, Qt::darkGray);
    Line10 =
        new Linie(QStringLiteral("Line10"), fs, {endeX, startY}, {endeX, zeitY + 5}, Qt::darkGray);

    auto grafikLabel = [fs](const QString &name, const QString &text, QRect ort,
                            Qt::Alignment ausrichtung) {
        QLabel *l = beschriftung(name, text, fs, ort);
        l->setAlignment(ausrichtung);
        return l;
    };
    LabelGrafikMaximalfrequenz =
        grafikLabel(QStringLiteral("LabelGrafikMaximalfrequenz"), QStringLiteral("4000 Hz"),
                    {366, maxY - 9, 80, 18}, Qt::AlignRight | Qt::AlignVCenter);
    LabelGrafikStartfrequenz =
        grafikLabel(QStringLiteral("LabelGrafikStartfrequenz"), QStringLiteral("300 Hz"),
                    {366, startY - 9, 80, 18}, Qt::AlignRight | Qt::AlignVCenter);
    LabelBeschleunigungszeit =
        grafikLabel(QStringLiteral("LabelBeschleunigungszeit"), QStringLiteral("300 Hz"),
                    {beschlX - 36, zeitY + 7, 72, 18}, Qt::AlignCenter);
    LabelBremszeit = grafikLabel(QStringLiteral("LabelBremszeit"), QStringLiteral("300 Hz"),
                                 {bremsX - 36, zeitY + 7, 72, 18}, Qt::AlignCenter);
    LabelGesamtzeit = grafikLabel(QStringLiteral("LabelGesamtzeit"), QStringLiteral("300 Hz"),
                                  {endeX - 36, zeitY + 7, 72, 18}, Qt::AlignCenter);
    // Warning and suggestion below the times, clear of the drawing's lines.
    LabelMaximalfrequenzWarnung =
        grafikLabel(QStringLiteral("LabelMaximalfrequenzWarnung"), MaximalfrequenzWarnungText(),
                    {420, zeitY + 30, 296, 18}, Qt::AlignCenter);
    LabelMaximalfrequenzWarnung->setStyleSheet(QStringLiteral("color:#c00000"));
    LabelFrequenzVorschlag = grafikLabel(QStringLiteral("LabelFrequenzVorschlag"), QString(),
                                         {420, zeitY + 48, 296, 18}, Qt::AlignCenter);
    LabelFrequenzVorschlag->setStyleSheet(QStringLiteral("color:#c00000"));
}

void PCSteuerung::MenueAufbauen() {
    QMenuBar *leiste = menuBar();
    auto eintrag = [this](const QString &name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        return a;
    };
    Datei = leiste->addMenu(QStringLiteral("Datei"));
    Datei->setObjectName(QStringLiteral("Datei"));
    Öffnen = eintrag(QStringLiteral("Öffnen"), QStringLiteral("Öffnen"));
    Speichern = eintrag(QStringLiteral("Speichern"), QStringLiteral("Speichern"));
    Speichernunter =
        eintrag(QStringLiteral("Speichernunter"), QStringLiteral("Speichern unter..."));
    Beenden = eintrag(QStringLiteral("Beenden"), QStringLiteral("Beenden"));
    // The keys every desktop program has; Qt shows them beside the entries ("Strg+O").
    Öffnen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Speichern->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Speichernunter->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Beenden->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Datei->addAction(Öffnen);
    Datei->addAction(Speichern);
    Datei->addAction(Speichernunter);
    Datei->addSeparator();
    ZuletztGeoeffnet = Datei->addMenu(QStringLiteral("Zuletzt geöffnet"));
    ZuletztGeoeffnet->setObjectName(QStringLiteral("ZuletztGeoeffnet"));
    ZuletztGeoeffnet->menuAction()->setObjectName(QStringLiteral("ZuletztGeoeffnetMenue"));
    ZuletztGeoeffnet->menuAction()->setEnabled(false);
    for (int i = 1; i <= Dateizugriff::ZuletztHöchstzahl; ++i) {
        QAction *a = eintrag(QStringLiteral("ZuletztGeoeffnet%1").arg(i), QString());
        a->setVisible(false);
        ZuletztGeoeffnet->addAction(a);
    }
    Datei->addSeparator();
    Datei->addAction(Beenden);

    Zelkor = leiste->addMenu(QStringLiteral("Modus"));
    Zelkor->setObjectName(QStringLiteral("Zelkor"));
    Parameter = eintrag(QStringLiteral("Parameter"), QStringLiteral("Parameter"));
    Zelkor->addAction(Parameter);
    Datenverkehr = eintrag(QStringLiteral("Datenverkehr"), QStringLiteral("Datenverkehr"));
    Zelkor->addAction(Datenverkehr);

    Manuell = eintrag(QStringLiteral("Manuell"), QStringLiteral("Manuell"));
    Referenzfahrt = eintrag(QStringLiteral("Referenzfahrt"), QStringLiteral("Referenzfahrt"));
    Schnittstelle = eintrag(QStringLiteral("Schnittstelle"), QStringLiteral("Schnittstelle"));
    Info = eintrag(QStringLiteral("Info"), QStringLiteral("Info"));
    Info->setShortcut(QKeySequence(Qt::Key_F1));
    leiste->addAction(Manuell);
    leiste->addAction(Referenzfahrt);
    leiste->addAction(Schnittstelle);
    leiste->addAction(Info);
}
