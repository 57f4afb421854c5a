#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class SettingsHost;
struct ProgramSettings;

// A value in the settings file that could not be used; its key took its
// default and the rest of the settings still loaded.
struct SettingsProblem
{
    QString fileName;   // full path of the settings file
    QString section;
    QString key;
    QString value;
    QString reason;

    bool operator==(const SettingsProblem &) const = default;
};

// One message for the user naming every problem: which key in which file
// held which value.
QString describeSettingsProblems(const QList<SettingsProblem> &problems);

// The settings file "mox.ini", and the folder that stands in for every empty
// folder setting (the program folder, unless the program cannot keep its
// settings beside itself: see ProgramFolders).
class SettingsFile
{
public:
    static constexpr auto FileName = "mox.ini";
    static constexpr int GridColumnCount = 10;
    static constexpr int FieldCount = 14;

    // A missing trailing separator is added. settingsFolder holds mox.ini; empty,
    // it is the program folder.
    explicit SettingsFile(const QString &programFolder, const QString &settingsFolder = {});

    const QString &programFolder() const { return m_programFolder; }
    const QString &settingsFolder() const { return m_settingsFolder; }
    QString fileName() const;

    // Creates the file with the defaults when it does not exist, then reads it
    // into the settings and the host. Values that cannot be used take their
    // defaults and are returned, for the caller to tell the user once; so is
    // a file that is not a regular file, which is neither read nor written
    // (the defaults of a first start are used instead).
    // Throws SettingsError when the default file cannot be written.
    QList<SettingsProblem> LoadSettings(ProgramSettings &settings, SettingsHost &host) const;

    // Writes the settings and the host's state into the file in one step, so
    // the file on disk is always either the old or the new one. Keys that are
    // not written keep what the file holds at the moment of saving.
    // Throws SettingsError "Unable to write to <full path>: <reason>".
    // Returns a message for the user, or an empty text: the file was written
    // in UTF-8 instead of its own encoding, or it is not a regular file and
    // was left alone.
    QString SaveSettings(const ProgramSettings &settings, SettingsHost &host) const;

    // The file written when none exists.
    QByteArray defaultFileContents() const;

private:
    QString m_programFolder;
    QString m_settingsFolder;
};
