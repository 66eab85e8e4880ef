#pragma once
// The rows of a ListBox: a table of text cells held in one shared text buffer (numbers kept
// as numbers until read), so a refill of many rows costs no allocation per cell. Rows are appended empty and
// filled cell by cell; a cell reads back as exactly the text written into it ("" when never written or out of
// range). A row can be a folder row (a category heading in a flat list), shown with a folder mark; in a list
// with folder rows the other rows are drawn indented.
//
// Usage: ListBox owns one and forwards to it; use it directly only for what the list box
// does not forward. Between beginRefill() and endRefill() rows are added and filled without
// any model signal, and endRefill() publishes them with one model reset (ListBox::Refill
// does both). Outside a refill every change is signalled as usual.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

class ListBoxModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Alignment
    {
        Left,
        Center,
        Right,
        // Amounts are whole numbers, so aligning on the decimal point is aligning right.
        Decimal
    };

    explicit ListBoxModel(QObject *parent = nullptr);

    // Structure. Changing the column count deletes all rows.
    void setColumns(int count);
    int columns() const { return m_columns; }
    void setHeading(int column, const QString &text);
    QString heading(int column) const;
    void setColumnAlignment(int column, Alignment alignment);
    Alignment columnAlignment(int column) const;
    // Rows 0, 2, 4, ... get this background; an invalid colour (the default) means none.
    void setEvenRowBackground(const QColor &colour);

    // Rows. addRow and addFolder return the new row's index.
    int addRow();
    // A folder row with its text in cell 0.
    int addFolder(QStringView text);
    bool isFolder(int row) const;
    int rows() const { return int(m_folder.size()); }
    void setCell(int row, int column, QStringView text);
    // The value as plain decimal text (leading minus sign, no grouping).
    void setCellNumber(int row, int column, int64_t value);
    // The value in the amount pattern "-#,###,###,###".
    void setCellAmount(int row, int column, int64_t value);
    QString cell(int row, int column) const;
    void deleteAllRows();

    void beginRefill();
    void endRefill();
    bool refilling() const { return m_refilling; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // A cell holds a text (a place in m_text) or a number written as text only when read, so
    // a refill of many rows formats nothing that is never shown.
    enum class CellKind : uint32_t
    {
        Text,
        Number,
        Amount
    };
    struct Cell
    {
        // The text's offset in m_text, or the number.
        int64_t value = 0;
        uint32_t length = 0;
        CellKind kind = CellKind::Text;
    };

    bool validCell(int row, int column) const;
    void clearRows();
    void storeCell(int row, int column, QStringView text);
    void storeValue(int row, int column, CellKind kind, int64_t value);

    int m_columns = 1;
    QStringList m_headings;
    std::vector<Alignment> m_alignments;
    QColor m_evenBackground;
    // All cell texts one after the other; a rewritten cell leaves its old text unused until
    // the rows are deleted.
    QString m_text;
    std::vector<Cell> m_cells;
    std::vector<uint8_t> m_folder;
    bool m_hasFolders = false;
    bool m_refilling = false;
};
