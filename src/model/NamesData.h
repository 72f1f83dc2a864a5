#pragma once

#include <QAbstractTableModel>
#include <QLocale>

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
    // The blank row takes no input once the program has its most blocks in front of it; the
    // operator cannot type a block in beyond that. Writing through setData is not affected.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Takes a number (see Eingabe) or an empty text; refuses anything else. Writing a number
    // into the blank row adds a row, as long as the table has room (Hoechstzeilen).
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Most rows of the table: one per entry of the block table.
    static constexpr int Hoechstzeilen = 31;
    // Rows the operator can fill by typing into the blank row.
    static constexpr int HoechstzeilenBediener = 20;

    // Rows of the table, without the blank row.
    int tabellenzeilen() const { return int(m_zeilen.size()); }
    // The cell text of a row as the grid shows it; empty for the blank row or an emptied cell.
    QString zellText(int zeile) const;
    bool istLeereZeile(int zeile) const { return zeile >= tabellenzeilen(); }

    // Text form of a step count held in ten-thousandths: the whole number, or the fraction with
    // the locale's decimal separator and without trailing zeros; never a thousands separator.
    static QString alsText(qint64 zehntausendstel, const QLocale &locale = QLocale());
    // Parses a cell text by the entry fields' number rule (blanks, sign, digits, the locale's
    // decimal separator), rounded to four decimals. Empty optional for text that is no number
    // or lies beyond the column's range.
    static std::optional<qint64> ausText(const QString &text, const QLocale &locale = QLocale());

    // How far a text typed into a cell is from a step count.
    enum class Eingabe {
        Gueltig,   // a number, or empty (clears the cell)
        Unfertig,  // may become a number by typing on: a lone sign or separator
        Ungueltig, // cannot become one
    };
    static Eingabe PruefeEingabe(const QString &text, const QLocale &locale = QLocale());

private:
    std::vector<std::optional<qint64>> m_zeilen; // ten-thousandths; empty = cleared cell
};
