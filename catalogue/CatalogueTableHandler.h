#pragma once

#include "catalogue/EngineError.h"

class CatalogueTable;

// What a post-error handler decides: Fail raises the error, Abort ends the post
// silently, Retry tries the post again.
enum class DataAction { Fail, Abort, Retry };

// The table's events, in the order a dataset fires them; each does nothing unless
// overridden. Handlers may throw; a throwing before-delete handler (AbortError for a
// silent one) keeps the record.
class CatalogueTableHandler
{
public:
    virtual ~CatalogueTableHandler() = default;

    virtual void afterOpen(CatalogueTable &) {}
    // Fills defaults into a new record before it counts as changed, so an untouched new
    // record is dropped, not posted, when the cursor moves on.
    virtual void onNewRecord(CatalogueTable &) {}
    virtual void afterInsert(CatalogueTable &) {}
    virtual void afterEdit(CatalogueTable &) {}
    virtual void afterPost(CatalogueTable &) {}
    virtual void afterCancel(CatalogueTable &) {}
    virtual void afterDelete(CatalogueTable &) {}
    virtual void afterScroll(CatalogueTable &) {}
    virtual void beforeDelete(CatalogueTable &) {}
    // The engine refused a posted record for a duplicate key; `action` starts as Fail.
    virtual void onPostError(CatalogueTable &, const EngineError &, DataAction &) {}
    // True when a statement starts waiting for another program's lock and false once
    // that statement has finished, with or without the lock: at most one pair per
    // statement, so the window can show a busy cursor meanwhile. It runs inside the
    // engine call on this thread, so it must not throw and must not use the table.
    virtual void onLockWait(bool /*waiting*/) noexcept {}
};
