#pragma once

#include <QFrame>
#include <QStringList>
#include <QTimer>

// Rolling credits: white lines on violet that creep upward one pixel per
// tick and start again from the bottom once they have left the top.
class CreditsPanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int TickMilliseconds = 75;

    explicit CreditsPanel(QWidget *parent = nullptr);

    void setLines(const QStringList &lines);
    QStringList lines() const { return m_lines; }

    // start() shows the panel and rolls from the bottom again; stop() hides it.
    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

    // How far the text has moved up since start().
    int scrollOffset() const { return m_offset; }

    static QColor background() { return {92, 0, 196}; }

signals:
    void doubleClicked(Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void step();
    int textHeight() const;

    QStringList m_lines;
    QTimer m_timer;
    int m_offset = 0;
};
