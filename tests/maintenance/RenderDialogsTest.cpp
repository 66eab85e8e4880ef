// How the dialogs look: drawn details checked on their pixels, and PNG files for a person to
// look at, rendered when QUORVELA_RENDER_DIR names a folder (skipped otherwise).

#include "MaintenanceFixture.h"

#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"

#include <QDir>
#include <QPushButton>
#include <QTest>

class RenderDialogsTest : public MaintenanceFixture
{
protected:
    void render(QWidget &dialog, const QString &name)
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_TRUE(dialog.grab().save(QDir(m_folder).filePath(name)));
    }
    QString m_folder = qEnvironmentVariable("QUORVELA_RENDER_DIR");

    // Whether the list draws a line down the right edge of the cell: the pixel on that edge
    // differs from the row's background a few pixels to its left.
    static bool lineRightOf(QWidget &dialog, const char *listName, int row, int column)
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        auto *list = dialog.findChild<ListBox *>(QLatin1String(listName));
        const QImage image = list->viewport()->grab().toImage();
        const QPoint edge(list->columnViewportPosition(column) + list->columnWidth(column) - 1,
                          list->rowViewportPosition(row) + list->rowHeight(row) / 2);
        return image.pixel(edge) != image.pixel(edge - QPoint(3, 0));
    }
};

TEST_F(RenderDialogsTest, BothListsSeparateTheirColumnsWithVerticalLines)
{
    dlgSisan accounts;
    EXPECT_TRUE(lineRightOf(accounts, "lsbSisan", 1, 0));
    EXPECT_TRUE(lineRightOf(accounts, "lsbSisan", 0, 1));
    dlgHimoku categories;
    EXPECT_TRUE(lineRightOf(categories, "lsbHimoku", 1, 0));
    EXPECT_TRUE(lineRightOf(categories, "lsbHimoku", 2, 0));
}

TEST_F(RenderDialogsTest, AccountDialog)
{
    if (m_folder.isEmpty()) {
        GTEST_SKIP() << "set QUORVELA_RENDER_DIR to render";
    }
    exec(QStringLiteral("INSERT INTO Sisan VALUES (3, 'クレジットカード', -1234567890, -1234567890)"));
    exec(QStringLiteral("INSERT INTO Sisan VALUES (4, '財布', 25000, 25000)"));
    dlgSisan dialog;
    render(dialog, QStringLiteral("dlgSisan-idle.png"));
    dialog.lsbSisan_CellClick(3, 1);
    child<QPushButton>(dialog, "pbtSisanHensyuu")->click();
    render(dialog, QStringLiteral("dlgSisan-edit.png"));
    dialog.lsbSisan_CellClick(2, 1);
    child<QPushButton>(dialog, "pbtSisanSakujyo")->click();
    render(dialog, QStringLiteral("dlgSisan-delete.png"));
}

TEST_F(RenderDialogsTest, CategoryDialog)
{
    if (m_folder.isEmpty()) {
        GTEST_SKIP() << "set QUORVELA_RENDER_DIR to render";
    }
    dlgHimoku dialog;
    render(dialog, QStringLiteral("dlgHimoku-idle.png"));
    dialog.lsbHimoku_CellClick(2, 0);
    child<QPushButton>(dialog, "pbtUtiwakeTougou")->click();
    render(dialog, QStringLiteral("dlgHimoku-merge.png"));
    dialog.lsbHimoku_CellClick(0, 0);
    child<QPushButton>(dialog, "pbtKoumokuHensyuu")->click();
    render(dialog, QStringLiteral("dlgHimoku-edit.png"));
}
