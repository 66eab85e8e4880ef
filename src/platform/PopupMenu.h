#pragma once
// A drop-down list of text rows (a non-editable QComboBox) whose selection behaves as the
// windows rely on: filling it never selects a row (a QComboBox would select its first row
// and signal), listIndex() is the selected row or -1, and setListIndex(i) selects row i
// (-1: none) and runs the change handler at once, inside the call, every time, also for -1.
// A user's choice runs the handler too. deleteAllRows() while a row is selected runs the
// handler with no row selected.
//
// Usage:
//     popup->setChangeHandler([this] { ppmHimoku_Change(); });
//     popup->deleteAllRows();
//     for (...) popup->addRow(name);      // listIndex() stays -1
//     popup->setListIndex(0);             // the handler runs before this returns
//     popup->text();                      // the selected row's text, "" when none

#include <QComboBox>

#include <functional>

class PopupMenu : public QComboBox
{
    Q_OBJECT
public:
    explicit PopupMenu(QWidget *parent = nullptr);

    void addRow(const QString &text);
    void deleteAllRows();
    int rowCount() const { return count(); }
    QString rowText(int row) const { return itemText(row); }

    int listIndex() const { return currentIndex(); }
    void setListIndex(int row);
    // The selected row's text, or "".
    QString text() const { return currentIndex() >= 0 ? currentText() : QString(); }

    void setChangeHandler(std::function<void()> handler) { m_changeHandler = std::move(handler); }

private:
    void raiseChange();

    std::function<void()> m_changeHandler;
};
