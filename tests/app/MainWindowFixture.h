#pragma once

#include "app/CommandState.h"
#include "app/FileDialogs.h"
#include "app/StatusPanels.h"
#include "app/TfrmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

// Answers the program's modal boxes in turn: records each one's text and presses
// the button whose text (without '&') was asked for, or closes the box. It lives
// on the test's stack and its timer dies with it; a box asked for that never came
// fails the test that expected it.
class ModalAnswer
{
public:
    QStringList texts;

    ModalAnswer()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { answerShownBox(); });
    }
    ~ModalAnswer()
    {
        m_timer.stop();
        if (!m_buttons.isEmpty() && !QTest::currentTestFailed())
            QTest::qFail(qPrintable(QStringLiteral("%1 box(es) to answer with \"%2\" never appeared")
                                        .arg(m_buttons.size()).arg(m_buttons.first())),
                         __FILE__, __LINE__);
    }
    ModalAnswer(const ModalAnswer &) = delete;
    ModalAnswer &operator=(const ModalAnswer &) = delete;

    void answer(const QString &button, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            m_buttons << button;
        m_timer.start();
    }

private:
    void answerShownBox()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || m_buttons.isEmpty())
            return;
        const QString button = m_buttons.takeFirst();
        if (m_buttons.isEmpty())
            m_timer.stop();
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
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>()) {
            if (b->text().remove(u'&') == button) {
                b->click();
                return;
            }
        }
        modal->close();
    }

    QTimer m_timer;
    QStringList m_buttons;
};

// The window's controls and menu items, found by their design names.
template <typename T>
T *child(QWidget &w, const char *name)
{
    T *found = w.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("the main window has no %s", name);
    return found;
}

inline QAction *command(QWidget &w, const char *name)
{
    return child<QAction>(w, name);
}

// What a status panel shows on the screen.
inline QString panel(QWidget &w, int index)
{
    return child<StatusPanels>(w, "stsMOX")->text(index);
}

// The catalogue table behind the window, through the window's test seam.
inline CatalogueTable &table(TfrmMain &w)
{
    return w.testSeam().table;
}

// Whether the modified indicator shows, as the command state holds it.
inline bool isModified(TfrmMain &w)
{
    return w.testSeam().commands.IsModified();
}

// A record added through the table, as another part of the program would.
inline void addRecord(CatalogueTable &t, const QString &archive, const QString &product = QStringLiteral("P"),
                      const QString &type = QStringLiteral("Unit"), const QString &status = QStringLiteral("In use"))
{
    t.append();
    t.field(CatalogueSchema::Archive).setAsString(archive);
    t.field(CatalogueSchema::Product).setAsString(product);
    t.field(CatalogueSchema::Type).setAsString(type);
    t.field(CatalogueSchema::Status).setAsString(status);
    t.post();
}

// Settings that start in the record view with two types and one status.
inline QByteArray recordViewIni()
{
    return "[Program]\nSaveInterface=1\nSaveRecNo=1\nKeepPaths=1\n[View]\nGrid=0\n"
           "[TypeDefs]\nType0=Component\nType1=Unit\n[StatusDefs]\nStatus0=In use\n";
}

// The page the window shows: 0 the grid, 1 the record.
inline int currentPage(QWidget &w)
{
    return child<QStackedWidget>(w, "nbContents")->currentIndex();
}

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
