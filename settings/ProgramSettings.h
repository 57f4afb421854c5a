#pragma once

#include <QString>
#include <array>

// The five file tasks, in their fixed order.
enum class PathTask { OpenArchive, OpenDatabase, SaveDatabase, OpenBitmap, SaveBitmap };
inline constexpr int PathTaskCount = 5;

// One folder per file task.
class PathTable
{
public:
    QString &operator[](PathTask task) { return m_paths[static_cast<std::size_t>(task)]; }
    const QString &operator[](PathTask task) const { return m_paths[static_cast<std::size_t>(task)]; }
    void fill(const QString &folder) { m_paths.fill(folder); }
    bool operator==(const PathTable &) const = default;

private:
    std::array<QString, PathTaskCount> m_paths;
};

// The in-memory settings. Empty until LoadSettings fills it: every flag
// false, every text empty, every number 0.
struct ProgramSettings
{
    bool KeepPaths = false;
    bool InitPaths = false;
    bool SaveInterface = false;
    bool SaveRecNo = false;
    bool SaveToCache = false;   // kept and stored only

    QString WindowPosition;     // "left,top,width,height" of the normal state
    int WindowState = 0;        // 1 normal, 2 minimised, 3 maximised
    QString FindPosition;       // "left,top" of the find dialog
    bool Grid = false;          // the grid page is showing
    int RecNo = 0;              // the record to go to at start

    PathTable CurrentPaths;
    PathTable SpecifiedPaths;

    bool operator==(const ProgramSettings &) const = default;
};
