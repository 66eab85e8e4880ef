#include "RealActions.h"

#include "TimedAction.h"

#include "app/App.h"
#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "platform/DataFolder.h"
#include "platform/ListBox.h"
#include "platform/ScriptedUi.h"
#include "reports/PageModel.h"
#include "reports/wndPrev.h"

#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>

namespace {

class RealDriver
{
public:
    RealDriver(const Scenario &scenario, const std::string &workFolder, const std::string &workLedger)
        : m_scenario(scenario), m_folder(QString::fromStdString(workFolder)),
          m_ledgerName(QString::fromStdString(std::filesystem::path(workLedger).filename().string()))
    {}

    // Closes the windows and the ledger, as at the end of a run of the program.
    void shutDown()
    {
        closeReportWindow();
        if (wndKakeibo::exists()) {
            wndKakeibo::instance()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        resetGlobals();
    }

    // Everything start-up needs before the application's open handler runs: the data folder
    // with the settings file that names the ledger, a fresh menu bar and the dialog service.
    void prepareStart()
    {
        shutDown();
        setDataFolder(m_folder);
        QFile::remove(bareFile(QString::fromLatin1(kSettingsFileName)));
        gDBfileName = m_ledgerName;
        SaveKakeiboIni();
        gDBfileName.clear();
        MainMenuBar::destroyInstance();
        MainMenuBar::instance();
        auto ui = std::make_unique<ScriptedUi>();
        m_ui = ui.get();
        Ui::install(std::move(ui));
        setMainWindowEnabler([] { wndKakeibo::instance()->grbKakeibo2()->setEnabled(true); });
    }

    // What main() does after the application object exists, up to the first painted window.
    void start(App &app)
    {
        app.openHandler();
        wndKakeibo::instance();
        QCoreApplication::processEvents();
    }

    // The program started on the working ledger, unless it still is from an earlier action.
    void ensureStarted(App &app)
    {
        closeReportWindow();
        if (!wndKakeibo::exists() || !KakeiboDB || !KakeiboDB->isConnected()) {
            prepareStart();
            start(app);
        }
        m_ui->messages.clear();
    }

    void closeReportWindow()
    {
        if (wndPrev::exists()) {
            wndPrev::instance()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The report menu command: the guard, then the report window.
    static void reportCommand(int32_t kind)
    {
        if (CheckKakeiboDBConnected()) {
            wndPrev::openReport(kind);
        }
    }

    // Runs `inside` once the modal report window's own event loop runs, then closes it.
    static void whileModal(const std::function<void()> &inside)
    {
        QTimer::singleShot(0, [inside] {
            QCoreApplication::processEvents();
            inside();
            wndPrev::instance()->close();
        });
    }

    void pressCsvButton(const QString &file)
    {
        m_ui->fileAnswers.push_back(m_folder + QLatin1Char('/') + file);
        wndPrev::instance()->findChild<QPushButton *>(QStringLiteral("pbtCsvOutput"))->click();
    }

    void reportActions(App &app, std::vector<TimedAction> &list)
    {
        auto started = [this, &app] { ensureStarted(app); };
        list.push_back({{"assetReport"},
                        false,
                        started,
                        [](Laps &) {
                            reportCommand(kAssetReport);
                            QCoreApplication::processEvents();
                        },
                        [this] { checkNoMessages("the asset report"); }});
        list.push_back({{"yearlyReport", "yearlyReportClose"},
                        false,
                        started,
                        [](Laps &laps) {
                            whileModal([&laps] { laps.mark(); });
                            reportCommand(kYearlyReport);
                        },
                        [this] { checkNoMessages("the yearly report"); }});
        list.push_back({{"assetCsv"},
                        false,
                        [this, &app] {
                            ensureStarted(app);
                            reportCommand(kAssetReport);
                            QCoreApplication::processEvents();
                        },
                        [this](Laps &) { pressCsvButton(QStringLiteral("program-asset.csv")); },
                        [this] { checkNoMessages("the asset CSV file"); }});
        list.push_back({{"yearlyCsvOpen", "yearlyCsv", "yearlyCsvClose"},
                        false,
                        started,
                        [this](Laps &laps) {
                            whileModal([this, &laps] {
                                laps.mark();
                                pressCsvButton(QStringLiteral("program-yearly.csv"));
                                laps.mark();
                            });
                            reportCommand(kYearlyReport);
                        },
                        [this] { checkNoMessages("the yearly CSV file"); }});
    }

    // Any message means a driver did something other than the user action it times.
    void checkNoMessages(const char *what) const
    {
        if (m_ui && !m_ui->messages.isEmpty()) {
            std::fprintf(stderr, "%s showed: %s\n", what, qPrintable(m_ui->messages.join(QLatin1Char('\n'))));
            std::exit(3);
        }
    }

    std::vector<TimedAction> actions(App &app)
    {
        std::vector<TimedAction> list;
        list.push_back({{"startup"},
                        false,
                        [this] { prepareStart(); },
                        [this, &app](Laps &) { start(app); },
                        [this] { checkNoMessages("start-up"); }});
        list.push_back({{"switch"},
                        false,
                        [this, &app] {
                            ensureStarted(app);
                            // Each run switches from the first account, as after start-up.
                            wndKakeibo::instance()->lsbSisan()->setListIndex(0);
                        },
                        [this](Laps &) {
                            wndKakeibo::instance()->lsbSisan()->setListIndex(m_scenario.largestAccountRow);
                            QCoreApplication::processEvents();
                        },
                        [this] { checkNoMessages("the account switch"); }});
        reportActions(app, list);
        return list;
    }

private:
    const Scenario &m_scenario;
    QString m_folder;
    QString m_ledgerName;
    ScriptedUi *m_ui = nullptr;
};

// The offscreen platform warns about window calls it ignores (raise, size hints); those say
// nothing about the program and would drown the benchmark's own output.
void quietPlatform(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths:"))) {
        return;
    }
    if (type != QtDebugMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

} // namespace

int runRealActions(int argc, char **argv, const Scenario &scenario, const std::string &workFolder,
                   const std::string &workLedger, int runs, const std::string &only,
                   const std::function<void()> &restoreLedger)
{
    qInstallMessageHandler(quietPlatform);
    App app(argc, argv);
    App::setApplicationName(QStringLiteral("Quorvela"));
    RealDriver driver(scenario, workFolder, workLedger);
    const std::vector<TimedAction> actions = selectActions(driver.actions(app), only);
    // The program's connection must not be open on the file while it is copied over.
    timeActions(actions, runs, [&driver, &restoreLedger] {
        driver.shutDown();
        restoreLedger();
    });
    driver.shutDown();
    return 0;
}
