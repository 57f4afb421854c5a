#pragma once

#include "catalogue/CatalogueSchema.h"
#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/Connection.h"
#include "catalogue/engine/PendingFile.h"

#include <QString>
#include <memory>

class SqlStatement;

// A catalogue written record by record that nobody sees until it is complete: it is
// made unnamed in the folder of its path and takes that name only in publish(). Until
// then a file at the path stays as it is; dropped unpublished, nothing is left behind.
// Failures throw EngineError "Cannot create <path>: <reason>.".
class NewCatalogue
{
public:
    explicit NewCatalogue(const QString &path);
    ~NewCatalogue();
    NewCatalogue(const NewCatalogue &) = delete;
    NewCatalogue &operator=(const NewCatalogue &) = delete;

    // Adds a record; false when its key is the key of a record added before.
    bool add(const CatalogueSchema::Record &record);
    // Ends the writing: the records are in the file, which is still unnamed.
    void complete();
    // Gives the completed file its name, replacing a file of that name, once it is on the
    // disk (telling how far through `flushed`).
    void publish(const CatalogueFile::Progress &flushed = {});

private:
    QString m_path;
    QString m_failing;
    PendingFile m_file;
    Connection m_db;
    std::unique_ptr<SqlStatement> m_insert;
};
