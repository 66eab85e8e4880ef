#pragma once
// A ledger fixture for the fault tests: files read and written byte for byte, a ledger with a
// year of entries of every kind, and the ledger's soundness checked from outside.

#include "support/LedgerTestFixture.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

#include <QPushButton>
#include <QWidget>

#include <sys/resource.h>

class RadioButton;
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

// Runs the work in a forked child, which writes its findings to the pipe it is given and
// ends with _exit(0); the test's own process keeps its signal dispositions and limits.
ChildEnd runInChild(const std::function<void(int reportFd)> &work);

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

    // The main window over the open ledger as a start shows it: lists filled, group enabled.
    wndKakeibo *showMainWindow();
    static void closeMainWindow();
    // New, the kind radio, the popup row with that text, amount and memo typed, Input.
    void enterNew(RadioButton *kind, const QString &choice, const QString &amount, const QString &memo);
    // Chooses the first listed entry of the kind in the selected account; false when none is.
    bool chooseEntry(int32_t kind);

    wndKakeibo *m_w = nullptr;
};
