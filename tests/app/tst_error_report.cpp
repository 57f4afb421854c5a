// The one rule by which an error becomes a message, and the general error report
// that shows it.

#include "app/ErrorReport.h"
#include "settings/SettingsError.h"
#include "widgets/data/TableAction.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

namespace {

using Thrower = std::function<void()>;

} // namespace

Q_DECLARE_METATYPE(Thrower)

class TstErrorReport : public QObject
{
    Q_OBJECT

private slots:
    void messages_data()
    {
        QTest::addColumn<Thrower>("thrower");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("silent");
        QTest::newRow("engine") << Thrower([] { throw EngineError(QString::fromUtf8("Table \u00e9t\u00e9.db is locked")); })
                                << QString::fromUtf8("Table \u00e9t\u00e9.db is locked") << false;
        QTest::newRow("settings") << Thrower([] { throw SettingsError(QString::fromUtf8("Unable to write to /tmp/\u00e9")); })
                                  << QString::fromUtf8("Unable to write to /tmp/\u00e9") << false;
        QTest::newRow("standard") << Thrower([] { throw std::runtime_error("out of space"); }) << "out of space" << false;
        QTest::newRow("silent abort") << Thrower([] { throw AbortError(); }) << "" << true;
    }

    // The error report and the controls' table actions give the same text.
    void messages()
    {
        QFETCH(Thrower, thrower);
        QFETCH(QString, message);
        QFETCH(bool, silent);
        const std::optional<ActionFailure> failure = runAction(thrower);
        QVERIFY(failure);
        QCOMPARE(failure->message, message);
        QCOMPARE(failure->silent, silent);
        QString fromControl = QStringLiteral("stale");
        QVERIFY(!tryTableAction(thrower, fromControl));
        QCOMPARE(fromControl, message);
        QVERIFY(!runAction([] {}));
        QVERIFY(tryTableAction([] {}, fromControl));
        QCOMPARE(fromControl, QString());
    }

    void fullStop_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Disk full" << "Disk full.";
        QTest::newRow("full stop") << "Disk full." << "Disk full.";
        QTest::newRow("closing bracket comes before it") << "Disk full (sda)" << "Disk full (sda)";
        QTest::newRow("exclamation mark") << "Key violation!" << "Key violation!";
        QTest::newRow("empty") << "" << "";
    }

    void fullStop()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(ErrorReport::withFullStop(text), shown);
    }

    // A guarded handler reports what ended it, once; a silent abort shows nothing.
    void guarded()
    {
        QStringList shown;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown << box->windowTitle() + ": " + box->text();
                box->accept();
            }
        });
        answer.start(10);
        QVERIFY(!ErrorReport::guarded(nullptr, [] { throw EngineError(QStringLiteral("Record locked")); }));
        QVERIFY(!ErrorReport::guarded(nullptr, [] { throw AbortError(); }));
        QVERIFY(ErrorReport::guarded(nullptr, [] {}));
        QCOMPARE(shown, QStringList{"Moxarium: Record locked."});
    }
};

QTEST_MAIN(TstErrorReport)
#include "tst_error_report.moc"
