#pragma once
// A database file that another file is about to be renamed onto. SQLite keeps files beside a
// database under the database's name: the rollback journal ("-journal"), the write-ahead log
// ("-wal") and its index ("-shm"). A rename moves none of them, so whatever is left there
// would belong to the new file: SQLite would roll an old journal back onto it, or apply an old
// log to it, at its first read. Before the rename the old file is settled the way SQLite itself
// settles it (its first read rolls a hot journal back, leaving write-ahead mode takes a log's
// pages into it), leftovers that belong to no database go, and the old file's write lock is
// held until the new one is in place, so no writer can leave a new journal there in between.

#include <QString>

struct sqlite3;

class ReplacedDatabase
{
public:
    // The name the new file is to take.
    explicit ReplacedDatabase(const QString &path);
    // Releases the lock on the old file.
    ~ReplacedDatabase();
    ReplacedDatabase(const ReplacedDatabase &) = delete;
    ReplacedDatabase &operator=(const ReplacedDatabase &) = delete;

    // Makes the name ready to be replaced: an existing database is settled (its hot journal
    // rolled back, its log checkpointed) and its write lock taken; files beside the name that
    // belong to no database are removed. False when the name cannot be made ready (another
    // connection writes the file or keeps its log open, after the busy wait; a log that cannot
    // be taken into the file, for want of space say; a leftover that cannot be removed): the
    // old file and what lies beside it keep what they held then.
    bool prepare();
    // The database's or the system's words for why prepare failed.
    QString errorMessage() const { return m_error; }

    // Lets go of the old file once the new one is in place (or the replacement was given up).
    void release();

    // The files SQLite keeps beside a database, by what it adds to the database's name.
    static constexpr const char *kJournalSuffix = "-journal";
    static constexpr const char *kLogSuffix = "-wal";
    static constexpr const char *kLogIndexSuffix = "-shm";
    static constexpr const char *kSiblingSuffixes[3] = {kJournalSuffix, kLogSuffix, kLogIndexSuffix};

private:
    bool removeLeftovers();
    // Removes what lies beside the name that is not a regular file.
    bool removeSpecialSiblings();
    bool siblingExists(const char *suffix) const;
    bool anySiblingExists() const;
    bool fail(const QString &message);

    QString m_path;
    sqlite3 *m_db = nullptr;
    QString m_error;
};

// Whether the names SQLite gives the files beside a database at the path fit in its folder's
// limit for a name. A ledger whose journal name does not fit can be read but never written.
bool siblingNamesFit(const QString &path);

// Whether a name SQLite gives a file beside the database at the path (beside the file a link
// leads to, where SQLite keeps them) holds anything but a regular file, or a link to one.
// SQLite opens a journal it finds there at the first read: a FIFO's open would block for ever.
bool specialFileBeside(const QString &path);
