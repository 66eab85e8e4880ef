#include "RealActions.h"

#include "BareLedger.h"
#include "TimedAction.h"

#include "app/App.h"
#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/dlgHimoku.h"
#include "platform/DataFolder.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "platform/ScriptedUi.h"
#include "reports/PageModel.h"
#include "reports/wndPrev.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

class RealDriver
{
public:
    RealDriver(App &app, const Scenario &scenario, const std::string &workFolder,
               const std::string &workLedger)
        : m_app(app), m_scenario(scenario), m_folder(QString::fromStdString(workFolder)),
          m_ledgerPath(workLedger),
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

    std::vector<TimedAction> actions()
    {
        std::vector<TimedAction> list;
        startActions(list);
        entryActions(list);
        dialogActions(list);
        reportActions(list);
        return list;
    }

private:
    static wndKakeibo *window() { return wndKakeibo::instance(); }

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
        setMainWindowEnabler(&wndKakeibo::enableBookkeeping);
    }

    // What main() does after the application object exists, up to the first painted window.
    void start()
    {
        m_app.openHandler();
        wndKakeibo::instance();
        QCoreApplication::processEvents();
    }

    // The program started on the working ledger, unless it still is from an earlier action.
    void ensureStarted()
    {
        closeReportWindow();
        if (!wndKakeibo::exists() || !KakeiboDB || !KakeiboDB->isConnected()) {
            prepareStart();
            start();
        }
        m_ui->messages.clear();
        m_ui->confirmAnswers.clear();
        m_ui->fileAnswers.clear();
    }

    // Started, with the largest account chosen, as the user does before working in it.
    void startedInLargestAccount()
    {
        ensureStarted();
        if (window()->lsbSisan()->listIndex() != m_scenario.largestAccountRow) {
            window()->lsbSisan()->setListIndex(m_scenario.largestAccountRow);
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

    // What a run showed that the action should not have: "" when nothing.
    std::string messagesShown() const
    {
        return m_ui && !m_ui->messages.isEmpty()
                   ? "it showed: " + m_ui->messages.join(QLatin1Char('\n')).toStdString()
                   : std::string();
    }

    int64_t ledgerScalar(const std::string &sql) const
    {
        BareLedger db;
        if (!db.open(m_ledgerPath)) {
            return -1;
        }
        return db.scalar(sql);
    }

    // "" when the ledger holds that many entries more than the generated one.
    std::string entriesAdded(int64_t added) const
    {
        const int64_t count = ledgerScalar("SELECT COUNT(*) FROM Items");
        if (count == m_scenario.entries + added) {
            return messagesShown();
        }
        return "the ledger holds " + std::to_string(count) + " entries, " +
               std::to_string(m_scenario.entries + added) + " expected";
    }

    std::string listed(int64_t expected) const
    {
        const int rows = window()->lsbItem()->rowCount();
        if (rows == expected) {
            return messagesShown();
        }
        return "the entry list has " + std::to_string(rows) + " rows, " + std::to_string(expected) +
               " expected";
    }

    void startActions(std::vector<TimedAction> &list)
    {
        list.push_back({{"startup"},
                        false,
                        [this] { prepareStart(); },
                        [this](Laps &) { start(); },
                        nullptr,
                        [this] { return listed(m_scenario.firstAccountEntries); }});
        list.push_back({{"switch"},
                        false,
                        [this] {
                            ensureStarted();
                            // Each run switches from the first account, as after start-up.
                            window()->lsbSisan()->setListIndex(0);
                        },
                        [this](Laps &) {
                            window()->lsbSisan()->setListIndex(m_scenario.largestAccountRow);
                            QCoreApplication::processEvents();
                        },
                        nullptr,
                        [this] { return listed(m_scenario.largestAccountEntries); }});
    }

    // The form as the user leaves it before pressing Input: the date, amount and memo.
    void fillForm(int64_t amount, const std::string &memo)
    {
        window()->DateListBox1()->TheDate().setYMD(m_scenario.day.year, m_scenario.day.month,
                                                   m_scenario.day.day);
        window()->DateListBox1()->DisplayDate();
        window()->tfdKingaku()->setText(QString::number(amount));
        window()->tfdBikou()->setText(QString::fromStdString(memo));
    }

    // Chooses the popup row of a lookup-table key (a sub-item or an account).
    void choose(int32_t key) { window()->ppmHimoku()->setListIndex(gDicIdIndex.value(key)); }

    // Shows the entry of that Id, as a click on its row does.
    void chooseEntry(int64_t id)
    {
        ListBox *entries = window()->lsbItem();
        for (int row = entries->rowCount() - 1; row >= 0; --row) {
            if (entries->cell(row, 0).toLongLong() == id) {
                entries->setListIndex(row);
                return;
            }
        }
    }

    void input()
    {
        window()->pbtNyuryoku()->click();
        QCoreApplication::processEvents();
    }

    void entryActions(std::vector<TimedAction> &list)
    {
        list.push_back({{"expense"},
                        true,
                        [this] {
                            startedInLargestAccount();
                            window()->pbtSinki()->click();
                            choose(m_scenario.expenseSubItem);
                            fillForm(m_scenario.expenseAmount, m_scenario.expenseMemo);
                        },
                        [this](Laps &) { input(); },
                        nullptr,
                        [this] { return entriesAdded(1); }});
        list.push_back({{"transfer"},
                        true,
                        [this] {
                            startedInLargestAccount();
                            window()->pbtSinki()->click();
                            window()->rbtIdou()->click();
                            choose(m_scenario.transferTo);
                            fillForm(m_scenario.transferAmount, m_scenario.transferMemo);
                        },
                        [this](Laps &) { input(); },
                        nullptr,
                        [this] { return entriesAdded(2); }});
        list.push_back({{"changeTransfer"},
                        true,
                        [this] {
                            startedInLargestAccount();
                            chooseEntry(m_scenario.pairRowId);
                            window()->pbtHensyuu()->click();
                            fillForm(m_scenario.changedAmount, m_scenario.changedMemo);
                            m_ui->confirmAnswers.push_back(true);
                        },
                        [this](Laps &) { input(); },
                        nullptr,
                        [this] {
                            const int64_t amount = ledgerScalar("SELECT Syukkin FROM Items WHERE Id = " +
                                                                std::to_string(m_scenario.sourceId));
                            return amount == m_scenario.changedAmount
                                       ? messagesShown()
                                       : "the pair's source row holds " + std::to_string(amount);
                        }});
        list.push_back({{"deleteTransfer"},
                        true,
                        [this] {
                            startedInLargestAccount();
                            chooseEntry(m_scenario.pairRowId);
                            window()->pbtSakujyo()->click();
                            m_ui->confirmAnswers.push_back(true);
                        },
                        [this](Laps &) { input(); },
                        nullptr,
                        [this] { return entriesAdded(-2); }});
    }

    static void menuCommand(const char *item)
    {
        MainMenuBar::instance().findItem(QString::fromLatin1(item))->trigger();
    }

    // Runs a maintenance menu command; `inside` runs once its dialog is up (with the dialog),
    // and then the dialog's close button is pressed. Events still waiting afterwards are
    // handled, so a command that opened nothing leaves no timer behind.
    void dialogCommand(const char *item, const char *dialogName, const std::function<void(QWidget *)> &inside)
    {
        m_dialogSeen = false;
        QTimer::singleShot(0, [this, dialogName, inside] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != QLatin1String(dialogName)) {
                return;
            }
            m_dialogSeen = true;
            QCoreApplication::processEvents();
            inside(dialog);
            dialog->findChild<QPushButton *>(QStringLiteral("pbtClose"))->click();
        });
        menuCommand(item);
        QCoreApplication::processEvents();
    }

    std::string dialogShown() const { return m_dialogSeen ? messagesShown() : "the dialog did not open"; }

    // In the category dialog: the source sub-item chosen in the list, the merge button, the
    // target chosen in the merge popup, as the user does before pressing Done.
    void prepareMerge(QWidget *dialog)
    {
        auto *tree = dialog->findChild<ListBox *>(QStringLiteral("lsbHimoku"));
        for (int row = 0; row < tree->rowCount(); ++row) {
            if (tree->cell(row, 2).toInt() == m_scenario.mergeSource) {
                static_cast<dlgHimoku *>(dialog)->lsbHimoku_CellClick(row, 0);
                tree->setListIndex(row);
                break;
            }
        }
        dialog->findChild<QPushButton *>(QStringLiteral("pbtUtiwakeTougou"))->click();
        const std::vector<int32_t> keys = gDicSisyutu.keys();
        const auto target = std::find(keys.begin(), keys.end(), m_scenario.mergeTarget);
        dialog->findChild<PopupMenu *>(QStringLiteral("ppmUtiwakeTougouSaki"))
            ->setListIndex(target == keys.end() ? -1 : static_cast<int>(target - keys.begin()));
        m_ui->confirmAnswers.push_back(true);
    }

    void dialogActions(std::vector<TimedAction> &list)
    {
        auto started = [this] { ensureStarted(); };
        list.push_back({{"accountDialog", "accountDialogClose"},
                        false,
                        started,
                        [this](Laps &laps) {
                            dialogCommand("SisanKoumokuKanri", "dlgSisan",
                                          [&laps](QWidget *) { laps.mark(); });
                        },
                        nullptr,
                        [this] { return dialogShown(); }});
        list.push_back({{"categoryDialog", "categoryDialogClose"},
                        false,
                        started,
                        [this](Laps &laps) {
                            dialogCommand("HimokuKoumokuKanri", "dlgHimoku",
                                          [&laps](QWidget *) { laps.mark(); });
                        },
                        nullptr,
                        [this] { return dialogShown(); }});
        list.push_back(
            {{"mergeOpen", "merge", "mergeClose"},
             true,
             started,
             [this](Laps &laps) {
                 dialogCommand("HimokuKoumokuKanri", "dlgHimoku", [this, &laps](QWidget *dialog) {
                     prepareMerge(dialog);
                     laps.mark();
                     dialog->findChild<QPushButton *>(QStringLiteral("pbtKoumokuKanryou"))->click();
                     laps.mark();
                 });
             },
             nullptr,
             [this] {
                 const int64_t left = ledgerScalar("SELECT COUNT(*) FROM Items WHERE HimokuNo = " +
                                                   std::to_string(m_scenario.mergeSource)) +
                                      ledgerScalar("SELECT COUNT(*) FROM Himoku WHERE Id = " +
                                                   std::to_string(m_scenario.mergeSource));
                 return !m_dialogSeen ? "the dialog did not open"
                        : left == 0   ? messagesShown()
                                      : "the source sub-item still has entries";
             }});
    }

    // The report menu commands, by their items.
    static void reportCommand(int32_t kind)
    {
        menuCommand(kind == kAssetReport ? "mnuSisanReport" : "mnuKakeiboReport");
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

    QString outputFile(const char *name) const { return m_folder + QLatin1Char('/') + QLatin1String(name); }

    void pressCsvButton(const QString &file)
    {
        QFile::remove(file);
        m_ui->fileAnswers.push_back(file);
        wndPrev::instance()->findChild<QPushButton *>(QStringLiteral("pbtCsvOutput"))->click();
    }

    std::string written(const QString &file) const
    {
        return QFileInfo(file).size() > 0 ? messagesShown() : "no file was written";
    }

    void reportActions(std::vector<TimedAction> &list)
    {
        auto started = [this] { ensureStarted(); };
        list.push_back({{"assetReport"},
                        false,
                        started,
                        [](Laps &) {
                            reportCommand(kAssetReport);
                            QCoreApplication::processEvents();
                        },
                        nullptr,
                        [this] {
                            return wndPrev::exists() && wndPrev::instance()->PBffer() ? messagesShown()
                                                                                      : "no report window";
                        }});
        list.push_back({{"yearlyReport", "yearlyReportClose"},
                        false,
                        started,
                        [this](Laps &laps) {
                            whileModal([this, &laps] {
                                laps.mark();
                                m_drawn = wndPrev::instance()->PBffer() != nullptr;
                            });
                            m_drawn = false;
                            reportCommand(kYearlyReport);
                        },
                        nullptr,
                        [this] { return m_drawn ? messagesShown() : "no report window"; }});
        list.push_back({{"assetCsv"},
                        false,
                        [this] {
                            ensureStarted();
                            reportCommand(kAssetReport);
                            QCoreApplication::processEvents();
                        },
                        [this](Laps &) { pressCsvButton(outputFile("program-asset.csv")); },
                        nullptr,
                        [this] { return written(outputFile("program-asset.csv")); },
                        true});
        list.push_back({{"yearlyCsvOpen", "yearlyCsv", "yearlyCsvClose"},
                        false,
                        started,
                        [this](Laps &laps) {
                            whileModal([this, &laps] {
                                laps.mark();
                                pressCsvButton(outputFile("program-yearly.csv"));
                                laps.mark();
                            });
                            reportCommand(kYearlyReport);
                        },
                        nullptr,
                        [this] { return written(outputFile("program-yearly.csv")); },
                        true});
    }

    App &m_app;
    const Scenario &m_scenario;
    QString m_folder;
    std::string m_ledgerPath;
    QString m_ledgerName;
    ScriptedUi *m_ui = nullptr;
    bool m_drawn = false;
    bool m_dialogSeen = false;
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
                   const std::string &workLedger, const std::string &only,
                   const std::function<void()> &restoreLedger)
{
    qInstallMessageHandler(quietPlatform);
    App app(argc, argv);
    App::setApplicationName(QStringLiteral("Quorvela"));
    RealDriver driver(app, scenario, workFolder, workLedger);
    const std::vector<TimedAction> actions = selectActions(driver.actions(), only);
    recordConnections();
    for (size_t i = 0; i < actions.size(); ++i) {
        std::string keys;
        for (const std::string &key : actions[i].keys) {
            if (!keys.empty()) {
                keys += ',';
            }
            keys += key;
        }
        std::printf("ACTION\t%zu\t%d\t%d\t%s\n", i, int(actions[i].writes), int(actions[i].writesFile),
                    keys.c_str());
    }
    std::printf("READY\n");
    std::fflush(stdout);
    // The program's connection must not be open on the file while it is copied over.
    const auto restore = [&driver, &restoreLedger] {
        driver.shutDown();
        restoreLedger();
    };
    char line[256];
    size_t index = 0;
    int run = 0;
    while (std::fgets(line, sizeof line, stdin) && std::sscanf(line, "RUN %zu %d", &index, &run) == 2 &&
           index < actions.size()) {
        const RunResult result = runOnce(actions[index], run, restore);
        for (const RecordedEvent &event : result.events) {
            std::printf("%s\n", eventLine(event).c_str());
        }
        // The reason may hold line ends (the messages the run showed): escaped, it stays on its line.
        std::printf("RESULT\t%s\t%s\nDONE\n", joinedMs(result.ms).c_str(), escaped(result.wrong).c_str());
        std::fflush(stdout);
    }
    driver.shutDown();
    return 0;
}
