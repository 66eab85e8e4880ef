#pragma once
// Which ledger file is open: the settings file, the first start, opening a ledger, loading
// the lookup tables from it, and the guard asked before every piece of ledger work.

#include <QString>

void OpenKakeiboInit();
bool CreateKakeiboInit();
void SaveKakeiboIni();
void OpenKakeiboDB(const QString &name);
bool CheckKakeiboDBConnected();

// Fills gDicSisyutu and gDicSyuunyuu (categories as ">>" header entries) and gDicSisan from
// the open ledger; a failed SELECT shows the prefix and the database's message and goes on.
void loadLookupTables(const QString &messagePrefix);

// The remembered ledger name held in a settings file's bytes; a damaged file yields "".
QString decodeSettingsFile(const QByteArray &bytes);
QByteArray encodeSettingsFile(const QString &name);

inline constexpr const char *kSettingsFileName = "Quorvela.ini";
inline constexpr const char *kDefaultLedgerFileName = "Quorvela.sqlf";
