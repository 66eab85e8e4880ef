// Where the keyboard is when the main window shows a ledger: on New, after the start-up that
// main runs and after every full refresh, so that a first Space opens a new entry.

#include "WindowState.h"
#include "app/App.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class StartUpFocusTest : public OwnMainWindowFixture
{
protected:
    void SetUp() override
    {
        OwnMainWindowFixture::SetUp();
        // The default ledger of the data folder, with one entry to show; then nothing open.
        createLedger(QStringLiteral("Quorvela.sqlf"));
        exec(QStringLiteral("INSERT INTO Items VALUES (50, '2024-02-10', 2024, 2, 10, 1, 1, 2, NULL, -1, "
                            "NULL, 321, 'memo')"));
        resetGlobals();
    }

    void TearDown() override
    {
        setMainWindowEnabler(nullptr);
        OwnMainWindowFixture::TearDown();
    }

    // What main does once the data folder is set.
    wndKakeibo *startAsMainDoes()
    {
        MainMenuBar::instance();
        setMainWindowEnabler(&wndKakeibo::enableBookkeeping);
        static_cast<App *>(qApp)->openHandler();
        wndKakeibo *window = wndKakeibo::instance();
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(u'\n').toStdString();
        EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty()) << "the default ledger was not opened";
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }

    static std::string focusName()
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName().toStdString() : "nothing";
    }
};

TEST_F(StartUpFocusTest, AtStartNewHoldsTheFocusAndAFirstSpaceOpensANewEntry)
{
    wndKakeibo *w = startAsMainDoes();
    ASSERT_EQ(w->lsbItem()->rowCount(), 1);
    EXPECT_EQ(focusName(), "pbtSinki");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(w->grbKinyu()->isEnabled()) << "the form was not opened";
    EXPECT_EQ(w->KinyuuStatus, 1);
    EXPECT_EQ(w->lsbItem()->listIndex(), -1) << "an entry was shown";
    EXPECT_FALSE(w->pbtHensyuu()->isEnabled());
}

TEST_F(StartUpFocusTest, AfterAFullRefreshNewHoldsTheFocusAgain)
{
    wndKakeibo *w = startAsMainDoes();
    w->pbtSinki()->click();
    QTest::mouseClick(w->tfdBikou(), Qt::LeftButton);
    ASSERT_EQ(focusName(), "tfdBikou");

    MainMenuBar::instance().findItem(QStringLiteral("mnuDBOpen"))->trigger();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(u'\n').toStdString();
    ASSERT_FALSE(w->grbKinyu()->isEnabled()) << "no full refresh ran";
    EXPECT_EQ(focusName(), "pbtSinki");
}

} // namespace
