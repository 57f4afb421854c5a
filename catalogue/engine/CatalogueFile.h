#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Connection;

// Whole-file operations on catalogues: checking, creating, copying, renaming,
// deleting and packing. A catalogue is one SQLite file; SQLite may keep a
// companion journal beside it, which always travels with the file.
namespace CatalogueFile {

// Told how far a long operation is: done of total steps, or (0, 0) while the
// amount is unknown.
using Progress = std::function<void(qint64 done, qint64 total)>;

QStringList companionPaths(const QString &path);

// Throws EngineError(NotACatalogue) naming the file and the reason when the file
// is not one of our catalogues. Reads only the file header: never modifies the file.
void checkHeader(const QString &path);

// True when the file or its folder carries no write permission, so the catalogue
// can only be browsed.
bool isWriteProtected(const QString &path);

// Creates an empty catalogue, replacing an existing one of that name.
void create(const QString &path);
// Copies the catalogue open on `source` to dest, replacing it.
void copyDatabase(Connection &source, const QString &dest, const Progress &progress = {});
// Moves a closed catalogue (with its companions) to another name, replacing it.
void move(const QString &from, const QString &to);
// Removes a closed catalogue and its companions.
void remove(const QString &path);
// Compacts rows and rebuilds the indexes of a closed catalogue, in place.
void pack(const QString &path, const Progress &progress = {});

// Names what the file's schema holds that would run code of its own, as
// `a trigger, "wipe"`, or leaves `found` empty. A catalogue holds only its table and
// indexes; statistics from ANALYZE and other tables run nothing and are let be.
// False when the schema cannot be read; `result` then holds SQLite's answer.
bool findStoredCode(Connection &db, QString &found, int &result);

} // namespace CatalogueFile
