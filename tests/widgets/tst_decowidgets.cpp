#include "widgets/deco/CreditsPanel.h"
#include "widgets/deco/EmbossedLabel.h"
#include "widgets/deco/GradientButton.h"
#include "widgets/deco/PictureBox.h"

#include <QSignalSpy>
#include <QtTest>

class TestDecoWidgets : public QObject
{
    Q_OBJECT

private slots:
    void gradientButtonIsAnInertDecoration();
    void gradientButtonPaintsGradientAndLettering();
    void gradientButtonUsesSerifLettering();
    void creditsScrollUpwardWhileRunning();
    void creditsRollInAgainAfterLeavingTheTop();
    void creditsStartFromTheBottomEachTime();
    void pictureBoxReportsDoubleClickWithModifiers();
};

void TestDecoWidgets::gradientButtonIsAnInertDecoration()
{
    GradientButton button(QStringLiteral("Moxarium"));
    QSignalSpy clicked(&button, &QPushButton::clicked);
    button.resize(163, 32);
    button.show();
    QVERIFY(!button.isEnabled());
    QCOMPARE(button.focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 0);
}

void TestDecoWidgets::gradientButtonPaintsGradientAndLettering()
{
    GradientButton button(QStringLiteral("Moxarium"));
    button.resize(163, 32);
    const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QDir().mkpath(QStringLiteral(MOX_ARTIFACT_DIR));
    image.save(QStringLiteral(MOX_ARTIFACT_DIR "/gradient-button.png"));

    // Disabled, yet not greyed: the gradient runs from its top colour to its bottom one.
    const QColor top = image.pixelColor(3, 2), bottom = image.pixelColor(3, 29);
    QVERIFY2(top.blue() > bottom.blue() + 60, qPrintable(top.name() + " " + bottom.name()));
    QCOMPARE(top.red(), top.green());

    // The lettering shows in its three tones somewhere in the middle.
    int silver = 0, white = 0, black = 0;
    for (int y = 4; y < 28; ++y) {
        for (int x = 10; x < 153; ++x) {
            const QColor c = image.pixelColor(x, y);
            silver += c == button.letterColor() ? 1 : 0;
            white += c == QColor(Qt::white) ? 1 : 0;
            black += c == QColor(Qt::black) ? 1 : 0;
        }
    }
    QVERIFY2(silver > 50 && white > 5 && black > 5,
             qPrintable(QStringLiteral("%1 %2 %3").arg(silver).arg(white).arg(black)));
}

void TestDecoWidgets::gradientButtonUsesSerifLettering()
{
    GradientButton button(QStringLiteral("Moxarium"));
    QCOMPARE(button.font().pixelSize(), 27);
    QCOMPARE(button.font().families().value(0), QStringLiteral("Times New Roman"));
    QCOMPARE(button.font().styleHint(), QFont::Serif);
    // Whatever face stands in, the name still fits the 163 x 32 face.
    QVERIFY(QFontMetrics(button.font()).horizontalAdvance(button.text()) < 163);
}

void TestDecoWidgets::creditsScrollUpwardWhileRunning()
{
    CreditsPanel panel;
    panel.setLines({QStringLiteral("one"), QStringLiteral("two")});
    panel.resize(200, 100);
    QVERIFY(!panel.isVisible());
    panel.start();
    QVERIFY(panel.isVisible());
    QVERIFY(panel.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(panel.scrollOffset() >= 2, 2000);

    panel.stop();
    QVERIFY(!panel.isRunning());
    QVERIFY(!panel.isVisible());
    const int stoppedAt = panel.scrollOffset();
    QTest::qWait(3 * CreditsPanel::TickMilliseconds);
    QCOMPARE(panel.scrollOffset(), stoppedAt);
}

void TestDecoWidgets::creditsRollInAgainAfterLeavingTheTop()
{
    CreditsPanel panel;
    panel.setLines({QStringLiteral("only line")});
    panel.resize(100, 4);
    panel.start();
    // The text is one line high; it has left the panel after height + line height ticks.
    const int cycle = 4 + panel.fontMetrics().height();
    QTRY_VERIFY_WITH_TIMEOUT(panel.scrollOffset() == cycle, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(panel.scrollOffset() < cycle, 1000);
}

void TestDecoWidgets::creditsStartFromTheBottomEachTime()
{
    CreditsPanel panel;
    panel.setLines({QStringLiteral("a")});
    panel.resize(100, 100);
    panel.start();
    QTRY_VERIFY_WITH_TIMEOUT(panel.scrollOffset() >= 1, 2000);
    panel.stop();
    panel.start();
    QCOMPARE(panel.scrollOffset(), 0);

    // Violet ground with the white text entering at the bottom.
    QCOMPARE(panel.grab().toImage().pixelColor(1, 1), CreditsPanel::background());
}

void TestDecoWidgets::pictureBoxReportsDoubleClickWithModifiers()
{
    PictureBox box(QStringLiteral("about"));
    QCOMPARE(box.size(), QSize(249, 115));
    QSignalSpy spy(&box, &PictureBox::doubleClicked);
    QTest::mouseDClick(&box, Qt::LeftButton, Qt::AltModifier, QPoint(20, 20));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::AltModifier));
}

QTEST_MAIN(TestDecoWidgets)
#include "tst_decowidgets.moc"
