// The report window deletes itself when it is closed. A dialog asked while it is the active
// window (a message of its own drawing, the print dialog) must live on when the window goes:
// closing it under an open dialog neither deletes the dialog nor ends the program.

#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "platform/Ui.h"
#include "reports/wndPrev.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

class DialogOwnerTest : public ReportTest
{
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        // Qt's own dialogs, each answered by a timer while it is open.
        m_scripted = Ui::install(std::make_unique<QtUi>());
    }

    void TearDown() override
    {
        Ui::install(std::move(m_scripted));
        ReportTest::TearDown();
    }

    std::unique_ptr<Ui> m_scripted;
};

TEST_F(DialogOwnerTest, ClosingTheReportWindowUnderAnOpenDialogLeavesTheDialogAndTheProgram)
{
    const struct
    {
        const char *what;
        std::function<void()> ask;
    } cases[] = {
        {"a message", [] { Ui::instance().message(QStringLiteral("お知らせ")); }},
        {"a confirmation",
         [] {
             EXPECT_FALSE(Ui::instance().confirm(QStringLiteral("よろしいですか"), QStringLiteral("はい"),
                                                 QStringLiteral("いいえ"), Ui::Icon::Caution));
         }},
        {"the page setup",
         [] {
             PageSetup setup;
             EXPECT_FALSE(Ui::instance().pageSetup(setup));
         }},
        {"the print dialog", [] { EXPECT_FALSE(Ui::instance().print(PageSetup(), 1)); }},
        {"a file dialog", [] { EXPECT_FALSE(Ui::instance().saveFile(QStringLiteral("保存"))); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        wndPrev::openReport(kAssetReport);
        QCoreApplication::processEvents();
        const QPointer<wndPrev> report = wndPrev::instance();
        ASSERT_EQ(QApplication::activeWindow(), report.data());
        QWindow *reportWindow = report->windowHandle();

        bool answered = false;
        QTimer::singleShot(0, [&] {
            const QPointer<QWidget> dialog = QApplication::activeModalWidget();
            ASSERT_TRUE(dialog);
            // In front of the window it was asked from.
            EXPECT_EQ(dialog->windowHandle()->transientParent(), reportWindow);
            report->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(report.isNull()) << "the window was not deleted under the dialog";
            ASSERT_TRUE(dialog) << "the dialog went with the window";
            EXPECT_EQ(dialog->windowHandle()->transientParent(), nullptr);
            EXPECT_TRUE(dialog->isVisible());
            dialog->close();
            answered = true;
        });
        // Should the dialog not be found, it is closed all the same: the test never hangs.
        QTimer fallback;
        fallback.setSingleShot(true);
        QObject::connect(&fallback, &QTimer::timeout, [] {
            if (QWidget *open = QApplication::activeModalWidget()) {
                open->close();
            }
        });
        fallback.start(5000);
        c.ask();
        EXPECT_TRUE(answered);
        EXPECT_FALSE(wndPrev::exists());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
