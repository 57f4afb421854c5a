#include "catalogue/DataSource.h"
#include "tests/common/CatalogueFixture.h"
#include "tests/widgets/WidgetShot.h"
#include "widgets/data/DBNavigator.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace fixture;
namespace S = CatalogueSchema;
using B = DBNavigator::Button;

class TstDbNavigator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"a.zip", "Alpha", "Unit", "In use", "", false},
        {"b.zip", "Beta", "Tool", "Testing", "", false},
        {"c.zip", "Gamma", "Component", "Unseen", "", false},
    };

    // One character per button, First to Cancel: 1 enabled, 0 disabled.
    static QString enabledPattern(const DBNavigator &nav)
    {
        QString out;
        for (int i = 0; i < DBNavigator::ButtonCount; ++i)
            out += nav.button(B(i))->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void hints_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("shortPart");
        QTest::addColumn<QString>("longPart");
        QTest::newRow("first") << int(B::First) << "First" << "Show the first record.";
        QTest::newRow("prior") << int(B::Prior) << "Prior" << "Show the prior record.";
        QTest::newRow("next") << int(B::Next) << "Next" << "Show the next record.";
        QTest::newRow("last") << int(B::Last) << "Last" << "Show the last record.";
        QTest::newRow("insert") << int(B::Insert) << "Insert" << "Insert a new record.";
        QTest::newRow("delete") << int(B::Delete) << "Delete" << "Delete the selected record.";
        QTest::newRow("edit") << int(B::Edit) << "Edit" << "Edit the selected record.";
        QTest::newRow("post") << int(B::Post) << "Commit" << "Commit all changes made to the selected record.";
        QTest::newRow("cancel") << int(B::Cancel) << "Cancel" << "Cancel all changes made to the selected record.";
    }

    void hints()
    {
        QFETCH(int, button);
        QFETCH(QString, shortPart);
        QFETCH(QString, longPart);
        DBNavigator nav;
        const QToolButton *b = nav.button(B(button));
        QCOMPARE(nav.hint(B(button)), shortPart + '|' + longPart);
        QCOMPARE(b->toolTip(), shortPart);
        QCOMPARE(b->accessibleName(), shortPart);
        QCOMPARE(b->accessibleDescription(), longPart);
        QCOMPARE(b->statusTip(), longPart);
        QVERIFY(!b->icon().isNull());
        QCOMPARE(b->geometry(), QRect(button * 24, 0, 24, 25));
    }

    void geometry()
    {
        DBNavigator nav;
        QCOMPARE(nav.size(), QSize(216, 25));
        QCOMPARE(nav.sizeHint(), QSize(216, 25));
        // A click on a button leaves the focus where the user types.
        QCOMPARE(nav.button(B::Post)->focusPolicy(), Qt::TabFocus);
    }

    void enabling_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("pattern");   // First Prior Next Last Insert Delete Edit Post Cancel
        QTest::newRow("closed") << "closed" << "000000000";
        QTest::newRow("empty") << "empty" << "000010100";
        QTest::newRow("first record") << "first" << "001111100";
        QTest::newRow("middle record") << "middle" << "111111100";
        QTest::newRow("last record") << "last" << "110011100";
        QTest::newRow("editing") << "editing" << "111111011";
        QTest::newRow("inserting") << "inserting" << "111111011";
        QTest::newRow("inserting into empty") << "emptyInsert" << "000010011";
        QTest::newRow("navigator disabled") << "disabled" << "000000000";
        QTest::newRow("read-only catalogue") << "readOnly" << "001111100";
    }

    void enabling()
    {
        QFETCH(QString, state);
        QFETCH(QString, pattern);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "states.db", state.startsWith("empty") ? QList<Rec>{} : m_sample);
        if (state == "readOnly") {
            t.close();
            QFile::setPermissions(m_dir.filePath("states.db"), QFile::ReadOwner);
            t.open();
        }
        DataSource ds(&t);
        DBNavigator nav;
        nav.setDataSource(&ds);
        if (state == "closed")
            t.close();
        else if (state == "middle")
            t.next();
        else if (state == "last")
            t.last();
        else if (state == "editing") {
            t.next();
            t.edit();
        } else if (state == "inserting") {
            t.next();
            t.insert();
        } else if (state == "emptyInsert")
            t.insert();
        else if (state == "disabled")
            nav.setEnabled(false);
        QCOMPARE(enabledPattern(nav), pattern);
        if (state == "disabled") {
            nav.setEnabled(true);
            QCOMPARE(enabledPattern(nav), QString("001111100"));
        }
        if (state == "readOnly")
            QFile::setPermissions(m_dir.filePath("states.db"), QFile::ReadOwner | QFile::WriteOwner);
    }

    void buttonsRunTheirOperation()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "run.db", m_sample);
        DataSource ds(&t);
        DBNavigator nav;
        nav.setDataSource(&ds);
        nav.show();
        QSignalSpy clicked(&nav, &DBNavigator::clicked);
        const auto click = [&](B b) { QTest::mouseClick(nav.button(b), Qt::LeftButton); };

        click(B::Next);
        QCOMPARE(t.recNo(), 2);
        click(B::Last);
        QCOMPARE(t.recNo(), 3);
        click(B::Prior);
        QCOMPARE(t.recNo(), 2);
        click(B::First);
        QCOMPARE(t.recNo(), 1);
        click(B::Edit);
        QCOMPARE(t.state(), DataSetState::Edit);
        t.field(S::Product).setAsString("Changed");
        click(B::Cancel);
        QCOMPARE(t.field(S::Product).asString(), QString("Alpha"));
        click(B::Edit);
        t.field(S::Product).setAsString("Changed");
        click(B::Post);
        QCOMPARE(t.state(), DataSetState::Browse);
        QCOMPARE(t.field(S::Product).asString(), QString("Changed"));
        click(B::Insert);
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(clicked.count(), 9);
        QCOMPARE(clicked.last().at(0).value<B>(), B::Insert);
    }

    // A refused post is reported, the record stays in editing; a silent abort
    // (the delete confirmation answered No) shows nothing and keeps the record.
    void failures()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "fail.db", m_sample);
        DataSource ds(&t);
        DBNavigator nav;
        nav.setDataSource(&ds);
        QSignalSpy errors(&nav, &DBNavigator::errorRaised);

        nav.run(B::Insert);
        t.field(S::Archive).setAsString("new.zip");
        nav.run(B::Post);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.last().at(0).toString(), QString("Field 'Product' must have a value"));
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(enabledPattern(nav).right(2), QString("11"));
        nav.run(B::Cancel);

        struct KeepRecord : CatalogueTableHandler {
            int asked = 0;
            void beforeDelete(CatalogueTable &) override
            {
                ++asked;
                throw AbortError();
            }
        } keep;
        t.setHandler(&keep);
        nav.run(B::Delete);
        QCOMPARE(keep.asked, 1);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(t.recordCount(), 3);
        t.setHandler(nullptr);
        nav.run(B::Delete);
        QCOMPARE(t.recordCount(), 2);

        t.close();
        nav.run(B::Next);
        QCOMPARE(errors.count(), 2);
        QCOMPARE(errors.last().at(0).toString(), QString("Cannot perform this operation on a closed dataset"));
    }

    void screenshot()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "shot.db", m_sample);
        DataSource ds(&t);
        DBNavigator nav;
        nav.setDataSource(&ds);
        t.next();
        t.edit();
        nav.show();
        QVERIFY(QTest::qWaitForWindowExposed(&nav));
        const QString path = saveShot(nav, "dbnavigator.png");
        QVERIFY(QFile::exists(path));
    }
};

QTEST_MAIN(TstDbNavigator)
#include "tst_dbnavigator.moc"
