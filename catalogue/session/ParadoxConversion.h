#pragma once

#include "catalogue/engine/CatalogueFile.h"

#include <QString>

// Catalogues kept by the program's earlier versions are Paradox tables (NAME.DB with
// NAME.MB and index files). Converting one writes a catalogue of ours with every
// record, memo and image at the table's path, and moves the Paradox files into a
// folder beside it. All or nothing: when any step fails, the Paradox files are where
// they were and no catalogue is at the path.
namespace ParadoxConversion {

enum class Verdict {
    NotParadox,  // no Paradox table: opened as any other file
    Convertible, // a Paradox table with a catalogue's fields, intact as far as its header tells
    Refused,     // a Paradox table that cannot be converted: damaged, or of another layout
};

struct Probe {
    Verdict verdict = Verdict::NotParadox;
    QString reason; // Refused: why, naming the file
};

// What the file at `path` is. Reads the header only.
Probe probe(const QString &path);

// The folder that the Paradox files of `path` would move into now: NAME-paradox beside
// the table, or NAME-paradox-2, -3, ... when that name is taken.
QString keepingFolder(const QString &path);

// Converts the Paradox catalogue at `path` and returns the folder that holds its
// Paradox files now. Reports progress as it goes; a failure throws EngineError naming
// the file and the reason, and leaves everything as it was.
QString convert(const QString &path, const CatalogueFile::Progress &progress = {});

} // namespace ParadoxConversion
