// The kill test: a driver process makes, changes and deletes entries through the main window
// and maintains accounts and categories, as fast as it can, on one ledger file; this program
// kills it with SIGKILL at random moments, over and over, and after every kill checks the
// ledger from outside: sound file, whole transfer pairs, no entry without its account or
// sub-item, every balance equal to its entries, and nothing lost that an action had committed.
// Then it kills a second driver inside the new-ledger command, over a copy of that ledger and
// over nothing, until N kills have landed inside one: the chosen name must hold what it held
// before or a complete new ledger, and the next start must take nothing else.
//
//     reliability_stress [--kills N] [--creation-kills N] [--seed S] [--folder DIR]   the parent
//     reliability_stress --drive DIR SEED      the driver of entries and maintenance
//     reliability_stress --create DIR SEED     the driver of the new-ledger command
//
// Exit status 0 when every check held after every kill, 1 otherwise.

#include "DeadWriter.h"
#include "LedgerInvariants.h"
#include "app/App.h"
#include "app/LedgerSchema.h"
#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/AccountMaintenance.h"
#include "maintenance/CategoryMaintenance.h"
#include "platform/DataFolder.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "platform/ScriptedUi.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kLedger = QStringLiteral("Quorvela.sqlf");
// The ledger that the creation driver replaces by new ones, a copy of the stressed ledger.
const QString kReplacedLedger = QStringLiteral("over.sqlf");

// The commit counter SQLite keeps in the file header (bytes 24 to 27, big-endian): it grows
// by one with every committed transaction and returns to its old value when an interrupted
// one is rolled back, so a smaller value after a kill means a committed action was lost.
quint32 commitCounter(const QString &file)
{
    const int fd = open(QFile::encodeName(file).constData(), O_RDONLY);
    unsigned char bytes[4] = {0, 0, 0, 0};
    if (fd >= 0) {
        if (pread(fd, bytes, 4, 24) != 4) {
            bytes[0] = bytes[1] = bytes[2] = bytes[3] = 0;
        }
        close(fd);
    }
    return (quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) | (quint32(bytes[2]) << 8) |
           quint32(bytes[3]);
}

// The user of the driver: says yes to every confirmation, cancels every file dialog, and
// reads every message aloud on stderr (a message there means something failed).
class YesUi : public ScriptedUi
{
public:
    bool confirm(const QString &, const QString &, const QString &, Icon) override { return true; }

protected:
    void showMessage(const QString &text, Icon) override
    {
        std::fprintf(stderr, "driver message: %s\n", text.toUtf8().constData());
    }
};

// ---------------------------------------------------------------------------------------
// The driver.

class Driver
{
public:
    Driver(wndKakeibo *window, quint32 seed) : m_w(window), m_random(seed) {}

    // One user action, chosen at random; returns its name.
    const char *step()
    {
        const int pick = below(100);
        const qint64 entries = count(QStringLiteral("SELECT count(*) FROM Items"));
        // Keep the ledger at a size where every action stays quick: past 1500 entries,
        // deleting wins.
        if (entries > 1500 && pick < 40) {
            deleteEntry();
            return "delete entry";
        }
        if (pick < 22) {
            newEntry(m_w->rbtSisyutu());
            return "new expense";
        }
        if (pick < 34) {
            newEntry(m_w->rbtSyunyu());
            return "new income";
        }
        if (pick < 50) {
            newEntry(m_w->rbtIdou());
            return "new transfer";
        }
        if (pick < 62) {
            editEntry();
            return "edit entry";
        }
        if (pick < 72) {
            deleteEntry();
            return "delete entry";
        }
        if (pick < 78) {
            chooseAccount();
            return "choose account";
        }
        return maintain();
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    qint64 count(const QString &sql)
    {
        auto rows = KakeiboDB->select(sql);
        return rows && !rows->atEnd() ? rows->int64At(0) : 0;
    }

    std::vector<int32_t> ids(const QString &sql)
    {
        std::vector<int32_t> result;
        if (auto rows = KakeiboDB->select(sql)) {
            for (; !rows->atEnd(); rows->moveNext()) {
                result.push_back(rows->intAt(0));
            }
        }
        return result;
    }

    int32_t anyOf(const std::vector<int32_t> &values)
    {
        return values[below(static_cast<int>(values.size()))];
    }

    QString amount()
    {
        const int pick = below(20);
        if (pick == 0) {
            return QStringLiteral("2147483647");
        }
        if (pick == 1) {
            return QStringLiteral("-%1").arg(below(5000));
        }
        if (pick == 2) {
            return QStringLiteral("12a");
        }
        return QString::number(1 + below(99999));
    }

    QString memo()
    {
        static const QStringList memos = {QString(), QStringLiteral("食材"), QStringLiteral("it's"),
                                          QStringLiteral("'); DELETE FROM Items; --"),
                                          QStringLiteral("a\nb")};
        return memos[below(static_cast<int>(memos.size()))] + QString::number(below(1000));
    }

    void setDate()
    {
        m_w->DateListBox1()->TheDate().setYMD(2020 + below(6), 1 + below(12), 1 + below(28));
        m_w->DateListBox1()->DisplayDate();
    }

    void choosePopupRow()
    {
        PopupMenu *popup = m_w->ppmHimoku();
        if (popup->rowCount() > 0) {
            popup->setListIndex(below(popup->rowCount()));
        }
    }

    void newEntry(RadioButton *kind)
    {
        m_w->pbtSinki()->click();
        kind->click();
        choosePopupRow();
        setDate();
        m_w->tfdKingaku()->setText(amount());
        m_w->tfdBikou()->setText(memo());
        m_w->pbtNyuryoku()->click();
    }

    bool chooseEntry()
    {
        ListBox *list = m_w->lsbItem();
        if (list->rowCount() == 0) {
            return false;
        }
        list->setListIndex(below(list->rowCount()));
        return true;
    }

    void editEntry()
    {
        if (!chooseEntry()) {
            return;
        }
        m_w->pbtHensyuu()->click();
        if (below(2) == 0) {
            choosePopupRow();
        }
        setDate();
        m_w->tfdKingaku()->setText(amount());
        m_w->tfdBikou()->setText(memo());
        m_w->pbtNyuryoku()->click();
    }

    void deleteEntry()
    {
        if (!chooseEntry()) {
            return;
        }
        m_w->pbtSakujyo()->click();
        m_w->pbtNyuryoku()->click();
    }

    void chooseAccount()
    {
        ListBox *list = m_w->lsbSisan();
        if (list->rowCount() > 0) {
            list->setListIndex(below(list->rowCount()));
        }
    }

    // What the main window's account command does once its dialog has ended.
    void afterAccountDialog()
    {
        readAccounts();
        GSisanCodeInit = true;
        m_w->SetlsbSisan();
        m_w->SetlsbItem(-1);
        if (m_w->rbtIdou()->value()) {
            m_w->fillHimokuPopup(gDicSisan);
        }
    }

    // What the main window's category command does once its dialog has ended.
    void afterCategoryDialog()
    {
        readCategoryTree();
        GSisanCodeInit = true;
        m_w->SetlsbSisan();
        if (m_w->rbtSisyutu()->value()) {
            m_w->fillHimokuPopup(gDicSisyutu);
        } else if (m_w->rbtSyunyu()->value()) {
            m_w->fillHimokuPopup(gDicSyuunyuu);
        } else if (m_w->rbtIdou()->value()) {
            m_w->fillHimokuPopup(gDicSisan);
        }
        m_w->SetPpmLsbHimoku();
    }

    const char *maintain()
    {
        const auto accounts = ids(QStringLiteral("SELECT Id FROM Sisan"));
        const int kind = 1 + below(2);
        const auto subItems =
            ids(QStringLiteral("SELECT Id FROM Himoku WHERE Ucount = 0 AND SyubetuNo = %1").arg(kind));
        const auto categories =
            ids(QStringLiteral("SELECT Id FROM Himoku WHERE Ucount > 0 AND SyubetuNo = %1").arg(kind));
        switch (below(8)) {
        case 0:
            addAccount(QStringLiteral("口座 '%1'").arg(below(1000)), QString::number(below(100000)));
            afterAccountDialog();
            return "add account";
        case 1:
            if (!accounts.empty()) {
                editAccount(readStoredAccount(*KakeiboDB, anyOf(accounts)).row,
                            QStringLiteral("口座 %1").arg(below(1000)), amount());
            }
            afterAccountDialog();
            return "edit account";
        case 2:
            // Rarer than adding, so that accounts keep entries long enough to be edited.
            if (accounts.size() > 4 && below(2) == 0) {
                deleteAccountWithEntries(readStoredAccount(*KakeiboDB, anyOf(accounts)).row);
            }
            afterAccountDialog();
            return "delete account";
        case 3:
            if (!categories.empty()) {
                const int32_t category = anyOf(categories);
                addSubItem(readStoredCategoryItem(*KakeiboDB, category).row,
                           QStringLiteral("内訳 %1").arg(below(1000)));
            }
            afterCategoryDialog();
            return "add sub-item";
        case 4:
            if (subItems.size() > 6) {
                deleteSubItemWithEntries(readStoredCategoryItem(*KakeiboDB, anyOf(subItems)).row);
            }
            afterCategoryDialog();
            return "delete sub-item";
        case 5:
            if (subItems.size() > 1) {
                const int32_t source = anyOf(subItems);
                int32_t target = anyOf(subItems);
                if (target != source) {
                    mergeSubItem(readStoredCategoryItem(*KakeiboDB, source).row,
                                 readStoredCategoryItem(*KakeiboDB, target).row);
                }
            }
            afterCategoryDialog();
            return "merge sub-items";
        case 6:
            if (categories.size() > 4 && below(3) == 0) {
                deleteCategoryWithEntries(readStoredCategoryItem(*KakeiboDB, anyOf(categories)).row);
            }
            afterCategoryDialog();
            return "delete category";
        default:
            addCategory(kind, QStringLiteral("費目 %1").arg(below(1000)));
            afterCategoryDialog();
            return "add category";
        }
    }

    wndKakeibo *m_w;
    std::mt19937 m_random;
};

void say(const QByteArray &line)
{
    const QByteArray text = line + '\n';
    (void)!write(STDOUT_FILENO, text.constData(), static_cast<size_t>(text.size()));
}

int drive(App &app, const QString &folder, quint32 seed)
{
    setDataFolder(folder);
    Ui::install(std::make_unique<YesUi>());
    MainMenuBar::instance();
    setMainWindowEnabler(&wndKakeibo::enableBookkeeping);
    app.openHandler();
    wndKakeibo *window = wndKakeibo::instance();
    if (!KakeiboDB || !KakeiboDB->isConnected()) {
        std::fprintf(stderr, "driver: the ledger did not open\n");
        return 2;
    }
    const QString file = KakeiboDB->databaseFile();
    say("ready " + QByteArray::number(commitCounter(file)));
    Driver driver(window, seed);
    for (;;) {
        const char *what = driver.step();
        if (KakeiboDB->inTransaction()) {
            std::fprintf(stderr, "driver: \"%s\" returned with a transaction open\n", what);
            return 3;
        }
        say("done " + QByteArray::number(commitCounter(file)) + ' ' + what);
    }
}

// The creation driver: a start as the next start after a kill makes it (a first start, which
// takes the default ledger when it is there), then the new-ledger command over and over,
// alternately over an existing ledger and over nothing. It says what the start took, the
// number of messages the start showed, and when each creation begins and ends.
int driveCreation(App &app, const QString &folder, quint32 seed)
{
    setDataFolder(folder);
    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi *scripted = ui.get();
    Ui::install(std::move(ui));
    MainMenuBar::instance();
    setMainWindowEnabler(&wndKakeibo::enableBookkeeping);
    app.openHandler();
    wndKakeibo *window = wndKakeibo::instance();
    const QString adopted = KakeiboDB && KakeiboDB->isConnected()
                                ? QFileInfo(KakeiboDB->databaseFile()).fileName()
                                : QStringLiteral("-");
    say("ready " + QFile::encodeName(adopted) + ' ' + QByteArray::number(scripted->messages.size()));
    scripted->messages.clear();

    const QString over = QDir(folder).filePath(kReplacedLedger);
    const QString fresh = QDir(folder).filePath(kLedger);
    QElapsedTimer clock;
    for (quint32 i = seed;; ++i) {
        const bool overLedger = i % 2 == 0;
        const QString chosen = overLedger ? over : fresh;
        if (!overLedger) {
            // Over nothing: the name is made free first.
            KakeiboDB.reset();
            QFile::remove(fresh);
        }
        scripted->fileAnswers.push_back(chosen);
        const QByteArray what = overLedger ? "over" : "fresh";
        say("creating " + what);
        clock.start();
        window->_mnuDBCreate_Action();
        const qint64 took = clock.nsecsElapsed() / 1000;
        if (!scripted->messages.isEmpty() || !KakeiboDB || !KakeiboDB->isConnected() ||
            KakeiboDB->databaseFile() != chosen) {
            std::fprintf(stderr, "driver: the new ledger %s was not made and opened: %s\n",
                         QFile::encodeName(chosen).constData(),
                         scripted->messages.join(QLatin1Char('\n')).toUtf8().constData());
            return 4;
        }
        say("created " + what + ' ' + QByteArray::number(took));
    }
}

// ---------------------------------------------------------------------------------------
// The killing parent.

struct Figures
{
    int kills = 0;
    qint64 actions = 0;
    int interrupted = 0; // kills that left a transaction to roll back (a hot journal)
    int faults = 0;
    // How often each kind of action completed, to show that every write path was driven.
    std::map<QByteArray, qint64> byAction;
};

using LineReader = std::function<void(const QList<QByteArray> &words)>;

// Reads the driver's lines as they come until the deadline, handing each over in words.
void readLines(QProcess &driver, qint64 until, const QElapsedTimer &clock, const LineReader &onLine)
{
    for (;;) {
        while (driver.canReadLine()) {
            onLine(driver.readLine().trimmed().split(' '));
        }
        const qint64 left = until - clock.elapsed();
        if (left <= 0 || driver.state() == QProcess::NotRunning) {
            return;
        }
        driver.waitForReadyRead(static_cast<int>(left));
    }
}

// Starts a driver and reads its lines until the reader has seen it ready (start-up first, which
// takes a while under a sanitizer; the kill counts from there). False, said on stderr, when it
// never got ready.
bool startDriver(QProcess &driver, const QStringList &arguments, const QProcessEnvironment &environment,
                 int round, const QElapsedTimer &clock, const bool &ready, const LineReader &onLine)
{
    driver.setProcessEnvironment(environment);
    driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    driver.start(QCoreApplication::applicationFilePath(), arguments);
    while (!ready && driver.waitForReadyRead(30000)) {
        readLines(driver, clock.elapsed(), clock, onLine);
    }
    if (ready) {
        return true;
    }
    const bool ended = driver.state() == QProcess::NotRunning;
    std::fprintf(stderr, "round %d: the driver did not start (%s, exit code %d)\n", round,
                 !ended                                       ? "no answer in 30 s"
                 : driver.exitStatus() == QProcess::CrashExit ? "it crashed"
                                                              : "it ended",
                 driver.exitCode());
    driver.kill();
    driver.waitForFinished(10000);
    return false;
}

// Lets the driver run for the delay, kills it and reads what it said before it died. False,
// said on stderr, when it had ended by itself.
bool killAfter(QProcess &driver, int delay, int round, const QElapsedTimer &clock, const LineReader &onLine)
{
    readLines(driver, clock.elapsed() + delay, clock, onLine);
    const bool endedByItself = driver.state() == QProcess::NotRunning;
    driver.kill();
    driver.waitForFinished(10000);
    readLines(driver, clock.elapsed(), clock, onLine);
    if (endedByItself) {
        std::fprintf(stderr, "round %d: the driver ended by itself with status %d\n", round,
                     driver.exitCode());
    }
    return !endedByItself;
}

// What the creation rounds found: kills that landed inside a new-ledger command, by what the
// chosen name held when it began.
struct CreationFigures
{
    int rounds = 0;
    int overEntries = 0; // over the copy of the stressed ledger, still as it was copied
    int overNew = 0;     // over a new ledger an earlier creation of the round had made
    int overNothing = 0;
    // Of the kills over the stressed ledger, those while a dead writer's hot journal lay beside it.
    int overHotJournal = 0;
    qint64 created = 0;
    std::vector<qint64> microseconds; // how long the completed creations took
    int leftovers = 0;                // temporary files that kills left behind, never opened

    int kills() const { return overEntries + overNew + overNothing; }
    double typicalMilliseconds() const
    {
        std::vector<qint64> times = microseconds;
        std::sort(times.begin(), times.end());
        return times.empty() ? 20.0 : times[times.size() / 2] / 1000.0;
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A whole new ledger: row for row what a new ledger made undisturbed holds, and sound. One
// line for a file that is not one (a part of a ledger fails every query of the checks).
QStringList newLedgerFaults(const QString &path, const QString &seedDump)
{
    const QString name = QFileInfo(path).fileName();
    if (dumpLedger(path) != seedDump) {
        const QStringList found = checkLedger(path).faults;
        const QString what = QFileInfo::exists(path) ? QStringLiteral("%1 bytes").arg(QFileInfo(path).size())
                                                     : QStringLiteral("missing");
        return {QStringLiteral("%1 (%2) is neither what it held before nor a complete new ledger%3")
                    .arg(name, what, found.isEmpty() ? QString() : QStringLiteral(": ") + found.first())};
    }
    return checkLedger(path).faults;
}

// Kills the creation driver at random moments of its new-ledger commands until `wanted` kills
// have landed inside one, then checks after each kill what the chosen names hold and what the
// next start takes: the ledger that was there before (byte for byte) or a complete new one,
// never a part of one, and never a file the creation used on the way.
void stressCreation(int wanted, quint32 seed, const QString &folder, const QString &stressed,
                    const QString &seedDump, const QProcessEnvironment &environment,
                    const QElapsedTimer &clock, Figures &figures, CreationFigures &creation)
{
    const QString place = QDir(folder).filePath(QStringLiteral("create"));
    QDir().mkpath(place);
    const QString over = QDir(place).filePath(kReplacedLedger);
    const QString fresh = QDir(place).filePath(kLedger);
    const QString stressedDump = dumpLedger(stressed);
    std::mt19937 random(seed);
    for (int round = 0; creation.kills() < wanted && round < 4 * wanted; ++round) {
        ++creation.rounds;
        // Each start is a first start; the existing ledger is the stressed one as it stands.
        QFile::remove(QDir(place).filePath(QString::fromLatin1(kSettingsFileName)));
        QFile::remove(over);
        QFile::remove(over + QStringLiteral("-journal"));
        QFile::copy(stressed, over);
        // Every other round another program died writing the ledger about to be replaced: the
        // name then holds the ledger as SQLite's recovery gives it, which is the copy as it was.
        const bool hotJournal = round % 2 == 1;
        if (hotJournal && !leaveHotJournal(over)) {
            std::fprintf(stderr, "creation round %d: no hot journal could be made\n", round);
            ++figures.faults;
            break;
        }
        const QByteArray overBefore = fileBytes(over);
        const bool freshThere = QFile::exists(fresh);

        QProcess driver;
        bool ready = false;
        QByteArray adopted;
        int startMessages = -1;
        QByteArray last;
        bool overReplaced = false;
        const LineReader onLine = [&](const QList<QByteArray> &words) {
            if (words.size() >= 3 && words[0] == "ready") {
                ready = true;
                adopted = words[1];
                startMessages = words[2].toInt();
            } else if (words.size() >= 2 && (words[0] == "creating" || words[0] == "created")) {
                last = words[0] + ' ' + words[1];
                if (words[0] == "created") {
                    ++creation.created;
                    overReplaced = overReplaced || words[1] == "over";
                    if (words.size() >= 3) {
                        creation.microseconds.push_back(words[2].toLongLong());
                    }
                }
            }
        };
        const int number = figures.kills + round;
        if (!startDriver(
                driver,
                {QStringLiteral("--create"), place, QString::number(seed + 1 + static_cast<quint32>(round))},
                environment, number, clock, ready, onLine)) {
            ++figures.faults;
            break;
        }
        // Kill within a few creations, so that the first one, over the stressed ledger or
        // over nothing, is often the one hit.
        const int within = 3 * (static_cast<int>(creation.typicalMilliseconds()) + 1);
        if (!killAfter(driver, std::uniform_int_distribution<int>(0, within)(random), number, clock,
                       onLine)) {
            ++figures.faults;
        }
        if (last == "creating over") {
            ++(overReplaced ? creation.overNew : creation.overEntries);
            creation.overHotJournal += hotJournal && !overReplaced ? 1 : 0;
        } else if (last == "creating fresh") {
            ++creation.overNothing;
        }

        QStringList faults;
        // The start took the default ledger exactly when the last kill had left one there (a
        // part of a ledger would show "no such table" messages); else it asked and said so once.
        const bool tookIt = adopted == QFile::encodeName(kLedger) && startMessages == 0;
        const bool askedForOne = adopted == "-" && startMessages == 1;
        if (freshThere ? !tookIt : !askedForOne) {
            faults << QStringLiteral("the start took \"%1\" with %2 messages, the default ledger %3")
                          .arg(QString::fromUtf8(adopted))
                          .arg(startMessages)
                          .arg(freshThere ? QStringLiteral("being there") : QStringLiteral("missing"));
        }
        if (hotJournal) {
            // Opening it rolls back whatever journal is beside it: a new ledger that took over
            // the dead writer's journal would come out as a mix of both.
            const QString now = dumpLedger(over);
            if (now == stressedDump) {
                faults << checkLedger(over).faults;
            } else {
                faults << newLedgerFaults(over, seedDump);
            }
        } else if (fileBytes(over) != overBefore) {
            faults << newLedgerFaults(over, seedDump);
        }
        if (QFile::exists(fresh)) {
            faults << newLedgerFaults(fresh, seedDump);
        }
        if (!faults.isEmpty()) {
            ++figures.faults;
            std::fprintf(stderr, "creation round %d (killed at \"%s\"): %s\n", round, last.constData(),
                         faults.join(QStringLiteral("\n  ")).toUtf8().constData());
        }
    }
    creation.leftovers =
        static_cast<int>(QDir(place).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden).size());
    if (creation.kills() < wanted || creation.overEntries + creation.overNew == 0 ||
        creation.overNothing == 0 || creation.overHotJournal == 0) {
        std::fprintf(stderr,
                     "%d kills landed inside a creation in %d rounds (over a ledger %d, %d of them beside a "
                     "hot journal, over nothing %d): %d wanted, some of each\n",
                     creation.kills(), creation.rounds, creation.overEntries + creation.overNew,
                     creation.overHotJournal, creation.overNothing, wanted);
        ++figures.faults;
    }
}

int stress(int kills, int creationKills, quint32 seed, const QString &keepFolder)
{
    QTemporaryDir temporary;
    const QString folder = keepFolder.isEmpty() ? temporary.path() : keepFolder;
    QDir().mkpath(folder);
    setDataFolder(folder);
    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi *scripted = ui.get();
    Ui::install(std::move(ui));
    MainMenuBar::instance();
    const QString file = QDir(folder).filePath(kLedger);
    QFile::remove(file);
    QFile::remove(QDir(folder).filePath(QString::fromLatin1(kSettingsFileName)));
    scripted->fileAnswers.push_back(file);
    CreateNewKakeiboDB();
    if (!KakeiboDB || !KakeiboDB->isConnected() || !scripted->messages.isEmpty()) {
        std::fprintf(stderr, "could not create the ledger\n");
        return 1;
    }
    KakeiboDB.reset();
    const QString seedDump = dumpLedger(file);
    {
        QFile settings(QDir(folder).filePath(QString::fromLatin1(kSettingsFileName)));
        settings.open(QIODevice::WriteOnly);
        settings.write(encodeSettingsFile(kLedger));
    }

    std::mt19937 random(seed);
    // Most kills land inside an action; some after a longer run, on a bigger ledger.
    std::uniform_int_distribution<int> shortDelay(0, 120);
    std::uniform_int_distribution<int> longDelay(120, 600);
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);

    for (int round = 0; round < kills; ++round) {
        QProcess driver;
        quint32 reported = 0;
        qint64 actions = 0;
        bool ready = false;
        // Keeps the last commit counter the driver reported and counts its actions.
        const LineReader onLine = [&](const QList<QByteArray> &words) {
            if (words.size() >= 2 && (words[0] == "ready" || words[0] == "done")) {
                reported = words[1].toUInt();
                if (words[0] == "ready") {
                    ready = true;
                } else {
                    ++actions;
                    ++figures.byAction[words.mid(2).join(' ')];
                }
            }
        };
        if (!startDriver(driver, {QStringLiteral("--drive"), folder, QString::number(seed + 1 + round)},
                         environment, round, clock, ready, onLine)) {
            ++figures.faults;
            break;
        }
        const int delay = round % 5 == 4 ? longDelay(random) : shortDelay(random);
        if (!killAfter(driver, delay, round, clock, onLine)) {
            ++figures.faults;
        }
        figures.actions += actions;
        ++figures.kills;

        if (QFile::exists(file + QStringLiteral("-journal")) &&
            QFileInfo(file + QStringLiteral("-journal")).size() > 0) {
            ++figures.interrupted;
        }
        // Opening the ledger rolls an interrupted transaction back, as the next start would.
        const LedgerCheck check = checkLedger(file);
        const quint32 counter = commitCounter(file);
        QStringList faults = check.faults;
        if (counter < reported) {
            faults << QStringLiteral(
                          "a committed action was lost: commit counter %1, the driver had reported %2")
                          .arg(counter)
                          .arg(reported);
        }
        if (!faults.isEmpty()) {
            ++figures.faults;
            std::fprintf(stderr, "round %d (after %lld actions): %s\n", round,
                         static_cast<long long>(actions),
                         faults.join(QStringLiteral("\n  ")).toUtf8().constData());
        }
        if (round == kills - 1) {
            std::printf("final ledger: %lld entries (%lld transfer rows), %lld accounts\n",
                        static_cast<long long>(check.entries), static_cast<long long>(check.transferRows),
                        static_cast<long long>(check.accounts));
        }
    }
    CreationFigures creation;
    if (creationKills > 0) {
        stressCreation(creationKills, seed + static_cast<quint32>(kills), folder, file, seedDump, environment,
                       clock, figures, creation);
    }
    if (figures.faults > 0) {
        // Keep the ledger that showed the fault for a look afterwards.
        temporary.setAutoRemove(false);
        std::fprintf(stderr, "the ledger is kept in %s\n", QFile::encodeName(folder).constData());
    }
    for (const auto &[what, count] : figures.byAction) {
        std::printf("  %-16s %lld\n", what.constData(), static_cast<long long>(count));
    }
    std::printf("kills: %d, actions completed between them: %lld, kills inside a transaction: %d, "
                "rounds with a fault: %d, %.1f s\n",
                figures.kills, static_cast<long long>(figures.actions), figures.interrupted, figures.faults,
                clock.elapsed() / 1000.0);
    if (creationKills > 0) {
        std::printf("new-ledger commands: %d rounds, %lld completed, %d kills inside one (over the stressed "
                    "ledger %d, %d of them beside a dead writer's hot journal, over a new ledger %d, over "
                    "nothing %d), %d temporary files left behind, a creation takes %.1f ms\n",
                    creation.rounds, static_cast<long long>(creation.created), creation.kills(),
                    creation.overEntries, creation.overHotJournal, creation.overNew, creation.overNothing,
                    creation.leftovers, creation.typicalMilliseconds());
    }
    return figures.faults == 0 && figures.kills == kills ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    App app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--drive")) {
        return drive(app, args[2], args[3].toUInt());
    }
    if (args.size() >= 4 && args[1] == QLatin1String("--create")) {
        return driveCreation(app, args[2], args[3].toUInt());
    }
    int kills = 100;
    int creationKills = 40;
    quint32 seed = 20240305;
    QString folder;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--kills")) {
            kills = args[i + 1].toInt();
        } else if (args[i] == QLatin1String("--creation-kills")) {
            creationKills = args[i + 1].toInt();
        } else if (args[i] == QLatin1String("--seed")) {
            seed = args[i + 1].toUInt();
        } else if (args[i] == QLatin1String("--folder")) {
            folder = args[i + 1];
        }
    }
    return stress(kills, creationKills, seed, folder);
}
