#include "app/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString run(QWidget *parent, const FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
        dialog.selectNameFilter(request.filters[request.filterIndex]);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // The dialog asks before it replaces a file (on by default for saving).
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::cleanPath(dialog.selectedFiles().constFirst());
}

} // namespace

QString QtFileDialogs::openFile(QWidget *parent, const FileDialogRequest &request)
{
    return run(parent, request, QFileDialog::AcceptOpen);
}

QString QtFileDialogs::saveFile(QWidget *parent, const FileDialogRequest &request)
{
    FileDialogRequest again = request;
    for (;;) {
        const QString chosen = run(parent, again, QFileDialog::AcceptSave);
        if (chosen.isEmpty())
            return chosen;
        const QFileInfo info(chosen);
        const QString shown = QDir::toNativeSeparators(chosen);
        // A "No" or a missing folder goes back to the dialog with the name kept.
        again.folder = info.absolutePath();
        again.fileName = info.fileName();
        if (!info.absoluteDir().exists()) {
            QMessageBox::warning(parent, request.title,
                                 QStringLiteral("%1\nThe folder does not exist.").arg(shown));
            continue;
        }
        if (!request.confirmCreate || info.exists())
            return chosen;
        const auto answer = QMessageBox::question(
            parent, request.title, QStringLiteral("%1\nThis file does not exist.\nDo you want to create it?").arg(shown),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            return chosen;
    }
}
