#include "DeadWriter.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

const char *const kSpillingRows =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
    "INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, Syukkin, Bikou) "
    "SELECT '2026-01-01', 2026, 1, 1, 1, 1, 9, 0, printf('%0400d', i) FROM n";

bool dieAfter(const QString &file, const std::vector<const char *> &statements)
{
    const pid_t child = fork();
    if (child == 0) {
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            _exit(2);
        }
        for (const char *sql : statements) {
            if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
                _exit(3);
            }
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool leaveHotJournal(const QString &file)
{
    return dieAfter(file, {"PRAGMA cache_size = 10", "BEGIN", "UPDATE Sisan SET Namae = 'half written'",
                           kSpillingRows}) &&
           QFileInfo(file + QStringLiteral("-journal")).size() > 0;
}
