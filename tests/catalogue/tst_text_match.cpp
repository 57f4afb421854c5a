#include "catalogue/TextMatch.h"

#include <QTest>

class TstTextMatch : public QObject
{
    Q_OBJECT
private slots:
    void matchRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("found");
        QTest::newRow("case of A-Z ignored") << "TOOLS.ZIP" << "zip" << true;
        QTest::newRow("inside a word") << "Toolbox" << "tool" << true;
        QTest::newRow("at the end") << "mytools" << "TOOL" << true;
        QTest::newRow("broken piece") << "t o o l" << "tool" << false;
        QTest::newRow("accents compare as they are") << QString::fromUtf8("ÉTÉ") << QString::fromUtf8("été") << false;
        QTest::newRow("same accents") << QString::fromUtf8("été") << QString::fromUtf8("ÉtÉ").toLower() << true;
        QTest::newRow("longer than text") << "ab" << "abc" << false;
        QTest::newRow("partial then full") << "aab" << "ab" << true;
    }
    void matchRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(bool, found);
        QCOMPARE(TextMatch::containsFolded(text, TextMatch::asciiLower(needle)), found);
    }
};

QTEST_APPLESS_MAIN(TstTextMatch)
#include "tst_text_match.moc"
