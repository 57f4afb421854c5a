#pragma once

#include "settings/ui/Drives.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmSelectDir;
}

// The directory chooser of the settings dialog: a drive box and a folder list bound
// together, and the chosen folder above them. It stays where it was left.
class TfrmSelectDir : public QDialog
{
    Q_OBJECT
public:
    // Starts in startFolder (its nearest existing parent, or the home folder).
    TfrmSelectDir(QWidget *mainWindow, const QString &startFolder, std::unique_ptr<DriveSource> drives = nullptr);
    ~TfrmSelectDir() override;

    // The current folder: a clean absolute path, without a trailing separator
    // except for a root.
    QString directory() const { return m_folder; }
    // Opens a folder, on the drive that holds it.
    void setDirectory(const QString &folder);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillDrives();
    void cbbDriveChange();
    void openRow(int row);
    // Shows folder from the root of the drive in the drive box.
    void showFolder(const QString &folder);
    int driveFor(const QString &folder) const;

    std::unique_ptr<Ui::TfrmSelectDir> ui;
    QWidget *m_mainWindow;
    std::unique_ptr<DriveSource> m_drives;
    QString m_folder;
};
