#pragma once
// The one menu bar of the program. Its menus and items exist once and are shared by every
// window that shows the bar, so an item shown through one is shown in all.

#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

class MainMenuBar
{
public:
    // The one instance, created and built on the first call.
    static MainMenuBar &instance();
    // Drops the instance (tests build a fresh one per case).
    static void destroyInstance();

    QMenu *fileMenu() const { return m_fileMenu; }
    QMenu *editMenu() const { return m_editMenu; }
    // Puts the shared menus into a window's bar; the bar does not own them.
    void installInto(QMenuBar *bar) const;
    // The item of that name at any depth of the bar, or null.
    QAction *findItem(const QString &name) const;
    QList<QMenu *> menus() const { return {m_fileMenu, m_editMenu}; }

    ~MainMenuBar();

private:
    MainMenuBar();
    void Untitled0();
    void Untitled1();

    QMenu *m_fileMenu = nullptr;
    QMenu *m_editMenu = nullptr;
};

// The three items that stay hidden until a ledger has been opened or created.
QAction *SisanKoumokuKanri();
QAction *HimokuKoumokuKanri();
QAction *reportSubmenuItem();
// Shows the three items, in this order.
void showLedgerMenuItems();
