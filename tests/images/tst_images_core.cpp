// The pieces of a capture that need no window: the wait, the square and its dotted
// outline, and the bitmap file.

#include "images/BitmapFile.h"
#include "images/CaptureSquare.h"
#include "images/Delay.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <limits>

class TestImagesCore : public QObject
{
    Q_OBJECT
private slots:
    void delayProcessesEventsAtLeastOnce_data();
    void delayProcessesEventsAtLeastOnce();
    void delayWaitsItsTimeAndKeepsTimersRunning();
    void squareIsEmptyUntilPlaced();
    void squareKeepsClearOfTheIntegersEnd();
    void outlineDotsEveryOtherBorderPixel();
    void outlineDrawnTwiceLeavesThePicture();
    void bitmapFileHoldsThePixels();
    void bitmapFileFailureNamesTheFile();
};

void TestImagesCore::delayProcessesEventsAtLeastOnce_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
    QTest::newRow("short") << 1;
}

void TestImagesCore::delayProcessesEventsAtLeastOnce()
{
    QFETCH(int, ms);
    bool ran = false;
    QTimer::singleShot(0, this, [&ran] { ran = true; });
    Delay(ms);
    QVERIFY(ran);
}

void TestImagesCore::delayWaitsItsTimeAndKeepsTimersRunning()
{
    int fired = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&fired] { ++fired; });
    ticker.start(20);
    QElapsedTimer clock;
    clock.start();
    Delay(150);
    const qint64 took = clock.elapsed();
    QVERIFY2(took >= 150, qPrintable(QString::number(took)));
    QVERIFY2(took < 1500, qPrintable(QString::number(took)));
    QVERIFY2(fired >= 3, qPrintable(QString::number(fired)));
}

void TestImagesCore::squareIsEmptyUntilPlaced()
{
    CaptureSquare square;
    QVERIFY(square.isEmpty());
    square.placeAt({-5, 7});
    QVERIFY(!square.isEmpty());
    QCOMPARE(square.rect(), QRect(-5, 7, 32, 32));
    QCOMPARE(square.right, 27);
    QCOMPARE(square.bottom, 39);
}

void TestImagesCore::squareKeepsClearOfTheIntegersEnd()
{
    CaptureSquare square;
    constexpr int max = std::numeric_limits<int>::max();
    square.placeAt({max, max - 3});
    QVERIFY(!square.isEmpty());
    QCOMPARE(square.right - square.left, CaptureSquare::Side);
    QCOMPARE(square.bottom - square.top, CaptureSquare::Side);
}

void TestImagesCore::outlineDotsEveryOtherBorderPixel()
{
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    const QRect where(3, 4, 32, 32);
    drawDottedOutline(picture, where);
    const QRgb inverted = qRgb(245, 235, 225), plain = qRgb(10, 20, 30);
    int dots = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool border = where.contains(x, y) && (x == where.left() || x == where.right()
                                                         || y == where.top() || y == where.bottom());
            const QRgb want = border && (x + y) % 2 == 0 ? inverted : plain;
            QCOMPARE(picture.pixel(x, y), want);
            dots += picture.pixel(x, y) == inverted;
        }
    QCOMPARE(dots, 62); // half of the 124 border pixels
}

void TestImagesCore::outlineDrawnTwiceLeavesThePicture()
{
    QImage picture(50, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            picture.setPixel(x, y, qRgb(x * 5, y * 5, (x * y) % 256));
    const QImage before = picture;
    // Partly off the picture: what is off is left alone.
    for (const QRect where : {QRect(5, 5, 32, 32), QRect(30, -10, 32, 32)}) {
        drawDottedOutline(picture, where);
        QVERIFY(picture != before);
        drawDottedOutline(picture, where);
        QCOMPARE(picture, before);
    }
}

void TestImagesCore::bitmapFileHoldsThePixels()
{
    QTemporaryDir dir;
    QImage image(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y, qRgb(x * 8, y * 8, 200));
    const QString path = dir.filePath(QStringLiteral("palette.bmp"));
    QCOMPARE(writeBitmapFile(image, path), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    file.close();
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(back, image);
}

void TestImagesCore::bitmapFileFailureNamesTheFile()
{
    QTemporaryDir dir;
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString missing = dir.filePath(QStringLiteral("no-such-folder/palette.bmp"));
    const QString error = writeBitmapFile(image, missing);
    QVERIFY(error.contains(QStringLiteral("palette.bmp")));
    QVERIFY(!QFile::exists(missing));

    QCOMPARE(writeBitmapFile(QImage(), dir.filePath(QStringLiteral("empty.bmp"))).isEmpty(), false);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("empty.bmp"))));
}

QTEST_GUILESS_MAIN(TestImagesCore)
#include "tst_images_core.moc"
