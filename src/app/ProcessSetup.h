#pragma once
// What the process needs before anything else runs: main calls it first, and the tests that
// check how the program meets its surroundings set up their child processes with it.

class QCoreApplication;
class QString;

// A write past the file-size limit (ulimit -f) raises SIGXFSZ, whose default ends the program
// without a word. Ignored, the write fails with EFBIG instead: SQLite reports it as the
// statement's error, the action shows its message and rolls back.
void prepareProcess();

// Qt's own dialogs (the file dialogs, the page setup, the print dialog, the question before a
// file is replaced) speak Japanese as the rest of the program does: Qt's Japanese translation
// is installed into the application, from Qt's translations folder unless folder names
// another. Without the file (Qt's translations not installed) they stay in English and this
// yields false. The application object installs it when it is made.
bool installQtTranslation(QCoreApplication &application, const QString &folder);
bool installQtTranslation(QCoreApplication &application);
