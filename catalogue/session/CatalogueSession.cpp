#include "catalogue/session/CatalogueSession.h"

#include "catalogue/CatalogueTable.h"
#include "catalogue/FolderPath.h"
#include "catalogue/session/ParadoxConversion.h"

#include <QFileInfo>

CatalogueSession::CatalogueSession(CatalogueTable &table) : m_table(table) {}

bool CatalogueSession::isUntitled() const
{
    // With letter case: "Untitled.db" is a name the user gave.
    return m_table.tableName() == untitledName();
}

bool CatalogueSession::recordChanged() const
{
    const DataSetState state = m_table.state();
    return m_table.active() && (state == DataSetState::Edit || state == DataSetState::Insert) && m_table.modified();
}

std::optional<ActionFailure> CatalogueSession::postChanges()
{
    return runAction([this] {
        if (recordChanged())
            m_table.post();
    });
}

std::optional<ActionFailure> CatalogueSession::postCurrent()
{
    return runAction([this] {
        m_table.edit();
        m_table.post();
    });
}

int CatalogueSession::recordsIn(const QString &folder, const QString &fileName)
{
    const QString path = pathInFolder(folder, fileName);
    if (!QFileInfo::exists(path))
        return 0;
    if (m_table.active() && QFileInfo(m_table.fullPath()) == QFileInfo(path))
        return m_table.recordCount();
    CatalogueTable probe;
    probe.setDatabaseName(folder);
    probe.setTableName(fileName);
    int count = -1;
    runAction([&] {
        probe.open();
        count = probe.recordCount();
    });
    return count;
}

SessionOutcome CatalogueSession::create(const QString &folder, const QString &fileName)
{
    SessionOutcome outcome;
    const Location previous = here();
    pointAt(folder, fileName);
    // A file that could not be made may still leave one of that name to open.
    note(outcome, runAction([this] { m_table.createTable(); }));
    outcome.succeeded = !openOrPutBack(previous, Reopen::IfItWasOpen, outcome);
    finish(outcome);
    return outcome;
}

SessionOutcome CatalogueSession::open(const QString &path)
{
    SessionOutcome outcome;
    const QFileInfo chosen(path);
    const Location previous = here();
    pointAt(withTrailingSeparator(chosen.absolutePath()), chosen.fileName());
    if (const std::optional<ActionFailure> failure = openOrPutBack(previous, Reopen::IfItWasOpen, outcome))
        outcome.cantOpen = failure->message;
    else
        outcome.succeeded = true;
    finish(outcome);
    return outcome;
}

SessionOutcome CatalogueSession::convertAndOpen(const QString &path, const CatalogueFile::Progress &progress)
{
    if (const std::optional<ActionFailure> failure = runAction([&] { ParadoxConversion::convert(path, progress); })) {
        SessionOutcome outcome;
        outcome.cantOpen = failure->message;
        finish(outcome);
        return outcome;
    }
    return open(path);
}

bool CatalogueSession::openUnlessLocked()
{
    const int timeout = m_table.lockTimeout();
    m_table.setLockTimeout(0);
    try {
        m_table.open();
    } catch (const EngineError &e) {
        m_table.setLockTimeout(timeout);
        if (e.kind() != EngineError::Kind::Locked)
            throw;
        return false;
    }
    m_table.setLockTimeout(timeout);
    return true;
}

SessionOutcome CatalogueSession::saveAs(const QString &path, const CatalogueFile::Progress &progress)
{
    SessionOutcome outcome;
    const bool untitled = isUntitled();
    // What the user sees is what the saved file holds.
    if (const std::optional<ActionFailure> failure = postChanges()) {
        outcome.wentAhead = false;
        note(outcome, failure);
        finish(outcome);
        return outcome;
    }
    const QFileInfo target(path);
    const Location previous = here();

    if (untitled) {
        // The catalogue itself goes where the user chose, under the chosen name.
        m_table.close();
        if (const std::optional<ActionFailure> moveFailure =
                runAction([&] { m_table.moveTable(target.absoluteFilePath()); })) {
            note(outcome, moveFailure);
            putBack(previous, Reopen::Always, outcome);
        } else {
            outcome.succeeded = true;
            note(outcome, runAction([this] { m_table.open(); }));
        }
    } else {
        // A copy; the record being edited was posted above, so the copy holds it.
        m_table.disableControls();
        const std::optional<ActionFailure> copyFailure =
            runAction([&] { m_table.copyTable(target.absoluteFilePath(), progress); });
        note(outcome, copyFailure);
        note(outcome, runAction([this] { m_table.refresh(); }));
        m_table.enableControls();
        if (!copyFailure) {
            outcome.succeeded = true;
            // The copy that cannot be opened leaves the old catalogue open, without a word.
            pointAt(withTrailingSeparator(target.absolutePath()), target.fileName());
            openOrPutBack(previous, Reopen::Always, outcome);
        }
    }
    finish(outcome);
    return outcome;
}

SessionOutcome CatalogueSession::pack(const CatalogueFile::Progress &progress)
{
    SessionOutcome outcome;
    // Packing closes the table: a changed record is written first.
    if (const std::optional<ActionFailure> failure = postChanges()) {
        outcome.wentAhead = false;
        note(outcome, failure);
        finish(outcome);
        return outcome;
    }
    m_table.close();
    const std::optional<ActionFailure> packFailure = runAction([&] { m_table.packTable(progress); });
    if (!m_table.active())
        note(outcome, runAction([this] { m_table.open(); }));
    note(outcome, packFailure);
    outcome.succeeded = !packFailure;
    finish(outcome);
    return outcome;
}

CatalogueSession::Location CatalogueSession::here() const
{
    return {m_table.databaseName(), m_table.tableName(), m_table.exclusive(), m_table.active()};
}

void CatalogueSession::pointAt(const QString &folder, const QString &fileName)
{
    m_table.close();
    m_table.setDatabaseName(folder);
    m_table.setTableName(fileName);
}

void CatalogueSession::putBack(const Location &previous, Reopen reopen, SessionOutcome &outcome)
{
    m_table.close();
    m_table.setDatabaseName(previous.folder);
    m_table.setTableName(previous.fileName);
    m_table.setExclusive(previous.exclusive);
    if (reopen == Reopen::Always || previous.open)
        note(outcome, runAction([this] { m_table.open(); }));
}

std::optional<ActionFailure> CatalogueSession::openOrPutBack(const Location &previous, Reopen reopen,
                                                             SessionOutcome &outcome)
{
    std::optional<ActionFailure> failure = runAction([this] { m_table.open(); });
    if (failure)
        putBack(previous, reopen, outcome);
    return failure;
}

void CatalogueSession::finish(SessionOutcome &outcome) const
{
    outcome.openPath = m_table.active() ? m_table.fullPath() : QString();
}

void CatalogueSession::note(SessionOutcome &outcome, const std::optional<ActionFailure> &failure)
{
    if (failure && !failure->silent)
        outcome.errors << failure->message;
}
