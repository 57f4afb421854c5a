// What the data-aware text controls share through their base: a value the
// program sets is never taken for the user's, and the user's keys, mouse and
// leaving are reported after the control has handled them.

#include "catalogue/DataSource.h"
#include "tests/common/CatalogueFixture.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBMemo.h"

#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace fixture;
namespace S = CatalogueSchema;

namespace {

// One control of each kind behind the same questions.
struct Control
{
    std::unique_ptr<QWidget> widget;
    EditCommandTarget *target = nullptr;
    std::unique_ptr<QSignalSpy> changed;       // every change signal
    std::unique_ptr<QSignalSpy> keyReleased;
    std::unique_ptr<QSignalSpy> mouseReleased; // none for the combo box
    std::unique_ptr<QSignalSpy> exited;
    std::function<QString()> text;
    // The user's change: DBEdit and DBMemo also announce a program's change,
    // with the modified flag clear; DBComboBox announces the user's only.
    std::function<int()> userChanges;
};

template <typename W>
void bind(Control &c, W *w, DataSource *ds, int field)
{
    w->setDataSource(ds);
    w->setFieldPos(field);
    c.widget.reset(w);
    c.target = w;
    c.changed = std::make_unique<QSignalSpy>(w, &W::changed);
    c.keyReleased = std::make_unique<QSignalSpy>(w, &W::keyReleased);
    c.exited = std::make_unique<QSignalSpy>(w, &W::exited);
    c.text = [w] { return w->text(); };
}

Control makeControl(const QString &kind, DataSource *ds)
{
    Control c;
    if (kind == "combo") {
        auto *box = new DBComboBox;
        box->setPickItems({"Component", "Tool", "Unit"});
        bind(c, box, ds, S::Type);
        c.userChanges = [spy = c.changed.get()] { return int(spy->count()); };
        return c;
    }
    const auto byUser = [](QSignalSpy *spy) {
        return [spy] {
            int n = 0;
            for (const QList<QVariant> &args : *spy)
                n += args.at(0).toBool() ? 1 : 0;
            return n;
        };
    };
    if (kind == "edit") {
        auto *edit = new DBEdit;
        bind(c, edit, ds, S::Product);
        c.mouseReleased = std::make_unique<QSignalSpy>(edit, &DBEdit::mouseReleased);
    } else {
        auto *memo = new DBMemo;
        bind(c, memo, ds, S::Guide);
        c.mouseReleased = std::make_unique<QSignalSpy>(memo, &DBMemo::mouseReleased);
    }
    c.userChanges = byUser(c.changed.get());
    return c;
}

void sendFocusOut(QWidget *w, Qt::FocusReason reason)
{
    QFocusEvent leave(QEvent::FocusOut, reason);
    QApplication::sendEvent(w, &leave);
}

} // namespace

class TstDataControl : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"a.zip", "Alpha", "Unit", "In use", "", false},
        {"b.zip", "Beta", "Tool", "Testing", "", false},
        {"c.zip", "Gamma", "Component", "Unseen", "", false},
    };

    void prepare(CatalogueTable &t, const QString &name)
    {
        makeCatalogueAtFirst(t, m_dir, name, m_sample);
        t.edit();
        t.field(S::Guide).setAsString("Guide of Alpha");
        t.post();
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void programSetValueIsNotTheUsers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("action");
        for (const char *kind : {"edit", "memo", "combo"}) {
            for (const char *action : {"record loaded", "field set by the table", "catalogue reopened",
                                       "catalogue closed", "bound to a field"})
                QTest::addRow("%s, %s", kind, action) << kind << action;
        }
        QTest::newRow("combo, pick list changed") << "combo" << "pick list changed";
        QTest::newRow("memo, whole text set") << "memo" << "whole text set";
    }

    // Whatever the program puts into a control shows there, is not announced as
    // the user's change and is not written back over the record.
    void programSetValueIsNotTheUsers()
    {
        QFETCH(QString, kind);
        QFETCH(QString, action);
        CatalogueTable t;
        prepare(t, "program.db");
        DataSource ds(&t);
        Control c = makeControl(kind, &ds);
        c.widget->show();
        const int field = qobject_cast<DBEdit *>(c.widget.get()) ? int(S::Product)
                          : qobject_cast<DBMemo *>(c.widget.get()) ? int(S::Guide) : int(S::Type);
        c.changed->clear();

        QString expected;
        int shown = field;
        DataSetState state = DataSetState::Browse;
        if (action == "record loaded") {
            t.next();
            expected = t.field(field).asString();
        } else if (action == "field set by the table") {
            t.edit();
            t.field(field).setAsString("Set by the table");
            expected = "Set by the table";
            state = DataSetState::Edit;
        } else if (action == "catalogue reopened") {
            t.close();
            t.open();
            expected = t.field(field).asString();
        } else if (action == "catalogue closed") {
            t.close();
            state = DataSetState::Inactive;
        } else if (action == "bound to a field") {
            auto *edit = qobject_cast<DBEdit *>(c.widget.get());
            auto *memo = qobject_cast<DBMemo *>(c.widget.get());
            auto *box = qobject_cast<DBComboBox *>(c.widget.get());
            const int other = memo ? int(S::Comments) : int(S::Status);
            if (edit)
                edit->setFieldPos(other);
            else if (memo)
                memo->setFieldPos(other);
            else
                box->setFieldPos(other);
            shown = other;
            expected = t.field(other).asString();
        } else if (action == "pick list changed") {
            auto *box = static_cast<DBComboBox *>(c.widget.get());
            box->addPickItem("Expert");
            box->setPickItems({"Unit", "Application"});
            box->clearPickItems();
            expected = "Unit";
        } else if (action == "whole text set") {
            // The program's own text is written, yet it is no typing by the user.
            static_cast<DBMemo *>(c.widget.get())->setText("Set whole");
            expected = "Set whole";
            state = DataSetState::Edit;
        }

        QCOMPARE(c.text(), expected);
        QCOMPARE(c.userChanges(), 0);
        QVERIFY(!c.target->editModified());
        QVERIFY(!c.target->editCanUndo());
        QCOMPARE(t.state(), state);
        if (t.active())
            QCOMPARE(t.field(shown).asString(), expected);
        QCOMPARE(c.keyReleased->count(), 0);
        QCOMPARE(c.exited->count(), 0);
        if (c.mouseReleased)
            QCOMPARE(c.mouseReleased->count(), 0);
    }

    void userEvents_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("deselectsOnLeaving");
        QTest::newRow("edit") << "edit" << true;
        QTest::newRow("memo") << "memo" << false;
        QTest::newRow("combo") << "combo" << true;
    }

    // Typing is the user's change and a key release; a click is a mouse release;
    // leaving the control is announced once the control has let go of its
    // selection, and not at all when a pop-up menu takes the focus.
    void userEvents()
    {
        QFETCH(QString, kind);
        QFETCH(bool, deselectsOnLeaving);
        CatalogueTable t;
        prepare(t, "user.db");
        DataSource ds(&t);
        Control c = makeControl(kind, &ds);
        c.widget->show();
        c.widget->setFocus();
        c.changed->clear();

        QTest::keyClick(c.widget.get(), Qt::Key_End);
        QTest::keyClicks(c.widget.get(), "Z");
        QCOMPARE(c.userChanges(), 1);
        QCOMPARE(c.keyReleased->count(), 2);
        QCOMPARE(t.state(), DataSetState::Edit);
        QVERIFY(c.target->editModified());

        if (c.mouseReleased) {
            QWidget *surface = kind == "memo" ? static_cast<DBMemo *>(c.widget.get())->viewport() : c.widget.get();
            QTest::mouseClick(surface, Qt::LeftButton);
            QCOMPARE(c.mouseReleased->count(), 1);
        }

        int selectionAtExit = -1;
        const auto watch = [&] { selectionAtExit = c.target->editSelectionLength(); };
        if (auto *w = qobject_cast<DBEdit *>(c.widget.get()))
            connect(w, &DBEdit::exited, this, watch);
        else if (auto *m = qobject_cast<DBMemo *>(c.widget.get()))
            connect(m, &DBMemo::exited, this, watch);
        else
            connect(static_cast<DBComboBox *>(c.widget.get()), &DBComboBox::exited, this, watch);

        c.target->editSelectAll();
        sendFocusOut(c.widget.get(), Qt::PopupFocusReason);
        QCOMPARE(c.exited->count(), 0);
        QVERIFY(c.target->editSelectionLength() > 0);

        sendFocusOut(c.widget.get(), Qt::TabFocusReason);
        QCOMPARE(c.exited->count(), 1);
        QCOMPARE(selectionAtExit == 0, deselectsOnLeaving);
    }

    void typingLimit_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("edit") << "edit";
        QTest::newRow("combo box") << "box";
        QTest::newRow("combo box's text part") << "text part";
    }

    // Typing stops at the field's size wherever the keys arrive; a memo has none.
    void typingLimit()
    {
        QFETCH(QString, target);
        CatalogueTable t;
        prepare(t, "limit.db");
        DataSource ds(&t);
        Control c = makeControl(target == "edit" ? "edit" : "combo", &ds);
        QWidget *keys = c.widget.get();
        if (target == "text part")
            keys = static_cast<DBComboBox *>(c.widget.get())->lineEdit();
        const int size = S::fields()[target == "edit" ? S::Product : S::Type].size;
        c.widget->show();
        c.widget->setFocus();
        c.target->editSelectAll();
        QTest::keyClicks(keys, QString(size + 3, u'x'));
        QCOMPARE(c.text(), QString(size, u'x'));

        Control memo = makeControl("memo", &ds);
        memo.widget->show();
        memo.widget->setFocus();
        QTest::keyClick(memo.widget.get(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(memo.widget.get(), QString(size + 3, u'x'));
        QCOMPARE(memo.text(), "Guide of Alpha" + QString(size + 3, u'x'));
    }
};

QTEST_MAIN(TstDataControl)
#include "tst_datacontrol.moc"
