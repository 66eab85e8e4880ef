#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(PopupMenu, FillingSelectsNothingAndRaisesNothing)
{
    PopupMenu popup;
    std::vector<int> changes;
    popup.setChangeHandler([&] { changes.push_back(popup.listIndex()); });
    popup.addRow(QStringLiteral(">>食費"));
    popup.addRow(QStringLiteral("食費/食材"));
    EXPECT_EQ(popup.rowCount(), 2);
    EXPECT_EQ(popup.listIndex(), -1);
    EXPECT_EQ(popup.text(), QString());
    EXPECT_TRUE(changes.empty());

    popup.setListIndex(1);
    EXPECT_EQ(popup.text(), QStringLiteral("食費/食材"));
    // Adding to a popup with a selection keeps it.
    popup.addRow(QStringLiteral("食費/アルコール"));
    EXPECT_EQ(popup.listIndex(), 1);
    EXPECT_EQ(popup.rowText(2), QStringLiteral("食費/アルコール"));
    EXPECT_EQ(changes, (std::vector<int>{1}));
}

TEST(PopupMenu, ProgramSelectionRaisesTheHandlerAtOnceAlsoForNone)
{
    PopupMenu popup;
    std::vector<int> changes;
    popup.setChangeHandler([&] {
        changes.push_back(popup.listIndex());
        // A handler that deselects a heading row re-enters; the nested call sees none.
        if (popup.text().startsWith(QStringLiteral(">>"))) {
            popup.setListIndex(-1);
        }
    });
    popup.addRow(QStringLiteral(">>食費"));
    popup.addRow(QStringLiteral("食費/食材"));
    popup.setListIndex(0);
    EXPECT_EQ(changes, (std::vector<int>{0, -1}));
    EXPECT_EQ(popup.listIndex(), -1);
    popup.setListIndex(1);
    popup.setListIndex(1);
    popup.setListIndex(-1);
    popup.setListIndex(9);
    EXPECT_EQ(changes, (std::vector<int>{0, -1, 1, 1, -1, -1}));

    popup.setListIndex(1);
    changes.clear();
    popup.deleteAllRows();
    EXPECT_EQ(changes, (std::vector<int>{-1}));
    EXPECT_EQ(popup.rowCount(), 0);
    popup.deleteAllRows();
    EXPECT_EQ(changes.size(), 1u) << "an empty popup has no selection to lose";
}

TEST(PopupMenu, UserChoiceRaisesTheHandler)
{
    PopupMenu popup;
    int changes = 0;
    popup.setChangeHandler([&] { ++changes; });
    popup.addRow(QStringLiteral("a"));
    popup.addRow(QStringLiteral("b"));
    popup.show();
    popup.setFocus();
    QTest::keyClick(&popup, Qt::Key_Down);
    EXPECT_EQ(popup.listIndex(), 0);
    EXPECT_EQ(changes, 1);
}

TEST(RadioButton, SettingOnRunsTheActionAlsoWhenAlreadyOn)
{
    QWidget box;
    auto *expense = new RadioButton(QStringLiteral("支出"), &box);
    auto *income = new RadioButton(QStringLiteral("収入"), &box);
    // The initial state, set before any handler is attached, runs nothing.
    expense->setChecked(true);
    std::vector<QString> actions;
    expense->setActionHandler([&] { actions.push_back(QStringLiteral("expense")); });
    income->setActionHandler([&] { actions.push_back(QStringLiteral("income")); });

    expense->setValue(true);
    expense->setValue(true);
    income->setValue(true);
    EXPECT_TRUE(income->value());
    EXPECT_FALSE(expense->value());
    income->setValue(false);
    EXPECT_FALSE(income->value());
    EXPECT_EQ(actions, (std::vector<QString>{QStringLiteral("expense"), QStringLiteral("expense"),
                                             QStringLiteral("income")}));

    box.resize(200, 100);
    expense->move(0, 0);
    income->move(0, 40);
    box.show();
    actions.clear();
    QTest::mouseClick(expense, Qt::LeftButton);
    EXPECT_TRUE(expense->value());
    EXPECT_EQ(actions, (std::vector<QString>{QStringLiteral("expense")}));
}

} // namespace
