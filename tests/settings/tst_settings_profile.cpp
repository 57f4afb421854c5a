// The profile-file text layer: tolerant reading, writes that keep every other
// line, and the value conversions the settings use.

#include "settings/ProfileDocument.h"
#include "settings/ProfileValues.h"
#include "settings/SettingsError.h"

#include <QTest>

namespace {

const QString Missing = QStringLiteral("<missing>");

QString read(const QByteArray &bytes, const QString &section, const QString &key)
{
    return ProfileDocument::fromBytes(bytes).value(section, key).value_or(Missing);
}

// The text in UTF-16 of either byte order, without a byte order mark.
QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes;
    for (QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray{&high, 1} + QByteArray{&low, 1} : QByteArray{&low, 1} + QByteArray{&high, 1};
    }
    return bytes;
}
QByteArray utf16le(const QString &text) { return "\xFF\xFE" + utf16(text, false); }
QByteArray utf16be(const QString &text) { return "\xFE\xFF" + utf16(text, true); }

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
        QTest::newRow("repeated section: its keys count") << QByteArray("[A]\nk=1\n[B]\n[a]\nk=2\nj=3\n") << "A" << "j" << "3";
        QTest::newRow("repeated section: first value") << QByteArray("[A]\nk=1\n[B]\n[a]\nk=2\nj=3\n") << "A" << "k" << "1";
        QTest::newRow("key before any section") << QByteArray("k=1\n[A]\n") << "A" << "k" << Missing;
        QTest::newRow("key of another section") << QByteArray("[A]\nk=1\n[B]\n") << "B" << "k" << Missing;
        QTest::newRow("unclosed header") << QByteArray("[A\nk=v\n") << "A" << "k" << Missing;
        QTest::newRow("empty value is present") << QByteArray("[A]\nk=\n") << "A" << "k" << "";
        QTest::newRow("equals in value") << QByteArray("[A]\nk=a=b\n") << "A" << "k" << "a=b";
        QTest::newRow("quoted keeps blanks") << QByteArray("[A]\nk=\"  x  \"\n") << "A" << "k" << "  x  ";
        QTest::newRow("lone quote") << QByteArray("[A]\nk=\"\n") << "A" << "k" << "\"";
        QTest::newRow("UTF-8") << QByteArray("[A]\nk=\xC3\x84rger\n") << "A" << "k" << QStringLiteral("\u00C4rger");
        QTest::newRow("missing section") << QByteArray() << "A" << "k" << Missing;

        // Files from elsewhere: what is not UTF-8 is Windows-1252, with every
        // byte kept (the five it leaves undefined read as their Latin-1 codes).
        QTest::newRow("Windows-1252") << QByteArray("[A]\r\nk=Caf\xE9 cr\xE8me\r\n") << "A" << "k"
                                      << QStringLiteral("Caf\u00E9 cr\u00E8me");
        QTest::newRow("Windows-1252 0x80 to 0x9F") << QByteArray("[A]\nk=\x80\x81\x8A\x8D\x8F\x90\x93\x94\x9D\x9F\xA0\xFF\n")
                                                   << "A" << "k"
                                                   << QStringLiteral("\u20AC\u0081\u0160\u008D\u008F\u0090\u201C\u201D"
                                                                     "\u009D\u0178\u00A0\u00FF");
        QTest::newRow("Windows-1252 names") << QByteArray("[Z\xFCge]\nk=1\n") << QStringLiteral("z\u00FCge") << "k" << "1";
        QTest::newRow("UTF-16 little-endian") << utf16le(QStringLiteral("[A]\r\nk=Caf\u00E9 \u03A9\r\n")) << "A" << "k"
                                              << QStringLiteral("Caf\u00E9 \u03A9");
        QTest::newRow("UTF-16 big-endian") << utf16be(QStringLiteral("[A]\nk=\U0001F600\n")) << "A" << "k"
                                           << QStringLiteral("\U0001F600");
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

    // A numbered list does not look at its key names: every entry of every
    // copy of its section counts, in file order.
    void listValuesTakeEveryEntry()
    {
        const auto doc = ProfileDocument::fromBytes("[P]\nP0=a\nP0=b\n;P1=x\nP1=\n\n[Q]\nP0=q\n[p]\nP0=c\n");
        QCOMPARE(doc.listValues(u"P"), QStringList({"a", "b", "", "c"}));
        QCOMPARE(doc.listValues(u"none"), QStringList());
    }

    // A long value (a phrase of several sentences, a deep folder) comes back whole:
    // cutting it at a buffer size would lose it at the next start.
    void longValuesAreReadWhole()
    {
        const QString tail = QString(1022, u'x') + QStringLiteral("\U0001F600") + u'y';
        const auto doc = ProfileDocument::fromBytes("[A]\nlong=" + QByteArray(2000, 'z') + "\nemoji=" + tail.toUtf8());
        QCOMPARE(doc.value(u"A", u"long")->size(), 2000);
        QCOMPARE(*doc.value(u"A", u"emoji"), tail);
        QCOMPARE(doc.entries(u"A").at(0).second.size(), 2000);
        QCOMPARE(ProfileDocument::fromBytes("[P]\nP0=" + tail.toUtf8()).listValues(u"P"), QStringList{tail});
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
        QTest::newRow("CRLF kept") << QByteArray("[A]\r\nk=1\r\n") << "A" << "k" << "2" << QByteArray("[A]\r\nk=2\r\n");
        QTest::newRow("new line ends as the file's first")
            << QByteArray("[A]\r\nk=1\n") << "A" << "n" << "2" << QByteArray("[A]\r\nk=1\nn=2\r\n");
        QTest::newRow("other lines byte for byte")
            << QByteArray("\t; note \r\r\n  [ A ]  \n k = 1 \r\nj=\"x\"") << "A" << "n" << "2"
            << QByteArray("\t; note \r\r\n  [ A ]  \n k = 1 \r\nj=\"x\"\r\nn=2\r\n");
        QTest::newRow("no final line break") << QByteArray("[A]\nk=1") << "A" << "k" << "2" << QByteArray("[A]\nk=2\n");
        QTest::newRow("UTF-8 byte order mark kept") << QByteArray("\xEF\xBB\xBF[A]\nk=1\n") << "A" << "k" << "\xC3\xA4"
                                                    << QByteArray("\xEF\xBB\xBF[A]\nk=\xC3\xA4\n");
        QTest::newRow("Windows-1252 kept") << QByteArray("; gr\xFC\xDF\r\n[A]\r\nk=1\r\nj=Caf\xE9\r\n") << "A" << "k"
                                           << QStringLiteral("Cr\u00E8me \u20AC")
                                           << QByteArray("; gr\xFC\xDF\r\n[A]\r\nk=Cr\xE8me \x80\r\nj=Caf\xE9\r\n");
        QTest::newRow("Windows-1252 undefined bytes kept") << QByteArray("[A]\nk=\x81\n") << "A" << "j"
                                                           << QStringLiteral("\u008D\u00E9")
                                                           << QByteArray("[A]\nk=\x81\nj=\x8D\xE9\n");
        QTest::newRow("UTF-16 little-endian kept") << utf16le(QStringLiteral("[A]\r\nk=1\r\nj=Caf\u00E9\r\n")) << "A" << "k"
                                                   << QStringLiteral("\u03A9")
                                                   << utf16le(QStringLiteral("[A]\r\nk=\u03A9\r\nj=Caf\u00E9\r\n"));
        QTest::newRow("UTF-16 big-endian kept") << utf16be(QStringLiteral("[A]\r\nk=1\r\n")) << "B" << "n"
                                                << QStringLiteral("\U0001F600")
                                                << utf16be(QStringLiteral("[A]\r\nk=1\r\n\r\n[B]\r\nn=\U0001F600\r\n"));
        // What Windows-1252 cannot hold turns the whole file into UTF-8.
        QTest::newRow("Windows-1252 to UTF-8") << QByteArray("[A]\r\nj=Caf\xE9 \x81\r\n") << "A" << "k"
                                               << QStringLiteral("\u03A9")
                                               << QByteArray("[A]\r\nj=Caf\xC3\xA9 \xC2\x81\r\nk=\xCE\xA9\r\n");
        // Bytes that would read back as UTF-8 once the only other one is gone.
        QTest::newRow("Windows-1252 that would read as UTF-8") << QByteArray("[A]\nx=\xC3\xA9\nk=\xE9\n") << "A" << "k"
                                                               << "e" << QByteArray("[A]\nx=\xC3\x83\xC2\xA9\nk=e\n");
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
        // What was written reads back, and so does every other key.
        const auto reread = ProfileDocument::fromBytes(after);
        QCOMPARE(reread.value(section, key), std::optional<QString>(QString(value).replace(u'\r', u' ').replace(u'\n', u' ')));
        const auto original = ProfileDocument::fromBytes(before);
        for (const auto &[name, text] : original.entries(u"A")) {
            if (name.compare(key, Qt::CaseInsensitive) != 0 || section != "A")
                QCOMPARE(reread.value(u"A", name), std::optional<QString>(text));
        }
    }

    void tellsWhyTheEncodingChanged_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("UTF-8 stays") << QByteArray("[A]\nk=\xC3\xA9\n") << "A" << "k" << "\u03A9" << "";
        QTest::newRow("Windows-1252 stays") << QByteArray("[A]\nk=\xE9\n") << "A" << "k" << "\u20AC" << "";
        QTest::newRow("UTF-16 stays") << utf16le("[A]\nk=1\n") << "A" << "k" << "\U0001F600" << "";
        QTest::newRow("a value") << QByteArray("[Phrases]\nP=\xE9\n") << "Phrases" << "Phrase3" << "x \u03A9 \u03A3"
                                 << "\"\u03A9\" (key Phrase3 in section [Phrases]) cannot be written in Windows-1252, "
                                    "the encoding it was read in";
        QTest::newRow("a section name") << QByteArray("[A]\nk=\xE9\n") << "\u0394" << "k" << "1"
                                        << "\"\u0394\" (section [\u0394]) cannot be written in Windows-1252, the encoding it "
                                           "was read in";
        QTest::newRow("ambiguous") << QByteArray("[A]\nx=\xC3\xA9\nk=\xE9\n") << "A" << "k" << "e"
                                   << "in Windows-1252, the encoding it was read in, its text would read back as UTF-8";
    }
    void tellsWhyTheEncodingChanged()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        auto doc = ProfileDocument::fromBytes(before);
        doc.writeString(section, key, value);
        const auto encoded = doc.encode();
        QCOMPARE(encoded.utf8Instead, reason);
        QCOMPARE(encoded.bytes, doc.toBytes());
        QCOMPARE(ProfileDocument::fromBytes(encoded.bytes).value(section, key), std::optional<QString>(value));
    }

    // A section that stands twice is read as one and written back as one, where
    // its first copy stands.
    void repeatedSectionsBecomeOne_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("listWritten");
        const QByteArray twice = "[A]\nk=1\n\n[B]\nx=1\n\n[a]\nj=2\n;c\nk=3\n\n[C]\ny=1\n";
        QTest::newRow("twice") << twice << QStringList{"k", "j"}
                               << QByteArray("[A]\nk=9\nj=2\n;c\nk=3\n\n[B]\nx=1\n\n[C]\ny=1\n")
                               << QByteArray("[A]\nL0=p\nL1=q\n\n[B]\nx=1\n\n[C]\ny=1\n");
        QTest::newRow("last copy at the end") << QByteArray("[A]\nj=1\n\n[B]\nx=1\n\n[A]\nk=2\n") << QStringList{"j", "k"}
                                              << QByteArray("[A]\nj=1\nk=9\n\n[B]\nx=1\n")
                                              << QByteArray("[A]\nL0=p\nL1=q\n\n[B]\nx=1\n");
        QTest::newRow("three copies") << QByteArray("[A]\n[A]\nk=1\n[A]\nj=2\n") << QStringList{"k", "j"}
                                      << QByteArray("[A]\nk=9\nj=2\n") << QByteArray("[A]\nL0=p\nL1=q\n");
        QTest::newRow("once") << QByteArray("[A]\nk=1\nold=2\n\n[B]\nx=1\n") << QStringList{"k", "old"}
                              << QByteArray("[A]\nk=9\nold=2\n\n[B]\nx=1\n")
                              << QByteArray("[A]\nL0=p\nL1=q\n\n[B]\nx=1\n");
        QTest::newRow("missing") << QByteArray("[B]\nx=1\n") << QStringList{}
                                 << QByteArray("[B]\nx=1\n\n[A]\nk=9\n")
                                 << QByteArray("[B]\nx=1\n\n[A]\nL0=p\nL1=q\n");
    }
    void repeatedSectionsBecomeOne()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, keys);
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, listWritten);
        const auto doc = ProfileDocument::fromBytes(before);
        QCOMPARE(doc.keyNames(u"A"), keys);

        auto single = doc;
        single.writeString(u"A", u"k", QStringLiteral("9"));
        QCOMPARE(single.toBytes(), written);

        auto list = doc;
        list.writeSection(u"A", {{"L0", "p"}, {"L1", "q"}});
        QCOMPARE(list.toBytes(), listWritten);
    }

    void emptyListRemovesTheSection()
    {
        auto doc = ProfileDocument::fromBytes("[A]\nk=1\n\n[B]\nx=1\n\n[A]\nj=2\n");
        doc.writeSection(u"a", {});
        QCOMPARE(doc.toBytes(), QByteArray("[B]\nx=1\n"));
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
