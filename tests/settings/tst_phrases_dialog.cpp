// The Phrases dialog driven by keys and clicks, and the rule that turns its lines
// into the standard-phrase list.

#include "settings/PhraseText.h"
#include "settings/SortedTextList.h"
#include "settings/ui/MOXPhrases.h"
#include "tests/settings/DialogDriver.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

struct Fixture {
    MainStandIn main;
    PhraseList phrases;
    TfrmPhrases dialog{&main, phrases};

    explicit Fixture(const QStringList &start = {"Installation", "Usage", "Documentation", "Adjustments"})
    {
        for (const QString &p : start)
            phrases.add(p);
    }
    ~Fixture() { dialog.hide(); }

    void open()
    {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    QPlainTextEdit *memo() const { return dialog.findChild<QPlainTextEdit *>(QStringLiteral("memPhrases")); }
    QPushButton *button(const char *name) const { return dialog.findChild<QPushButton *>(QLatin1String(name)); }
    // Replaces the whole text by typing it, lines ended by Return.
    void typeLines(const QStringList &lines)
    {
        QTest::keyClick(memo(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(memo(), Qt::Key_Delete);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(memo(), Qt::Key_Return);
            QTest::keyClicks(memo(), lines.at(i));
        }
    }
};

} // namespace

class TstPhrasesDialog : public QObject
{
    Q_OBJECT

private slots:
    void linesBecomePhrases_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("phrases");
        QTest::newRow("repeats in other case and an empty line")
            << "usage\nUsage\n" << QStringList{"usage"};
        QTest::newRow("any order comes out sorted") << "zip it\nAlpha\nbeta" << QStringList{"Alpha", "beta", "zip it"};
        QTest::newRow("a line of blanks is a phrase") << "   \n\nx" << QStringList{"   ", "x"};
        QTest::newRow("blanks around a phrase stay") << "  indented " << QStringList{"  indented "};
        QTest::newRow("pasted Windows lines") << "one\r\ntwo\r\n" << QStringList{"one", "two"};
        QTest::newRow("paragraph separators") << QStringLiteral("one\u2029two\u2028three")
                                              << QStringList{"one", "three", "two"};
        QTest::newRow("nothing") << "" << QStringList{};
        QTest::newRow("ampersand kept") << "R&D" << QStringList{"R&D"};
    }
    void linesBecomePhrases()
    {
        QFETCH(QString, text);
        PhraseList phrases;
        phrases.add(QStringLiteral("gone"));
        replacePhrases(phrases, phraseLines(text));
        QTEST(phrases.items(), "phrases");
    }

    void showFillsOneLineEach()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.memo()->toPlainText(), QStringLiteral("Adjustments\nDocumentation\nInstallation\nUsage"));
        QVERIFY(f.memo()->hasFocus());
    }

    void saveTakesTheTypedLines()
    {
        Fixture f;
        f.open();
        QSignalSpy changed(&f.dialog, &TfrmPhrases::phrasesChanged);
        QSignalSpy accepted(&f.dialog, &QDialog::accepted);
        f.typeLines({"usage", "Usage", "", "see &more", "Beta"});
        QTest::mouseClick(f.button("btnOK"), Qt::LeftButton);
        QCOMPARE(f.phrases.items(), QStringList({"Beta", "see &more", "usage"}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(accepted.count(), 1);
        // The next show has them sorted.
        f.open();
        QCOMPARE(f.memo()->toPlainText(), QStringLiteral("Beta\nsee &more\nusage"));
    }

    void savingEverythingAwayEmptiesTheList()
    {
        Fixture f;
        f.open();
        f.typeLines({});
        QTest::mouseClick(f.button("btnOK"), Qt::LeftButton);
        QVERIFY(f.phrases.isEmpty());
    }

    // Without a change the list is left as it is, even a list the dialog would have
    // read otherwise.
    void saveWithoutChangeChangesNothing()
    {
        Fixture f({"usage"});
        f.phrases.add(QStringLiteral("   "));
        const QStringList before = f.phrases.items();
        f.open();
        QSignalSpy changed(&f.dialog, &TfrmPhrases::phrasesChanged);
        QTest::keyClick(f.memo(), Qt::Key_End, Qt::ControlModifier);
        QTest::mouseClick(f.button("btnOK"), Qt::LeftButton);
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(f.phrases.items(), before);
    }

    void cancelAndEscapeDiscard_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Escape") << true;
    }
    void cancelAndEscapeDiscard()
    {
        QFETCH(bool, escape);
        Fixture f;
        const QStringList before = f.phrases.items();
        f.open();
        QSignalSpy changed(&f.dialog, &TfrmPhrases::phrasesChanged);
        f.typeLines({"only this"});
        if (escape)
            QTest::keyClick(f.memo(), Qt::Key_Escape);
        else
            QTest::mouseClick(f.button("btnCancel"), Qt::LeftButton);
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(f.phrases.items(), before);
        f.open();
        QCOMPARE(f.memo()->toPlainText(), before.join(u'\n'));
    }

    void layout()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Phrases"));
        QCOMPARE(f.dialog.size(), QSize(458, 199));
        QCOMPARE(f.memo()->size(), QSize(325, 169));
        QCOMPARE(f.memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(f.memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(f.memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        auto *label = f.dialog.findChild<QLabel *>(QStringLiteral("lblPhrases"));
        QCOMPARE(label->text(), QStringLiteral("&Phrases"));
        QCOMPARE(label->buddy(), f.memo());
        QVERIFY(label->y() < f.memo()->y());
        int top = -1;
        for (auto [name, caption] : {std::pair{"btnOK", "&Save Phrases"}, std::pair{"btnHelp", "&Help"},
                                     std::pair{"btnCancel", "&Cancel"}}) {
            QPushButton *b = f.button(name);
            QCOMPARE(b->text(), QString::fromLatin1(caption));
            QCOMPARE(b->size(), QSize(115, 25));
            QVERIFY(b->x() >= f.memo()->geometry().right());
            QVERIFY(b->y() > top);
            top = b->y();
        }
        QVERIFY(!f.button("btnHelp")->isEnabled());
        QVERIFY(centredOver(f.dialog, f.main));
        saveShot(f.dialog, QStringLiteral("phrases.png"));
    }
};

QTEST_MAIN(TstPhrasesDialog)
#include "tst_phrases_dialog.moc"
