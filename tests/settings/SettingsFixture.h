#pragma once

#include "settings/Recent.h"
#include "settings/SettingsHost.h"
#include "settings/SortedTextList.h"
#include "settings/WindowPlacement.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace fixture {

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Stands in for the main window: the catalogue table, the grid and the lists.
class FakeHost : public SettingsHost
{
public:
    explicit FakeHost(const QString &programFolder)
        : recent(programFolder)
    {
        // The recent list as the main window configures it.
        recent.setDefaultExt(QStringLiteral("zip"));
        recent.setHidepath(false);
        recent.setHideExt(false);
        // The grid's built-in layout, distinct from the file's defaults.
        for (int n = 0; n < 10; ++n)
            columns[n] = {n, 64};
    }

    QString databaseName() const override { return database; }
    void setDatabaseName(const QString &folder) override { database = folder; }
    QString tableName() const override { return table; }
    void setTableName(const QString &fileName) override { table = fileName; }
    QString indexName() const override { return index; }
    void setIndexName(const QString &name) override { index = name; }
    bool isTableOpen() const override { return open; }
    int recNo() const override { return record; }

    void setGridColumn(int column, int fieldIndex, int width) override
    {
        columns[column] = {fieldIndex, width};
        ++columnWrites;
    }
    int gridColumnField(int column) const override { return columns[column].first; }
    int gridColumnWidth(int column) const override { return columns[column].second; }

    PickList &typeList() override { return types; }
    PickList &statusList() override { return statuses; }
    PhraseList &phraseList() override { return phrases; }
    TRecentlist &recentList() override { return recent; }

    QString database = QStringLiteral("built-in/");
    QString table = QStringLiteral("built-in.db");
    QString index = QStringLiteral("built-in-index");
    bool open = true;
    int record = 1;
    std::array<QPair<int, int>, 10> columns;
    int columnWrites = 0;
    PickList types;
    PickList statuses;
    PhraseList phrases;
    TRecentlist recent;
};

class FakeWindow : public PlacedWindow
{
public:
    void setPlacementGeometry(const QRect &g) override
    {
        geometry = g;
        calls << QStringLiteral("geometry");
    }
    QRect placementGeometry() const override { return geometry; }
    State placementState() const override { return state; }
    void postMinimize() override { calls << QStringLiteral("postMinimize"); }
    void maximize() override { calls << QStringLiteral("maximize"); }
    QList<QRect> placementScreens() const override { return screens; }
    QSize placementMinimumSize() const override { return minimum; }

    QRect geometry;
    QList<QRect> screens{QRect(0, 0, 1920, 1040)};
    QSize minimum;
    State state = State::Normal;
    QStringList calls;
};

} // namespace fixture
