// Renders the dialogs to PNG files for a person to look at, when QUORVELA_RENDER_DIR names a
// folder; skipped otherwise.

#include "MaintenanceFixture.h"

#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"

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
};

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
