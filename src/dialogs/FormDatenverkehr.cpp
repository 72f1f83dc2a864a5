#include "dialogs/FormDatenverkehr.h"

#include "dialogs/Dialogumgebung.h"
#include "gestaltung/Dialoggestaltung.h"
#include "link/Verkehrsaufzeichnung.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace Dialoggestaltung;

// The recording's lines as rows. Every row has the same size, the widest line's, so the list
// never measures its rows one by one: 10 000 lines cost no more to show than ten.
class Verkehrsmodell : public QAbstractListModel {
public:
    Verkehrsmodell(const Verkehrsaufzeichnung &aufzeichnung, const QFont &schrift, QObject *eltern)
        : QAbstractListModel(eltern), m_aufzeichnung(aufzeichnung), m_masse(schrift),
          m_erste(aufzeichnung.erste()), m_anzahl(int(aufzeichnung.ende() - aufzeichnung.erste())) {
        breiteNeuBestimmen();
    }

    int rowCount(const QModelIndex &eltern) const override {
        return eltern.isValid() ? 0 : m_anzahl;
    }

    QVariant data(const QModelIndex &index, int rolle) const override {
        if (rolle == Qt::SizeHintRole)
            return QSize(m_breite, m_masse.lineSpacing() * (m_mitBytes ? 2 : 1) + 4);
        if (rolle != Qt::DisplayRole)
            return QVariant();
        const Verkehrszeile *z = m_aufzeichnung.zeile(m_erste + index.row());
        return z ? z->anzeige(m_mitBytes) : QString();
    }

    bool mitBytes() const { return m_mitBytes; }
    void setMitBytes(bool mitBytes) {
        beginResetModel();
        m_mitBytes = mitBytes;
        breiteNeuBestimmen();
        endResetModel();
    }

    // Follows the recording: rows that dropped out go from the top, new ones come below.
    void nachziehen() {
        const qint64 weg = std::min<qint64>(m_anzahl, m_aufzeichnung.erste() - m_erste);
        if (weg > 0) {
            beginRemoveRows(QModelIndex(), 0, int(weg) - 1);
            m_erste += weg;
            m_anzahl -= int(weg);
            endRemoveRows();
        }
        if (m_anzahl == 0) {
            m_erste = m_aufzeichnung.erste();
            m_breite = 0;
        }
        const qint64 neu = m_aufzeichnung.ende() - (m_erste + m_anzahl);
        if (neu > 0) {
            for (qint64 n = m_erste + m_anzahl; n < m_aufzeichnung.ende(); ++n)
                m_breite = std::max(m_breite, breite(n));
            beginInsertRows(QModelIndex(), m_anzahl, m_anzahl + int(neu) - 1);
            m_anzahl += int(neu);
            endInsertRows();
        }
    }

private:
    int breite(qint64 nummer) const {
        int b = 0;
        if (const Verkehrszeile *z = m_aufzeichnung.zeile(nummer))
            for (const QString &teil : z->anzeige(m_mitBytes).split(QLatin1Char('\n')))
                b = std::max(b, m_masse.horizontalAdvance(teil));
        return b + 12;
    }
    void breiteNeuBestimmen() {
        m_breite = 0;
        for (qint64 n = m_erste; n < m_erste + m_anzahl; ++n)
            m_breite = std::max(m_breite, breite(n));
    }

    const Verkehrsaufzeichnung &m_aufzeichnung;
    QFontMetrics m_masse;
    qint64 m_erste;
    int m_anzahl;
    int m_breite = 0;
    bool m_mitBytes = false;
};

FormDatenverkehr::FormDatenverkehr(Verkehrsaufzeichnung &aufzeichnung, Dialogumgebung &umgebung)
    : QWidget(nullptr, Qt::Window), m_aufzeichnung(aufzeichnung), m_umgebung(umgebung) {
    setObjectName(QStringLiteral("FormDatenverkehr"));
    setWindowTitle(Fenstertitel(5, QStringLiteral("Datenverkehr")));
    // The program ends with its main window, whether this one is open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette farben = palette();
    farben.setColor(QPalette::Window, Qt::white);
    setPalette(farben);
    setAutoFillBackground(true);

    ListeDatenverkehr = new QListView(this);
    ListeDatenverkehr->setObjectName(QStringLiteral("ListeDatenverkehr"));
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPointSizeF(9.75);
    ListeDatenverkehr->setFont(schrift);
    DunkelblauSchreiben(ListeDatenverkehr);
    ListeDatenverkehr->setUniformItemSizes(true);
    ListeDatenverkehr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListeDatenverkehr->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListeDatenverkehr->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_modell = new Verkehrsmodell(aufzeichnung, schrift, this);
    ListeDatenverkehr->setModel(m_modell);

    CheckBytesZeigen = new QCheckBox(QStringLiteral("Bytes zeigen"), this);
    CheckBytesZeigen->setObjectName(QStringLiteral("CheckBytesZeigen"));
    CheckBytesZeigen->setFont(ArialFett(9.75));
    DunkelblauSchreiben(CheckBytesZeigen);
    CommandSpeichern = Knopf(this, "CommandSpeichern", QStringLiteral("Speichern..."), {});
    CommandLeeren = Knopf(this, "CommandLeeren", QStringLiteral("Leeren"), {});
    for (QPushButton *k : {CommandSpeichern, CommandLeeren})
        k->setMinimumSize(130, 28);

    auto *knoepfe = new QHBoxLayout;
    knoepfe->addWidget(CheckBytesZeigen);
    knoepfe->addStretch(1);
    knoepfe->addWidget(CommandSpeichern);
    knoepfe->addWidget(CommandLeeren);
    auto *spalte = new QVBoxLayout(this);
    spalte->addWidget(ListeDatenverkehr, 1);
    spalte->addLayout(knoepfe);
    resize(900, 420);

    connect(&aufzeichnung, &Verkehrsaufzeichnung::zeilenGeaendert, this,
            &FormDatenverkehr::Nachziehen);
    connect(CheckBytesZeigen, &QCheckBox::toggled, this, [this](bool an) {
        m_modell->setMitBytes(an);
        ListeDatenverkehr->scrollToBottom();
    });
    connect(CommandLeeren, &QPushButton::clicked, &aufzeichnung, &Verkehrsaufzeichnung::leeren);
    connect(CommandSpeichern, &QPushButton::clicked, this,
            &FormDatenverkehr::CommandSpeichern_Click);
    ListeDatenverkehr->scrollToBottom();
}

void FormDatenverkehr::Nachziehen() {
    // The newest line stays in view, unless the operator has scrolled back to read. Scrolling
    // lays out the list, so it waits for the event loop and happens once for many commands.
    const QScrollBar *leiste = ListeDatenverkehr->verticalScrollBar();
    const bool unten = leiste->value() >= leiste->maximum();
    m_modell->nachziehen();
    if (unten && !m_nachUntenVorgemerkt) {
        m_nachUntenVorgemerkt = true;
        QTimer::singleShot(0, this, [this] {
            m_nachUntenVorgemerkt = false;
            ListeDatenverkehr->scrollToBottom();
        });
    }
}

void FormDatenverkehr::CommandSpeichern_Click() {
    const QString pfad = QFileDialog::getSaveFileName(
        this, QStringLiteral("Datenverkehr speichern"),
        QDir(QDir::homePath()).filePath(QStringLiteral("Datenverkehr.txt")),
        QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)"), nullptr,
        QFileDialog::DontUseNativeDialog);
    if (!pfad.isEmpty())
        Speichern(pfad);
}

bool FormDatenverkehr::Speichern(const QString &pfad) {
    QSaveFile datei(pfad);
    if (datei.open(QIODevice::WriteOnly)) {
        datei.write(m_aufzeichnung.text(m_modell->mitBytes()).toUtf8());
        if (datei.commit())
            return true;
    }
    m_umgebung.Meldung(QStringLiteral("Der Datenverkehr konnte nicht in „%1“ gespeichert "
                                      "werden.\n%2")
                           .arg(QDir::toNativeSeparators(pfad), datei.errorString()),
                       QStringLiteral("Zelkor_V2"));
    return false;
}
