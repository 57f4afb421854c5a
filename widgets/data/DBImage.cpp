#include "widgets/data/DBImage.h"

#include "widgets/data/FieldDataLink.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>

DBImage::DBImage(QWidget *parent) : QFrame(parent), m_link(new FieldDataLink(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    resize(BoxSize, BoxSize);
    connect(m_link, &FieldDataLink::dataChanged, this, &DBImage::load);
    connect(m_link, &FieldDataLink::errorRaised, this, &DBImage::errorRaised);
}

void DBImage::setDataSource(DataSource *source) { m_link->setDataSource(source); }
DataSource *DBImage::dataSource() const { return m_link->dataSource(); }
void DBImage::setFieldPos(int pos) { m_link->setFieldPos(pos); }
int DBImage::fieldPos() const { return m_link->fieldPos(); }

QByteArray DBImage::imageBytes() const
{
    return m_link->value().toByteArray();
}

QByteArray DBImage::toBmp(const QImage &image)
{
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

bool DBImage::setImage(const QImage &image)
{
    const QByteArray bytes = toBmp(image);
    if (!image.isNull() && bytes.isEmpty())
        return false;
    if (!m_link->write(bytes))
        return false;
    load();
    return true;
}

void DBImage::load()
{
    const QByteArray bytes = imageBytes();
    m_image = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
    m_pixmap = m_image.isNull() ? QPixmap() : QPixmap::fromImage(m_image);
    update();
}

void DBImage::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_pixmap.isNull())
        return;
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.setClipRect(inside);
    const QSize size = m_pixmap.deviceIndependentSize().toSize();
    painter.drawPixmap(inside.left() + (inside.width() - size.width()) / 2,
                       inside.top() + (inside.height() - size.height()) / 2, m_pixmap);
}

void DBImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    QFrame::mouseDoubleClickEvent(event);
    emit doubleClicked();
}
