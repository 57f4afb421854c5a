#pragma once

#include <QString>

class PhraseList;
class PickList;
class TRecentlist;

// What LoadSettings and SaveSettings reach beyond ProgramSettings: the
// catalogue table object, the grid's columns and the lists that the main
// window owns. The main window implements it; tests use a fake.
class SettingsHost
{
public:
    virtual ~SettingsHost() = default;

    // The catalogue table object. The folder ends in a path separator; an
    // empty index name means primary-key order. recNo() is asked only while
    // isTableOpen() is true.
    virtual QString databaseName() const = 0;
    virtual void setDatabaseName(const QString &folder) = 0;
    virtual QString tableName() const = 0;
    virtual void setTableName(const QString &fileName) = 0;
    virtual QString indexName() const = 0;
    virtual void setIndexName(const QString &indexName) = 0;
    virtual bool isTableOpen() const = 0;
    virtual int recNo() const = 0;

    // Column 0 to 9 of the grid, from the left: the position of its field in
    // the table's field list (0 to 13) and its width in pixels.
    virtual void setGridColumn(int column, int fieldIndex, int width) = 0;
    virtual int gridColumnField(int column) const = 0;
    virtual int gridColumnWidth(int column) const = 0;

    virtual PickList &typeList() = 0;
    virtual PickList &statusList() = 0;
    virtual PhraseList &phraseList() = 0;
    virtual TRecentlist &recentList() = 0;
};
