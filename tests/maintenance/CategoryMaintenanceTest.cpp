#include "MaintenanceFixture.h"

#include "app/mdlGlobal.h"
#include "maintenance/CategoryMaintenance.h"

#include <functional>

class CategoryMaintenanceTest : public MaintenanceFixture
{
protected:
    QString himokuRow(int id)
    {
        auto row = readCategoryItem(id, QString());
        if (!row) {
            return QStringLiteral("none");
        }
        return QStringLiteral("%1,%2,%3,%4").arg(row->kind).arg(row->name).arg(row->hno).arg(row->ucount);
    }

    // The row as the dialog lists it, to act on.
    static ShownCategoryItem listed(int32_t id)
    {
        CategoryRow gone;
        gone.id = id;
        return shownCategoryItem(readCategoryItem(id, QString()).value_or(gone));
    }
};

TEST_F(CategoryMaintenanceTest, TheSeedTreeListsEachCategoryBeforeItsSubItemsAndTablesHoldSubItemsOnly)
{
    const auto tree = readCategoryTree();
    ASSERT_EQ(tree.size(), 76u);
    EXPECT_EQ(tree[0].name, QStringLiteral("食費"));
    EXPECT_TRUE(tree[0].isCategory());
    EXPECT_EQ(tree[1].name, QStringLiteral("食費/食材"));
    EXPECT_EQ(tree[2].name, QStringLiteral("食費/アルコール"));
    EXPECT_EQ(tree[3].name, QStringLiteral("水道光熱費"));
    EXPECT_EQ(tree[63].name, QStringLiteral("給料"));
    EXPECT_EQ(tree[63].kind, 2);
    EXPECT_EQ(gDicSisyutu.count(), 48);
    EXPECT_EQ(gDicSyuunyuu.count(), 8);
    EXPECT_EQ(gDicSisyutu.keys()[0], 2);
    EXPECT_EQ(gDicSisyutu.keys()[2], 5);
    EXPECT_EQ(gDicSisyutu.valueAt(2), QStringLiteral("水道光熱費/ガス水道"));
    for (const auto &[id, name] : gDicSisyutu) {
        EXPECT_FALSE(name.startsWith(QLatin1String(">>"))) << id;
    }
}

TEST_F(CategoryMaintenanceTest, ASubItemOfAnUnknownKindIsListedWithoutATableEntry)
{
    exec(QStringLiteral("INSERT INTO Himoku VALUES (95, 3, '謎/謎', 1, 0)"));
    const auto tree = readCategoryTree();
    EXPECT_EQ(tree.size(), 77u);
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("SybetuNoErr from RepopulateLsbHimoku 3")});
    EXPECT_FALSE(gDicSisyutu.contains(95));
    EXPECT_FALSE(gDicSyuunyuu.contains(95));
}

TEST_F(CategoryMaintenanceTest, AFailedTreeReadShowsItsMessageAndEmptiesTheTables)
{
    exec(QStringLiteral("DROP TABLE Himoku"));
    EXPECT_TRUE(readCategoryTree().empty());
    EXPECT_TRUE(gDicSisyutu.isEmpty());
    EXPECT_TRUE(gDicSyuunyuu.isEmpty());
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method RepopulateLsbHimoku: no such table: Himoku")});
}

TEST_F(CategoryMaintenanceTest, AddingACategoryWritesItLinkedToItselfWithItsFirstSubItem)
{
    struct Case
    {
        int kind;
        QString name;
        QString subName;
    };
    const Case cases[] = {
        {1, QStringLiteral("特別費"), QStringLiteral("特別費/特別費")},
        {2, QStringLiteral("副業"), QStringLiteral("副業/副業")},
        {1, QString(), QStringLiteral("/")},
        {2, QStringLiteral("Bob's"), QStringLiteral("Bob's/Bob's")},
    };
    int id = 91;
    for (const Case &c : cases) {
        EXPECT_TRUE(addCategory(c.kind, c.name));
        EXPECT_EQ(himokuRow(id), QStringLiteral("%1,%2,%3,1").arg(c.kind).arg(c.name).arg(id));
        EXPECT_EQ(himokuRow(id + 1), QStringLiteral("%1,%2,%3,0").arg(c.kind).arg(c.subName).arg(id));
        id += 2;
    }
    // The new category comes last among its kind.
    const auto tree = readCategoryTree();
    EXPECT_EQ(tree[63].name, QStringLiteral("特別費"));
    EXPECT_EQ(tree[64].name, QStringLiteral("特別費/特別費"));
    EXPECT_TRUE(tree[65].name.isEmpty());
    EXPECT_EQ(tree[66].name, QStringLiteral("/"));
    EXPECT_EQ(tree[67].name, QStringLiteral("給料"));
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(CategoryMaintenanceTest, AnyFailingStepOfAddingACategoryLeavesNoRow)
{
    struct Case
    {
        const char *what;
        QString createTrigger;
        QString message;
    };
    const Case cases[] = {
        {"category insert",
         QStringLiteral("CREATE TRIGGER f BEFORE INSERT ON Himoku WHEN NEW.Ucount = 1 BEGIN SELECT "
                        "RAISE(ABORT,'boom'); END"),
         QStringLiteral("from Method Himokutuika INSERT: boom")},
        {"self link",
         QStringLiteral("CREATE TRIGGER f BEFORE UPDATE ON Himoku BEGIN SELECT RAISE(ABORT,'boom'); END"),
         QStringLiteral("from Method Himokutuika UPDATE: boom")},
        {"first sub-item",
         QStringLiteral("CREATE TRIGGER f BEFORE INSERT ON Himoku WHEN NEW.Ucount = 0 BEGIN SELECT "
                        "RAISE(ABORT,'boom'); END"),
         QStringLiteral("from Method Himokutuika add Utiwake: boom")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(c.createTrigger);
        const QString before = dump();
        m_ui->messages.clear();
        EXPECT_FALSE(addCategory(1, QStringLiteral("特別費")));
        EXPECT_EQ(m_ui->messages, QStringList{c.message});
        EXPECT_EQ(dump(), before);
        EXPECT_FALSE(KakeiboDB->inTransaction());
        exec(QStringLiteral("DROP TRIGGER f"));
    }
}

TEST_F(CategoryMaintenanceTest, AddingASubItemWritesItUnderItsCategoryAndLeavesTheCategoryCount)
{
    EXPECT_TRUE(addSubItem(listed(1), QStringLiteral("外食")));
    EXPECT_EQ(himokuRow(91), QStringLiteral("1,食費/外食,1,0"));
    EXPECT_EQ(himokuRow(1), QStringLiteral("1,食費,1,2"));
    const auto tree = readCategoryTree();
    EXPECT_EQ(tree[3].name, QStringLiteral("食費/外食"));
    EXPECT_EQ(tree[4].name, QStringLiteral("水道光熱費"));
    EXPECT_EQ(gDicSisyutu.keys()[2], 91);

    failOn(QStringLiteral("INSERT"), QStringLiteral("Himoku"));
    EXPECT_FALSE(addSubItem(listed(1), QStringLiteral("x")));
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("from Method Utiwakekutuika: boom")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Himoku")), 77);
}

TEST_F(CategoryMaintenanceTest, RenamingWritesOnlyThatRow)
{
    EXPECT_TRUE(renameCategoryItem(listed(1), QStringLiteral("食料費")));
    EXPECT_EQ(himokuRow(1), QStringLiteral("1,食料費,1,2"));
    EXPECT_EQ(himokuRow(2), QStringLiteral("1,食費/食材,1,0"));
    EXPECT_TRUE(renameCategoryItem(listed(2), QStringLiteral("食費/'野菜'")));
    EXPECT_EQ(himokuRow(2), QStringLiteral("1,食費/'野菜',1,0"));

    failOn(QStringLiteral("UPDATE"), QStringLiteral("Himoku"));
    const QString before = dump();
    EXPECT_FALSE(renameCategoryItem(listed(2), QStringLiteral("z")));
    EXPECT_EQ(m_ui->messages,
              (QStringList{QStringLiteral("from Method HimokuHensyuu: boom"), QStringLiteral("boom")}));
    EXPECT_EQ(dump(), before);
}

TEST_F(CategoryMaintenanceTest, DeletingACategoryTakesItsSubItemsTheirEntriesAndRecomputesTheAccounts)
{
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 1000"));
    addExpense(1, 2, 300);
    addExpense(2, 3, 50);
    addExpense(2, 2, 20);
    addExpense(1, 5, 7);    // another category's sub-item
    addTransfer(1, 2, 100); // no sub-item
    // A sub-item whose Ucount is NULL still belongs to the category and goes with it.
    exec(QStringLiteral("INSERT INTO Himoku VALUES (95, 1, '食費/謎', 1, NULL)"));
    addExpense(1, 95, 1);
    settleBalances();

    EXPECT_TRUE(deleteCategoryWithEntries(listed(1)));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Himoku WHERE Hno = 1 OR Id = 1")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Himoku")), 73);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE HimokuNo IN (1, 2, 3, 95)")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), 1000 - 7 - 100);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), 1000 + 100);
    EXPECT_EQ(inconsistentAccounts(), 0);
}

TEST_F(CategoryMaintenanceTest, DeletingASubItemTakesOnlyItsEntriesAndKeepsItsLastUsedValues)
{
    exec(QStringLiteral("INSERT INTO LastItems VALUES (2, '2024-03-05', 300, 'x')"));
    addExpense(1, 2, 300);
    addExpense(2, 2, 30);
    addExpense(2, 3, 50);
    settleBalances();
    EXPECT_TRUE(deleteSubItemWithEntries(listed(2)));
    EXPECT_EQ(himokuRow(2), QStringLiteral("none"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM LastItems WHERE Id = 2")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), -50);

    // Without entries no balance is recomputed, not even a stale one.
    exec(QStringLiteral("UPDATE Sisan SET Zankin = 42 WHERE Id = 1"));
    EXPECT_TRUE(deleteSubItemWithEntries(listed(5)));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), 42);
}

TEST_F(CategoryMaintenanceTest, AnyFailingStepOfADeleteLeavesTheLedgerAsItWas)
{
    struct Case
    {
        const char *what;
        bool category;
        std::function<void()> arrange;
        QString message;
    };
    const Case cases[] = {
        {"sub-item select", true, [this] { denySelectOf(QStringLiteral("Himoku"), QStringLiteral("Hno")); },
         QStringLiteral("削除する内訳番号を取得できませんでしたで。access to Himoku.Hno is prohibited")},
        {"accounts read", true, [this] { denySelectOf(QStringLiteral("Items"), QStringLiteral("HimokuNo")); },
         QStringLiteral(
             "この内訳をもつデータを削除できませんでいた。access to Items.HimokuNo is prohibited")},
        {"entries delete", true, [this] { failOn(QStringLiteral("DELETE"), QStringLiteral("Items")); },
         QStringLiteral("この内訳をもつデータを削除できませんでいた。boom")},
        {"balance rule", true, [this] { failOn(QStringLiteral("UPDATE"), QStringLiteral("Sisan")); },
         QStringLiteral("from Method UpdateSisanZankin: boom")},
        {"category rows", true, [this] { failOn(QStringLiteral("DELETE"), QStringLiteral("Himoku")); },
         QStringLiteral("費目データを削除できませんでいた。boom")},
        {"accounts read", false,
         [this] { denySelectOf(QStringLiteral("Items"), QStringLiteral("HimokuNo")); },
         QStringLiteral(
             "この内訳をもつデータを削除できませんでいた。access to Items.HimokuNo is prohibited")},
        {"entries delete", false, [this] { failOn(QStringLiteral("DELETE"), QStringLiteral("Items")); },
         QStringLiteral("この内訳をもつデータを削除できませんでいた。boom")},
        {"balance rule", false, [this] { failOn(QStringLiteral("UPDATE"), QStringLiteral("Sisan")); },
         QStringLiteral("from Method UpdateSisanZankin: boom")},
        {"sub-item row", false, [this] { failOn(QStringLiteral("DELETE"), QStringLiteral("Himoku")); },
         QStringLiteral("この内訳を削除できませんでいた。boom")},
    };
    addExpense(1, 2, 300);
    addExpense(2, 3, 50);
    settleBalances();
    const ShownCategoryItem food = listed(1);
    const ShownCategoryItem alcohol = listed(3);
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.what) + (c.category ? " (category)" : " (sub-item)"));
        c.arrange();
        const QString before = dump();
        m_ui->messages.clear();
        EXPECT_FALSE(c.category ? deleteCategoryWithEntries(food) : deleteSubItemWithEntries(alcohol));
        EXPECT_EQ(m_ui->messages, QStringList{c.message});
        EXPECT_EQ(dump(), before);
        EXPECT_FALSE(KakeiboDB->inTransaction());
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_DELETE_Items"));
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_UPDATE_Sisan"));
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_DELETE_Himoku"));
        denySelectOf(QString(), QString());
    }
}

TEST_F(CategoryMaintenanceTest, MergingRebooksEveryEntryAndChangesNoBalance)
{
    exec(QStringLiteral("INSERT INTO LastItems VALUES (3, '2024-03-05', 50, 'x')"));
    addExpense(1, 3, 300);
    addExpense(2, 3, 50);
    addExpense(2, 13, 20);
    addExpense(1, 2, 9);
    settleBalances();
    const qint64 cash = scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1"));
    const qint64 deposit = scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2"));

    EXPECT_TRUE(mergeSubItem(listed(3), listed(13)));
    EXPECT_EQ(himokuRow(3), QStringLiteral("none"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE HimokuNo = 3")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE HimokuNo = 13")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE HimokuNo = 2")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM LastItems WHERE Id = 3")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), cash);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), deposit);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(CategoryMaintenanceTest, AFailingMergeStepChangesNothing)
{
    addExpense(1, 3, 300);
    settleBalances();
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("UPDATE"), QStringLiteral("from Method HimokuTougou Update: boom")},
        {QStringLiteral("DELETE"), QStringLiteral("from Method HimokuTougou deleteboom")},
    };
    for (const auto &[event, message] : cases) {
        SCOPED_TRACE(event.toStdString());
        failOn(event, event == QLatin1String("UPDATE") ? QStringLiteral("Items") : QStringLiteral("Himoku"));
        const QString before = dump();
        m_ui->messages.clear();
        EXPECT_FALSE(mergeSubItem(listed(3), listed(13)));
        EXPECT_EQ(m_ui->messages, QStringList{message});
        EXPECT_EQ(dump(), before);
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_UPDATE_Items"));
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_DELETE_Himoku"));
    }
}
