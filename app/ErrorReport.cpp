#include "app/ErrorReport.h"

#include "catalogue/EngineError.h"
#include "settings/SettingsError.h"

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

QString textOf(const std::exception &error)
{
    if (const auto *engine = dynamic_cast<const EngineError *>(&error))
        return engine->message();
    if (const auto *settings = dynamic_cast<const SettingsError *>(&error))
        return settings->message();
    return QString::fromLocal8Bit(error.what());
}

} // namespace ErrorReport
