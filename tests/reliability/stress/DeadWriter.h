#pragma once
// Another program writing a ledger that dies in the middle of its work, without a commit or a
// close, as a program killed at that moment: what it left beside the file (a hot journal, a
// log no checkpoint had taken) stays there for the next connection.

#include <QString>

#include <vector>

// Enough rows (balance-neutral expenses) that a transaction's pages no longer fit a cache of
// ten pages: SQLite then writes some of them into the file before the commit, with the old
// pages in the journal beside it.
extern const char *const kSpillingRows;

// Runs the statements on the file in a child process that then dies; false when one failed.
bool dieAfter(const QString &file, const std::vector<const char *> &statements);

// A writer killed in the middle of a transaction whose pages spilled into the file; true when
// a hot journal lies beside the file afterwards.
bool leaveHotJournal(const QString &file);
