#pragma once
// The system's own words for an error number (errno), in the user's language where the
// system has it: what a message shows when a file could not be made, written or synced.

#include <QString>

#include <cstring>

inline QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
