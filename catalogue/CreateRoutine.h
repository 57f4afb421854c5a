#pragma once

#include <QString>

class CatalogueTable;

// Creates a new, empty catalogue table in `folder` under `fileName` and opens it.
// When the new table cannot be opened the previous catalogue is put back and
// reopened. The caller shows the messages: the engine reports, the window shows.
struct CreateOutcome {
    bool opened = false;   // false: show "Sorry, couldn't create the new table for you."
    QString createError;   // the engine's own error when creating failed
    QString restoreError;  // the previous catalogue could not be reopened
};

CreateOutcome createNewTable(CatalogueTable &table, const QString &folder, const QString &fileName);
