#pragma once

#include <QAbstractTableModel>

#include <optional>
#include <vector>

// The grid's data source: an in-memory table "Names" with one column "Schritte", a fixed-point
// number with four decimals, one row per block. The grid shows one more row, blank, at the end:
// writing into it adds a block.
class NamesData : public QAbstractTableModel {
    Q_OBJECT
public:
    // The new table holds one row with the given step count.
    explicit NamesData(qint64 ersteSchritte, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Takes a number (the locale's decimal separator, at most four decimals kept) or an empty
    // text; refuses anything else. Writing into the blank row adds a row.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Rows of the table, without the blank row.
    int tabellenzeilen() const { return int(m_zeilen.size()); }
    // The cell text of a row as the grid shows it; empty for the blank row or an emptied cell.
    QString zellText(int zeile) const;
    bool istLeereZeile(int zeile) const { return zeile >= tabellenzeilen(); }

    // Text form of a step count held in ten-thousandths.
    static QString alsText(qint64 zehntausendstel);
    // Parses a cell text; empty optional for text that is no number.
    static std::optional<qint64> ausText(const QString &text);

private:
    std::vector<std::optional<qint64>> m_zeilen; // ten-thousandths; empty = cleared cell
};
