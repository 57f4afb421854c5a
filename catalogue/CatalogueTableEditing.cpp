// The record buffer of the catalogue table: editing, inserting, posting and deleting.
#include "catalogue/CatalogueTable.h"

#include <QDir>
#include <algorithm>

using CatalogueSchema::FieldKind;
namespace Schema = CatalogueSchema;

namespace {

// A value as the table keeps it: an empty text or image is no value, a flag is a bool.
QVariant normalise(const QVariant &value, FieldKind kind)
{
    if (value.isNull())
        return QVariant();
    switch (kind) {
    case FieldKind::Boolean:
        return QVariant(value.toBool());
    case FieldKind::Graphic: {
        QByteArray bytes = value.toByteArray();
        return bytes.isEmpty() ? QVariant() : QVariant(bytes);
    }
    case FieldKind::String:
    case FieldKind::Memo: {
        QString text = value.toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    }
    return QVariant();
}

} // namespace

void CatalogueTable::checkBrowseMode()
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert) {
        if (m_modified)
            post();
        else
            cancel();
    }
}

void CatalogueTable::edit()
{
    checkActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    if (isEmpty()) {
        insert();
        return;
    }
    completeCurrent();
    m_buffer = m_current;
    m_state = DataSetState::Edit;
    m_modified = false;
    notify(TableEvent::StateChanged);
    fire(&CatalogueTableHandler::afterEdit);
}

void CatalogueTable::insert()
{
    beginInsert(false);
}

void CatalogueTable::append()
{
    beginInsert(true);
}

void CatalogueTable::beginInsert(bool appending)
{
    checkActive();
    checkBrowseMode();
    // The current record stays remembered: a cancelled insert returns to it.
    m_buffer = {};
    m_state = DataSetState::Insert;
    if (appending)
        m_bof = false; // an appended record stands after the last one, never at the start
    fire(&CatalogueTableHandler::onNewRecord);
    m_modified = false;
    notify(TableEvent::StateChanged);
    notify(TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterInsert);
    fire(&CatalogueTableHandler::afterScroll);
}

void CatalogueTable::validateBuffer() const
{
    for (int i = 0; i < Schema::FieldCount; ++i) {
        const Schema::FieldDef &def = Schema::fields()[i];
        const QVariant &v = m_buffer[i];
        if (def.required && v.isNull())
            throw EngineError(QStringLiteral("Field '%1' must have a value").arg(Schema::displayLabel(i)));
        // A stored text longer than the field (written by another program) is kept as
        // it is while other fields change; only a text this edit set is measured.
        const bool unchanged = m_state == DataSetState::Edit && v == m_current[size_t(i)];
        if (def.kind == FieldKind::String && !v.isNull() && !unchanged) {
            const qsizetype length = v.toString().toUcs4().size();
            if (length > def.size)
                throw EngineError(QStringLiteral("The text in field '%1' is %2 characters long; the field holds at most %3 characters")
                                      .arg(Schema::displayLabel(i)).arg(length).arg(def.size));
        }
    }
}

void CatalogueTable::post()
{
    checkActive();
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    validateBuffer();
    const bool inserting = m_state == DataSetState::Insert;
    const QString shown = QDir::toNativeSeparators(fullPath());

    // The record-view search posts every record it passes: an unchanged row costs no write.
    if (inserting || m_buffer != m_current) {
        if (m_readOnly)
            throw EngineError(QStringLiteral("Cannot store the record: the catalogue %1 is read-only").arg(shown),
                              EngineError::Kind::ReadOnly);
        // The order list read on its own thread is taken first: the write would outdate it.
        if (!m_order.isRead())
            ensureOrder();
        const qint64 rowId = postChanges(shown);
        if (!m_order.isRead()) {
            m_rowId = rowId;
            buildOrder();
        } else if (inserting) {
            placeInOrder(rowId);
        } else {
            const int sortField = order().sortField();
            const auto changed = [&](int pos) { return pos >= 0 && m_buffer[pos] != m_current[pos]; };
            if (changed(Schema::Archive) || changed(Schema::Product) || changed(Schema::Type) || changed(sortField)) {
                m_order.removeAt(m_pos);
                placeInOrder(rowId);
            }
        }
        m_rowId = rowId;
        m_window.clear();
        if (!m_store.read(m_rowId, m_current, true))
            m_current = m_buffer;
    }

    m_buffer = {};
    m_state = DataSetState::Browse;
    m_modified = false;
    m_bof = m_eof = false;
    notify(TableEvent::StateChanged);
    notify(TableEvent::DataSetChanged);
    fire(&CatalogueTableHandler::afterPost);
}

// Writes the buffer: an insert, or an update of the changed columns only, so an edit
// of a comment does not rewrite the images. Returns the row id of the record stored.
qint64 CatalogueTable::postChanges(const QString &shown)
{
    const bool inserting = m_state == DataSetState::Insert;
    for (;;) {
        if (inserting) {
            if (const std::optional<qint64> rowId = m_store.insert(m_buffer))
                return *rowId;
        } else if (storeEdit(shown)) {
            return m_rowId;
        }
        const EngineError error(QStringLiteral("Key violation: %1 already holds a record with archive \"%2\", product \"%3\" and type \"%4\"")
                                    .arg(shown, m_buffer[Schema::Archive].toString(),
                                         m_buffer[Schema::Product].toString(), m_buffer[Schema::Type].toString()),
                                EngineError::Kind::KeyViolation);
        DataAction action = DataAction::Fail;
        if (m_handler)
            m_handler->onPostError(*this, error, action);
        if (action == DataAction::Retry)
            continue;
        if (action == DataAction::Abort)
            throw AbortError();
        throw error;
    }
}

// Stores an edit only while the stored record still holds what this copy read when
// the edit began; another program's change in between is refused, never overwritten.
// False when the engine refuses the record for a duplicate key.
bool CatalogueTable::storeEdit(const QString &shown)
{
    switch (m_store.update(m_rowId, m_current, m_buffer)) {
    case CatalogueStore::Update::Stored:
        return true;
    case CatalogueStore::Update::KeyViolation:
        return false;
    case CatalogueStore::Update::Gone:
        m_currentStale = true;
        throw EngineError(QStringLiteral("Cannot store the record: another program deleted it from %1. "
                                         "Cancel the edit to see the catalogue as it is now").arg(shown));
    case CatalogueStore::Update::Changed:
        m_currentStale = true;
        throw EngineError(QStringLiteral("The record was changed by another program since you began editing it."),
                          EngineError::Kind::EditConflict);
    }
    return false;
}

void CatalogueTable::cancel()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    // A store was refused because another program changed or deleted the record: show
    // the catalogue as it is now, not the copy the edit began from. Read before the
    // edit is dropped, so a failed read leaves the typing.
    const bool reread = m_currentStale;
    if (reread) {
        buildOrder();
        loadCurrent();
    }
    m_buffer = {};
    m_state = DataSetState::Browse;
    m_modified = false;
    if (isEmpty())
        m_bof = m_eof = true;
    notify(TableEvent::StateChanged);
    notify(reread ? TableEvent::DataSetChanged : TableEvent::RecordChanged);
    fire(&CatalogueTableHandler::afterCancel);
}

void CatalogueTable::remove()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    fire(&CatalogueTableHandler::beforeDelete);
    if (m_readOnly)
        throw EngineError(QStringLiteral("Cannot delete the record: the catalogue %1 is read-only")
                              .arg(QDir::toNativeSeparators(fullPath())), EngineError::Kind::ReadOnly);
    ensureOrder();
    if (!m_store.remove(m_rowId, m_current)) {
        // Gone already (another program deleted it): show the catalogue as it is now.
        m_state = DataSetState::Browse;
        refresh();
        throw EngineError(QStringLiteral("The record was already deleted by another program."));
    }
    m_order.removeAt(m_pos);
    m_window.clear();
    m_pos = std::min(m_pos, m_order.size() - 1);
    loadCurrent();
    m_buffer = {};
    m_state = DataSetState::Browse;
    m_modified = false;
    m_bof = m_eof = m_order.empty();
    notify(TableEvent::StateChanged);
    notify(TableEvent::DataSetChanged);
    fire(&CatalogueTableHandler::afterDelete);
    fire(&CatalogueTableHandler::afterScroll);
}

void CatalogueTable::setFieldValue(int pos, const QVariant &value)
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        throw EngineError(QStringLiteral("Dataset not in edit or insert mode"));
    m_buffer[pos] = normalise(value, Schema::fields()[pos].kind);
    m_modified = true;
    notify(TableEvent::FieldChanged, pos);
}
