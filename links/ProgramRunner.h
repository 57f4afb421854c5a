#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

// The seam to other programs: finding them, running them, and the desktop's opener.
class ProgramRunner
{
public:
    virtual ~ProgramRunner() = default;
    // The program's full path when it is on the search path, else empty.
    virtual QString find(const QString &name) const = 0;
    // Runs the program and waits for it: true when it ended by itself with exit code
    // 0 before `deadline`. One still running at the deadline is stopped.
    virtual bool run(const QString &program, const QStringList &arguments, QDeadlineTimer deadline) = 0;
    // Hands a web address to the desktop's opener without waiting.
    virtual void openUrl(const QString &url) = 0;
};

// Real programs. The window keeps repainting while a program is waited for, but
// takes no input.
class QtProgramRunner : public ProgramRunner
{
public:
    QString find(const QString &name) const override;
    bool run(const QString &program, const QStringList &arguments, QDeadlineTimer deadline) override;
    void openUrl(const QString &url) override;
};
