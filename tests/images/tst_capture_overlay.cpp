// The capture overlay driven with the mouse and keys, over a known desktop.

#include "../common/FakeScreen.h"
#include "../widgets/WidgetShot.h"
#include "images/ui/MOXCapture.h"

#include <QTest>

class TestCaptureOverlay : public QObject
{
    Q_OBJECT
private slots:
    void coversTheDesktopWithItsCopy();
    void mouseSetsTheSquare_data();
    void mouseSetsTheSquare();
    void dragShowsOneOutlineAtTheLastPlace();
    void keysDoNotCloseIt();
    void refusedCopyIsReported();

private:
    // The desktop as the screen showed it, with the dotted outline at `square`.
    static QImage expectedShot(const FakeScreen &screen, const QRect &square)
    {
        QImage image(screen.area.size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, FakeScreen::pixelAt(x, y));
        drawDottedOutline(image, square);
        return image;
    }
};

void TestCaptureOverlay::coversTheDesktopWithItsCopy()
{
    FakeScreen screen;
    TfrmCapture overlay(screen);
    QCOMPARE(screen.grabs, 1);
    QCOMPARE(screen.grabbed.value(0), screen.area);
    QVERIFY(overlay.hasScreenCopy());
    QVERIFY(overlay.square().isEmpty());
    QCOMPARE(overlay.geometry(), screen.area);
    QVERIFY(overlay.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(overlay.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(overlay.cursor().hotSpot(), QPoint(0, 0));
    QCOMPARE(overlay.cursor().pixmap().size(), QSize(32, 32));
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    QCOMPARE(overlay.grab().toImage().convertToFormat(QImage::Format_RGB32), expectedShot(screen, {}));
}

void TestCaptureOverlay::mouseSetsTheSquare_data()
{
    QTest::addColumn<Qt::MouseButton>("pressed");   // NoButton: no press
    QTest::addColumn<Qt::MouseButton>("released");
    QTest::addColumn<QRect>("square");

    QTest::newRow("left click") << Qt::LeftButton << Qt::LeftButton << QRect(120, 80, 32, 32);
    QTest::newRow("right release only") << Qt::NoButton << Qt::RightButton << QRect();
    QTest::newRow("right click") << Qt::RightButton << Qt::RightButton << QRect();
    QTest::newRow("left press, right release") << Qt::LeftButton << Qt::RightButton << QRect(120, 80, 32, 32);
}

void TestCaptureOverlay::mouseSetsTheSquare()
{
    QFETCH(Qt::MouseButton, pressed);
    QFETCH(Qt::MouseButton, released);
    QFETCH(QRect, square);
    FakeScreen screen;
    TfrmCapture overlay(screen);
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    const QPoint at(120, 80);
    if (pressed != Qt::NoButton)
        QTest::mousePress(&overlay, pressed, {}, at);
    QVERIFY(overlay.isVisible());
    QTest::mouseRelease(&overlay, released, {}, at);
    // Any release ends the overlay, accepted; the square says whether there is a capture.
    QVERIFY(!overlay.isVisible());
    QCOMPARE(overlay.result(), int(QDialog::Accepted));
    QCOMPARE(overlay.square().isEmpty(), square.isEmpty());
    if (!square.isEmpty())
        QCOMPARE(overlay.square().rect(), square);
}

void TestCaptureOverlay::dragShowsOneOutlineAtTheLastPlace()
{
    FakeScreen screen;
    TfrmCapture overlay(screen);
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    QTest::mousePress(&overlay, Qt::LeftButton, {}, {30, 40});
    for (const QPoint p : {QPoint(45, 50), QPoint(90, 70), QPoint(200, 150)})
        QTest::mouseMove(&overlay, p);
    QCOMPARE(overlay.square().rect(), QRect(200, 150, 32, 32));
    const QImage shot = overlay.grab().toImage().convertToFormat(QImage::Format_RGB32);
    saveShot(overlay, QStringLiteral("capture-overlay-drag.png"));
    QCOMPARE(shot, expectedShot(screen, QRect(200, 150, 32, 32)));
    QTest::mouseRelease(&overlay, Qt::LeftButton, {}, {200, 150});
    QCOMPARE(overlay.square().rect(), QRect(200, 150, 32, 32));
}

void TestCaptureOverlay::keysDoNotCloseIt()
{
    FakeScreen screen;
    TfrmCapture overlay(screen);
    overlay.show();
    QVERIFY(QTest::qWaitForWindowExposed(&overlay));
    overlay.activateWindow();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_Enter})
        QTest::keyClick(&overlay, key);
    QVERIFY(overlay.isVisible());
    QVERIFY(overlay.square().isEmpty());
}

void TestCaptureOverlay::refusedCopyIsReported()
{
    FakeScreen screen;
    screen.refuse = true;
    TfrmCapture overlay(screen);
    QVERIFY(!overlay.hasScreenCopy());
}

QTEST_MAIN(TestCaptureOverlay)
#include "tst_capture_overlay.moc"
