#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// A new file that gets its name only when it is complete, so that a program killed
// while writing it leaves nothing behind. On Linux it is written unnamed in the folder
// of its destination (O_TMPFILE) and linked in at the end; where the file system
// cannot do that, it is written under a hidden name ".mox-<kind>-XXXXXX", held
// under an flock all the while, so a later clean-up can tell a leftover (nobody holds
// it) from one that another running copy of the program is still writing.
class PendingFile
{
public:
    // Opens the file in the folder of `dest`; `kind` names it while it is pending
    // ("copy", "new", "move"). Failures here and in commit() throw EngineError
    // "<failing>: <reason>.", so `failing` says what fails, e.g. "Cannot copy to X".
    PendingFile(const QString &dest, const char *kind, const QString &failing);
    // A file never committed is gone: unnamed, or its hidden name removed.
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    int descriptor() const { return m_fd; }

    // Writes the data to the disk (telling how far through `flushed`), gives the file
    // the destination's name, replacing a file of that name, and makes the name
    // durable.
    void commit(const std::function<void(qint64 done, qint64 total)> &flushed = {});

    // Removes pending files in `folder` that nobody holds any more: leftovers of a
    // program that was killed while writing them. Never one still being written.
    static void removeLeftovers(const QString &folder);

    // Test switch: false makes every new file take the hidden-name way, as on a file
    // system without unnamed files.
    static void setUnnamedAllowed(bool allowed);

private:
    bool openUnnamed();
    void openNamed();
    QByteArray linkToTemporaryName() const;
    [[noreturn]] void fail(int err) const;
    [[noreturn]] void fail(const QString &reason) const;

    QString m_failing;
    QString m_dest;
    QString m_folder;
    QString m_kind;
    QByteArray m_tempPath; // the hidden name, while the file has one
    int m_fd = -1;
    bool m_unnamed = false;
};
