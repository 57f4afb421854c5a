#include "catalogue/engine/NewCatalogue.h"

#include "catalogue/engine/CatalogueSql.h"
#include "catalogue/engine/SqlStatement.h"

#include <QDir>
#include <QFile>

namespace Schema = CatalogueSchema;

namespace {

QString creating(const QString &path)
{
    return QStringLiteral("Cannot create %1").arg(QDir::toNativeSeparators(path));
}

} // namespace

NewCatalogue::NewCatalogue(const QString &path)
    : m_path(path), m_failing(creating(path)), m_file(path, "new", m_failing)
{
    m_db.openPending(m_file.descriptor(), m_failing);
    m_db.execute(CatalogueSql::createCatalogue(), m_failing);
    // One transaction for every record: the file is unseen until it is whole anyway.
    m_db.execute(CatalogueSql::begin(), m_failing);
    m_insert = std::make_unique<SqlStatement>(m_db, CatalogueSql::insertRecord(CatalogueSql::createdColumns()),
                                              QStringLiteral("store the record"), SqlStatement::Prepare::MayFail);
    if (!m_insert->isValid())
        throw m_db.plainError(m_insert->result(), m_failing);
}

NewCatalogue::~NewCatalogue()
{
    m_insert.reset();
    m_db.close();
}

bool NewCatalogue::add(const Schema::Record &record)
{
    SqlStatement &insert = *m_insert;
    insert.reset();
    for (int i = 0; i < Schema::FieldCount; ++i)
        insert.bindValue(i + 1, record[size_t(i)]);
    const SqlStatement::Step got = insert.tryStep();
    // Told before the reset, which would put SQLite's message aside.
    if (got == SqlStatement::Step::Failed)
        throw m_db.plainError(insert.result(), m_failing);
    insert.reset();
    return got != SqlStatement::Step::KeyViolation;
}

void NewCatalogue::complete()
{
    m_insert.reset();
    m_db.execute(CatalogueSql::commit(), m_failing);
    m_db.close();
}

void NewCatalogue::publish(const CatalogueFile::Progress &flushed)
{
    // A journal left beside the old file of that name would be played into this one.
    for (const QString &companion : CatalogueFile::companionPaths(m_path))
        QFile::remove(companion);
    m_file.commit(flushed);
}
