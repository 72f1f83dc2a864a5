#include "model/NamesData.h"

#include "model/Satz.h"
#include "ramp/Zahlentest.h"

#include <QRegularExpression>

#include <cmath>

namespace {

constexpr qint64 Skala = 10000;
// The column's range, kept where a count of ten-thousandths is still exact in a double.
constexpr double Grenze = 900000000000.0;

static_assert(NamesData::Hoechstzeilen == SatzListeGroesse);
static_assert(NamesData::HoechstzeilenBediener == HoechstzahlSaetze);

} // namespace

NamesData::NamesData(qint64 ersteSchritte, QObject *parent) : QAbstractTableModel(parent) {
    setObjectName(QStringLiteral("Names"));
    m_zeilen.push_back(ersteSchritte * Skala);
}

int NamesData::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : tabellenzeilen() + 1;
}

int NamesData::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 1;
}

QString NamesData::alsText(qint64 zehntausendstel, const QLocale &locale) {
    if (zehntausendstel % Skala == 0)
        return QString::number(zehntausendstel / Skala);
    QLocale ohneGruppen = locale;
    ohneGruppen.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    QString text = ohneGruppen.toString(double(zehntausendstel) / Skala, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

std::optional<qint64> NamesData::ausText(const QString &text, const QLocale &locale) {
    const Gleitzahl zahl = GleitzahlAusText(text, locale);
    if (!zahl.ok() || !std::isfinite(zahl.wert) || std::fabs(zahl.wert) > Grenze)
        return std::nullopt;
    return qint64(std::nearbyint(zahl.wert * Skala));
}

NamesData::Eingabe NamesData::PruefeEingabe(const QString &text, const QLocale &locale) {
    if (text.trimmed().isEmpty() || ausText(text, locale))
        return Eingabe::Gueltig;
    // Anything that fits the number's shape but is not one yet lacks its digits (a lone sign
    // or separator) or is too large; only the first can be mended by typing on.
    QString zeichen = QStringLiteral("+\\-");
    for (const QString &s : {locale.positiveSign(), locale.negativeSign()})
        zeichen += QRegularExpression::escape(s);
    const QRegularExpression gestalt(
        QStringLiteral("^\\s*[%1]?[0-9]*(%2[0-9]*)?\\s*$")
            .arg(zeichen, QRegularExpression::escape(locale.decimalPoint())));
    if (!gestalt.match(text).hasMatch())
        return Eingabe::Ungueltig;
    for (const QChar c : text) {
        if (c.isDigit())
            return Eingabe::Ungueltig;
    }
    return Eingabe::Unfertig;
}

QString NamesData::zellText(int zeile) const {
    if (zeile < 0 || zeile >= tabellenzeilen() || !m_zeilen[size_t(zeile)])
        return {};
    return alsText(*m_zeilen[size_t(zeile)]);
}

QVariant NamesData::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return zellText(index.row());
}

QVariant NamesData::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return QStringLiteral("Schritte");
    return section < tabellenzeilen() ? QString::number(section + 1) : QStringLiteral("*");
}

Qt::ItemFlags NamesData::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags grund = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (istLeereZeile(index.row()) && index.row() >= HoechstzeilenBediener)
        return grund;
    return grund | Qt::ItemIsEditable;
}

bool NamesData::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() != 0)
        return false;
    const QString text = value.toString();
    std::optional<qint64> wert;
    if (!text.trimmed().isEmpty()) {
        wert = ausText(text);
        if (!wert)
            return false;
    }
    const int zeile = index.row();
    if (istLeereZeile(zeile)) {
        if (!wert || tabellenzeilen() >= Hoechstzeilen)
            return false; // nothing typed, or no entry left for another block
        beginInsertRows(QModelIndex(), tabellenzeilen() + 1, tabellenzeilen() + 1);
        m_zeilen.push_back(wert);
        endInsertRows();
        emit dataChanged(index, index);
        emit headerDataChanged(Qt::Vertical, zeile, zeile + 1);
        return true;
    }
    m_zeilen[size_t(zeile)] = wert;
    emit dataChanged(index, index);
    return true;
}

bool NamesData::removeRows(int row, int count, const QModelIndex &parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > tabellenzeilen())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_zeilen.erase(m_zeilen.begin() + row, m_zeilen.begin() + row + count);
    endRemoveRows();
    emit headerDataChanged(Qt::Vertical, row, tabellenzeilen());
    return true;
}
