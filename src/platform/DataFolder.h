#pragma once
// The folder in which bare file names (the settings file, the default ledger, the remembered
// ledger name) resolve. Fixed once at start-up; tests point it at a temporary folder.

#include <QString>

void setDataFolder(const QString &folder);
QString dataFolder();
// The full path of a bare file name in the data folder.
QString bareFile(const QString &name);
// The default data folder (the application data location), created when missing.
QString defaultDataFolder();
