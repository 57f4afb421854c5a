#include "images/ui/MOXCapture.h"

#include "images/ScreenGrabber.h"
#include "resources/MoxPictures.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TfrmCapture::TfrmCapture(ScreenGrabber &grabber, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmCapture"));
    setWindowTitle(QStringLiteral("Capture"));
    setAccessibleName(QStringLiteral("Capture"));
    setModal(true);
    // The copy covers every pixel: nothing to erase, nothing flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    FormActivate();
    m_desktop = grabber.desktopArea();
    m_screen = grabber.grab(m_desktop);
    if (!m_screen.isNull() && m_screen.format() != QImage::Format_RGB32)
        m_screen = m_screen.convertToFormat(QImage::Format_RGB32);
    setGeometry(m_desktop);
}

TfrmCapture::~TfrmCapture() = default;

void TfrmCapture::FormActivate()
{
    setCursor(moxCaptureCursor(devicePixelRatio()));
}

void TfrmCapture::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

QRect TfrmCapture::squareOnOverlay() const
{
    if (m_square.isEmpty())
        return {};
    return m_square.rect().translated(mapFromGlobal(QPoint(0, 0)));
}

void TfrmCapture::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Drawn where the desktop is, wherever a window manager put the overlay, so what
    // lies under the cursor is what the screen showed there.
    const QPoint origin = mapFromGlobal(m_desktop.topLeft());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, Qt::black);
    if (m_screen.isNull())
        return;
    painter.drawImage(dirty, m_screen, dirty.translated(-origin));
    const QRect square = squareOnOverlay();
    if (square.intersects(dirty)) {
        // One outline at the square's one place: each paint starts from the copy.
        QImage patch = m_screen.copy(square.translated(-origin));
        drawDottedOutline(patch, QRect(QPoint(0, 0), square.size()));
        painter.drawImage(square.topLeft(), patch);
    }
}

void TfrmCapture::moveSquare(QPoint screenPos)
{
    const QRect before = squareOnOverlay();
    m_square.placeAt(screenPos);
    update(before.united(squareOnOverlay()));
}

void TfrmCapture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    moveSquare(event->globalPosition().toPoint());
}

void TfrmCapture::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        moveSquare(event->globalPosition().toPoint());
}

void TfrmCapture::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
    accept();
}

void TfrmCapture::keyPressEvent(QKeyEvent *event)
{
    // No keys of its own: only the mouse ends a capture.
    event->accept();
}
