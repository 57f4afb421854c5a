#include "widgets/deco/PictureBox.h"

#include "resources/MoxPictures.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(const QString &pictureName, QWidget *parent)
    : QWidget(parent)
    , m_name(pictureName)
    , m_designSize(moxPictureSize(pictureName))
{
    resize(m_designSize);
}

QSize PictureBox::sizeHint() const
{
    return m_designSize;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, moxPixmap(m_name, m_designSize, devicePixelRatioF()));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(event->modifiers());
    QWidget::mouseDoubleClickEvent(event);
}
