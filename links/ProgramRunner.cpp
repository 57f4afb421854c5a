#include "links/ProgramRunner.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

QString QtProgramRunner::find(const QString &name) const
{
    return QStandardPaths::findExecutable(name);
}

bool QtProgramRunner::run(const QString &program, const QStringList &arguments, QDeadlineTimer deadline)
{
    if (deadline.hasExpired())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    process.start();
    if (process.state() != QProcess::NotRunning) {
        limit.start(int(std::max<qint64>(deadline.remainingTime(), 0)));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (process.state() != QProcess::NotRunning) {
        // It did not answer in time: the next way gets its turn.
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.error() == QProcess::UnknownError && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

void QtProgramRunner::openUrl(const QString &url)
{
    const QString opener = find(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        QDesktopServices::openUrl(QUrl(url, QUrl::StrictMode));
        return;
    }
    QProcess process;
    process.setProgram(opener);
    process.setArguments({url});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}
