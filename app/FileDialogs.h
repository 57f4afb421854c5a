#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a file dialog is asked; filters are "Text (patterns)" entries.
struct FileDialogRequest {
    QString title;
    QString folder;
    QString fileName;
    QString defaultSuffix;
    QStringList filters;
    int filterIndex = 0;
    // Saving only: ask before a file that is not there yet is made.
    bool confirmCreate = false;
};

// The seam for the open and save dialogs, so tests can answer them.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen full path, or empty when the user cancelled.
    virtual QString openFile(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual QString saveFile(QWidget *parent, const FileDialogRequest &request) = 0;
};

// The real dialogs.
class QtFileDialogs : public FileDialogs
{
public:
    QString openFile(QWidget *parent, const FileDialogRequest &request) override;
    QString saveFile(QWidget *parent, const FileDialogRequest &request) override;
};
