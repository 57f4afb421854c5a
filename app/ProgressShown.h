#pragma once

#include "catalogue/engine/CatalogueFile.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QString>
#include <optional>

class QWidget;

// A progress dialog that shows when the work takes longer than half a second. It is
// made when the work reports its first progress, so nothing before the work (a
// record's post and its messages) runs under it.
class ProgressShown
{
public:
    ProgressShown(QWidget *parent, const QString &label) : m_parent(parent), m_label(label) {}

    CatalogueFile::Progress callback()
    {
        return [this](qint64 done, qint64 total) {
            QProgressDialog &dialog = this->dialog();
            if (total <= 0) {
                dialog.setRange(0, 0);
                dialog.setValue(0);
            } else {
                dialog.setRange(0, 1000);
                dialog.setValue(int(done * 1000 / total));
            }
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }

private:
    QProgressDialog &dialog()
    {
        if (!m_dialog) {
            m_dialog.emplace(m_label, QString(), 0, 100, m_parent);
            m_dialog->setWindowTitle(QStringLiteral("Moxarium"));
            m_dialog->setWindowModality(Qt::WindowModal);
            m_dialog->setMinimumDuration(500);
            m_dialog->setCancelButton(nullptr);
            m_dialog->setAutoClose(false);
            m_dialog->setValue(0);
        }
        return *m_dialog;
    }

    QWidget *m_parent;
    QString m_label;
    std::optional<QProgressDialog> m_dialog;
};
