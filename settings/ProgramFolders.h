#pragma once

#include <QString>
#include <functional>

// Where the program keeps "mox.ini", and which folder stands in for every empty
// folder setting (the default catalogue's folder, the file tasks' folders).
//
// A copy in a folder its user can write keeps both beside the program, so a
// copy carried on a stick takes its settings along. A program installed for all
// users cannot write its own folder; it keeps mox.ini in the user's
// configuration folder and its catalogue in the user's data folder instead,
// or it could keep no setting at all.
struct ProgramFolders
{
    // Both end in '/'.
    QString settingsFolder;
    QString dataFolder;
    // True when both are the program's own folder.
    bool besideProgram = true;

    // The desktop entry an installation puts beside its program, as
    // <prefix>/bin/moxarium and <prefix>/share/applications/<this>.
    static constexpr auto DesktopEntryName = "io.github.moxarium.Moxarium.desktop";

    // Everything beside the program.
    static ProgramFolders beside(const QString &programFolder);

    // canWrite tells whether a folder accepts a new file. The program folder is
    // left to the user's folders when it does not, or when it is part of an
    // installation: an administrator starting the installed program could write
    // the system's folder, but it is no place for one person's settings.
    static ProgramFolders choose(const QString &programFolder, const QString &userConfigFolder,
                                 const QString &userDataFolder,
                                 const std::function<bool(const QString &)> &canWrite = folderAcceptsFiles);

    // Whether programFolder is the bin folder of an installation.
    static bool isInstalled(const QString &programFolder);

    // Tries to create a file in folder and removes it again: permissions, access
    // lists and read-only mounts all answer the same way.
    static bool folderAcceptsFiles(const QString &folder);

    // Creates the settings and data folders when missing. Returns an empty text,
    // or which folder could not be made and why.
    QString create() const;
};
