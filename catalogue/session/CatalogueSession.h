#pragma once

#include "catalogue/ActionFailure.h"
#include "catalogue/engine/CatalogueFile.h"

#include <QString>
#include <QStringList>
#include <optional>

class CatalogueTable;

// What a file command left behind. The window reports the errors in their order,
// shows the can't-open notice when there is a reason for it, and names the
// catalogue that is open.
struct SessionOutcome {
    // False when the record being edited could not be posted first: nothing else
    // was done, and the errors say why (none for a silent abort).
    bool wentAhead = true;
    // The command did what was asked: the chosen catalogue opened, the new one was
    // made and opened, the catalogue was moved or copied, or packed.
    bool succeeded = false;
    // Why the chosen catalogue could not be opened (Open and Reopen).
    QString cantOpen;
    // The errors to report, in the order they happened.
    QStringList errors;
    // The full path of the catalogue open at the end; empty when none is.
    QString openPath;
};

// The file commands' transactions on the one catalogue table. Each closes the
// table, points it at another file and opens it again; when that fails, the
// previous catalogue is put back. It asks nothing and shows nothing: the window
// asks the user before and shows the outcome after.
class CatalogueSession
{
public:
    // The name of a catalogue that New made and Save As has not named yet.
    static QString untitledName() { return QStringLiteral("untitled.db"); }

    explicit CatalogueSession(CatalogueTable &table);

    bool isUntitled() const;
    // The record buffer holds changes that are not stored yet.
    bool recordChanged() const;

    // Posts the record being edited when it holds changes.
    std::optional<ActionFailure> postChanges();
    // Save's post: the current record is put into editing (a new blank one on a
    // catalogue without records) and posted.
    std::optional<ActionFailure> postCurrent();

    // The records in the catalogue `fileName` in `folder`: 0 when there is no such
    // file, -1 when it cannot be told.
    int recordsIn(const QString &folder, const QString &fileName);
    // Makes an empty catalogue (replacing one of that name) and opens it. When it
    // does not open, the previous catalogue is open again.
    SessionOutcome create(const QString &folder, const QString &fileName);
    // Opens the catalogue at `path`, or the previous one again.
    SessionOutcome open(const QString &path);
    // Converts the Paradox catalogue at `path` into one of ours and opens it. When the
    // conversion fails, nothing has changed and the previous catalogue stays open;
    // `cantOpen` says why.
    SessionOutcome convertAndOpen(const QString &path, const CatalogueFile::Progress &progress = {});
    // Opens the table where it points without waiting for another program's lock:
    // false when the file is locked. Any other failure is thrown.
    bool openUnlessLocked();
    // Save As. An untitled catalogue is moved to `path`; a named one is copied there
    // (reporting progress) and the copy is opened, the old file staying as it was.
    // A record with changes is posted first.
    SessionOutcome saveAs(const QString &path, const CatalogueFile::Progress &progress = {});
    // Packs the open catalogue in place; a record with changes is posted first. The
    // catalogue is open again afterwards, on its first record.
    SessionOutcome pack(const CatalogueFile::Progress &progress = {});

private:
    // Where the table pointed and whether it was open, to go back to.
    struct Location {
        QString folder;
        QString fileName;
        bool exclusive = false;
        bool open = false;
    };
    enum class Reopen { IfItWasOpen, Always };

    Location here() const;
    void pointAt(const QString &folder, const QString &fileName);
    // The one rule of every command: the table is closed and pointed back at
    // `previous`, and opened again as `reopen` says.
    void putBack(const Location &previous, Reopen reopen, SessionOutcome &outcome);
    // Opens the table where it points; when that fails, puts `previous` back and
    // returns why.
    std::optional<ActionFailure> openOrPutBack(const Location &previous, Reopen reopen, SessionOutcome &outcome);
    void finish(SessionOutcome &outcome) const;
    static void note(SessionOutcome &outcome, const std::optional<ActionFailure> &failure);

    CatalogueTable &m_table;
};
