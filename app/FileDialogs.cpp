#include "FileDialogs.h"

#include <QDir>
#include <QFileDialog>

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
    return run(parent, request, QFileDialog::AcceptSave);
}
