#pragma once

#include "catalogue/CatalogueTableHandler.h"
#include "catalogue/engine/CatalogueFile.h"
#include "catalogue/engine/CatalogueOrder.h"
#include "catalogue/engine/CatalogueStore.h"
#include "catalogue/engine/OrderList.h"
#include "catalogue/engine/OrderReader.h"
#include "catalogue/engine/ReadAheadWindow.h"
#include "catalogue/engine/RowsAround.h"
#include "catalogue/EngineError.h"
#include "catalogue/Field.h"

#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// What a table tells the data sources bound to it.
enum class TableEvent {
    ActiveChanged,   // opened or closed
    StateChanged,    // browse, edit or insert began
    RecordChanged,   // another record became current, or the current one was reloaded
    FieldChanged,    // info = field position: the record being edited changed
    DataSetChanged,  // rows or their order changed (post, delete, refresh, index switch, resume)
    Renumbered,      // info = shift: the rows shown at a provisional place are at place + shift
};

class TableObserver
{
public:
    virtual ~TableObserver() = default;
    virtual void tableEvent(TableEvent event, int info) = 0;
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

// Where Find starts: at the first record, or after the current one.
enum class SearchStart { First, Next };

// The catalogue table object: a cursor over one catalogue file in the order of
// its current index, with a record buffer for editing. Every move first ends the
// editing of the current record (posting it when it was changed); closing drops it.
// Posts are durable when they return.
class CatalogueTable
{
public:
    // Rows opening reads from the top of a catalogue, which show before it is counted.
    static constexpr int FirstRows = 1024;
    // After a sort, the rows counted by key from the current record each way: fewer
    // before it give its place; more give a provisional one (see placeKnown()).
    static constexpr int PlaceReach = 256;

    CatalogueTable();
    ~CatalogueTable();
    CatalogueTable(const CatalogueTable &) = delete;
    CatalogueTable &operator=(const CatalogueTable &) = delete;

    // Location: a folder with a trailing separator and a bare file name.
    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &folder);
    QString tableName() const { return m_tableName; }
    void setTableName(const QString &fileName);
    QString fullPath() const;
    // How long a statement waits for another program's lock before it fails with
    // EngineError::Kind::Locked (5000 ms unless set).
    void setLockTimeout(int ms);
    int lockTimeout() const { return m_store.lockTimeout(); }
    bool exclusive() const { return m_exclusive; }
    void setExclusive(bool exclusive) { m_exclusive = exclusive; }

    // Order. An empty IndexName is the key order. IndexFieldNames "Archive" selects the
    // ascending Archive index while IndexName reads empty.
    QString indexName() const;
    void setIndexName(const QString &name);
    QString indexFieldNames() const { return m_indexFieldNames; }
    void setIndexFieldNames(const QString &names);

    void open();
    void close();
    bool active() const { return m_store.isOpen(); }
    void setActive(bool active) { active ? open() : close(); }
    bool readOnly() const { return m_readOnly; }
    DataSetState state() const { return m_state; }
    bool modified() const { return m_modified; }

    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const;
    // The records, counted when not yet known (it waits for the order list); -1 when it
    // cannot tell.
    int recordCount();
    // The record count as far as it is known without reading: -1 until the order list
    // of a large catalogue has been read.
    qint64 knownRecordCount() const { return active() ? m_order.count() : 0; }
    // The rows known to exist from the top of the current order: every row once the
    // count is known, else those opening read.
    int knownRowCount() const;
    // The records in the file now, counted afresh (another program may have added
    // some); -1 when the file cannot be read (locked, I/O error, not a catalogue) or
    // the table is closed. recordCount() answers from what the table has read.
    int storedRecordCount();
    int recNo() const;      // from 1; 0 on an empty table, -1 while inserting
    // The caller counts from what recNo() told it, also a provisional place.
    void setRecNo(int recNo);
    // False while the current record shows at a provisional place: after a sort that
    // put it beyond the first rows of the new order, the rows around it are read by key
    // and numbered from where it was, until the order list tells its true place; the
    // observers then hear Renumbered with the shift.
    bool placeKnown() const { return !m_around.active(); }

    void first();
    void next();
    void prior();
    void last();

    // Find: ends the editing of the current record as every move does (a changed record
    // is posted first; a refusal throws and nothing moves), then makes current the first
    // record from `start` on, in the current order, of which one of `fields` holds `text`
    // by the match rule of TextMatch. The records passed over are not made current: the
    // found one alone fires after-scroll, as one move. False when none does (Find Next
    // on the last record included): the cursor stays where it is and nothing fires.
    // The records are those of the order the table holds, with what the file holds now.
    // `stillSearching` is called every so often while the file is read; it must not throw.
    bool findText(const QString &text, const std::vector<int> &fields, SearchStart start,
                  const std::function<void()> &stillSearching = {});

    // Ends the editing of the current record: a changed one is posted, an unchanged one
    // simply leaves editing. Every move does this first.
    void checkBrowseMode();

    using Bookmark = qint64;
    Bookmark bookmark() const;
    void gotoBookmark(Bookmark bookmark);

    void edit();
    void insert();
    void append();
    void post();
    void cancel();
    void remove();          // the delete operation
    void refresh();
    // Reads the order list now, so the first move far from the top does not pay for it.
    // Opening reads only the first rows of a large catalogue, and its order list on a
    // thread of its own; this waits for that thread.
    void prepareOrder();
    // The order list is being read on its own thread, or it came in and the observers
    // have not been told yet: takeReadOrder() has something to do.
    bool orderPending() const
    {
        return m_orderNews || (!m_order.isRead() && (m_orderToRead || m_orderReader.started()));
    }
    // Starts the thread that reads the order list of a catalogue just opened (opening
    // leaves it to the first call, so that nothing runs beside the window's first
    // paint); takes the order list the thread has read, when it has, and tells the observers
    // (the count and the record numbers are known from then on); tells them as well when
    // a move needed the list before and took it. True when it told them. Never waits
    // for the thread; a reading that failed or that the file outdated is read again here,
    // where a failure is reported as what it is.
    bool takeReadOrder();

    void disableControls() { ++m_disableCount; }
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    Field &field(int pos) { return *m_fields[pos]; }
    const Field &field(int pos) const { return *m_fields[pos]; }
    int fieldCount() const { return CatalogueSchema::FieldCount; }
    Field *findField(const QString &name);

    // Whole-catalogue operations.
    void createTable();                          // closed afterwards; replaces a table of that name
    void copyTable(const QString &destPath, const CatalogueFile::Progress &progress = {}); // open table; replaces the destination
    void renameTable(const QString &newName);    // closed table; same folder
    void moveTable(const QString &newPath);      // closed table; any folder
    void deleteTable();                          // closed table
    void packTable(const CatalogueFile::Progress &progress = {}); // closed table

    // Grid access: stored rows by position in the current order, without images or memos.
    void readRows(int firstPos, int count, std::vector<CatalogueRow> &out);

    // Who hears the table's events (nobody: nullptr); not owned, it must outlive its
    // use here. A table being destroyed tells nobody.
    void setHandler(CatalogueTableHandler *handler) { m_handler = handler; }
    CatalogueTableHandler *handler() const { return m_handler; }

    void addObserver(TableObserver *observer);
    void removeObserver(TableObserver *observer);

    // Used by Field.
    QVariant fieldValue(int pos) const;
    void setFieldValue(int pos, const QVariant &value);

private:
    using Record = CatalogueSchema::Record;

    void checkActive() const;
    void checkClosed(const char *what) const;
    void notify(TableEvent event, int info = 0);
    void fire(void (CatalogueTableHandler::*event)(CatalogueTable &));
    CatalogueOrder order() const;

    // Navigation and reading (CatalogueTableNavigation.cpp).
    void ensureOrder();
    void buildOrder();
    void startOrderReader();
    bool adoptReadOrder(bool wait);
    void placeCurrent();
    void reorder();
    bool placeByKey();
    void loadCurrent();
    bool loadFromWindow();
    void completeCurrent() const;
    void placeInOrder(qint64 rowId);

    // Editing (CatalogueTableEditing.cpp).
    qint64 postChanges(const QString &shown);
    bool storeEdit(const QString &shown);
    void validateBuffer() const;
    void beginInsert(bool appending);
    void closeStore();

    QString m_databaseName = QStringLiteral("./");
    QString m_tableName = QStringLiteral("contents.DB");
    QString m_indexName;
    QString m_indexFieldNames = QStringLiteral("Archive");
    bool m_exclusive = false;

    CatalogueTableHandler *m_handler = nullptr;
    // Mutable: the memos and images of the current record are read on first use.
    mutable CatalogueStore m_store;
    bool m_readOnly = false;

    DataSetState m_state = DataSetState::Inactive;
    bool m_modified = false;
    bool m_bof = true;
    bool m_eof = true;
    int m_disableCount = 0;

    OrderList m_order;
    OrderReader m_orderReader;
    qint64 m_orderReaderVersion = 0; // the file's data version when the reading began
    int m_firstRows = 0;     // rows opening read from the top, while the count is not known
    // The order list came in during a move, when telling the observers would have been
    // too early: takeReadOrder() tells them.
    bool m_orderNews = false;
    // The order list of the catalogue just opened or reordered is to be read on its own thread.
    bool m_orderToRead = false;
    int m_pos = -1;          // position of the current record, -1 when empty
    qint64 m_rowId = 0;      // row id of the current record
    mutable Record m_current; // the current stored record
    // Memos and images of the current record are read when first asked for.
    mutable bool m_currentComplete = true;
    // Another program changed or deleted the current record after it was read (a
    // store found out); cancelling the edit reads it again.
    bool m_currentStale = false;
    Record m_buffer;         // the record being edited or inserted
    ReadAheadWindow m_window;
    RowsAround m_around;     // the rows around the current record while its place is not known

    std::array<std::unique_ptr<Field>, CatalogueSchema::FieldCount> m_fields;
    std::vector<TableObserver *> m_observers;
};
