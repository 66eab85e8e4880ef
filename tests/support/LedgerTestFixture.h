#pragma once
// A fixture for tests of the real code: a temporary data folder, every global back at its
// start value, a fresh menu bar and a scripted dialog service.

#include "platform/ScriptedUi.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class LedgerTestFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The full path of a file in the temporary folder.
    QString path(const QString &name) const;
    // Creates a seeded ledger at the path and leaves it open in KakeiboDB, with the lookup
    // tables loaded; the dialog record is cleared afterwards.
    void createLedger(const QString &file);
    // Runs one statement on the open ledger and fails the test if it fails.
    void exec(const QString &sql);
    // The first column of the first row of a query on the open ledger, as a 64-bit integer.
    qint64 scalar(const QString &sql);
    // Every name in the temporary folder (or a folder in it), hidden ones included, by name.
    QStringList folderEntries(const QString &folder = QString()) const;

    QTemporaryDir m_dir;
    ScriptedUi *m_ui = nullptr;
};

// Statements run on the file with a connection of the test's own, as another program writes
// it: straight into the file, past every check of ours. A failing statement fails the test.
void writeWithSqlite(const QString &file, const QStringList &statements);
