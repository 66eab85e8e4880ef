#include "app/MainMenuBar.h"

#include "support/LedgerTestFixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace {

struct ItemRow
{
    const char *name;
    const char *caption; // "-" for a separator
    const char *shortcut;
    bool visible;
};

void expectItems(QMenu *menu, const std::vector<ItemRow> &expected)
{
    const auto actions = menu->actions();
    ASSERT_EQ(size_t(actions.size()), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const QAction *a = actions[qsizetype(i)];
        const QString caption = a->isSeparator() ? QStringLiteral("-") : a->text();
        EXPECT_EQ(a->objectName(), QString::fromUtf8(expected[i].name)) << i;
        EXPECT_EQ(caption, QString::fromUtf8(expected[i].caption)) << expected[i].name;
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), QString::fromUtf8(expected[i].shortcut))
            << expected[i].name;
        EXPECT_EQ(a->isVisible(), expected[i].visible) << expected[i].name;
    }
}

class MainMenuBarTest : public LedgerTestFixture
{
};

TEST_F(MainMenuBarTest, BuildsEveryItemInOrderWithCaptionsShortcutsAndVisibility)
{
    auto &bar = MainMenuBar::instance();
    EXPECT_EQ(bar.fileMenu()->title(), QString::fromUtf8("ファイル"));
    EXPECT_EQ(bar.editMenu()->title(), QString::fromUtf8("編集"));
    expectItems(bar.fileMenu(), {
                                    {"mnuDBOpen", "家計簿ファイルを開く", "", true},
                                    {"mnuDBCreate", "家計簿ファイルの新規作成", "", true},
                                    {"UntitledSeparator", "-", "", true},
                                    {"SisanKoumokuKanri", "資産項目管理", "", false},
                                    {"HimokuKoumokuKanri", "費目項目管理", "", false},
                                    {"UntitledSeparator0", "-", "", true},
                                    {"ファイルレポート", "レポート", "", false},
                                    {"UntitledSeparator1", "-", "", true},
                                    {"mnuPrintSetUp", "プリンタの設定", "", true},
                                    {"UntitledSeparator2", "-", "", true},
                                    {"FileQuit", "終了", "Ctrl+Q", true},
                                });
    expectItems(reportSubmenuItem()->menu(), {
                                                 {"mnuKakeiboReport", "家計簿のレポート", "", true},
                                                 {"mnuSisanReport", "現有資産のレポート", "", true},
                                             });
    expectItems(bar.editMenu(), {
                                    {"EditUndo", "取り消す", "Ctrl+Z", true},
                                    {"EditSeparator1", "-", "", true},
                                    {"EditCut", "カット", "Ctrl+X", true},
                                    {"EditCopy", "コピー", "Ctrl+C", true},
                                    {"EditPaste", "貼り付け", "Ctrl+V", true},
                                    {"EditClear", "削除", "", true},
                                    {"EditSeparator2", "-", "", true},
                                    {"EditSelectAll", "すべてを選択", "Ctrl+A", true},
                                });
    int quitItems = 0;
    for (QMenu *menu : bar.menus()) {
        for (QAction *a : menu->findChildren<QAction *>()) {
            quitItems += a->menuRole() == QAction::QuitRole ? 1 : 0;
        }
    }
    EXPECT_EQ(quitItems, 1);
    EXPECT_EQ(bar.findItem(QStringLiteral("FileQuit"))->menuRole(), QAction::QuitRole);
}

TEST_F(MainMenuBarTest, ItemsShownThroughTheSharedBarAppearInEveryWindow)
{
    QMainWindow first;
    QMainWindow second;
    MainMenuBar::instance().installInto(first.menuBar());
    MainMenuBar::instance().installInto(second.menuBar());
    showLedgerMenuItems();
    for (QMainWindow *w : {&first, &second}) {
        QAction *fileAction = w->menuBar()->actions().first();
        ASSERT_TRUE(fileAction->menu());
        auto *item = fileAction->menu()->findChild<QAction *>(QStringLiteral("SisanKoumokuKanri"));
        ASSERT_TRUE(item);
        EXPECT_TRUE(item->isVisible());
    }
    EXPECT_TRUE(HimokuKoumokuKanri()->isVisible());
    EXPECT_TRUE(reportSubmenuItem()->isVisible());
}

TEST_F(MainMenuBarTest, EditCommandsActOnTheFocusedTextField)
{
    QMainWindow window;
    auto *field = new QLineEdit(QStringLiteral("abc"), &window);
    window.setCentralWidget(field);
    window.show();
    QApplication::setActiveWindow(&window);
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);

    auto &bar = MainMenuBar::instance();
    bar.findItem(QStringLiteral("EditSelectAll"))->trigger();
    EXPECT_EQ(field->selectedText(), QStringLiteral("abc"));
    bar.findItem(QStringLiteral("EditClear"))->trigger();
    EXPECT_EQ(field->text(), QString());
    bar.findItem(QStringLiteral("EditUndo"))->trigger();
    EXPECT_EQ(field->text(), QStringLiteral("abc"));
}

// The menus are not children of any window, so their shortcuts only work if Qt ties them to
// the window whose bar shows them.
TEST_F(MainMenuBarTest, TheQuitShortcutWorksInAWindowThatShowsTheBar)
{
    QMainWindow window;
    MainMenuBar::instance().installInto(window.menuBar());
    auto *field = new QLineEdit(&window);
    window.setCentralWidget(field);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QSignalSpy quit(MainMenuBar::instance().findItem(QStringLiteral("FileQuit")), &QAction::triggered);
    QTest::keyClick(field, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 1);
}

} // namespace
