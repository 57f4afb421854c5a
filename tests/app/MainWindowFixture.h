#pragma once

#include "FileDialogs.h"
#include "TfrmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// Answers file dialogs from a script instead of a person.
class ScriptedFileDialogs : public FileDialogs
{
public:
    QStringList answers;            // taken one per dialog; empty string = Cancel
    QList<FileDialogRequest> asked;
    QString openFile(QWidget *, const FileDialogRequest &r) override { return next(r); }
    QString saveFile(QWidget *, const FileDialogRequest &r) override { return next(r); }

private:
    QString next(const FileDialogRequest &r)
    {
        asked << r;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// Answers the next modal box: records its text and presses the button whose text
// (without '&') is `button`, or closes it.
struct ModalAnswer {
    QStringList texts;
    void answer(const QString &button, int times = 1)
    {
        auto *timer = new QTimer;
        auto left = std::make_shared<int>(times);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, button, left] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            QString text;
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                text = box->text();
            else
                for (QLabel *label : modal->findChildren<QLabel *>())
                    text += label->text();
            texts << modal->windowTitle() + ": " + text;
            // Kept as test artefacts, to look at.
            QDir().mkpath(QStringLiteral("artifacts"));
            static int shot = 0;
            modal->grab().save(QStringLiteral("artifacts/modal-%1.png").arg(++shot, 2, 10, QChar(u'0')));
            bool pressed = false;
            for (QAbstractButton *b : modal->findChildren<QAbstractButton *>()) {
                if (b->text().remove(u'&') == button) {
                    b->click();
                    pressed = true;
                    break;
                }
            }
            if (!pressed)
                modal->close();
            if (--*left == 0) {
                timer->stop();
                timer->deleteLater();
            }
        });
        timer->start(20);
    }
};

// A program folder of its own, with the main window started in it.
struct MainWindowFixture {
    QTemporaryDir dir;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<TfrmMain> window;

    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString ini() const { return dir.filePath(QStringLiteral("mox.ini")); }

    void writeIni(const QByteArray &text)
    {
        QFile f(ini());
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    }

    QByteArray readIni() const
    {
        QFile f(ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TfrmMain &start()
    {
        window = std::make_unique<TfrmMain>(folder(), &dialogs);
        window->setShowStartupMessages(false);
        window->FormCreate();
        window->createDialogs();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the main window did not become active");
        return *window;
    }

    void stop()
    {
        if (window) {
            window->close();
            window->FormDestroy();
            window.reset();
        }
    }
};
