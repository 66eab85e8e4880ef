#include "RealActions.h"

#include "TimedAction.h"

#include "app/App.h"
#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "platform/DataFolder.h"
#include "platform/ScriptedUi.h"

#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>

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

    // Closes the main window and the ledger, as at the end of a run of the program.
    void shutDown()
    {
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

    void startUntimed(App &app)
    {
        prepareStart();
        start(app);
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
        return list;
    }

private:
    const Scenario &m_scenario;
    QString m_folder;
    QString m_ledgerName;
    ScriptedUi *m_ui = nullptr;
};

} // namespace

int runRealActions(int argc, char **argv, const Scenario &scenario, const std::string &workFolder,
                   const std::string &workLedger, int runs, const std::string &only,
                   const std::function<void()> &restoreLedger)
{
    App app(argc, argv);
    App::setApplicationName(QStringLiteral("Quorvela"));
    RealDriver driver(scenario, workFolder, workLedger);
    std::vector<TimedAction> actions;
    for (TimedAction &a : driver.actions(app)) {
        if (only.empty() || ("," + only + ",").find("," + a.keys.front() + ",") != std::string::npos) {
            actions.push_back(std::move(a));
        }
    }
    timeActions(actions, runs, restoreLedger);
    driver.shutDown();
    return 0;
}
