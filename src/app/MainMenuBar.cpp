#include "app/MainMenuBar.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <memory>

namespace {

std::unique_ptr<MainMenuBar> &instanceRef()
{
    static std::unique_ptr<MainMenuBar> bar;
    return bar;
}

struct ItemSpec
{
    const char *name;
    const char *caption;
    // Either a key such as "Ctrl+Q", or no shortcut at all.
    const char *shortcut;
    bool visible;
};

QAction *addItem(QMenu *menu, const ItemSpec &item)
{
    auto *action = new QAction(menu);
    action->setObjectName(QString::fromUtf8(item.name));
    const QString caption = QString::fromUtf8(item.caption);
    if (caption == QLatin1String("-")) {
        action->setSeparator(true);
    } else {
        action->setText(caption);
    }
    action->setVisible(item.visible);
    if (item.shortcut) {
        action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
    }
    menu->addAction(action);
    return action;
}

// The Edit commands act on the focused text field, as a text field's own shortcuts would.
void runOnFocusedField(void (*command)(QLineEdit *))
{
    if (auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
        command(field);
    }
}

} // namespace

MainMenuBar &MainMenuBar::instance()
{
    if (!instanceRef()) {
        instanceRef().reset(new MainMenuBar);
    }
    return *instanceRef();
}

void MainMenuBar::destroyInstance()
{
    instanceRef().reset();
}

MainMenuBar::MainMenuBar()
{
    Untitled0();
    Untitled1();
}

MainMenuBar::~MainMenuBar()
{
    delete m_fileMenu;
    delete m_editMenu;
}

void MainMenuBar::Untitled0()
{
    m_fileMenu = new QMenu(QString::fromUtf8("ファイル"));
    m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
    m_fileMenu->menuAction()->setObjectName(QStringLiteral("FileMenu"));

    addItem(m_fileMenu, {"mnuDBOpen", "家計簿ファイルを開く", "", true});
    addItem(m_fileMenu, {"mnuDBCreate", "家計簿ファイルの新規作成", "", true});
    addItem(m_fileMenu, {"UntitledSeparator", "-", nullptr, true});
    addItem(m_fileMenu, {"SisanKoumokuKanri", "資産項目管理", "", false});
    addItem(m_fileMenu, {"HimokuKoumokuKanri", "費目項目管理", "", false});
    addItem(m_fileMenu, {"UntitledSeparator0", "-", nullptr, true});

    auto *reports = new QMenu(QString::fromUtf8("レポート"), m_fileMenu);
    reports->setObjectName(QString::fromUtf8("ファイルレポート"));
    reports->menuAction()->setObjectName(QString::fromUtf8("ファイルレポート"));
    reports->menuAction()->setVisible(false);
    m_fileMenu->addMenu(reports);
    addItem(reports, {"mnuKakeiboReport", "家計簿のレポート", "", true});
    addItem(reports, {"mnuSisanReport", "現有資産のレポート", "", true});

    addItem(m_fileMenu, {"UntitledSeparator1", "-", nullptr, true});
    addItem(m_fileMenu, {"mnuPrintSetUp", "プリンタの設定", "", true});
    addItem(m_fileMenu, {"UntitledSeparator2", "-", nullptr, true});
    QAction *quit = addItem(m_fileMenu, {"FileQuit", "終了", "Ctrl+Q", true});
    quit->setMenuRole(QAction::QuitRole);
    // closeAllWindows first, so that windows with a close handler still get to run it.
    QObject::connect(quit, &QAction::triggered, [] {
        QApplication::closeAllWindows();
        QApplication::quit();
    });
}

void MainMenuBar::Untitled1()
{
    m_editMenu = new QMenu(QString::fromUtf8("編集"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    m_editMenu->menuAction()->setObjectName(QStringLiteral("EditMenu"));

    QAction *undo = addItem(m_editMenu, {"EditUndo", "取り消す", "Ctrl+Z", true});
    addItem(m_editMenu, {"EditSeparator1", "-", nullptr, true});
    QAction *cut = addItem(m_editMenu, {"EditCut", "カット", "Ctrl+X", true});
    QAction *copy = addItem(m_editMenu, {"EditCopy", "コピー", "Ctrl+C", true});
    QAction *paste = addItem(m_editMenu, {"EditPaste", "貼り付け", "Ctrl+V", true});
    QAction *clear = addItem(m_editMenu, {"EditClear", "削除", "", true});
    addItem(m_editMenu, {"EditSeparator2", "-", nullptr, true});
    QAction *selectAll = addItem(m_editMenu, {"EditSelectAll", "すべてを選択", "Ctrl+A", true});

    QObject::connect(undo, &QAction::triggered, [] { runOnFocusedField([](QLineEdit *f) { f->undo(); }); });
    QObject::connect(cut, &QAction::triggered, [] { runOnFocusedField([](QLineEdit *f) { f->cut(); }); });
    QObject::connect(copy, &QAction::triggered, [] { runOnFocusedField([](QLineEdit *f) { f->copy(); }); });
    QObject::connect(paste, &QAction::triggered, [] { runOnFocusedField([](QLineEdit *f) { f->paste(); }); });
    QObject::connect(clear, &QAction::triggered, [] {
        runOnFocusedField([](QLineEdit *f) {
            if (f->hasSelectedText()) {
                f->del();
            }
        });
    });
    QObject::connect(selectAll, &QAction::triggered,
                     [] { runOnFocusedField([](QLineEdit *f) { f->selectAll(); }); });
}

void MainMenuBar::installInto(QMenuBar *bar) const
{
    bar->addMenu(m_fileMenu);
    bar->addMenu(m_editMenu);
}

QAction *MainMenuBar::findItem(const QString &name) const
{
    for (QMenu *menu : menus()) {
        if (menu->menuAction()->objectName() == name) {
            return menu->menuAction();
        }
        const auto actions = menu->findChildren<QAction *>(name);
        if (!actions.isEmpty()) {
            return actions.first();
        }
    }
    return nullptr;
}

QAction *SisanKoumokuKanri()
{
    return MainMenuBar::instance().findItem(QStringLiteral("SisanKoumokuKanri"));
}

QAction *HimokuKoumokuKanri()
{
    return MainMenuBar::instance().findItem(QStringLiteral("HimokuKoumokuKanri"));
}

QAction *reportSubmenuItem()
{
    return MainMenuBar::instance().findItem(QString::fromUtf8("ファイルレポート"));
}

void showLedgerMenuItems()
{
    for (QAction *item : {SisanKoumokuKanri(), HimokuKoumokuKanri(), reportSubmenuItem()}) {
        if (item) {
            item->setVisible(true);
        }
    }
}
