#include "catalogue/paradox/ParadoxFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace ParadoxFiles {

namespace {

bool isCompanionSuffix(const QString &suffix)
{
    static const QRegularExpression known(QStringLiteral("^(DB|MB|PX|VAL|TVF?|FAM|[XY][0-9A-F]{2}|[XY]G[0-9A-F])$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return known.match(suffix).hasMatch();
}

// The plain files in the folder of `dbPath` whose name before the extension is the
// table's, without regard to case; sorted, so the choice among several is always the same.
QFileInfoList namesakes(const QString &dbPath)
{
    const QFileInfo table(dbPath);
    const QString base = table.completeBaseName();
    QFileInfoList found;
    const QFileInfoList entries =
        QDir(table.absolutePath()).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.completeBaseName().compare(base, Qt::CaseInsensitive) == 0)
            found << entry;
    }
    return found;
}

// Among `entries` with one extension, the one spelled like the table comes first:
// CONTENTS.MB for CONTENTS.DB; else the first.
QString preferred(const QFileInfo &table, const QString &suffix, const QFileInfoList &entries)
{
    const QString sameCase = table.completeBaseName() + u'.'
                           + (table.suffix() == table.suffix().toLower() ? suffix.toLower() : suffix.toUpper());
    QString any;
    for (const QFileInfo &entry : entries) {
        if (entry.suffix().compare(suffix, Qt::CaseInsensitive) != 0)
            continue;
        if (entry.fileName() == sameCase)
            return entry.absoluteFilePath();
        if (any.isEmpty())
            any = entry.absoluteFilePath();
    }
    return any;
}

} // namespace

QString companion(const QString &dbPath, const QString &suffix)
{
    return preferred(QFileInfo(dbPath), suffix, namesakes(dbPath));
}

QStringList tableFiles(const QString &dbPath)
{
    const QFileInfo table(dbPath);
    // The table itself; another spelling of NAME.DB is another table.
    QStringList files{table.absoluteFilePath()};
    const QFileInfoList entries = namesakes(dbPath);
    QStringList suffixes;
    for (const QFileInfo &entry : entries) {
        const QString suffix = entry.suffix().toUpper();
        if (suffix != QLatin1String("DB") && isCompanionSuffix(suffix) && !suffixes.contains(suffix))
            suffixes << suffix;
    }
    // One file of each kind: where two spellings of a companion lie side by side, the
    // other belongs to another table.
    for (const QString &suffix : suffixes)
        files << preferred(table, suffix, entries);
    return files;
}

} // namespace ParadoxFiles
