#include "widgets/deco/EmbossedLabel.h"

#include <QPainter>

EmbossedLabel::EmbossedLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setAlignment(Qt::AlignCenter);
}

void EmbossedLabel::setColors(const QColor &face, const QColor &highlight, const QColor &shadow)
{
    m_face = face;
    m_highlight = highlight;
    m_shadow = shadow;
    update();
}

void EmbossedLabel::paintRaised(QPainter &painter, const QRect &rect, int flags, const QString &text,
                                const QColor &face, const QColor &highlight, const QColor &shadow)
{
    painter.save();
    painter.setPen(highlight);
    painter.drawText(rect.translated(-1, -1), flags, text);
    painter.setPen(shadow);
    painter.drawText(rect.translated(1, 1), flags, text);
    painter.setPen(face);
    painter.drawText(rect, flags, text);
    painter.restore();
}

QFont EmbossedLabel::serifFont(int pixelHeight)
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelHeight);
    return font;
}

void EmbossedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    paintRaised(painter, contentsRect(), int(alignment()), text(), m_face, m_highlight, m_shadow);
}
