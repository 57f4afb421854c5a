#include "catalogue/engine/ReadAheadWindow.h"

#include <QTest>

namespace S = CatalogueSchema;

namespace {

// Fills the window's whole span, as a read that found every row does.
void fill(ReadAheadWindow &w, ReadAheadWindow::Span span)
{
    w.begin(span);
    for (int pos = span.start; pos < span.end; ++pos) {
        w.slot(pos)[S::Archive] = QString("row %1").arg(pos);
        w.markRead(pos);
    }
}

} // namespace

class TstReadAheadWindow : public QObject
{
    Q_OBJECT

private slots:
    // The window reads ahead in the direction of travel: forwards from a position, or
    // backwards when the step is to the row just before the window.
    void spanFollowsTheDirection_data()
    {
        QTest::addColumn<int>("windowStart"); // -1: none yet
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("first window") << -1 << 0 << 1000 << 0 << 64;
        QTest::newRow("forwards off the end") << 0 << 64 << 1000 << 64 << 128;
        QTest::newRow("jump far reads the row alone") << 0 << 500 << 1000 << 500 << 501;
        QTest::newRow("forwards near the last row") << 900 << 964 << 1000 << 964 << 1000;
        QTest::newRow("backwards off the start") << 200 << 199 << 1000 << 136 << 200;
        QTest::newRow("backwards near the top") << 30 << 29 << 1000 << 0 << 64;
        QTest::newRow("a jump back is no step back") << 200 << 150 << 1000 << 150 << 151;
        QTest::newRow("short catalogue") << -1 << 0 << 10 << 0 << 10;
    }

    void spanFollowsTheDirection()
    {
        QFETCH(int, windowStart);
        QFETCH(int, pos);
        QFETCH(int, total);
        QFETCH(int, start);
        QFETCH(int, end);
        ReadAheadWindow w;
        if (windowStart >= 0)
            fill(w, {windowStart, std::min(total, windowStart + w.size())});
        const ReadAheadWindow::Span span = w.spanFor(pos, total);
        QCOMPARE(span.start, start);
        QCOMPARE(span.end, end);
    }

    // Only a step just off the window's end reads on from its last record.
    void anchorOnlyForTheNextRow()
    {
        ReadAheadWindow w;
        QVERIFY(!w.anchorFor(0));
        fill(w, {64, 128});
        QVERIFY(!w.anchorFor(127));
        QVERIFY(!w.anchorFor(129));
        QVERIFY(!w.anchorFor(63));
        const auto anchor = w.anchorFor(128);
        QVERIFY(anchor);
        QCOMPARE((*anchor)[S::Archive].toString(), QString("row 127"));
        // A last row not found (deleted meanwhile) anchors nothing.
        w.begin({64, 128});
        w.markRead(64);
        QVERIFY(!w.anchorFor(128));
    }

    void recordsOnlyWhereRead()
    {
        ReadAheadWindow w;
        QCOMPARE(w.record(0), nullptr);
        w.begin({10, 14});
        w.slot(10)[S::Archive] = QString("ten");
        w.markRead(10);
        w.slotsFrom(12)[1][S::Archive] = QString("thirteen");
        w.markRead(13);
        QVERIFY(w.covers(11) && !w.covers(14) && !w.covers(9));
        QCOMPARE(w.record(10)->at(S::Archive).toString(), QString("ten"));
        QCOMPARE(w.record(11), nullptr); // the row was gone
        QCOMPARE(w.record(13)->at(S::Archive).toString(), QString("thirteen"));
        QCOMPARE(w.record(14), nullptr);
        w.clear();
        QVERIFY(!w.covers(10));
        QCOMPARE(w.record(10), nullptr);
    }
};

QTEST_APPLESS_MAIN(TstReadAheadWindow)
#include "tst_read_ahead_window.moc"
