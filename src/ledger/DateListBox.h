#pragma once
// The date field of the entry form: one row of five cells, year "/" month "/" day, in which
// the user picks the part to change with a click (always the day) or the left and right
// arrows and steps it with the up and down arrows, the active part drawn in colour.
//
// Usage: TheDate() hands out the control's own date object, not a copy: to show a date set
// it exactly (TheDate().setYMD(y, m, d)) and then call DisplayDate(); the cells change only
// there. Writers read TheDate().year(), month(), day(). The control starts at today's date
// and keeps whatever date it holds between entries.

#include "platform/RollingDate.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class DateListBox : public QWidget
{
    Q_OBJECT
public:
    explicit DateListBox(QWidget *parent = nullptr);

    RollingDate &TheDate() { return mTheDate; }
    void DisplayDate();

    // The cells as last displayed, and the active part (0 year, 2 month, 4 day; any other
    // value marks none).
    QString cell(int column) const;
    int32_t activeColumn() const { return ymdCoilumn; }
    // The text colour a cell is drawn in.
    QColor cellTextColour(int column) const;

    // Key codes of the arrows, as the key handler tells them apart.
    static constexpr int kLeft = 28;
    static constexpr int kRight = 29;
    static constexpr int kUp = 30;
    static constexpr int kDown = 31;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Event_Open();
    void Event_CellClick();
    void Event_KeyDown(int code);
    void DateUpDown(int32_t delta);
    QRect cellRect(int column) const;
    QFont cellFont() const;

    int32_t ymdCoilumn = -1;
    RollingDate mTheDate;
    std::array<QString, 5> m_cells;
};
