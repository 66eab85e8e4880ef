#include "ReliabilityFixture.h"

#include "LedgerInvariants.h"
#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/ProcessSetup.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/dlgHimoku.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "reports/PageModel.h"
#include "reports/wndPrev.h"

#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

bool mountSmallFolder(const QString &folder, const char *size)
{
    if (unshare(CLONE_NEWNS) != 0) {
        return false;
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return false;
    }
    const QByteArray options = QByteArray("size=") + size;
    return mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                 options.constData()) == 0;
}

void fillUp(const QString &file)
{
    QFile filler(file);
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    const QByteArray byte(1, 'f');
    while (filler.write(byte) == 1 && filler.flush()) {
    }
}

void limitFileSize(rlim_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

int categoryRow(const dlgHimoku &dialog, int32_t id)
{
    const ListBox *list = child<ListBox>(dialog, "lsbHimoku");
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->cell(row, 2) == QString::number(id)) {
            return row;
        }
    }
    return -1;
}

ChildEnd runInChild(const std::function<QByteArray()> &work)
{
    ChildEnd end;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        end.status = -1;
        return end;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        prepareProcess();
        const QByteArray report = work();
        for (qsizetype done = 0; done < report.size();) {
            const ssize_t written =
                write(pipeFds[1], report.constData() + done, static_cast<size_t>(report.size() - done));
            if (written <= 0) {
                _exit(3);
            }
            done += written;
        }
        close(pipeFds[1]);
        _exit(0);
    }
    close(pipeFds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        end.report.append(buffer, static_cast<int>(got));
    }
    close(pipeFds[0]);
    waitpid(child, &end.status, 0);
    return end;
}

void ReliabilityFixture::SetUp()
{
    LedgerTestFixture::SetUp();
    // Opening a ledger reaches for the main window; the fault tests need only the ledger.
    setMainWindowEnabler(nullptr);
}

void ReliabilityFixture::TearDown()
{
    closeMainWindow();
    LedgerTestFixture::TearDown();
}

wndKakeibo *ReliabilityFixture::showMainWindow()
{
    closeMainWindow();
    m_w = wndKakeibo::instance();
    m_w->grbKakeibo2()->setEnabled(true);
    return m_w;
}

void ReliabilityFixture::closeMainWindow()
{
    if (wndKakeibo::exists()) {
        delete wndKakeibo::instance();
    }
}

void ReliabilityFixture::enterNew(RadioButton *kind, const QString &choice, const QString &amount,
                                  const QString &memo)
{
    m_w->pbtSinki()->click();
    kind->click();
    const int row = m_w->ppmHimoku()->findText(choice);
    ASSERT_GE(row, 0) << choice.toStdString();
    m_w->ppmHimoku()->setListIndex(row);
    m_w->tfdKingaku()->setText(amount);
    m_w->tfdBikou()->setText(memo);
    m_w->pbtNyuryoku()->click();
}

bool ReliabilityFixture::chooseEntry(int32_t kind)
{
    // Column 8 of the entry list holds each entry's kind.
    for (int row = 0; row < m_w->lsbItem()->rowCount(); ++row) {
        if (m_w->lsbItem()->cell(row, 8) == QString::number(kind)) {
            m_w->lsbItem()->setListIndex(row);
            return true;
        }
    }
    return false;
}

void ReliabilityFixture::writeFile(const QString &file, const QByteArray &bytes)
{
    QFile f(path(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReliabilityFixture::readFile(const QString &file) const
{
    QFile f(path(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ReliabilityFixture::addSampleEntries(int count)
{
    exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < count; ++i) {
        const int month = 1 + i % 12;
        const int day = 1 + i % 28;
        const QString date = QStringLiteral("'2024-%1-%2', 2024, %3, %4")
                                 .arg(month, 2, 10, QLatin1Char('0'))
                                 .arg(day, 2, 10, QLatin1Char('0'))
                                 .arg(month)
                                 .arg(day);
        const int account = 1 + i % 2;
        const QString memo = QStringLiteral("'memo %1 ''quoted'' 日本語'").arg(i);
        switch (i % 3) {
        case 0:
            exec(QStringLiteral("INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,HimokuNo,IdouId,"
                                "Syukkin,Bikou) VALUES (%1, %2, 1, 2, -1, %3, %4)")
                     .arg(date)
                     .arg(account)
                     .arg(100 + i)
                     .arg(memo));
            break;
        case 1:
            exec(QStringLiteral("INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,HimokuNo,IdouId,"
                                "Nyuukin,Bikou) VALUES (%1, %2, 2, 77, -1, %3, %4)")
                     .arg(date)
                     .arg(account)
                     .arg(1000 + i)
                     .arg(memo));
            break;
        default:
            exec(QStringLiteral("INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,IdouSisanNo,IdouId,"
                                "Syukkin,Bikou) VALUES (%1, %2, 3, %3, -1, %4, %5)")
                     .arg(date)
                     .arg(account)
                     .arg(3 - account)
                     .arg(50 + i)
                     .arg(memo));
            {
                const qint64 out = scalar(QStringLiteral("SELECT last_insert_rowid()"));
                exec(QStringLiteral(
                         "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,IdouSisanNo,IdouId,"
                         "Nyuukin,Bikou) VALUES (%1, %2, 4, %3, %4, %5, %6)")
                         .arg(date)
                         .arg(3 - account)
                         .arg(account)
                         .arg(out)
                         .arg(50 + i)
                         .arg(memo));
                const qint64 in = scalar(QStringLiteral("SELECT last_insert_rowid()"));
                exec(QStringLiteral("UPDATE Items SET IdouId = %1 WHERE Id = %2").arg(in).arg(out));
            }
            break;
        }
    }
    exec(QStringLiteral("INSERT OR REPLACE INTO LastItems VALUES (2, '2024-12-28', 211, 'last')"));
    exec(QStringLiteral("INSERT OR REPLACE INTO LastItems VALUES (77, '2024-12-28', 1210, 'last')"));
    exec(QStringLiteral("UPDATE Sisan SET Zankin = SyokiKingaku + (SELECT COALESCE(SUM(Nyuukin), 0) - "
                        "COALESCE(SUM(Syukkin), 0) FROM Items WHERE SisanNo = Sisan.Id)"));
    exec(QStringLiteral("COMMIT"));
}

void ReliabilityFixture::expectSound(const QString &file)
{
    const LedgerCheck check = checkLedger(path(file));
    EXPECT_TRUE(check.sound()) << check.faults.join(QLatin1Char('\n')).toStdString();
}

void ReliabilityFixture::reopen(const QString &file)
{
    restart();
    m_ui->fileAnswers.push_back(path(file));
    OpenKakeiboDB(QString());
    ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected()) << lines(m_ui->messages);
    ASSERT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
}

QStringList ReliabilityFixture::writeCsvThroughTheWindow(int32_t report, const QString &file)
{
    m_ui->messages.clear();
    m_ui->fileAnswers.push_back(file);
    const auto writeAndClose = [] {
        if (!wndPrev::exists()) {
            return;
        }
        wndPrev *window = wndPrev::instance();
        press(*window, "pbtCsvOutput");
        window->close();
    };
    if (report == kYearlyReport) {
        // Modal: the steps run inside its loop.
        QTimer::singleShot(0, writeAndClose);
        wndPrev::openReport(kYearlyReport);
    } else {
        wndPrev::openReport(report);
        writeAndClose();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return m_ui->messages;
}

void ReliabilityFixture::restart()
{
    resetGlobals();
    MainMenuBar::destroyInstance();
    MainMenuBar::instance();
    m_ui->messages.clear();
    m_ui->messageIcons.clear();
    m_ui->fileDialogTitles.clear();
    m_ui->confirmations.clear();
    m_ui->fileAnswers.clear();
    m_ui->confirmAnswers.clear();
}
