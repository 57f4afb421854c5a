// The profile-file text layer: tolerant reading, writes that keep every other
// line, and the value conversions the settings use.

#include "ProfileDocument.h"
#include "ProfileValues.h"
#include "SettingsError.h"

#include <QTest>

namespace {

const QString Missing = QStringLiteral("<missing>");

QString read(const QByteArray &bytes, const QString &section, const QString &key)
{
    return ProfileDocument::fromBytes(bytes).value(section, key).value_or(Missing);
}

} // namespace

class TstSettingsProfile : public QObject
{
    Q_OBJECT

private slots:
    void readsTolerantly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain") << QByteArray("[A]\nk=v\n") << "A" << "k" << "v";
        QTest::newRow("names ignore case") << QByteArray("[Sec]\nKey=v\n") << "sEC" << "kEY" << "v";
        QTest::newRow("CRLF") << QByteArray("[A]\r\nk=v\r\n") << "A" << "k" << "v";
        QTest::newRow("blanks around") << QByteArray("  [ A ]  \n \t k  =  v w \t\n") << "A" << "k" << "v w";
        QTest::newRow("no final line break") << QByteArray("[A]\nk=v") << "A" << "k" << "v";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[A]\nk=v\n") << "A" << "k" << "v";
        QTest::newRow("comment is no key") << QByteArray("[A]\n;k=x\n") << "A" << "k" << Missing;
        QTest::newRow("comment skipped") << QByteArray("[A]\n; k=x\nk=y\n") << "A" << "k" << "y";
        QTest::newRow("line without equals") << QByteArray("[A]\nk\n") << "A" << "k" << Missing;
        QTest::newRow("repeated key: first") << QByteArray("[A]\nk=1\nk=2\n") << "A" << "k" << "1";
        QTest::newRow("repeated section: first") << QByteArray("[A]\nk=1\n[B]\n[a]\nk=2\nj=3\n") << "A" << "j" << Missing;
        QTest::newRow("key before any section") << QByteArray("k=1\n[A]\n") << "A" << "k" << Missing;
        QTest::newRow("key of another section") << QByteArray("[A]\nk=1\n[B]\n") << "B" << "k" << Missing;
        QTest::newRow("unclosed header") << QByteArray("[A\nk=v\n") << "A" << "k" << Missing;
        QTest::newRow("empty value is present") << QByteArray("[A]\nk=\n") << "A" << "k" << "";
        QTest::newRow("equals in value") << QByteArray("[A]\nk=a=b\n") << "A" << "k" << "a=b";
        QTest::newRow("quoted keeps blanks") << QByteArray("[A]\nk=\"  x  \"\n") << "A" << "k" << "  x  ";
        QTest::newRow("lone quote") << QByteArray("[A]\nk=\"\n") << "A" << "k" << "\"";
        QTest::newRow("UTF-8") << QByteArray("[A]\nk=\xC3\x84rger\n") << "A" << "k" << QStringLiteral("\u00C4rger");
        QTest::newRow("missing section") << QByteArray() << "A" << "k" << Missing;
    }
    void readsTolerantly()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(read(text, section, key), expected);
    }

    void listsKeyNamesInFileOrderOnce()
    {
        const auto doc = ProfileDocument::fromBytes("[A]\nb=1\na=2\n\nB=3\n;c=4\nd\n=5\ne=\n[B]\nx=1\n");
        QCOMPARE(doc.keyNames(u"a"), QStringList({"b", "a", "e"}));
        QCOMPARE(doc.keyNames(u"none"), QStringList());
    }

    void limitsReadsTo1023Characters()
    {
        const QString tail = QString(1022, u'x') + QStringLiteral("\U0001F600") + u'y';
        const auto doc = ProfileDocument::fromBytes("[A]\nlong=" + QByteArray(2000, 'z') + "\nemoji=" + tail.toUtf8());
        QCOMPARE(doc.value(u"A", u"long")->size(), 1023);
        // The cut never splits a character.
        QCOMPARE(*doc.value(u"A", u"emoji"), QString(1022, u'x'));
        QCOMPARE(doc.entries(u"A").at(0).second.size(), 1023);
    }

    void writesKeepOtherLines_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("replace in place") << QByteArray("; note\n[A]\nk=1\n  j = 2 \n\n[B]\nx=1\n") << "A" << "k" << "9"
                                          << QByteArray("; note\n[A]\nk=9\n  j = 2 \n\n[B]\nx=1\n");
        QTest::newRow("replace ignores case") << QByteArray("[a]\nKEY=1\n") << "A" << "key" << "2"
                                              << QByteArray("[a]\nkey=2\n");
        QTest::newRow("add to section") << QByteArray("[A]\nk=1\n\n[B]\nx=1\n") << "A" << "n" << "5"
                                        << QByteArray("[A]\nk=1\nn=5\n\n[B]\nx=1\n");
        QTest::newRow("add section") << QByteArray("[A]\nk=1\n") << "C" << "z" << "1"
                                     << QByteArray("[A]\nk=1\n\n[C]\nz=1\n");
        QTest::newRow("first write") << QByteArray() << "A" << "k" << "v" << QByteArray("[A]\nk=v\n");
        QTest::newRow("written with LF") << QByteArray("[A]\r\nk=1\r\n") << "A" << "k" << "2"
                                         << QByteArray("[A]\nk=2\n");
        QTest::newRow("blanks kept by quotes") << QByteArray() << "A" << "k" << " x" << QByteArray("[A]\nk=\" x\"\n");
        QTest::newRow("line break becomes blank") << QByteArray() << "A" << "k" << "a\r\nb"
                                                  << QByteArray("[A]\nk=a  b\n");
        QTest::newRow("empty value") << QByteArray("[A]\nk=1\n") << "A" << "k" << "" << QByteArray("[A]\nk=\n");
    }
    void writesKeepOtherLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        auto doc = ProfileDocument::fromBytes(before);
        doc.writeString(section, key, value);
        QCOMPARE(doc.toBytes(), after);
    }

    void valuesReadBackAsWritten_data()
    {
        QTest::addColumn<QString>("value");
        for (const char *v : {"", " ", "  lead", "trail\t", "\"quoted\"", "\"", "\"half", "a=b", "; not a comment",
                              "[not a section]", "\xC3\x84rger \xE2\x82\xAC"})
            QTest::newRow(v) << QString::fromUtf8(v);
    }
    void valuesReadBackAsWritten()
    {
        QFETCH(QString, value);
        ProfileDocument doc;
        doc.writeString(u"S", u"k", value);
        doc.writeString(u"S", u"after", QStringLiteral("x"));
        const auto reread = ProfileDocument::fromBytes(doc.toBytes());
        QCOMPARE(*reread.value(u"S", u"k"), value);
        QCOMPARE(*reread.value(u"S", u"after"), QStringLiteral("x"));
    }

    void erasesWholeSections_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("middle") << QByteArray("[A]\nk=1\n\n[B]\nx=1\n;c\n\n[C]\ny=1\n") << QByteArray("[A]\nk=1\n\n[C]\ny=1\n");
        QTest::newRow("last") << QByteArray("[A]\nk=1\n\n[B]\nx=1\n") << QByteArray("[A]\nk=1\n");
        QTest::newRow("every copy") << QByteArray("[b]\nx=1\n[A]\n[B]\ny=2\n") << QByteArray("[A]\n");
        QTest::newRow("absent: untouched") << QByteArray("[A]\nk=1\n\n") << QByteArray("[A]\nk=1\n\n");
    }
    void erasesWholeSections()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        auto doc = ProfileDocument::fromBytes(before);
        doc.eraseSection(u"B");
        QCOMPARE(doc.toBytes(), after);
    }

    void refusesNamesThatCannotBeStored_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty section") << " " << "k";
        QTest::newRow("empty key") << "A" << "";
        QTest::newRow("equals in key") << "A" << "a=b";
        QTest::newRow("comment key") << "A" << ";k";
        QTest::newRow("header key") << "A" << "[k]";
        QTest::newRow("line break") << "A\nB" << "k";
    }
    void refusesNamesThatCannotBeStored()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        ProfileDocument doc;
        QVERIFY_THROWS_EXCEPTION(SettingsError, doc.writeString(section, key, QStringLiteral("v")));
        QCOMPARE(doc.toBytes(), QByteArray());
    }

    void parsesIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("expected");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("blanks in front") << " \t42" << true << 42;
        QTest::newRow("signs") << "-5" << true << -5;
        QTest::newRow("plus") << "+5" << true << 5;
        QTest::newRow("0x") << "0x1F" << true << 31;
        QTest::newRow("0X") << "0X1f" << true << 31;
        QTest::newRow("dollar") << "$ff" << true << 255;
        QTest::newRow("hex full 32 bits") << "$FFFFFFFF" << true << -1;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("hex too large") << "$100000000" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blank") << " " << false << 0;
        QTest::newRow("trailing text") << "12a" << false << 0;
        QTest::newRow("trailing blank") << "12 " << false << 0;
        QTest::newRow("bare prefix") << "0x" << false << 0;
        QTest::newRow("bare dollar") << "$" << false << 0;
        QTest::newRow("decimal point") << "1.5" << false << 0;
        QTest::newRow("hex digit without prefix") << "ff" << false << 0;
        QTest::newRow("non-ASCII digit") << QStringLiteral("\u0663") << false << 0;
    }
    void parsesIntegers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, expected);
        const auto value = parseProfileInteger(text);
        QCOMPARE(value.has_value(), valid);
        if (valid)
            QCOMPARE(*value, expected);
    }

    void splitsIntegerFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<QString>("badPart");
        QTest::newRow("position") << "0,0,640,480" << 4 << QList<int>{0, 0, 640, 480} << "";
        QTest::newRow("blank after comma") << "0, 40" << 2 << QList<int>{0, 40} << "";
        QTest::newRow("too few commas") << "0,0,640" << 4 << QList<int>() << "";
        QTest::newRow("rest is the last") << "1,2,3,4,5" << 4 << QList<int>() << "4,5";
        QTest::newRow("not a number") << "x,40" << 2 << QList<int>() << "x";
        QTest::newRow("no comma") << "40" << 2 << QList<int>() << "";
    }
    void splitsIntegerFields()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QList<int>, expected);
        QFETCH(QString, badPart);
        QString bad = QStringLiteral("unset");
        const auto values = parseIntegerFields(text, count, bad);
        QCOMPARE(values.value_or(QList<int>()), expected);
        if (!values)
            QCOMPARE(bad, badPart);
    }
};

QTEST_APPLESS_MAIN(TstSettingsProfile)
#include "tst_settings_profile.moc"
