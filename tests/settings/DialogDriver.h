#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

// Answers the modal dialogs a test brings up, one after the other: each answer
// may look at the dialog first, then presses the button with that text (without
// '&'). An answer that never came fails the test.
class ModalAnswers
{
public:
    // What each answered dialog said: its caption and its labels' texts.
    QStringList seen;

    ModalAnswers()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { answer(); });
    }
    ~ModalAnswers()
    {
        m_timer.stop();
        if (!m_answers.isEmpty() && !QTest::currentTestFailed())
            QTest::qFail(qPrintable(QStringLiteral("no dialog came to answer with \"%1\"").arg(m_answers.first().button)),
                         __FILE__, __LINE__);
    }
    ModalAnswers(const ModalAnswers &) = delete;
    ModalAnswers &operator=(const ModalAnswers &) = delete;

    void press(const QString &button, std::function<void(QDialog &)> look = {})
    {
        m_answers.append({button, std::move(look)});
        m_timer.start();
    }
    bool done() const { return m_answers.isEmpty(); }

private:
    struct Answer {
        QString button;
        std::function<void(QDialog &)> look;
    };

    void answer()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || m_answers.isEmpty() || !dialog->isVisible())
            return;
        const Answer next = m_answers.takeFirst();
        if (m_answers.isEmpty())
            m_timer.stop();
        QString text;
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            text += label->text();
        seen << dialog->windowTitle() + QStringLiteral(": ") + text;
        if (next.look)
            next.look(*dialog);
        for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
            if (b->text().remove(u'&') == next.button) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        }
        dialog->reject();
    }

    QTimer m_timer;
    QList<Answer> m_answers;
};

// A picture of a widget among the test run's artefacts, to look at.
inline void saveShot(QWidget &w, const QString &name)
{
    const QString folder = QStringLiteral(MOX_ARTIFACT_DIR);
    QDir().mkpath(folder);
    w.grab().save(folder + QLatin1Char('/') + name);
}

// The design's font, as the main window takes it.
inline QFont designFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    return font;
}
