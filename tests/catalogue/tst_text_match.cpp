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
        QTest::newRow("multi-byte before") << QString::fromUtf8("€zip") << "ZIP" << true;
        QTest::newRow("sharp s is no ss") << QString::fromUtf8("Straße") << "strasse" << false;
        QTest::newRow("empty text") << "" << "a" << false;
    }
    void matchRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(bool, found);
        const QString lowered = TextMatch::asciiLower(needle);
        QCOMPARE(TextMatch::containsFolded(text, lowered), found);
        // The catalogue's own search runs the rule on the stored UTF-8.
        const QByteArray text8 = text.toUtf8(), needle8 = lowered.toUtf8();
        QCOMPARE(TextMatch::containsFoldedUtf8({text8.constData(), size_t(text8.size())},
                                               {needle8.constData(), size_t(needle8.size())}),
                 found);
    }
};

QTEST_APPLESS_MAIN(TstTextMatch)
#include "tst_text_match.moc"
