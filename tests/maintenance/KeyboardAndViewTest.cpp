// The maintenance dialogs as a keyboard user meets them: in the account panel Tab leads from
// the name to the amount and on to the panel's buttons, so an amount typed after Tab is the
// amount written; in the category dialog a category or sub-item just added is in view.

#include "MaintenanceFixture.h"

#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class KeyboardAndViewTest : public MaintenanceFixture
{
protected:
    static void press(const QWidget &dialog, const char *name) { child<QPushButton>(dialog, name)->click(); }
    static std::string focusName()
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName().toStdString() : "nothing";
    }
    static void key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    // The row of the list that shows the name, wholly inside the list's view.
    static ::testing::AssertionResult inView(const ListBox &list, const QString &name)
    {
        for (int row = 0; row < list.rowCount(); ++row) {
            if (list.cell(row, 0) == name) {
                const QRect shown = list.visualRect(list.model()->index(row, 0));
                if (list.viewport()->rect().contains(shown)) {
                    return ::testing::AssertionSuccess();
                }
                return ::testing::AssertionFailure()
                       << "row " << row << " lies at y " << shown.y() << ", the view shows 0 to "
                       << list.viewport()->height() << " (scrolled to row " << list.scrollPosition() << ")";
            }
        }
        return ::testing::AssertionFailure() << "not listed";
    }

    // The last category row of the kind.
    static int lastCategoryRow(const ListBox &list, int kind)
    {
        int found = -1;
        for (int row = 0; row < list.rowCount(); ++row) {
            if (list.cell(row, 4).toInt() > 0 && list.cell(row, 1).toInt() == kind) {
                found = row;
            }
        }
        return found;
    }
};

TEST_F(KeyboardAndViewTest, TabLeadsFromTheNameToTheAmountAndTheTypedAmountIsWritten)
{
    dlgSisan dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    press(dialog, "pbtSisanTuika");
    auto *name = child<QLineEdit>(dialog, "tfdSisankoumokuNamae");
    QTest::mouseClick(name, Qt::LeftButton);
    ASSERT_EQ(focusName(), "tfdSisankoumokuNamae");
    QTest::keyClicks(name, QStringLiteral("Wallet"));

    key(Qt::Key_Tab);
    EXPECT_EQ(focusName(), "tfdSisankoumokuSyokikingaku");
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1200"));
    // On through the panel's buttons and back again.
    key(Qt::Key_Tab);
    EXPECT_EQ(focusName(), "pbtSisanKoumokuKanryou");
    key(Qt::Key_Tab);
    EXPECT_EQ(focusName(), "pbtSisanKoumokuTorikesi");
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    EXPECT_EQ(focusName(), "tfdSisankoumokuSyokikingaku");
    key(Qt::Key_Backtab);
    EXPECT_EQ(focusName(), "tfdSisankoumokuNamae");

    EXPECT_EQ(child<QLineEdit>(dialog, "tfdSisankoumokuSyokikingaku")->text(), QStringLiteral("1200"));
    press(dialog, "pbtSisanKoumokuKanryou");
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(u'\n').toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT SyokiKingaku FROM Sisan WHERE Namae = 'Wallet'")), 1200);
}

TEST_F(KeyboardAndViewTest, ACategoryOrSubItemJustAddedIsInView)
{
    dlgHimoku dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto *list = child<ListBox>(dialog, "lsbHimoku");
    ASSERT_GT(list->rowCount(), list->fullyVisibleRows()) << "the whole tree is in view anyway";

    enum class At
    {
        Top,
        Bottom
    };
    struct Case
    {
        const char *what;
        At scrolled;
        int kind;
        // -1: a new category; otherwise a sub-item under the last category of the kind, or
        // under the first row.
        int under;
        QStringList shown;
    };
    const Case cases[] = {
        {"an expense category, the list at its top", At::Top, 1, -1, {"雑貨", "雑貨/雑貨"}},
        {"an income category, the list at its top", At::Top, 2, -1, {"副業", "副業/副業"}},
        {"a sub-item of the last income category", At::Top, 2, 1, {"@last/利子"}},
        {"a sub-item of the first category, the list at its bottom", At::Bottom, 1, 0, {"食費/外食"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.scrolled == At::Top) {
            list->scrollToTop();
        } else {
            list->scrollToBottom();
        }
        QStringList shown = c.shown;
        if (c.under < 0) {
            press(dialog, "pbtHimokuTuika");
            child<PopupMenu>(dialog, "ppmHimokuSyubetu")->setListIndex(c.kind - 1);
            child<QLineEdit>(dialog, "tfdHimokuNamae")->setText(c.shown.front());
        } else {
            const int row = c.under == 0 ? 0 : lastCategoryRow(*list, c.kind);
            ASSERT_GE(row, 0);
            shown.replaceInStrings(QStringLiteral("@last"), list->cell(row, 0));
            dialog.lsbHimoku_CellClick(row, 0);
            press(dialog, "pbtUtiwakeTuika");
            child<QLineEdit>(dialog, "tfdUtiwakeNamae")->setText(shown.front().section(u'/', 1));
        }
        press(dialog, "pbtKoumokuKanryou");
        ASSERT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(u'\n').toStdString();
        for (const QString &name : shown) {
            EXPECT_TRUE(inView(*list, name)) << name.toStdString();
        }
    }
}

} // namespace
