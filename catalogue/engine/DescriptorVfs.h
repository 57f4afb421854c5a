#pragma once

#include <QByteArray>

// An SQLite file system that reads and writes one file descriptor we already hold, so
// that SQLite can fill a file that has no name yet. Only the main database lives
// there: its connection must keep the journal in memory (journal_mode = MEMORY);
// SQLite's nameless temporary files go to its own file system.
namespace DescriptorVfs {

// The file system's name for sqlite3_open_v2; registered on first use.
const char *name();
// The database name that opens `fd` through this file system.
QByteArray fileName(int fd);

} // namespace DescriptorVfs
