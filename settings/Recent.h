#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The recently used files, most recent first, at most nine, no two equal
// without regard to case. The menu that mirrors the list lives in RecentMenu
// (settings/ui), which follows entriesChanged().
class TRecentlist : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE setDefaultExt)
    Q_PROPERTY(bool Hidepath READ Hidepath WRITE setHidepath)
    Q_PROPERTY(bool HideExt READ HideExt WRITE setHideExt)
    Q_PROPERTY(QString FileName READ FileName)

public:
    static constexpr qsizetype MaxEntries = 9;

    // programFolder ends in a path separator.
    explicit TRecentlist(QString programFolder, QObject *parent = nullptr);

    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &ext) { m_defaultExt = ext; }
    bool Hidepath() const { return m_hidePath; }
    void setHidepath(bool on) { m_hidePath = on; }
    bool HideExt() const { return m_hideExt; }
    void setHideExt(bool on) { m_hideExt = on; }
    // The file name worked out from the entry clicked last.
    QString FileName() const { return m_fileName; }

    const QStringList &entries() const { return m_entries; }
    void clear();

    // Puts the (possibly shortened) name on top; returns true when no equal
    // entry was there before.
    bool AddFile(const QString &name);

    // What a click on an entry's menu item does: works out FileName, emits
    // OnClick with the clicked item as sender, then moves the file to the top.
    void clickEntry(const QString &entry, QObject *sender);

    // "&" + position counted from 1 + " " + entry; an ampersand inside the
    // entry is doubled so that it shows as itself.
    static QString menuCaption(qsizetype position, const QString &entry);

signals:
    void OnClick(QObject *sender);
    void entriesChanged();

private:
    QString m_programFolder;
    QString m_defaultExt;
    QString m_fileName;
    QStringList m_entries;
    bool m_hidePath = true;
    bool m_hideExt = true;
};
