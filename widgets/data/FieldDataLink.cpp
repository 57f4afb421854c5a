#include "widgets/data/FieldDataLink.h"

#include "catalogue/CatalogueTable.h"
#include "catalogue/DataSource.h"
#include "widgets/data/DataSourceLink.h"
#include "widgets/data/TableAction.h"

FieldDataLink::FieldDataLink(QObject *parent) : QObject(parent), m_source(new DataSourceLink(this))
{
    connect(m_source, &DataSourceLink::activeChanged, this, [this] {
        relayEditable();
        relayData();
    });
    connect(m_source, &DataSourceLink::stateChanged, this, &FieldDataLink::relayEditable);
    connect(m_source, &DataSourceLink::recordChanged, this, &FieldDataLink::relayData);
    connect(m_source, &DataSourceLink::dataSetChanged, this, &FieldDataLink::relayData);
    connect(m_source, &DataSourceLink::fieldChanged, this, &FieldDataLink::onFieldChanged);
}

void FieldDataLink::setDataSource(DataSource *source)
{
    if (!m_source->setDataSource(source))
        return;
    emit editableChanged();
    emit dataChanged();
}

DataSource *FieldDataLink::dataSource() const
{
    return m_source->dataSource();
}

void FieldDataLink::setFieldPos(int pos)
{
    if (pos < -1 || pos >= CatalogueSchema::FieldCount)
        pos = -1;
    if (m_fieldPos == pos)
        return;
    m_fieldPos = pos;
    emit editableChanged();
    emit dataChanged();
}

CatalogueTable *FieldDataLink::table() const
{
    return m_source->table();
}

Field *FieldDataLink::field() const
{
    CatalogueTable *t = table();
    return t && m_fieldPos >= 0 ? &t->field(m_fieldPos) : nullptr;
}

bool FieldDataLink::active() const
{
    CatalogueTable *t = table();
    return t && t->active() && m_fieldPos >= 0;
}

bool FieldDataLink::editing() const
{
    if (!active())
        return false;
    const DataSetState s = table()->state();
    return s == DataSetState::Edit || s == DataSetState::Insert;
}

QVariant FieldDataLink::value()
{
    if (!active())
        return {};
    try {
        QVariant v = field()->value();
        setUnread(false);
        return v;
    } catch (const EngineError &e) {
        setUnread(true, e.message());
        return {};
    }
}

void FieldDataLink::setUnread(bool unread, const QString &reason)
{
    if (unread == m_unread)
        return;
    m_unread = unread;
    emit editableChanged();
    // Said once the table's notification is over, not from inside it.
    if (unread)
        QMetaObject::invokeMethod(this, [this, reason] { emit errorRaised(reason); }, Qt::QueuedConnection);
}

template <typename Op>
bool FieldDataLink::run(Op &&op)
{
    if (!m_source->dataSource() || m_fieldPos < 0)
        return false;
    QString message;
    bool ok;
    {
        const bool was = m_writing;
        m_writing = true;
        ok = tryTableAction(op, message);
        m_writing = was;
    }
    // The state may have changed (an insert on an empty table) even though the
    // notifications were held back while writing.
    emit editableChanged();
    if (!ok && !message.isEmpty())
        emit errorRaised(message);
    return ok;
}

bool FieldDataLink::edit()
{
    return run([this] { table()->edit(); });
}

bool FieldDataLink::write(const QVariant &value)
{
    // A closed catalogue refuses input the way a read-only control does. A read-only
    // one takes it: storing then says why it cannot be written, and the typing stays.
    if (!active())
        return false;
    // A value nobody has seen is not replaced: read it first; the control then shows it.
    if (m_unread) {
        this->value();
        return false;
    }
    return run([this, &value] {
        CatalogueTable *t = table();
        t->edit();
        t->field(m_fieldPos).setValue(value);
    });
}

void FieldDataLink::onFieldChanged(int pos)
{
    if (pos == m_fieldPos)
        relayData();
}

void FieldDataLink::relayData()
{
    if (!m_writing)
        emit dataChanged();
}

void FieldDataLink::relayEditable()
{
    if (!m_writing)
        emit editableChanged();
}
