#pragma once

#include "settings/SettingsHost.h"
#include "settings/WindowPlacement.h"

#include <QString>

class CatalogueTable;
class DBGrid;
class PhraseList;
class PickList;
class QMainWindow;
class QWidget;
class TRecentlist;

// What the settings file reads into and writes from beyond ProgramSettings: the
// catalogue table's location and order, the grid's columns, the lists, and the main
// window's placement.
class SettingsBinding : public SettingsHost, public PlacedWindow
{
public:
    struct Parts {
        QMainWindow &window;
        CatalogueTable &table;
        DBGrid &grid;
        PickList &typeList;
        PickList &statusList;
        PhraseList &phrases;
        TRecentlist &recentList;
        // The window's first and last rows of content, for its smallest size.
        QWidget &toolbar;
        QWidget &statusBar;
        QString settingsFileName; // named in what the user is told
    };
    explicit SettingsBinding(const Parts &parts);

    // What loading had to tell the user beyond the settings file's own problems
    // (an order the catalogue does not know); taken once.
    QString takeNotices();

    // SettingsHost
    QString databaseName() const override;
    void setDatabaseName(const QString &folder) override;
    QString tableName() const override;
    void setTableName(const QString &fileName) override;
    QString indexName() const override;
    void setIndexName(const QString &indexName) override;
    bool isTableOpen() const override;
    int recNo() const override;
    void setGridColumn(int column, int fieldIndex, int width) override;
    int gridColumnField(int column) const override;
    int gridColumnWidth(int column) const override;
    PickList &typeList() override;
    PickList &statusList() override;
    PhraseList &phraseList() override;
    TRecentlist &recentList() override;

    // PlacedWindow
    void setPlacementGeometry(const QRect &geometry) override;
    QRect placementGeometry() const override;
    State placementState() const override;
    void postMinimize() override;
    void maximize() override;
    QList<QRect> placementScreens() const override;
    QSize placementMinimumSize() const override;

private:
    Parts m_parts;
    QString m_notices;
};
