#pragma once

#include "settings/ProfileDocument.h"
#include "settings/SettingsError.h"

#include <QString>

// A profile file on disk: read once when constructed, written back whole on
// every change. Each write goes to a temporary file beside the target that is
// then renamed over it, so a crash or a kill leaves either the old or the new
// file, never a torn one.
class ProfileFile
{
public:
    // Reads the file now; a missing file reads as empty, and so does one
    // that is not a regular file.
    explicit ProfileFile(QString path);

    const QString &path() const { return m_path; }
    // Whether the file existed when it was read.
    bool existed() const { return m_existed; }
    // Empty unless the file exists but could not be read.
    const QString &readError() const { return m_readError; }
    // What stands at the path when it is not a regular file ("a named pipe",
    // "a folder", ...); such a file is neither opened nor written.
    const QString &nonRegularKind() const { return m_nonRegularKind; }

    const ProfileDocument &document() const { return m_document; }
    QString readString(QStringView section, QStringView key, const QString &defaultValue = {}) const;
    QStringList keyNames(QStringView section) const;

    // Each saves the file at once unless auto-save is off.
    void writeString(QStringView section, QStringView key, const QString &value);
    void writeSection(QStringView section, const QList<ProfileDocument::Entry> &entries);
    void eraseSection(QStringView section);

    // With auto-save off, changes collect in memory until save(), so a
    // group of changes reaches the disk in one step.
    void setAutoSave(bool on) { m_autoSave = on; }
    // Throws SettingsError "Unable to write to <full path>: <reason>" on
    // failure; the file on disk is then left as it was. Returns a message for
    // the user when the file had to be written in UTF-8 instead of the
    // encoding it was read in, else an empty text; the latest such message
    // stays in notice().
    QString save();
    const QString &notice() const { return m_notice; }

private:
    void changed();
    SettingsError writeError(const QString &reason) const;

    QString m_path;
    ProfileDocument m_document;
    QString m_readError;
    QString m_nonRegularKind;
    QString m_notice;
    bool m_existed = false;
    bool m_autoSave = true;
};
