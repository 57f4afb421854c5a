#include "catalogue/CreateRoutine.h"

#include "catalogue/CatalogueTable.h"

CreateOutcome createNewTable(CatalogueTable &table, const QString &folder, const QString &fileName)
{
    CreateOutcome outcome;
    const QString oldFolder = table.databaseName();
    const QString oldName = table.tableName();
    const bool oldExclusive = table.exclusive();
    const bool wasOpen = table.active();

    table.close();
    table.setDatabaseName(folder);
    table.setTableName(fileName);
    try {
        table.createTable();
    } catch (const EngineError &e) {
        outcome.createError = e.message();
    }
    try {
        table.open();
        outcome.opened = true;
    } catch (const EngineError &) {
        table.close();
        table.setDatabaseName(oldFolder);
        table.setTableName(oldName);
        table.setExclusive(oldExclusive);
        if (wasOpen) {
            try {
                table.open();
            } catch (const EngineError &e) {
                outcome.restoreError = e.message();
            }
        }
    }
    return outcome;
}
