#pragma once
// A list of text rows in columns: a QTableView over a ListBoxModel, with what the windows
// rely on: cells read back as the exact texts written, columns sized by a percentage text
// ("0%,55%,45%,0%": a 0% column, and a column without an entry, is hidden with width 0),
// amount columns aligned on the decimal point, an optional background for rows 0, 2, 4, ...,
// folder rows in a flat list, a fixed row height, one selected row at most, and a scroll
// position counted in rows.
//
// Selection: listIndex() is the selected row or -1. setListIndex(i) selects row i (-1: none)
// and runs the change handler at once, inside the call, every time, also for -1. A user's
// click or arrow key runs it too. Deleting all rows while a row is selected runs it with no
// row selected. The click handler gets (row, column) of every mouse press on a cell.
//
// Usage:
//     list->setColumnCount(4);
//     list->setHeadings({"ID", "名称", "残金", "SyokiKingaku"});
//     list->setColumnWidths("0%,55%,45%,0%");
//     list->setColumnAlignment(2, ListBox::Alignment::Decimal);
//     list->setChangeHandler([this] { lsbSisan_Change(); });
//     {
//         ListBox::Refill refill(*list);   // deletes all rows; one model reset at the end
//         const int row = list->addRow();
//         list->setCellNumber(row, 0, id);
//         list->setCell(row, 1, name);
//         list->setCellAmount(row, 2, balance);   // "1,234,567"
//     }
//     list->cell(0, 1);                     // the name, exactly
// Fill many rows inside a Refill: without one every row and cell is signalled to the view.

#include "platform/ListBoxModel.h"

#include <QTableView>

#include <functional>

class ListBox : public QTableView
{
    Q_OBJECT
public:
    using Alignment = ListBoxModel::Alignment;

    explicit ListBox(QWidget *parent = nullptr);

    // Deletes all rows of the list for its lifetime and publishes what was added with one
    // model reset when it ends. Runs the change handler at the start when a row was selected.
    class Refill
    {
    public:
        explicit Refill(ListBox &list);
        ~Refill();
        Refill(const Refill &) = delete;
        Refill &operator=(const Refill &) = delete;

    private:
        ListBox &m_list;
    };

    ListBoxModel *listModel() const { return m_model; }

    // Columns. Changing the count deletes all rows.
    void setColumnCount(int count);
    int columnCount() const { return m_model->columns(); }
    // Sets the headings and shows the heading row.
    void setHeadings(const QStringList &headings);
    void setHeadingVisible(bool visible);
    void setHeadingHeight(int pixels);
    void setColumnWidths(const QString &percentText);
    void setColumnAlignment(int column, Alignment alignment);
    void setEvenRowBackground(const QColor &colour);
    void setFixedRowHeight(int pixels);
    int fixedRowHeight() const;

    // Rows.
    int addRow();
    int addFolder(const QString &text);
    bool isFolder(int row) const { return m_model->isFolder(row); }
    void setCell(int row, int column, QStringView text) { m_model->setCell(row, column, text); }
    void setCellNumber(int row, int column, int64_t value) { m_model->setCellNumber(row, column, value); }
    void setCellAmount(int row, int column, int64_t value) { m_model->setCellAmount(row, column, value); }
    void setCellUtf8(int row, int column, QByteArrayView text) { m_model->setCellUtf8(row, column, text); }
    QString cell(int row, int column) const { return m_model->cell(row, column); }
    int64_t cellValue(int row, int column) const { return m_model->cellValue(row, column); }
    int rowCount() const { return m_model->rows(); }
    // The row added last, or -1.
    int lastIndex() const { return m_lastIndex; }
    void deleteAllRows();

    // Selection.
    int listIndex() const;
    void setListIndex(int row);
    void setChangeHandler(std::function<void()> handler) { m_changeHandler = std::move(handler); }
    void setCellClickHandler(std::function<void(int row, int column)> handler)
    {
        m_clickHandler = std::move(handler);
    }

    // The first visible row; setting it is clamped to what the view can scroll to.
    int scrollPosition() const;
    void setScrollPosition(int row);
    // How many rows fit wholly in the view at its present size.
    int fullyVisibleRows() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void beginRefill();
    void endRefill();
    void applyColumnWidths();
    void layOutNow() const;
    void raiseChange();

    ListBoxModel *m_model;
    std::function<void()> m_changeHandler;
    std::function<void(int, int)> m_clickHandler;
    QList<int> m_percents;
    bool m_haveWidths = false;
    bool m_settingSelection = false;
    int m_lastIndex = -1;
    int m_refillDepth = 0;
};
