#include "model/NamesData.h"

#include <QLocale>

#include <cmath>

namespace {
constexpr qint64 Skala = 10000;
}

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

QString NamesData::alsText(qint64 zehntausendstel) {
    if (zehntausendstel % Skala == 0)
        return QString::number(zehntausendstel / Skala);
    QString text = QLocale().toString(double(zehntausendstel) / Skala, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

std::optional<qint64> NamesData::ausText(const QString &text) {
    bool ok = false;
    const double wert = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(wert) || std::fabs(wert) > 9.2e14)
        return std::nullopt;
    return qint64(std::nearbyint(wert * Skala));
}

QString NamesData::zellText(int zeile) const {
    if (zeile < 0 || zeile >= tabellenzeilen() || !m_zeilen[size_t(zeile)])
        return {};
    return alsText(*m_zeilen[size_t(zeile)]);
}

QVariant NamesData::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
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
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
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
        if (!wert)
            return false; // nothing typed: no new block
        beginInsertRows(QModelIndex(), tabellenzeilen() + 1, tabellenzeilen() + 1);
        m_zeilen.push_back(wert);
        endInsertRows();
        emit dataChanged(index, index);
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
    return true;
}
