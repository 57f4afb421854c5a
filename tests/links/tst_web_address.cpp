// Which Origin texts may leave the program, and in what form the opener gets them.

#include "links/WebAddress.h"

#include <QTest>

class TestWebAddress : public QObject
{
    Q_OBJECT
private slots:
    void judge_data();
    void judge();
};

void TestWebAddress::judge_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("opener"); // empty: not a web address

    QTest::newRow("http") << "http://www.example.com/pkg.zip" << "http://www.example.com/pkg.zip";
    QTest::newRow("https") << "https://example.org/" << "https://example.org/";
    QTest::newRow("ftp") << "ftp://ftp.example.net/pub/x.zip" << "ftp://ftp.example.net/pub/x.zip";
    QTest::newRow("scheme in capitals") << "HTTP://Example.COM/A" << "http://example.com/A";
    QTest::newRow("no scheme") << "www.example.com/delphi" << "http://www.example.com/delphi";
    QTest::newRow("bare host") << "example.com" << "http://example.com";
    QTest::newRow("host and port") << "example.com:8080/x" << "http://example.com:8080/x";
    QTest::newRow("localhost and port") << "localhost:8000" << "http://localhost:8000";
    QTest::newRow("leading blanks") << "   http://example.com" << "http://example.com";
    QTest::newRow("blank inside the path") << "example.com/a b" << "http://example.com/a%20b";

    QTest::newRow("empty") << "" << "";
    QTest::newRow("blanks only") << "    " << "";
    QTest::newRow("local file url") << "file:///etc/passwd" << "";
    QTest::newRow("file url after blanks") << "  FILE:///etc/passwd" << "";
    QTest::newRow("absolute path") << "/usr/bin/xterm" << "";
    QTest::newRow("relative path") << "./run.sh" << "";
    QTest::newRow("home path") << "~/bin/x" << "";
    QTest::newRow("windows path") << "C:\\Windows\\notepad.exe" << "";
    QTest::newRow("unc path") << "\\\\server\\share\\x.exe" << "";
    QTest::newRow("option") << "-P default" << "";
    QTest::newRow("long option") << "--new-instance" << "";
    QTest::newRow("option after blanks") << "  -P default" << "";
    QTest::newRow("javascript") << "javascript:alert(1)" << "";
    QTest::newRow("word and number") << "javascript:1" << "";
    QTest::newRow("mailto") << "mailto:someone@example.com" << "";
    QTest::newRow("custom scheme") << "steam://run/1" << "";
    QTest::newRow("http without host") << "http:///etc/passwd" << "";
}

void TestWebAddress::judge()
{
    QFETCH(QString, text);
    QFETCH(QString, opener);
    const std::optional<QString> got = openerAddress(text);
    QCOMPARE(got.value_or(QString()), opener);
    QCOMPARE(isWebAddress(text), !opener.isEmpty());
}

QTEST_APPLESS_MAIN(TestWebAddress)
#include "tst_web_address.moc"
