#pragma once
// Writing a report's CSV file whole or not at all: UTF-8 without a byte-order mark, every
// line ending in "\n". The file is replaced only when everything was written.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One CSV line: the fields joined by " , ", followed by the line end.
QByteArray csvLine(const QStringList &fields);

// Opens the file, then asks for its content (the reports run their statements only once the
// file could be opened), writes it and commits. The error text when the file could not be
// opened or written; a failed write leaves any earlier file as it was.
std::optional<QString> writeCsvFile(const QString &path, const std::function<QByteArray()> &content);
