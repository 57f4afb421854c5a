#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

// Plays a part in the modal dialogs a command brings up, one script step per
// dialog in turn: each step gets the dialog while it is shown and does what a
// person would (keys, clicks) to end it. A step that never ran fails the test.
class ModalScript
{
public:
    ModalScript()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { play(); });
    }
    ~ModalScript()
    {
        m_timer.stop();
        if (!m_steps.isEmpty() && !QTest::currentTestFailed())
            QTest::qFail(qPrintable(QStringLiteral("%1 dialog(s) never came").arg(m_steps.size())), __FILE__, __LINE__);
    }
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    void then(std::function<void(QDialog &)> step)
    {
        m_steps.append(std::move(step));
        m_timer.start();
    }
    // Every step has run.
    bool done() const { return m_steps.isEmpty(); }

private:
    void play()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || m_steps.isEmpty() || dialog == m_playing)
            return;
        const auto step = m_steps.takeFirst();
        if (m_steps.isEmpty())
            m_timer.stop();
        // A step may bring up a dialog of its own; that one is the next step's.
        QDialog *outer = std::exchange(m_playing, dialog);
        step(*dialog);
        m_playing = outer;
    }

    QTimer m_timer;
    QList<std::function<void(QDialog &)>> m_steps;
    QDialog *m_playing = nullptr;
};

// A control of a dialog by its design name.
template <typename T>
T *part(QDialog &dialog, const char *name)
{
    T *found = dialog.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("the dialog %s has no %s", qPrintable(dialog.objectName()), name);
    return found;
}

// What a dialog says: its caption and its labels' texts.
inline QString saying(const QDialog &dialog)
{
    QString text;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        text += label->text();
    return dialog.windowTitle() + QStringLiteral(": ") + text;
}

// Clicks the dialog's button with that text (without '&').
inline void pressButton(QDialog &dialog, const QString &text)
{
    for (QAbstractButton *b : dialog.findChildren<QAbstractButton *>()) {
        if (b->text().remove(u'&') == text) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    }
    QTest::qFail(qPrintable(QStringLiteral("the dialog has no button %1").arg(text)), __FILE__, __LINE__);
}
