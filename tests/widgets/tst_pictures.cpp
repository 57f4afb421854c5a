#include "resources/MoxPictures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

QImage render(const QString &name, QSize size, qreal dpr)
{
    return moxPixmap(name, size, dpr).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool isBlack(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qRed(pixel) == 0 && qGreen(pixel) == 0 && qBlue(pixel) == 0;
}

bool isDarkBlue(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qBlue(pixel) >= 96 && qRed(pixel) < 64 && qGreen(pixel) < 64;
}

int countPixels(const QImage &image, bool (*test)(QRgb))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    return count;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void everyPictureIsThere_data();
    void everyPictureIsThere();
    void flagsHaveTheirDesignSizeOnWhite_data();
    void flagsHaveTheirDesignSizeOnWhite();
    void onlyCheckedHasTheBlueTick();
    void flagOutlineIsCrispAtDoubleScale();
    void pixmapsAreRenderedOnce();
    void unknownNameGivesNullPixmap();
    void captureCursorOutlinesTheCapturedSquare();
    void iconRendersAtTheRequestedRatio();
    void contactSheet();
};

void TestPictures::everyPictureIsThere_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("designSize");

    const QSize flag(17, 17), glyph(16, 16), button(24, 24), notice(32, 32);
    QTest::newRow("CHECKED") << "CHECKED" << flag;
    QTest::newRow("UNCHECKED") << "UNCHECKED" << flag;
    QTest::newRow("CURSOR_2") << "CURSOR_2" << QSize(32, 32);
    for (const char *name : {"new", "open", "save", "undo", "cut", "copy", "paste", "phrases",
                             "settings", "search", "help"})
        QTest::newRow(name) << name << glyph;
    for (const char *name : {"nav-first", "nav-prior", "nav-next", "nav-last", "nav-insert",
                             "nav-delete", "nav-edit", "nav-post", "nav-cancel"})
        QTest::newRow(name) << name << glyph;
    QTest::newRow("browse") << "browse" << QSize(15, 16);
    QTest::newRow("browse-focused") << "browse-focused" << QSize(15, 16);
    QTest::newRow("load-bitmap") << "load-bitmap" << button;
    QTest::newRow("capture") << "capture" << button;
    QTest::newRow("delete-record") << "delete-record" << notice;
    QTest::newRow("folder") << "folder" << notice;
    QTest::newRow("not-found") << "not-found" << notice;
    QTest::newRow("about") << "about" << QSize(249, 115);
    QTest::newRow("definition-add") << "definition-add" << glyph;
    QTest::newRow("definition-remove") << "definition-remove" << glyph;
}

void TestPictures::everyPictureIsThere()
{
    QFETCH(QString, name);
    QFETCH(QSize, designSize);

    QVERIFY2(moxPictureNames().contains(name), qPrintable(name));
    QCOMPARE(moxPictureSize(name), designSize);
    for (const qreal dpr : {1.0, 1.5, 2.0}) {
        const QPixmap pixmap = moxPixmap(name, {}, dpr);
        QCOMPARE(pixmap.deviceIndependentSize().toSize(), designSize);
        QCOMPARE(pixmap.size(), (QSizeF(designSize) * dpr).toSize());
    }
    // Something is drawn: not a blank sheet.
    const QImage image = render(name, {}, 1.0);
    QVERIFY(countPixels(image, [](QRgb p) { return qAlpha(p) > 0 && (p & 0xffffff) != 0xffffff; }) > 0);
}

void TestPictures::flagsHaveTheirDesignSizeOnWhite_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("checked") << "CHECKED";
    QTest::newRow("unchecked") << "UNCHECKED";
}

void TestPictures::flagsHaveTheirDesignSizeOnWhite()
{
    QFETCH(QString, name);
    const QImage image = render(name, QSize(17, 17), 1.0);
    QCOMPARE(image.size(), QSize(17, 17));
    // Drawn opaque into grid cells, so every corner must be solid white.
    for (const QPoint corner : {QPoint(0, 0), QPoint(16, 0), QPoint(0, 16), QPoint(16, 16)})
        QCOMPARE(image.pixel(corner), qRgba(255, 255, 255, 255));
    // The box outline: its left edge is one solid black column.
    QVERIFY(isBlack(image.pixel(3, 10)));
    QVERIFY(isBlack(image.pixel(13, 10)));
}

void TestPictures::onlyCheckedHasTheBlueTick()
{
    const QImage checked = render(QStringLiteral("CHECKED"), QSize(17, 17), 1.0);
    const QImage unchecked = render(QStringLiteral("UNCHECKED"), QSize(17, 17), 1.0);
    QVERIFY(checked != unchecked);
    QVERIFY(countPixels(checked, isDarkBlue) >= 6);
    QCOMPARE(countPixels(unchecked, isDarkBlue), 0);
}

void TestPictures::flagOutlineIsCrispAtDoubleScale()
{
    const QPixmap pixmap = moxPixmap(QStringLiteral("UNCHECKED"), QSize(17, 17), 2.0);
    QCOMPARE(pixmap.size(), QSize(34, 34));
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    // A one-pixel line becomes exactly two solid device pixels, no grey fringe.
    QVERIFY(isBlack(image.pixel(6, 20)));
    QVERIFY(isBlack(image.pixel(7, 20)));
    QCOMPARE(image.pixel(5, 20), qRgba(255, 255, 255, 255));
    QCOMPARE(image.pixel(8, 20), qRgba(255, 255, 255, 255));
}

void TestPictures::pixmapsAreRenderedOnce()
{
    const QPixmap first = moxPixmap(QStringLiteral("CHECKED"), QSize(17, 17), 1.0);
    const QPixmap again = moxPixmap(QStringLiteral("CHECKED"), QSize(17, 17), 1.0);
    QCOMPARE(again.cacheKey(), first.cacheKey());
    QVERIFY(moxPixmap(QStringLiteral("CHECKED"), QSize(17, 17), 2.0).cacheKey() != first.cacheKey());
}

void TestPictures::unknownNameGivesNullPixmap()
{
    QVERIFY(moxPixmap(QStringLiteral("no-such-picture")).isNull());
    QVERIFY(moxPictureSize(QStringLiteral("no-such-picture")).isEmpty());
}

void TestPictures::captureCursorOutlinesTheCapturedSquare()
{
    const QCursor cursor = moxCaptureCursor();
    QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    for (const QPoint edge : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31), QPoint(15, 0),
                              QPoint(0, 15)})
        QVERIFY2(isBlack(image.pixel(edge)), qPrintable(QStringLiteral("%1,%2: %3").arg(edge.x()).arg(edge.y()).arg(image.pixel(edge), 8, 16)));
    QCOMPARE(qAlpha(image.pixel(1, 1)), 0);
    QCOMPARE(qAlpha(image.pixel(16, 16)), 0);
}

void TestPictures::iconRendersAtTheRequestedRatio()
{
    const QIcon icon = moxIcon(QStringLiteral("save"));
    QVERIFY(!icon.isNull());
    const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(sharp.size(), QSize(32, 32));
    const QImage normal = icon.pixmap(QSize(16, 16), 1.0, QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled).toImage();
    QVERIFY(!disabled.isNull());
    QVERIFY(normal != disabled);
}

// A sheet of every picture at 100% and 200% for a person to look over.
void TestPictures::contactSheet()
{
    QStringList names = moxPictureNames();
    names.removeAll(QStringLiteral("about"));
    const int cellWidth = 120, cellHeight = 90, columns = 6;
    const int rows = (int(names.size()) + columns - 1) / columns;
    QImage sheet(cellWidth * columns, rows * cellHeight + 2 * 115 + 20, QImage::Format_RGB32);
    sheet.fill(QColor(212, 208, 200));
    QPainter painter(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        const QPoint origin((i % columns) * cellWidth + 4, (i / columns) * cellHeight + 4);
        painter.drawPixmap(origin, moxPixmap(name, {}, 1.0));
        QPixmap twice = moxPixmap(name, {}, 2.0);
        twice.setDevicePixelRatio(1.0);
        painter.drawPixmap(origin + QPoint(40, 0), twice);
        painter.drawText(QRect(origin.x(), origin.y() + 70, cellWidth - 8, 14), Qt::AlignLeft, name);
    }
    const int aboutTop = rows * cellHeight + 10;
    painter.drawPixmap(4, aboutTop, moxPixmap(QStringLiteral("about"), {}, 1.0));
    QPixmap aboutTwice = moxPixmap(QStringLiteral("about"), {}, 2.0);
    aboutTwice.setDevicePixelRatio(1.0);
    painter.drawPixmap(sheet.width() - aboutTwice.width() - 4, aboutTop, aboutTwice);
    painter.end();
    QDir().mkpath(QStringLiteral(MOX_ARTIFACT_DIR));
    QVERIFY(sheet.save(QStringLiteral(MOX_ARTIFACT_DIR "/pictures.png")));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
