#include "app/ErrorReport.h"

#include <QMessageBox>

namespace ErrorReport {

QString withFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + QLatin1Char('.');
    return text;
}

void show(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Moxarium"), withFullStop(text), QMessageBox::Ok, parent);
    box.exec();
}

void show(QWidget *parent, const ActionFailure &failure)
{
    if (!failure.silent)
        show(parent, failure.message);
}

} // namespace ErrorReport
