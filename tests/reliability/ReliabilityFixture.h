#pragma once
// A ledger fixture for the fault tests: files read and written byte for byte, a ledger with a
// year of entries of every kind, and the ledger's soundness checked from outside.

#include "support/LedgerTestFixture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>

#include <QPushButton>
#include <QWidget>

#include <sys/resource.h>

class RadioButton;
class dlgHimoku;
class wndKakeibo;

// The window's control of that name, failing the test when there is none.
template <typename T> T *child(const QWidget &window, const char *name)
{
    T *control = window.findChild<T *>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

inline void press(const QWidget &window, const char *name)
{
    child<QPushButton>(window, name)->click();
}

// Messages one to a line, so that a failing comparison shows them readably.
inline std::string lines(const QStringList &messages)
{
    return messages.join(QLatin1Char('\n')).toStdString();
}

// The row of the category dialog's list that shows the item (column 2 holds each row's Id),
// or -1.
int categoryRow(const dlgHimoku &dialog, int32_t id);

// The surroundings a test may set up for the program: a disk that is full, a file that may
// not grow, a process of its own to do so in.

// A small file system of its own (size as tmpfs takes it, "64k"), mounted on the folder in a
// mount namespace of this process only, so that nothing outside the test sees it. False where
// the process may not mount (it needs CAP_SYS_ADMIN).
bool mountSmallFolder(const QString &folder, const char *size);

// Fills the folder's file system up to its last byte.
void fillUp(const QString &file);

// Where no small file system can be made: the process may not grow any file past its size,
// which a write meets as EFBIG (or SIGXFSZ, unless ignored as the program ignores it).
void limitFileSize(rlim_t bytes);

// How a child process ended and what it wrote to its report pipe.
struct ChildEnd
{
    int status = 0;
    QByteArray report;
};

// Runs the work in a forked child set up as main sets up the program (prepareProcess), so that
// it meets its surroundings as the program would; what the work returns is the child's report,
// and the child ends with _exit(0). The test's own process keeps its signal dispositions and
// limits.
ChildEnd runInChild(const std::function<QByteArray()> &work);

class ReliabilityFixture : public LedgerTestFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    void writeFile(const QString &file, const QByteArray &bytes);
    QByteArray readFile(const QString &file) const;

    // Fills the open ledger with expense, income and transfer entries spread over a year, and
    // last-used rows, with balances that agree (so that a fault later is the program's).
    void addSampleEntries(int count);

    // Fails the test with every fault the outside check finds in the ledger file.
    void expectSound(const QString &file);

    // Forgets the open ledger and what the dialogs recorded, as a fresh start of the program.
    void restart();
    // A fresh start that opens the ledger file as the open command does.
    void reopen(const QString &file);

    // The main window over the open ledger as a start shows it: lists filled, group enabled.
    wndKakeibo *showMainWindow();
    static void closeMainWindow();
    // New, the kind radio, the popup row with that text, amount and memo typed, Input.
    void enterNew(RadioButton *kind, const QString &choice, const QString &amount, const QString &memo);
    // Chooses the first listed entry of the kind in the selected account; false when none is.
    bool chooseEntry(int32_t kind);

    // The report's window opened as the menu opens it, its CSV command given the file, and
    // the window closed: the messages shown meanwhile.
    QStringList writeCsvThroughTheWindow(int32_t report, const QString &file);

    wndKakeibo *m_w = nullptr;
};
