#include "widgets/deco/CreditsPanel.h"

#include <QMouseEvent>
#include <QPainter>

CreditsPanel::CreditsPanel(QWidget *parent)
    : QFrame(parent)
{
    setAccessibleName(tr("Credits"));
    m_timer.setInterval(TickMilliseconds);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CreditsPanel::step);
    hide();
}

void CreditsPanel::setLines(const QStringList &lines)
{
    m_lines = lines;
    update();
}

void CreditsPanel::start()
{
    m_offset = 0;
    show();
    raise();
    m_timer.start();
    update();
}

void CreditsPanel::stop()
{
    m_timer.stop();
    hide();
}

void CreditsPanel::step()
{
    ++m_offset;
    // Once the last line has left the top, roll in again from the bottom.
    if (m_offset > height() + textHeight())
        m_offset = 0;
    update();
}

int CreditsPanel::textHeight() const
{
    return int(m_lines.size()) * fontMetrics().height();
}

void CreditsPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), background());
    painter.setPen(Qt::white);
    painter.setFont(font());

    const int lineHeight = fontMetrics().height();
    int y = height() - m_offset;
    for (const QString &line : m_lines) {
        if (y + lineHeight > 0 && y < height())
            painter.drawText(QRect(0, y, width(), lineHeight), Qt::AlignHCenter | Qt::AlignTop, line);
        y += lineHeight;
    }
}

void CreditsPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(event->modifiers());
    QFrame::mouseDoubleClickEvent(event);
}
