// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

// Server list files of a given size, in the format the program reads: one
// "host;ip;port" record per line, each line ending in CR LF.
namespace BenchData {

// The bytes of a list of count records. The records vary like a real list:
// mostly named hosts, some without a host name, a few odd ports.
QByteArray serverList(int count);

// The setting that names record 'index' of such a list, so that loading it
// marks exactly that row as the current server.
QString currentServerSetting(int index);

// Writes a list of count records to directory/name; false on failure.
bool writeServerList(const QString &directory, const QString &name, int count);

// The body of the child process of the peak-memory benchmark: loads the
// list at path and prints its peak memory over the start and the file's size.
int loadListChild(const QString &path);

// Wall-clock seconds between two readings of the steady clock.
using Clock = std::chrono::steady_clock;
inline double secondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace BenchData
