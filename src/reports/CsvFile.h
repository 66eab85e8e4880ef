#pragma once
// Writing a report's CSV file whole or not at all: UTF-8 without a byte-order mark, every
// line ending in "\n". The file is replaced only when everything was written.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Why a name that holds a FIFO, a device or a socket (or a link to one) is not written.
inline constexpr const char *kNotARegularFile = "Not a regular file";

// One CSV line: the fields joined by " , ", followed by the line end.
QByteArray csvLine(const QStringList &fields);

// Opens the file, then asks for its content (the reports run their statements only once the
// file could be opened), writes it, syncs it to disk and commits, checking each step. The
// system's error text of the step that failed ("File too large", "No space left on device");
// a failure leaves any earlier file byte for byte as it was and no temporary file beside it.
std::optional<QString> writeCsvFile(const QString &path, const std::function<QByteArray()> &content);
