// Editing in the main window: the grid's events, the field checks and the travel times.
#include "app/PCSteuerung.h"

#include "app/SchritteEingabe.h"
#include "model/Globale.h"
#include "model/NamesData.h"
#include "model/Programmstand.h"
#include "ramp/Feldpruefung.h"
#include "ramp/Rampe.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTimer>

#include <functional>

namespace {

// Key presses reaching the grid itself (not its cell editor).
class Tastenfilter : public QObject {
public:
    Tastenfilter(QObject *parent, std::function<bool(QKeyEvent *)> taste)
        : QObject(parent), m_taste(std::move(taste)) {}

protected:
    bool eventFilter(QObject *objekt, QEvent *ereignis) override {
        if (ereignis->type() == QEvent::KeyPress && m_taste(static_cast<QKeyEvent *>(ereignis)))
            return true;
        return QObject::eventFilter(objekt, ereignis);
    }

private:
    std::function<bool(QKeyEvent *)> m_taste;
};

// Property by property, the two variant values as they are.
void SatzKopieren(const Satz &von, Satz &nach) {
    nach.setSchritte(von.Schritte());
    nach.setStartfrequenz(von.Startfrequenz());
    nach.setMaximalfrequenz(von.Maximalfrequenz());
    nach.setSatzdurchläufe(von.Satzdurchläufe());
    nach.setSatzpause(von.Satzpause());
    nach.setRichtungsumkehr(von.Richtungsumkehr());
    nach.setRichtung(von.Richtung());
    nach.setRampe(von.Rampe());
}

constexpr Feld AlleFelder[] = {
    Feld::Programmdurchlaeufe, Feld::Programmpause,   Feld::Befehlspause, Feld::Startfrequenz,
    Feld::Maximalfrequenz,     Feld::Satzdurchlaeufe, Feld::Satzpause,
};

} // namespace

void PCSteuerung::VerbindenBearbeiten() {
    m_bearbeitenKontext = std::make_unique<QObject>();
    QObject *k = m_bearbeitenKontext.get();

    // Typing on the current cell edits it; moving the cursor alone opens no editor, so that
    // Entf reaches a row chosen by its header.
    dbgridschritte->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    dbgridschritte->setItemDelegate(new SchritteEingabe(dbgridschritte));

    // Deleting a row: Entf on a row chosen by its header, or the grid's context menu.
    m_satzLoeschen = new QAction(QStringLiteral("Satz löschen"), dbgridschritte);
    m_satzLoeschen->setObjectName(QStringLiteral("SatzLöschen"));
    dbgridschritte->setContextMenuPolicy(Qt::ActionsContextMenu);
    dbgridschritte->addAction(m_satzLoeschen);
    connect(m_satzLoeschen, &QAction::triggered, k, [this] { ZeileLoeschen(); });
    connect(dbgridschritte->verticalHeader(), &QHeaderView::sectionPressed, k, [this](int zeile) {
        m_kopfZeile = zeile;
        dbgridschritte->setFocus(Qt::MouseFocusReason);
    });
    connect(dbgridschritte, &QAbstractItemView::pressed, k, [this] { m_kopfZeile = -1; });
    dbgridschritte->installEventFilter(new Tastenfilter(k, [this](QKeyEvent *taste) {
        if (taste->key() != Qt::Key_Delete || taste->modifiers() != Qt::NoModifier)
            return false;
        const int zeile = aktuelleZeile();
        if (m_kopfZeile != zeile || !dbgridschritte->selectionModel() ||
            !dbgridschritte->selectionModel()->isRowSelected(zeile, QModelIndex()))
            return false;
        ZeileLoeschen();
        return true;
    }));

    // Leaving the grid.
    connect(qApp, &QApplication::focusChanged, k,
            [this](QWidget *alt, QWidget *neu) { FokusGewechselt(alt, neu); });

    // The seven number fields, checked on every change of their text; the program's travel time
    // follows what the check left in them.
    for (const Feld feld : AlleFelder) {
        connect(Eingabefeld(feld), &QLineEdit::textChanged, k,
                [this, feld] { FeldGeaendert(feld); });
        connect(Eingabefeld(feld), &QLineEdit::textChanged, k,
                [this] { ProgrammfahrzeitZeigen(); });
    }

    // The ramp options: the times follow the option selected, by the operator or the panel.
    for (QRadioButton *option : {OptionRampe2ms, OptionRampe5ms, OptionRampe10ms, OptionRampe20ms})
        connect(option, &QRadioButton::toggled, k, [this](bool gewaehlt) {
            if (gewaehlt)
                BerechneRampe();
        });
}

void PCSteuerung::GridModellVerbinden() {
    disconnect(m_zeilenwechselVerbindung);
    m_kopfZeile = -1;
    QItemSelectionModel *auswahl = dbgridschritte->selectionModel();
    if (!auswahl || !m_bearbeitenKontext)
        return;
    // A step count typed or a block added (a deleted one is handled by ZeileLoeschen).
    connect(m_namesData, &QAbstractItemModel::dataChanged, m_bearbeitenKontext.get(),
            [this] { ProgrammfahrzeitZeigen(); });
    m_zeilenwechselVerbindung =
        connect(auswahl, &QItemSelectionModel::currentRowChanged, m_bearbeitenKontext.get(),
                [this](const QModelIndex &neu, const QModelIndex &) {
                    m_kopfZeile = -1;
                    if (neu.isValid())
                        ZeileGewechselt(neu.row());
                });
}

// The grid's current row has changed, by the operator or by a command walking the rows.
void PCSteuerung::ZeileGewechselt(int zeile) {
    if (!SatzwechselAktiv || m_satzwechselGesperrt)
        return;

    // A program holds at most 20 blocks: the blank row after block 20 is not entered. A longer
    // program from a file keeps its rows reachable, so that saving it walks every block and
    // the operator can shorten it; past the block table there is no entry to show.
    int ziel = zeile;
    if (zeile == HoechstzahlSaetze && m_namesData && m_namesData->istLeereZeile(zeile))
        ziel = HoechstzahlSaetze - 1;
    else if (zeile >= SatzListeGroesse)
        ziel = SatzListeGroesse - 1;
    if (ziel != zeile) {
        {
            QScopedValueRollback<bool> sperre(m_satzwechselGesperrt, true);
            setAktuelleZeile(ziel);
        }
        // A mouse press that led here goes on to select the row it hit; select the current
        // row again once it is done.
        QTimer::singleShot(0, this, [this] {
            if (QItemSelectionModel *auswahl = dbgridschritte->selectionModel())
                auswahl->select(dbgridschritte->currentIndex(),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        });
    }

    SatzÜbernehmen();
    ProgrammSettings.setAktuellerSatz(qint16(aktuelleZeile()));
    CommandSatzstart->setText(QStringLiteral("Satz Nr. ") +
                              QString::number(ProgrammSettings.aktuellerSatz() + 1) +
                              QStringLiteral(" starten"));
    SatzAnzeigen();
    BerechneRampe();
}

// Before the current row is deleted: the only block stays; otherwise the entries below move
// up with the rows and the panel shows the block that takes the deleted one's place.
bool PCSteuerung::VorZeileLoeschen(int zeile) {
    if (!m_namesData || m_namesData->rowCount() == 2)
        return false;
    // Entries up to 21 follow the rows (20 blocks, the blank row and one more); a longer
    // program from a file moves all its entries.
    const int letzter =
        qBound(HoechstzahlSaetze + 1, m_namesData->tabellenzeilen(), SatzListeGroesse - 1);
    for (int i = zeile; i < letzter; ++i)
        SatzKopieren(SatzListe[size_t(i + 1)], SatzListe[size_t(i)]);
    SatzListe[size_t(letzter)].setzeStandard();
    SatzAnzeigen();
    return true;
}

void PCSteuerung::ZeileLoeschen() {
    if (!m_namesData)
        return;
    const int zeile = aktuelleZeile();
    if (zeile < 0 || m_namesData->istLeereZeile(zeile))
        return;
    if (!VorZeileLoeschen(zeile))
        return;
    // The rows below move up; the cursor stays in the row, now on the block that followed.
    // aktuellerSatz keeps its value and the panel is not stored on the way.
    QScopedValueRollback<bool> sperre(m_satzwechselGesperrt, true);
    m_namesData->removeRows(zeile, 1);
    setAktuelleZeile(zeile);
    m_kopfZeile = -1;
    // The times were worked out while the deleted row was still there.
    BerechneRampe();
}

void PCSteuerung::FokusGewechselt(QWidget *alt, QWidget *neu) {
    auto imGrid = [this](QWidget *w) {
        return w && (w == dbgridschritte || dbgridschritte->isAncestorOf(w));
    };
    // Only a move to another control of this window leaves the grid; a message box or
    // another window in front does not.
    if (!neu || neu->window() != this || imGrid(neu) || !imGrid(alt))
        return;
    if (m_gridVerlassenLaeuft)
        return;
    QScopedValueRollback<bool> laeuft(m_gridVerlassenLaeuft, true);
    GridVerlassen();
}

// The grid has lost the input focus. A step count typed into a cell was taken into the table
// when its editor lost the focus, before this runs.
void PCSteuerung::GridVerlassen() {
    if (!m_namesData)
        return;
    if (aktuellerZellText().isEmpty()) {
        const int zeile = aktuelleZeile();
        if (zeile > 0)
            setAktuelleZeile(zeile - 1);
    }
    BerechneRampe();
}

QLineEdit *PCSteuerung::Eingabefeld(Feld feld) const {
    switch (feld) {
    case Feld::Programmdurchlaeufe:
        return TextProgrammdurchläufe;
    case Feld::Programmpause:
        return TextProgrammpause;
    case Feld::Befehlspause:
        return TextBefehlspause;
    case Feld::Startfrequenz:
        return TextStartfrequenz;
    case Feld::Maximalfrequenz:
        return TextMaximalfrequenz;
    case Feld::Satzdurchlaeufe:
        return TextSatzdurchläufe;
    case Feld::Satzpause:
        return TextSatzpause;
    }
    return TextProgrammdurchläufe;
}

// Change check of one number field. A reset writes the field and so runs this again at once.
void PCSteuerung::FeldGeaendert(Feld feld) {
    QLineEdit *eigenes = Eingabefeld(feld);
    const Pruefplan plan = IstFrequenzfeld(feld)
                               ? PruefeFrequenzfeld(feld, TextStartfrequenz->text(),
                                                    TextMaximalfrequenz->text(), StartAbgeschlossen)
                               : PruefeEinfachesFeld(feld, eigenes->text(), StartAbgeschlossen);

    if (plan.flankenSichtbar) {
        for (const QString &name : Flankenelemente()) {
            if (auto *element = FrameSatzparameter->findChild<QWidget *>(name))
                element->setVisible(*plan.flankenSichtbar);
        }
    }
    if (plan.grafikMaximalfrequenzText)
        LabelGrafikMaximalfrequenz->setText(*plan.grafikMaximalfrequenzText);
    if (plan.grafikStartfrequenzText)
        LabelGrafikStartfrequenz->setText(*plan.grafikStartfrequenzText);

    if (m_frequenzenWerdenGeschrieben && IstFrequenzfeld(feld) && !plan.rampeBerechnen) {
        // The other field does not hold the block's value yet; checked again afterwards.
        m_frequenzpruefungNachholen = true;
        return;
    }

    bool melden = plan.meldenUndZuruecksetzen;
    if (plan.rampeBerechnen) {
        // Here a run that cannot finish leaves the labels as far as it got.
        const RampenErgebnis ergebnis =
            ::BerechneRampe(TextStartfrequenz->text(), TextMaximalfrequenz->text(),
                            aktuellerZellText(), gewaehlteRampe());
        RampeAnwenden(ergebnis);
        melden = plan.NachRampeMelden(ergebnis.ende);
    }
    if (melden) {
        Meldung(EingabefehlerText(), EingabefehlerTitel());
        eigenes->setText(plan.ruecksetztext);
    }
}

void PCSteuerung::FrequenzfelderSchreiben(const QString &start, const QString &maximal) {
    m_frequenzpruefungNachholen = false;
    {
        QScopedValueRollback<bool> schreiben(m_frequenzenWerdenGeschrieben, true);
        TextStartfrequenz->setText(start);
        TextMaximalfrequenz->setText(maximal);
    }
    if (m_frequenzpruefungNachholen) {
        m_frequenzpruefungNachholen = false;
        FeldGeaendert(Feld::Startfrequenz);
        FeldGeaendert(Feld::Maximalfrequenz);
    }
}

void PCSteuerung::RampeAnwenden(const RampenErgebnis &ergebnis) {
    for (const auto &[name, aenderung] : LabelAenderungen(ergebnis)) {
        auto *label = FrameSatzparameter->findChild<QLabel *>(name);
        if (!label)
            continue;
        if (aenderung.text)
            label->setText(*aenderung.text);
        if (aenderung.sichtbar)
            label->setVisible(*aenderung.sichtbar);
    }
}

// Travel times for the ramp options, the grid and start-up: a run that cannot be computed
// hides the three times rather than leaving old ones in view.
void PCSteuerung::BerechneRampe() {
    RampeAnwenden(ZeitenBeiFehlerVerbergen(::BerechneRampe(TextStartfrequenz->text(),
                                                           TextMaximalfrequenz->text(),
                                                           aktuellerZellText(), gewaehlteRampe())));
    ProgrammfahrzeitZeigen();
}

void PCSteuerung::ProgrammfahrzeitZeigen() {
    if (!m_namesData)
        return;
    const Programmfahrzeitanzeige anzeige =
        ProgrammfahrzeitAnzeige(ProgrammstandFahrzeit(ProgrammstandLesen()));
    LabelProgrammfahrzeit->setText(anzeige.text);
    LabelProgrammfahrzeit->setToolTip(anzeige.hinweis);
}
