#pragma once
// A file built under a hidden name of its own beside the name it is meant for, and renamed onto
// that name only once it is complete: whatever stops the program on the way, the name holds
// either what it held before or the whole new file, never a part of it.

#include <QString>

class StagedFile
{
public:
    // The new file's final place, and the suffix that names a file kept beside the temporary
    // one while it is written (a database's journal): its name must fit too, and it goes with
    // the temporary file.
    explicit StagedFile(const QString &target, const QString &siblingSuffix = QString());
    // Removes the temporary file (and the file beside it) unless it was put in place.
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Makes a new, empty file ".<name>.XXXXXX" in the target's folder (never an existing one).
    bool create();
    // The temporary file; empty before create succeeded.
    QString path() const { return m_path; }

    // Syncs the temporary file to the disk, so that after a power loss the target's name, once
    // renamed, cannot hold a file whose data never got there.
    bool sync();
    // Renames the temporary file onto the target, then syncs the folder so the rename lasts.
    // False when the rename failed; the temporary file is still there then.
    bool putInPlace();
    // Removes the temporary file and the file beside it.
    void discard();

    // The system's error number of the step that failed.
    int error() const { return m_error; }

private:
    QString m_target;
    QString m_siblingSuffix;
    QString m_path;
    int m_error = 0;
};

// The longest name a file in the folder may have, in bytes.
long nameLimit(const QString &folder);
