#pragma once
// The main window.

#include <QMainWindow>

class QGroupBox;

class wndKakeibo : public QMainWindow
{
    Q_OBJECT
public:
    // The one main window, created (and opened) when it does not exist yet.
    static wndKakeibo *instance();
    static bool exists();

    QGroupBox *grbKakeibo2() const { return m_grbKakeibo2; }

private:
    wndKakeibo();
    QGroupBox *m_grbKakeibo2 = nullptr;
};
