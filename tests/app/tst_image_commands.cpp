// The palette images through the window: capturing with the mouse on the overlay
// over a desktop of our own, and saving an image as a bitmap file.

#include "tests/app/MainWindowFixture.h"
#include "tests/common/FakeScreen.h"

#include "app/ImageCommands.h"
#include "catalogue/CatalogueTable.h"
#include "images/ui/MOXCapture.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"

#include <QBuffer>
#include <QImageReader>
#include <QLineEdit>
#include <QToolButton>
#include <functional>

namespace S = CatalogueSchema;

namespace {

QByteArray componentIni(bool keepPaths, const QString &bitmapFolder = QString())
{
    return "[Program]\nKeepPaths=" + QByteArray(keepPaths ? "1" : "0") + "\n[View]\nGrid=0\n"
           "[TypeDefs]\nType0=Component\nType1=Unit\n[StatusDefs]\nStatus0=In use\n"
           "[Paths]\nSaveBmp=" + bitmapFolder.toUtf8() + "\n";
}

// Plays the user's part on the overlay once it shows, and notes how the program
// stood meanwhile.
class OverlayDriver
{
public:
    using Script = std::function<void(TfrmCapture &)>;
    int overlays = 0;
    bool mainMinimised = false;
    QRect desktop;

    OverlayDriver(QWidget &main, Script script) : m_main(main), m_script(std::move(script))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            auto *overlay = qobject_cast<TfrmCapture *>(QApplication::activeModalWidget());
            if (!overlay || !overlay->isVisible())
                return;
            m_timer.stop();
            ++overlays;
            mainMinimised = m_main.isMinimized();
            desktop = overlay->geometry();
            m_script(*overlay);
        });
        m_timer.start();
    }

private:
    QWidget &m_main;
    Script m_script;
    QTimer m_timer;
};

QImage pictureIn(const QByteArray &bytes)
{
    return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
}

// What the fake desktop shows in the square at `topLeft`.
QImage desktopSquare(QPoint topLeft)
{
    FakeScreen screen;
    return screen.grab(QRect(topLeft, QSize(32, 32)));
}

QByteArray bmpOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

} // namespace

class TstImageCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_fixture;
    FakeScreen screen;

    TfrmMain &startOnAComponent(bool keepPaths = true, const QString &bitmapFolder = QString())
    {
        MainWindowFixture &f = *m_fixture;
        f.writeIni(componentIni(keepPaths, bitmapFolder));
        TfrmMain &w = f.start();
        w.findChild<ImageCommands *>(QStringLiteral("imageCommands"))->setScreenGrabber(&screen);
        addRecord(table(w), "a.zip", "Alpha", "Component");
        table(w).first();
        return w;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<MainWindowFixture>();
        screen = FakeScreen();
    }
    void cleanup()
    {
        m_fixture->stop();
        m_fixture.reset();
    }

    void clickCapturesTheSquareUnderTheCursor_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("otherField");
        QTest::addColumn<QList<QPoint>>("path"); // press, moves; released at the last
        QTest::newRow("original, plain click") << "sbCaptureOriginal" << int(S::OrigImg) << int(S::CurrImg)
                                               << QList<QPoint>{{130, 70}};
        QTest::newRow("current, plain click") << "sbCaptureCurrent" << int(S::CurrImg) << int(S::OrigImg)
                                              << QList<QPoint>{{5, 260}};
        QTest::newRow("original, dragged") << "sbCaptureOriginal" << int(S::OrigImg) << int(S::CurrImg)
                                           << QList<QPoint>{{10, 10}, {60, 40}, {300, 200}};
        QTest::newRow("past the bottom-right edge") << "sbCaptureCurrent" << int(S::CurrImg) << int(S::OrigImg)
                                                    << QList<QPoint>{{390, 290}};
    }

    void clickCapturesTheSquareUnderTheCursor()
    {
        QFETCH(QString, button);
        QFETCH(int, field);
        QFETCH(int, otherField);
        QFETCH(QList<QPoint>, path);
        TfrmMain &w = startOnAComponent();
        CatalogueTable &t = table(w);
        QVERIFY(child<QToolButton>(w, qPrintable(button))->isEnabled());
        OverlayDriver driver(w, [&path](TfrmCapture &overlay) {
            QTest::mousePress(&overlay, Qt::LeftButton, {}, path.first());
            for (const QPoint p : path.mid(1))
                QTest::mouseMove(&overlay, p);
            QTest::mouseRelease(&overlay, Qt::LeftButton, {}, path.last());
        });
        QTest::mouseClick(child<QToolButton>(w, qPrintable(button)), Qt::LeftButton);

        QCOMPARE(driver.overlays, 1);
        QVERIFY(driver.mainMinimised);
        QCOMPARE(driver.desktop, screen.area);
        QVERIFY(!w.isMinimized());
        QVERIFY(w.isVisible());
        // The probe, the frozen desktop, then the square from the live screen.
        QCOMPARE(screen.grabbed.size(), 3);
        QCOMPARE(screen.grabbed[1], screen.area);
        QCOMPARE(screen.grabbed[2], QRect(path.last(), QSize(32, 32)));
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(pictureIn(t.field(field).asBytes()), desktopSquare(path.last()));
        QVERIFY(t.field(otherField).isNull());
        t.post();
        QCOMPARE(pictureIn(t.field(field).asBytes()), desktopSquare(path.last()));
    }

    void releaseWithoutLeftPressLeavesTheImage()
    {
        TfrmMain &w = startOnAComponent();
        CatalogueTable &t = table(w);
        t.edit();
        t.field(S::OrigImg).setAsBytes(bmpOf(desktopSquare({1, 1})));
        t.post();
        ModalAnswer boxes;
        OverlayDriver driver(w, [&boxes](TfrmCapture &overlay) {
            boxes.answer("OK");
            QTest::mouseRelease(&overlay, Qt::RightButton, {}, {50, 50});
        });
        QTest::mouseClick(child<QToolButton>(w, "sbCaptureOriginal"), Qt::LeftButton);
        QCOMPARE(driver.overlays, 1);
        QCOMPARE(boxes.texts, QStringList{"Moxarium: Error creating selection rectangle.\nPlease, try again!"});
        QVERIFY(!w.isMinimized());
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(pictureIn(t.field(S::OrigImg).asBytes()), desktopSquare({1, 1}));
        QCOMPARE(screen.grabbed.size(), 2); // no square was copied
    }

    void refusedScreenCopyChangesNothing()
    {
        TfrmMain &w = startOnAComponent();
        screen.refuse = true;
        ModalAnswer boxes;
        boxes.answer("OK");
        QTest::mouseClick(child<QToolButton>(w, "sbCaptureCurrent"), Qt::LeftButton);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts[0], "Moxarium: " + screen.refusal());
        QCOMPARE(screen.grabs, 1);
        QVERIFY(!w.isMinimized());
        QVERIFY(table(w).field(S::CurrImg).isNull());
    }

    void captureOnAnEmptyCatalogueStartsARecord()
    {
        MainWindowFixture &f = *m_fixture;
        f.writeIni(componentIni(true));
        TfrmMain &w = f.start();
        w.findChild<ImageCommands *>(QStringLiteral("imageCommands"))->setScreenGrabber(&screen);
        CatalogueTable &t = table(w);
        QCOMPARE(t.recordCount(), 0);
        auto *type = child<DBComboBox>(w, "cbbType");
        type->setFocus();
        QTest::keyClicks(type->lineEdit(), "Component");
        child<DBEdit>(w, "edtArchive")->setFocus();
        OverlayDriver driver(w, [](TfrmCapture &overlay) {
            QTest::mouseClick(&overlay, Qt::LeftButton, {}, {200, 100});
        });
        QTest::mouseClick(child<QToolButton>(w, "sbCaptureOriginal"), Qt::LeftButton);
        QCOMPARE(driver.overlays, 1);
        QCOMPARE(t.state(), DataSetState::Insert);
        t.field(S::Archive).setAsString("new.zip");
        t.field(S::Product).setAsString("New");
        t.field(S::Status).setAsString("In use");
        t.post();
        QCOMPARE(t.recordCount(), 1);
        QCOMPARE(pictureIn(t.field(S::OrigImg).asBytes()), desktopSquare({200, 100}));
    }

    void saveWritesABitmapAndMayRememberTheFolder_data()
    {
        QTest::addColumn<bool>("keepPaths");
        QTest::newRow("KeepPaths off") << false;
        QTest::newRow("KeepPaths on") << true;
    }

    void saveWritesABitmapAndMayRememberTheFolder()
    {
        QFETCH(bool, keepPaths);
        MainWindowFixture &f = *m_fixture;
        QTemporaryDir files;
        const QString before = files.filePath("old") + '/';
        QDir().mkpath(before);
        QDir().mkpath(files.filePath("new"));
        TfrmMain &w = startOnAComponent(keepPaths, before);
        CatalogueTable &t = table(w);
        t.edit();
        t.field(S::CurrImg).setAsBytes(bmpOf(desktopSquare({40, 50})));
        t.post();
        const QString chosen = files.filePath("new/palette.bmp");
        f.dialogs.answers = {chosen, QString()};
        QTest::mouseDClick(child<DBImage>(w, "imgCurrent"), Qt::LeftButton);

        QCOMPARE(f.dialogs.asked.size(), 1);
        const FileDialogRequest &asked = f.dialogs.asked[0];
        QCOMPARE(asked.title, QString("Save as Bitmap"));
        QCOMPARE(asked.defaultSuffix, QString("bmp"));
        QCOMPARE(asked.filters, (QStringList{"All files (*)", "Bitmaps (*.bmp)"}));
        QCOMPARE(asked.filterIndex, 1);
        QCOMPARE(asked.folder, before);
        QCOMPARE(asked.fileName, QString());
        QVERIFY(asked.confirmCreate);
        QImageReader reader(chosen);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        QCOMPARE(reader.read().convertToFormat(QImage::Format_RGB32), desktopSquare({40, 50}));

        const QString after = keepPaths ? files.filePath("new") + '/' : before;
        QCOMPARE(w.testSeam().settings.CurrentPaths[PathTask::SaveBitmap], after);
        // The next save opens where the setting says; a cancel changes nothing.
        QTest::mouseDClick(child<DBImage>(w, "imgCurrent"), Qt::LeftButton);
        QCOMPARE(f.dialogs.asked.size(), 2);
        QCOMPARE(f.dialogs.asked[1].folder, after);
        QCOMPARE(w.testSeam().settings.CurrentPaths[PathTask::SaveBitmap], after);
    }

    void saveWithoutPictureSaysSo()
    {
        MainWindowFixture &f = *m_fixture;
        TfrmMain &w = startOnAComponent();
        ModalAnswer boxes;
        boxes.answer("OK");
        QTest::mouseDClick(child<DBImage>(w, "imgOriginal"), Qt::LeftButton);
        QTRY_COMPARE(boxes.texts, QStringList{"Moxarium: There is no picture to save."});
        QVERIFY(f.dialogs.asked.isEmpty());
    }

    void failedWriteNamesTheFileAndKeepsTheFolder()
    {
        MainWindowFixture &f = *m_fixture;
        QTemporaryDir files;
        const QString before = files.path() + '/';
        TfrmMain &w = startOnAComponent(true, before);
        CatalogueTable &t = table(w);
        t.edit();
        t.field(S::OrigImg).setAsBytes(bmpOf(desktopSquare({0, 0})));
        t.post();
        // A folder where the file should be: it cannot be written.
        const QString blocked = files.filePath("taken.bmp");
        QDir().mkpath(blocked);
        f.dialogs.answers = {blocked};
        ModalAnswer boxes;
        boxes.answer("OK");
        QTest::mouseDClick(child<DBImage>(w, "imgOriginal"), Qt::LeftButton);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith("Moxarium: Cannot write the bitmap file " + blocked), qPrintable(boxes.texts[0]));
        QCOMPARE(w.testSeam().settings.CurrentPaths[PathTask::SaveBitmap], before);
    }
};

QTEST_MAIN(TstImageCommands)
#include "tst_image_commands.moc"
