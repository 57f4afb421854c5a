#pragma once

#include "images/CaptureSquare.h"

#include <QDialog>
#include <QImage>

class ScreenGrabber;

// The capture overlay: a borderless window on top of all others that covers the
// desktop with a copy of it frozen when the overlay was made, under the capture
// cursor. A press of the left button puts the 32 x 32 capture square at the mouse,
// dragging moves it, and the release of any button closes the overlay accepted.
// It has no keys: Escape does not close it. Made for one capture and freed after it.
class TfrmCapture : public QDialog
{
    Q_OBJECT
public:
    // Copies the whole desktop through `grabber` at once.
    explicit TfrmCapture(ScreenGrabber &grabber, QWidget *parent = nullptr);
    ~TfrmCapture() override;

    // False when the platform gave no copy of the screen; the overlay is then of no use.
    bool hasScreenCopy() const { return !m_screen.isNull(); }
    // Where the left button last put the square; empty without a left press.
    const CaptureSquare &square() const { return m_square; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormActivate();
    void moveSquare(QPoint screenPos);
    // The square's place on the overlay, which may not sit exactly where it was put.
    QRect squareOnOverlay() const;

    QRect m_desktop;
    QImage m_screen;
    CaptureSquare m_square;
    bool m_dragging = false;
};
