// The profile file on disk: missing files, failed writes, and a writer killed
// at random moments that must leave the old or the new file, never a torn one.

#include "settings/ProfileFile.h"
#include "settings/SettingsError.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/settings/SettingsFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace fixture;

namespace {

const QString WriterArgument = QStringLiteral("--profile-writer");

// Payload sizes vary from write to write, so that a torn file cannot look whole.
QString payload(int counter)
{
    return QString(20000 + (counter * 7919) % 180000, QChar(u'a' + counter % 26));
}

QByteArray expectedFile(int counter)
{
    ProfileDocument doc = ProfileDocument::fromBytes("; kept\n[Other]\nx=1\n");
    doc.writeString(u"Test", u"Counter", QString::number(counter));
    doc.writeString(u"Test", u"Payload", payload(counter));
    return doc.toBytes();
}


int runWriter(const QString &path)
{
    ProfileFile file(path);
    file.setAutoSave(false);
    int counter = file.readString(u"Test", u"Counter").toInt();
    const char started[] = "started\n";
    if (::write(STDOUT_FILENO, started, sizeof started - 1) < 0)
        return 1;
    for (;;) {
        ++counter;
        file.writeString(u"Test", u"Counter", QString::number(counter));
        file.writeString(u"Test", u"Payload", payload(counter));
        file.save();
    }
}

} // namespace

class TstSettingsFileIo : public QObject
{
    Q_OBJECT

private slots:
    void missingFileReadsEmpty()
    {
        QTemporaryDir dir;
        ProfileFile file(dir.filePath("mox.ini"));
        QVERIFY(!file.existed());
        QVERIFY(file.readError().isEmpty());
        QCOMPARE(file.readString(u"A", u"k", QStringLiteral("default")), QStringLiteral("default"));
        QVERIFY(!QFileInfo::exists(file.path()));
    }

    void writesAtOnceUnlessAutoSaveIsOff()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("mox.ini");
        ProfileFile file(path);
        file.writeString(u"A", u"k", QStringLiteral("1"));
        QCOMPARE(readBytes(path), QByteArray("[A]\nk=1\n"));

        file.setAutoSave(false);
        file.writeString(u"A", u"k", QStringLiteral("2"));
        file.eraseSection(u"A");
        file.writeString(u"B", u"j", QStringLiteral("3"));
        QCOMPARE(readBytes(path), QByteArray("[A]\nk=1\n"));
        file.save();
        QCOMPARE(readBytes(path), QByteArray("[B]\nj=3\n"));
        QCOMPARE(ProfileFile(path).readString(u"b", u"J"), QStringLiteral("3"));
    }

    void failedWriteNamesTheFullPath()
    {
        QTemporaryDir dir;
        // A plain file where the folder should be: no write can succeed, even as root.
        QVERIFY(writeBytes(dir.filePath("notafolder"), "x"));
        const QString path = dir.filePath("notafolder/mox.ini");
        ProfileFile file(path);
        try {
            file.writeString(u"A", u"k", QStringLiteral("1"));
            QFAIL("the write should have failed");
        } catch (const SettingsError &error) {
            // The reason follows the path.
            QCOMPARE(error.message(), QStringLiteral("Unable to write to %1: %2")
                                          .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(strerror(ENOTDIR))));
        }
    }

    // A disk that fills up while the file is written must not leave an empty
    // or short file in place of the old one, and must say why.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("payloadSize");
        QTest::newRow("fits the write buffer") << 8000;
        QTest::newRow("larger than the write buffer") << 200000;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(int, payloadSize);
        QTemporaryDir dir;
        const QString path = dir.filePath("mox.ini");
        const QByteArray old = "; mine\n[Test]\nCounter=1\n";
        QVERIFY(writeBytes(path, old));

        ProfileFile file(path);
        file.setAutoSave(false);
        file.writeString(u"Test", u"Payload", QString(payloadSize, u'p'));
        QString message;
        {
            FileSizeLimit limit(1024);
            QVERIFY(limit.active());
            try {
                file.save();
            } catch (const SettingsError &error) {
                message = error.message();
            }
        }
        QCOMPARE(readBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mox.ini"});
        const QString start = QStringLiteral("Unable to write to %1: ").arg(QDir::toNativeSeparators(path));
        QVERIFY2(message.startsWith(start) && message.size() > start.size(), qPrintable(message));

        // Once there is room again the same file saves.
        file.save();
        QCOMPARE(ProfileFile(path).readString(u"Test", u"Payload").size(), payloadSize);
    }

    void folderIsNeitherReadNorReplaced()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("mox.ini"));
        const QString path = QDir::toNativeSeparators(dir.filePath("mox.ini"));
        ProfileFile file(dir.filePath("mox.ini"));
        QVERIFY(file.existed());
        QCOMPARE(file.nonRegularKind(), QStringLiteral("a folder"));
        QCOMPARE(file.readError(), QStringLiteral("%1 is not a regular file (it is a folder)").arg(path));
        try {
            file.writeString(u"A", u"k", QStringLiteral("1"));
            QFAIL("the write should have been refused");
        } catch (const SettingsError &error) {
            QCOMPARE(error.message(),
                     QStringLiteral("Unable to write to %1: it is not a regular file (it is a folder)").arg(path));
        }
        QVERIFY(QFileInfo(path).isDir());
    }

    void killDuringWriteLeavesOldOrNewFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("mox.ini");
        QVERIFY(writeBytes(path, expectedFile(0)));

        QRandomGenerator random(20240611);
        int previous = 0;
        int advanced = 0;
        for (int round = 0; round < 20; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {WriterArgument, path});
            QVERIFY(writer.waitForStarted());
            QVERIFY(writer.waitForReadyRead(10000));
            QThread::usleep(random.bounded(30000));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));

            const QByteArray bytes = readBytes(path);
            const int counter = ProfileDocument::fromBytes(bytes).readString(u"Test", u"Counter", {}).toInt();
            QCOMPARE(bytes, expectedFile(counter));
            QVERIFY(counter >= previous);
            advanced += counter > previous;
            previous = counter;
        }
        QVERIFY2(advanced > 0, "the writer never finished a write before it was killed");
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == WriterArgument)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    TstSettingsFileIo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings_file_io.moc"
