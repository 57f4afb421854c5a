#pragma once

#include "catalogue/paradox/ParadoxBlobs.h"
#include "catalogue/paradox/ParadoxCodePage.h"
#include "catalogue/paradox/ParadoxHeader.h"
#include "catalogue/paradox/ParadoxSource.h"

#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

// A Paradox table read from its data file (.DB) and its memo and image file (.MB):
// the header, then the records block by block in the order of the blocks' chain, which
// is the key order of a keyed table. Values come as Qt values: alpha and memo fields as
// text, logical fields as true or false, graphic fields as the Windows bitmap they hold
// (binary fields as their bytes); an empty field as a null value. Damage anywhere
// throws EngineError naming the file and the damage, never a value made up.
class ParadoxTable
{
public:
    using Values = std::vector<QVariant>;

    // Opens `path` with the .MB beside it, whose name may differ in letter case. A table
    // with blob fields needs its .MB.
    static std::unique_ptr<ParadoxTable> open(const QString &path);
    // Reads the header of `db`; `mb` may be null when the table has no blob fields.
    ParadoxTable(std::unique_ptr<ParadoxSource> db, std::unique_ptr<ParadoxSource> mb);

    const ParadoxHeader &header() const { return m_header; }
    // The data file as messages name it.
    const QString &name() const { return m_db->name(); }
    // Throws "<data file>: <damage>.".
    [[noreturn]] void fail(const QString &damage) const { m_db->fail(damage); }

    // Gives each record to `take` with its number, from 1, in the order of the chain.
    // The number of records must be the one the header counts.
    void readRecords(const std::function<void(int number, const Values &values)> &take);

private:
    void readRecord(const char *record, int number, Values &values);
    QVariant readLogical(const char *bytes, const ParadoxField &field, int number) const;
    QVariant readText(QByteArrayView bytes, const ParadoxValueName &name) const;
    QByteArray bitmapOf(const QByteArray &blob, const ParadoxValueName &name) const;
    void checkBlobSize(const ParadoxField &field) const;

    std::unique_ptr<ParadoxSource> m_db;
    std::unique_ptr<ParadoxSource> m_mb;
    ParadoxHeader m_header;
    std::optional<ParadoxCodePage> m_codePage;
};
