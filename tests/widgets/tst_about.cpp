#include "app/MOXAbout.h"
#include "widgets/deco/CreditsPanel.h"
#include "widgets/deco/PictureBox.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void centringRule_data();
    void centringRule();
    void centresOverTheMainWindowOnEveryShow();
    void hasItsFixedLayout();
    void nothingIsClipped();
    void altDoubleClickTogglesTheCredits();
    void plainDoubleClickLeavesThePicture();
    void activationStopsTheCredits();
    void okCloses();
    void screenshot();
};

void TestAbout::initTestCase()
{
    // The font the main window gives its dialogs.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    QApplication::setFont(font);
}

void TestAbout::centringRule_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QSize>("ownSize");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("design size") << QRect(100, 50, 640, 480) << QSize(282, 258) << QPoint(279, 161);
    QTest::newRow("odd difference rounds down") << QRect(0, 0, 283, 259) << QSize(282, 258) << QPoint(0, 0);
    // A box wider than its main window: -81 / 2 is -40, not -41.
    QTest::newRow("negative truncates toward zero") << QRect(10, 10, 201, 177) << QSize(282, 258)
                                                    << QPoint(-30, -30);
    QTest::newRow("main window off the left") << QRect(-500, -20, 640, 480) << QSize(282, 258)
                                              << QPoint(-321, 91);
}

void TestAbout::centringRule()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QSize, ownSize);
    QFETCH(QPoint, expected);
    QCOMPARE(TfrmAbout::centredTopLeft(mainFrame, ownSize), expected);
}

void TestAbout::centresOverTheMainWindowOnEveryShow()
{
    QMainWindow mainWindow;
    mainWindow.setGeometry(100, 80, 640, 480);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    TfrmAbout about(&mainWindow);

    for (const QRect &placement : {QRect(100, 80, 640, 480), QRect(300, 10, 501, 301)}) {
        mainWindow.setGeometry(placement);
        about.show();
        QCOMPARE(about.frameGeometry().topLeft(),
                 TfrmAbout::centredTopLeft(mainWindow.frameGeometry(), about.frameGeometry().size()));
        // The user may move it away; the next show centres it again.
        about.move(0, 0);
        about.hide();
    }
}

void TestAbout::hasItsFixedLayout()
{
    TfrmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Velora"));
    QCOMPARE(about.size(), QSize(282, 258));
    QCOMPARE(about.minimumSize(), about.maximumSize());
    const Qt::WindowFlags flags = about.windowFlags();
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                       | Qt::WindowContextHelpButtonHint)));

    auto *picture = about.findChild<PictureBox *>(QStringLiteral("imgAbout"));
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(249, 115));

    auto *ok = about.findChild<QPushButton *>(QStringLiteral("btnOK"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("&OK"));
    QVERIFY(ok->isDefault());
    // Full width within the margins.
    QCOMPARE(ok->x(), 282 - ok->geometry().right() - 1);

    QStringList texts;
    for (const QLabel *label : about.findChildren<QLabel *>())
        texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("Moxarium")));
    QVERIFY(texts.contains(QStringLiteral("Version 1.0")));
}

void TestAbout::nothingIsClipped()
{
    TfrmAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    for (const QLabel *label : about.findChildren<QLabel *>()) {
        const QSize needed = label->sizeHint();
        QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                 qPrintable(QStringLiteral("\"%1\" needs %2x%3 but has %4x%5")
                                .arg(label->text())
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(label->width())
                                .arg(label->height())));
        // Inside the dialog, not cut off by its panel.
        const QRect inDialog(label->mapTo(&about, QPoint(0, 0)), label->size());
        QVERIFY(about.rect().contains(inDialog));
    }
}

void TestAbout::altDoubleClickTogglesTheCredits()
{
    TfrmAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto *picture = about.findChild<PictureBox *>(QStringLiteral("imgAbout"));
    auto *credits = about.findChild<CreditsPanel *>(QStringLiteral("pnlCredits"));
    auto *mail = about.findChild<QLabel *>(QStringLiteral("lblMail"));
    QVERIFY(picture && credits && mail);
    QVERIFY(!about.creditsRunning());

    QTest::mouseDClick(picture, Qt::LeftButton, Qt::AltModifier, QPoint(100, 50));
    QVERIFY(about.creditsRunning());
    QVERIFY(credits->isVisible());
    QVERIFY(!picture->isVisible());
    QVERIFY(!mail->isVisible());
    QVERIFY(credits->geometry().contains(picture->geometry()));
    QTRY_VERIFY_WITH_TIMEOUT(credits->scrollOffset() > 0, 2000);

    // The credits now lie over the picture, so the second double click lands on them.
    QTest::mouseDClick(credits, Qt::LeftButton, Qt::AltModifier, QPoint(100, 50));
    QVERIFY(!about.creditsRunning());
    QVERIFY(!credits->isVisible());
    QVERIFY(picture->isVisible());
    QVERIFY(mail->isVisible());
}

void TestAbout::plainDoubleClickLeavesThePicture()
{
    TfrmAbout about;
    about.show();
    auto *picture = about.findChild<PictureBox *>(QStringLiteral("imgAbout"));
    QTest::mouseDClick(picture, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    QTest::mouseDClick(picture, Qt::LeftButton, Qt::ControlModifier, QPoint(100, 50));
    QVERIFY(!about.creditsRunning());
    QVERIFY(picture->isVisible());
}

void TestAbout::activationStopsTheCredits()
{
    QMainWindow mainWindow;
    mainWindow.show();
    TfrmAbout about(&mainWindow);
    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    auto *picture = about.findChild<PictureBox *>(QStringLiteral("imgAbout"));
    QTest::mouseDClick(picture, Qt::LeftButton, Qt::AltModifier, QPoint(100, 50));
    QVERIFY(about.creditsRunning());

    // Another window takes the focus; coming back to the box stops the credits.
    mainWindow.activateWindow();
    QTRY_VERIFY(!about.isActiveWindow());
    QVERIFY(about.creditsRunning());
    about.activateWindow();
    QTRY_VERIFY(about.isActiveWindow());
    QVERIFY(!about.creditsRunning());
    QVERIFY(picture->isVisible());

    // So does opening it again.
    QTest::mouseDClick(picture, Qt::LeftButton, Qt::AltModifier, QPoint(100, 50));
    QVERIFY(about.creditsRunning());
    about.hide();
    about.show();
    QVERIFY(!about.creditsRunning());
    QVERIFY(picture->isVisible());
}

void TestAbout::okCloses()
{
    TfrmAbout about;
    about.show();
    auto *ok = about.findChild<QPushButton *>(QStringLiteral("btnOK"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

// Pictures of the box, plain and with the credits, for a person to look over.
void TestAbout::screenshot()
{
    TfrmAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QDir().mkpath(QStringLiteral(MOX_ARTIFACT_DIR));
    QVERIFY(about.grab().save(QStringLiteral(MOX_ARTIFACT_DIR "/about.png")));

    auto *picture = about.findChild<PictureBox *>(QStringLiteral("imgAbout"));
    QTest::mouseDClick(picture, Qt::LeftButton, Qt::AltModifier, QPoint(100, 50));
    auto *credits = about.findChild<CreditsPanel *>(QStringLiteral("pnlCredits"));
    QTRY_VERIFY_WITH_TIMEOUT(credits->scrollOffset() >= 40, 10000);
    QVERIFY(about.grab().save(QStringLiteral(MOX_ARTIFACT_DIR "/about-credits.png")));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
