#include "widgets/deco/GradientButton.h"

#include "widgets/deco/EmbossedLabel.h"

#include <QLinearGradient>
#include <QPainter>

GradientButton::GradientButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
    setFont(EmbossedLabel::serifFont(27));
    setFocusPolicy(Qt::NoFocus);
    setEnabled(false);
}

void GradientButton::setGradient(const QColor &top, const QColor &bottom)
{
    m_top = top;
    m_bottom = bottom;
    update();
}

QSize GradientButton::sizeHint() const
{
    return {163, 32};
}

void GradientButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect face = rect();

    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    gradient.setColorAt(0, m_top);
    gradient.setColorAt(1, m_bottom);
    painter.fillRect(face, gradient);

    // A thin bevel so that it still reads as a button.
    painter.setPen(m_top.lighter(160));
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(Qt::black);
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());

    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    EmbossedLabel::paintRaised(painter, face, Qt::AlignCenter, text(), m_letters, Qt::white, Qt::black);
}
