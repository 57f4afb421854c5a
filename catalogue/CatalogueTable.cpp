#include "catalogue/CatalogueTable.h"

#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/PendingFile.h"
#include "catalogue/FolderPath.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace Schema = CatalogueSchema;

CatalogueTable::CatalogueTable()
    : m_store([this](bool waiting) {
        if (m_handler)
            m_handler->onLockWait(waiting);
    })
{
    for (int i = 0; i < Schema::FieldCount; ++i)
        m_fields[i] = std::make_unique<Field>(this, i);
}

CatalogueTable::~CatalogueTable()
{
    // The handler may be gone already: its owner may destroy it before the table.
    m_handler = nullptr;
    closeStore();
}

// ---- location and order ------------------------------------------------------------

void CatalogueTable::setDatabaseName(const QString &folder)
{
    checkClosed("change the folder of");
    m_databaseName = withTrailingSeparator(folder);
}

void CatalogueTable::setTableName(const QString &fileName)
{
    checkClosed("change the file name of");
    m_tableName = fileName;
}

void CatalogueTable::setLockTimeout(int ms)
{
    m_store.setLockTimeout(ms);
}

QString CatalogueTable::fullPath() const
{
    return pathInFolder(m_databaseName, m_tableName);
}

QString CatalogueTable::indexName() const
{
    return m_indexFieldNames.isEmpty() ? m_indexName : QString();
}

CatalogueOrder CatalogueTable::order() const
{
    if (!m_indexFieldNames.isEmpty())
        return {m_indexFieldNames.compare(QLatin1String("Archive"), Qt::CaseInsensitive) == 0 ? 0 : -1};
    return {Schema::indexByName(m_indexName)};
}

void CatalogueTable::setIndexName(const QString &name)
{
    if (!name.isEmpty() && Schema::indexByName(name) < 0)
        throw EngineError(QStringLiteral("There is no index named %1.").arg(name));
    if (active()) {
        if (!name.isEmpty() && !m_store.hasIndex(name))
            throw EngineError(QStringLiteral("The catalogue %1 has no index %2.")
                                  .arg(QDir::toNativeSeparators(fullPath()), name));
        checkBrowseMode();
    }
    m_indexName = name;
    m_indexFieldNames.clear();
    if (active())
        reorder();
}

void CatalogueTable::setIndexFieldNames(const QString &names)
{
    const QString trimmed = names.trimmed();
    const bool archive = trimmed.compare(QLatin1String("Archive"), Qt::CaseInsensitive) == 0;
    const bool key = trimmed.isEmpty()
        || trimmed.compare(QLatin1String("Archive;Product;Type"), Qt::CaseInsensitive) == 0;
    if (!archive && !key)
        throw EngineError(QStringLiteral("There is no index for the fields %1.").arg(names));
    if (active())
        checkBrowseMode();
    m_indexFieldNames = trimmed;
    m_indexName.clear();
    if (active())
        reorder();
}

// ---- open and close ----------------------------------------------------------------

void CatalogueTable::open()
{
    if (active())
        return;
    const QString path = fullPath();
    // Copies a killed program left half-written in this folder are of no use to anyone.
    PendingFile::removeLeftovers(QFileInfo(path).absolutePath());
    CatalogueFile::checkHeader(path);

    const CatalogueStore::Opened opened =
        m_store.open(path, CatalogueFile::isWriteProtected(path), order(), FirstRows + 1);
    m_readOnly = opened.readOnly;
    m_orderNews = false;
    m_orderToRead = false;
    const std::vector<qint64> &first = opened.firstRowIds;
    m_rowId = first.empty() ? 0 : first.front();
    m_pos = first.empty() ? -1 : 0;
    try {
        if (first.size() <= size_t(FirstRows)) {
            m_order.assign(first); // the whole catalogue
            m_firstRows = 0;
        } else {
            // The rest is read on a thread of its own; until then the count is not known.
            m_order.reset(-1);
            m_firstRows = FirstRows;
            m_orderToRead = true;
        }
        loadCurrent();
    } catch (...) {
        closeStore();
        throw;
    }

    m_state = DataSetState::Browse;
    m_modified = false;
    m_bof = true;
    m_eof = m_pos < 0;
    notify(TableEvent::ActiveChanged);
    notify(TableEvent::DataSetChanged);
    fire(&CatalogueTableHandler::afterOpen);
    fire(&CatalogueTableHandler::afterScroll);
}

void CatalogueTable::closeStore()
{
    m_orderReader.stop();
    m_window.clear();
    m_around.clear();
    m_store.close();
}

void CatalogueTable::close()
{
    if (!active())
        return;
    closeStore();
    m_state = DataSetState::Inactive;
    m_modified = false;
    m_order.reset();
    m_firstRows = 0;
    m_orderNews = false;
    m_orderToRead = false;
    m_pos = -1;
    m_rowId = 0;
    m_current = {};
    m_buffer = {};
    m_bof = m_eof = true;
    notify(TableEvent::ActiveChanged);
}

// ---- fields ------------------------------------------------------------------------

QVariant CatalogueTable::fieldValue(int pos) const
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return m_buffer[pos];
    if (pos >= Schema::GridFields)
        completeCurrent();
    return m_current[pos];
}

Field *CatalogueTable::findField(const QString &name)
{
    for (auto &f : m_fields) {
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    }
    return nullptr;
}

// ---- whole-catalogue operations ----------------------------------------------------

void CatalogueTable::createTable()
{
    checkClosed("create");
    CatalogueFile::create(fullPath());
}

void CatalogueTable::copyTable(const QString &destPath, const CatalogueFile::Progress &progress)
{
    checkActive();
    m_store.copyTo(destPath, progress);
}

int CatalogueTable::storedRecordCount()
{
    return m_store.countStored();
}

void CatalogueTable::renameTable(const QString &newName)
{
    checkClosed("rename");
    CatalogueFile::move(fullPath(), m_databaseName + newName);
    m_tableName = newName;
}

void CatalogueTable::moveTable(const QString &newPath)
{
    checkClosed("move");
    CatalogueFile::move(fullPath(), newPath);
    const QFileInfo info(newPath);
    m_databaseName = withTrailingSeparator(info.absolutePath());
    m_tableName = info.fileName();
}

void CatalogueTable::deleteTable()
{
    checkClosed("delete");
    CatalogueFile::remove(fullPath());
}

void CatalogueTable::packTable(const CatalogueFile::Progress &progress)
{
    checkClosed("pack");
    CatalogueFile::pack(fullPath(), progress);
}

// ---- plumbing ----------------------------------------------------------------------

void CatalogueTable::checkActive() const
{
    if (!active())
        throw EngineError(QStringLiteral("Cannot perform this operation on a closed dataset"),
                          EngineError::Kind::ClosedDataSet);
}

void CatalogueTable::checkClosed(const char *what) const
{
    if (active())
        throw EngineError(QStringLiteral("Cannot %1 the catalogue while it is open").arg(QLatin1String(what)));
}

void CatalogueTable::enableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0)
        notify(TableEvent::DataSetChanged);
}

void CatalogueTable::addObserver(TableObserver *observer)
{
    m_observers.push_back(observer);
}

void CatalogueTable::removeObserver(TableObserver *observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CatalogueTable::notify(TableEvent event, int info)
{
    if (m_disableCount > 0)
        return;
    const auto observers = m_observers;
    for (TableObserver *o : observers)
        o->tableEvent(event, info);
}

void CatalogueTable::fire(void (CatalogueTableHandler::*event)(CatalogueTable &))
{
    if (m_handler)
        (m_handler->*event)(*this);
}
