#include "settings/Recent.h"

#include "settings/TextCompare.h"

#include <QDir>

namespace {

bool isSeparator(QChar c)
{
    return c == u'/' || c == QDir::separator();
}

// Length of the folder part, trailing separator included.
qsizetype folderLength(const QString &name)
{
    for (qsizetype i = name.size(); i > 0; --i) {
        if (isSeparator(name[i - 1]))
            return i;
    }
    return 0;
}

} // namespace

TRecentlist::TRecentlist(QString programFolder, QObject *parent)
    : QObject(parent)
    , m_programFolder(std::move(programFolder))
{
}

void TRecentlist::clear()
{
    m_entries.clear();
    emit entriesChanged();
}

bool TRecentlist::AddFile(const QString &name)
{
    QString entry = name;
    const qsizetype folder = folderLength(entry);
    if (m_hidePath && sameText(entry.left(folder), m_programFolder))
        entry.remove(0, folder);
    if (m_hideExt) {
        const qsizetype dot = entry.lastIndexOf(u'.');
        if (dot >= folderLength(entry))
            entry.truncate(dot);
    }

    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const QString &existing) { return sameText(existing, entry); });
    const bool isNew = found == m_entries.end();
    if (!isNew)
        m_entries.erase(found);
    m_entries.prepend(entry);
    if (m_entries.size() > MaxEntries)
        m_entries.removeAt(MaxEntries);
    emit entriesChanged();
    return isNew;
}

void TRecentlist::clickEntry(const QString &entry, QObject *sender)
{
    QString fileName = entry;
    if (folderLength(fileName) == 0)
        fileName.prepend(m_programFolder);
    if (m_hideExt)
        fileName += u'.' + m_defaultExt;
    m_fileName = fileName;
    emit OnClick(sender);
    AddFile(m_fileName);
}

QString TRecentlist::menuCaption(qsizetype position, const QString &entry)
{
    QString shown = entry;
    shown.replace(u'&', QStringLiteral("&&"));
    return u'&' + QString::number(position + 1) + u' ' + shown;
}
