#pragma once
// The rows of a ListBox: a table of cells of eight bytes each, texts held in one shared text
// buffer and numbers kept as numbers until read, so a refill of many rows costs no allocation
// per cell. Rows are appended empty and filled cell by cell; a cell reads back as exactly the
// text written into it ("" when never written or out of range). A row can be a folder row (a
// category heading in a flat list), shown with a folder mark; in a list with folder rows the
// other rows are drawn indented. Deleting the rows keeps the buffers' room, so refilling a
// long list again touches no fresh memory.
//
// Usage: ListBox owns one and forwards to it; use it directly only for what the list box
// does not forward. Between beginRefill() and endRefill() rows are added and filled without
// any model signal, and endRefill() publishes them with one model reset (ListBox::Refill
// does both). Outside a refill every change is signalled as usual.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QStringDecoder>
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
    // The UTF-8 text, decoded as QString::fromUtf8 decodes it, straight into the buffer.
    void setCellUtf8(int row, int column, QByteArrayView text);
    // The value as plain decimal text (leading minus sign, no grouping).
    void setCellNumber(int row, int column, int64_t value);
    // The value in the amount pattern "-#,###,###,###".
    void setCellAmount(int row, int column, int64_t value);
    QString cell(int row, int column) const;
    // What setCellNumber or setCellAmount stored in the cell; 0 for any other cell.
    int64_t cellValue(int row, int column) const;
    void deleteAllRows();
    // Puts the rows in another order: row i becomes what row sources[i] was. `sources` must
    // hold each row index once; it is used up (left unspecified).
    void reorderRows(std::vector<uint32_t> &sources);

    void beginRefill();
    void endRefill();
    bool refilling() const { return m_refilling; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // A cell is 64 bits, its low two bits saying what the rest holds: a text as its length
    // (bits 42 to 63) and offset in m_text (bits 2 to 41); a number or an amount, formatted
    // only when read, as its value shifted left by two; or, for a value or text beyond those
    // ranges, an index in m_wide. All bits 0 is the empty text: a new row is all empty cells.
    enum CellKind : uint64_t
    {
        Text = 0,
        Number = 1,
        Amount = 2,
        Wide = 3
    };
    struct WideCell
    {
        CellKind kind;
        // The number, or the text's offset.
        int64_t value;
        uint64_t length;
    };

    uint64_t &cellAt(int row, int column)
    {
        return m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    }
    uint64_t cellAt(int row, int column) const
    {
        return m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    }
    WideCell unpacked(uint64_t cell) const;
    void store(int row, int column, CellKind kind, int64_t value, uint64_t length);
    void changed(int row, int column);

    bool validCell(int row, int column) const;
    void clearRows();
    void storeCell(int row, int column, QStringView text);

    int m_columns = 1;
    QStringList m_headings;
    std::vector<Alignment> m_alignments;
    QColor m_evenBackground;
    // All cell texts one after the other; a rewritten cell leaves its old text unused until
    // the rows are deleted.
    QString m_text;
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
    std::vector<uint64_t> m_cells;
    std::vector<WideCell> m_wide;
    std::vector<uint8_t> m_folder;
    bool m_hasFolders = false;
    bool m_refilling = false;
};
