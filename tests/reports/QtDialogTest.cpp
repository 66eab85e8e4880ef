// Qt's own dialogs as the dialog service asks them, each answered by a timer while it is open.
//
// The report window deletes itself when it is closed. A dialog asked while it is the active
// window (a message of its own drawing, the print dialog) must live on when the window goes:
// closing it under an open dialog neither deletes the dialog nor ends the program.

#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "platform/Ui.h"
#include "reports/wndPrev.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

class QtDialogTest : public ReportTest
{
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        m_scripted = Ui::install(std::make_unique<QtUi>());
    }

    void TearDown() override
    {
        Ui::install(std::move(m_scripted));
        ReportTest::TearDown();
    }

    // Runs ask, and answer on the dialog it opens once that is up. A dialog still open after
    // five seconds (the answer failed, or found none) is closed: the test never hangs.
    static void whileDialogOpen(const std::function<void(QWidget *dialog)> &answer,
                                const std::function<void()> &ask)
    {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            answered = true;
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_TRUE(dialog) << "no dialog is open";
            answer(dialog);
        });
        QTimer fallback;
        fallback.setSingleShot(true);
        QObject::connect(&fallback, &QTimer::timeout, [] {
            if (QWidget *open = QApplication::activeModalWidget()) {
                open->close();
            }
        });
        fallback.start(5000);
        ask();
        EXPECT_TRUE(answered);
    }

    std::unique_ptr<Ui> m_scripted;
};

TEST_F(QtDialogTest, ClosingTheReportWindowUnderAnOpenDialogLeavesTheDialogAndTheProgram)
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

        whileDialogOpen(
            [&](QWidget *opened) {
                const QPointer<QWidget> dialog = opened;
                // In front of the window it was asked from.
                EXPECT_EQ(dialog->windowHandle()->transientParent(), reportWindow);
                report->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                EXPECT_TRUE(report.isNull()) << "the window was not deleted under the dialog";
                ASSERT_TRUE(dialog) << "the dialog went with the window";
                EXPECT_EQ(dialog->windowHandle()->transientParent(), nullptr);
                EXPECT_TRUE(dialog->isVisible());
                dialog->close();
            },
            c.ask);
        EXPECT_FALSE(wndPrev::exists());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(QtDialogTest, ThePrintDialogsRangeStaysWithinTheDocumentsPages)
{
    int minimum = -1;
    int maximum = -1;
    QStringList rangeFields;
    whileDialogOpen(
        [&](QWidget *opened) {
            auto *dialog = qobject_cast<QPrintDialog *>(opened);
            ASSERT_TRUE(dialog);
            minimum = dialog->minPage();
            maximum = dialog->maxPage();
            for (const char *name : {"from", "to"}) {
                if (auto *field = dialog->findChild<QSpinBox *>(QString::fromLatin1(name))) {
                    rangeFields.append(QStringLiteral("%1 %2-%3")
                                           .arg(QString::fromLatin1(name))
                                           .arg(field->minimum())
                                           .arg(field->maximum()));
                }
            }
            dialog->reject();
        },
        [] { EXPECT_FALSE(Ui::instance().print(PageSetup(), 3)); });
    EXPECT_EQ(minimum, 1);
    EXPECT_EQ(maximum, 3);
    EXPECT_EQ(rangeFields, (QStringList{QStringLiteral("from 1-3"), QStringLiteral("to 1-3")}));
}

} // namespace
