#include "catalogue/DataSource.h"
#include "tests/common/CatalogueFixture.h"
#include "widgets/data/DBCheckBox.h"
#include "widgets/data/DBComboBox.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBImage.h"
#include "widgets/data/DBMemo.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace fixture;
namespace S = CatalogueSchema;

class TstDbControls : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QList<Rec> m_sample = {
        {"a.zip", "Alpha", "Unit", "In use", "www.a.org", true},
        {"b.zip", "Beta", "Tool", "Testing", "", false},
        {"c.zip", "Gamma", "Component", "Unseen", "www.c.org", QVariant()},
    };

    // The control's own text, whatever its kind.
    static QString textOf(QWidget *w)
    {
        if (auto *e = qobject_cast<QLineEdit *>(w))
            return e->text();
        if (auto *m = qobject_cast<DBMemo *>(w))
            return m->text();
        if (auto *c = qobject_cast<DBComboBox *>(w))
            return c->text();
        return {};
    }

    static QWidget *makeTextControl(const QString &kind, DataSource *ds, int field)
    {
        if (kind == "edit") {
            auto *e = new DBEdit;
            e->setDataSource(ds);
            e->setFieldPos(field);
            return e;
        }
        if (kind == "memo") {
            auto *m = new DBMemo;
            m->setDataSource(ds);
            m->setFieldPos(field);
            return m;
        }
        auto *c = new DBComboBox;
        c->setDataSource(ds);
        c->setFieldPos(field);
        return c;
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void typing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("before");
        QTest::newRow("edit") << "edit" << int(S::Product) << "Alpha";
        QTest::newRow("memo") << "memo" << int(S::Guide) << "";
        QTest::newRow("combo") << "combo" << int(S::Type) << "Unit";
    }

    // Typed text reaches the field and the file; the record starts editing on the
    // first keystroke.
    void typing()
    {
        QFETCH(QString, kind);
        QFETCH(int, field);
        QFETCH(QString, before);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "typing.db", m_sample);
        DataSource ds(&t);
        std::unique_ptr<QWidget> w(makeTextControl(kind, &ds, field));
        w->show();
        w->setFocus();
        QCOMPARE(textOf(w.get()), before);
        QCOMPARE(t.state(), DataSetState::Browse);

        QTest::keyClick(w.get(), Qt::Key_End);
        QTest::keyClicks(w.get(), "XY");
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(t.field(field).asString(), before + "XY");
        auto *target = EditCommandTarget::forWidget(w.get());
        QVERIFY(target);
        QVERIFY(target->editModified());
        QVERIFY(target->editCanUndo());

        t.post();
        t.close();
        t.open();
        QCOMPARE(t.field(field).asString(), before + "XY");
        QCOMPARE(textOf(w.get()), before + "XY");
    }

    void loadingClearsModifiedAndUndo_data() { typing_data(); }

    void loadingClearsModifiedAndUndo()
    {
        QFETCH(QString, kind);
        QFETCH(int, field);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "load.db", m_sample);
        DataSource ds(&t);
        std::unique_ptr<QWidget> w(makeTextControl(kind, &ds, field));
        w->show();
        w->setFocus();
        QTest::keyClicks(w.get(), "typed");
        auto *target = EditCommandTarget::forWidget(w.get());
        QVERIFY(target->editModified());

        t.cancel();
        t.next();
        QCOMPARE(textOf(w.get()), t.field(field).asString());
        QVERIFY(!target->editModified());
        QVERIFY(!target->editCanUndo());
        // An undo now must not bring the previous record's input into this one.
        target->editUndo();
        QCOMPARE(t.state(), DataSetState::Browse);
    }

    void textControlSignals()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "signals.db", m_sample);
        DataSource ds(&t);
        DBEdit e;
        e.setDataSource(&ds);
        e.setFieldPos(S::Archive);
        e.show();
        e.setFocus();
        QSignalSpy changed(&e, &DBEdit::changed);
        QSignalSpy keys(&e, &DBEdit::keyReleased);
        QSignalSpy mouse(&e, &DBEdit::mouseReleased);

        QTest::keyClick(&e, Qt::Key_Z);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(0).toBool(), true);
        QCOMPARE(keys.count(), 1);
        QTest::mouseClick(&e, Qt::LeftButton);
        QCOMPARE(mouse.count(), 1);

        // Undoing back to the loaded text is still a change by the user.
        e.editUndo();
        QCOMPARE(e.text(), QString("a.zip"));
        QCOMPARE(changed.last().at(0).toBool(), true);
        QVERIFY(e.editModified());

        // A record loaded: a change with the flag clear.
        t.post();
        t.next();
        QCOMPARE(changed.last().at(0).toBool(), false);

        // The program sets the whole text (the archive browse): written, flag clear.
        t.edit();
        e.setText("tools.zip");
        QCOMPARE(changed.last().at(0).toBool(), false);
        QCOMPARE(t.field(S::Archive).asString(), QString("tools.zip"));
        QVERIFY(!e.isUndoAvailable());
    }

    void clearAll_data() { typing_data(); }

    // Clear All sets the whole text: empty field, modified flag clear, no undo.
    void clearAll()
    {
        QFETCH(QString, kind);
        QFETCH(int, field);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "clear.db", m_sample);
        t.edit();
        t.field(S::Guide).setAsString("some guide");
        t.post();
        DataSource ds(&t);
        std::unique_ptr<QWidget> w(makeTextControl(kind, &ds, field));
        w->show();
        w->setFocus();
        QTest::keyClicks(w.get(), "more");
        auto *target = EditCommandTarget::forWidget(w.get());
        target->editClearAll();
        QCOMPARE(textOf(w.get()), QString());
        QVERIFY(t.field(field).isNull());
        QVERIFY(!target->editModified());
        QVERIFY(!target->editCanUndo());
    }

    void editCommandsOnFocusedPart()
    {
        DBComboBox combo;
        DBMemo memo;
        QLineEdit plain;
        QCOMPARE(EditCommandTarget::forWidget(combo.lineEdit()), static_cast<EditCommandTarget *>(&combo));
        QCOMPARE(EditCommandTarget::forWidget(memo.viewport()), static_cast<EditCommandTarget *>(&memo));
        QCOMPARE(EditCommandTarget::forWidget(&plain), nullptr);
        QCOMPARE(EditCommandTarget::forWidget(nullptr), nullptr);
    }

    void selectionAndCutPaste()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "cut.db", m_sample);
        DataSource ds(&t);
        DBEdit e;
        e.setDataSource(&ds);
        e.setFieldPos(S::Product);
        e.show();
        e.setFocus();
        e.editSelectAll();
        QCOMPARE(e.editSelectionLength(), 5);
        e.editCut();
        QCOMPARE(t.state(), DataSetState::Edit);
        QVERIFY(t.field(S::Product).isNull());
        e.editPaste();
        e.editPaste();
        QCOMPARE(t.field(S::Product).asString(), QString("AlphaAlpha"));
        QVERIFY(e.editModified());
    }

    // Typing into an empty catalogue starts a new record and keeps the keystroke,
    // although starting the record reloads every control.
    void typingIntoEmptyCatalogue()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "empty.db");
        DataSource ds(&t);
        DBEdit archive;
        archive.setDataSource(&ds);
        archive.setFieldPos(S::Archive);
        DBCheckBox d1;
        d1.setDataSource(&ds);
        d1.setFieldPos(S::D1);
        struct Defaults : CatalogueTableHandler {
            void afterInsert(CatalogueTable &table) override { table.field(S::D1).setAsBoolean(false); }
        } defaults;
        t.setHandler(&defaults);
        archive.show();
        archive.setFocus();
        QTest::keyClicks(&archive, "new.zip");
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(archive.text(), QString("new.zip"));
        QCOMPARE(t.field(S::Archive).asString(), QString("new.zip"));
        QCOMPARE(t.field(S::D1).asString(), QString("False"));
        QVERIFY(!d1.isChecked());
    }

    // The table's own writes show in the control; the control's writes do not
    // reload it (the cursor stays where the user types).
    void fieldChangedElsewhere()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "elsewhere.db", m_sample);
        DataSource ds(&t);
        DBEdit e;
        e.setDataSource(&ds);
        e.setFieldPos(S::Product);
        e.show();
        e.setFocus();
        e.setCursorPosition(2);
        QTest::keyClicks(&e, "X");
        QCOMPARE(e.text(), QString("AlXpha"));
        QCOMPARE(e.cursorPosition(), 3);
        t.field(S::Product).setAsString("Other");
        QCOMPARE(e.text(), QString("Other"));
        QVERIFY(!e.isModified());
    }

    void lengthLimit_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("size");
        QTest::newRow("edit") << "edit" << int(S::Origin) << 35;
        QTest::newRow("combo") << "combo" << int(S::Type) << 20;
    }

    // Typing stops at the field's size; a pasted or program-set text is kept whole
    // and refused when stored, naming the field. Nothing is cut without a word.
    void lengthLimit()
    {
        QFETCH(QString, kind);
        QFETCH(int, field);
        QFETCH(int, size);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "limit.db", m_sample);
        t.next(); // b.zip: empty Origin, Type "Tool"
        DataSource ds(&t);
        std::unique_ptr<QWidget> w(makeTextControl(kind, &ds, field));
        QLineEdit *edit = kind == "edit" ? static_cast<QLineEdit *>(w.get()) : static_cast<DBComboBox *>(w.get())->lineEdit();
        w->show();
        w->setFocus();
        edit->selectAll();
        QTest::keyClicks(w.get(), QString(size + 5, u'x'));
        QCOMPARE(edit->text(), QString(size, u'x'));
        QCOMPARE(t.field(field).asString(), QString(size, u'x'));
        // Editing keys still work at the limit.
        QTest::keyClick(w.get(), Qt::Key_Backspace);
        QTest::keyClicks(w.get(), "yz");
        QCOMPARE(edit->text(), QString(size - 1, u'x') + "y");

        const QString pasted = QString(size + 15, u'p');
        QGuiApplication::clipboard()->setText(pasted);
        edit->selectAll();
        EditCommandTarget::forWidget(w.get())->editPaste();
        QCOMPARE(edit->text(), pasted);
        QCOMPARE(t.field(field).asString(), pasted);
        try {
            t.post();
            QFAIL("an over-long text was stored");
        } catch (const EngineError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("'%1' is %2 characters long").arg(S::displayLabel(field)).arg(size + 15)),
                     qPrintable(e.message()));
        }
        QCOMPARE(edit->text(), pasted);
        t.cancel();
    }

    // A stored text longer than its field (another program wrote it) shows whole and
    // is stored unchanged when another field of the record is edited.
    void overLongStoredText()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "overlong.db", m_sample);
        const QString origin = QStringLiteral("http://www.example.org/a/very/long/path/to/a/product/page");
        QVERIFY(origin.size() > 35);
        t.close();
        {
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(m_dir.filePath("overlong.db")).constData(), &db);
            const QByteArray sql = "UPDATE catalogue SET Origin = '" + origin.toUtf8() + "' WHERE Archive = 'a.zip'";
            QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        t.open();
        DataSource ds(&t);
        DBEdit originBox;
        originBox.setDataSource(&ds);
        originBox.setFieldPos(S::Origin);
        DBEdit product;
        product.setDataSource(&ds);
        product.setFieldPos(S::Product);
        product.show();
        originBox.show();
        QCOMPARE(originBox.text(), origin);
        product.setFocus();
        QTest::keyClick(&product, Qt::Key_End);
        QTest::keyClicks(&product, "2");
        t.post();
        t.close();
        t.open();
        QCOMPARE(t.field(S::Product).asString(), QString("Alpha2"));
        QCOMPARE(t.field(S::Origin).asString(), origin);
        QCOMPARE(originBox.text(), origin);
    }

    // A memo that cannot be read while another program holds the catalogue locked
    // shows nothing and takes no typing, so nothing is typed over a text nobody has
    // seen; it says why, and the text is read again once the lock is gone.
    void memoUnreadableUnderLock()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "lockedmemo.db", m_sample);
        t.close();
        sqlite3 *other = nullptr;
        sqlite3_open(QFile::encodeName(m_dir.filePath("lockedmemo.db")).constData(), &other);
        QCOMPARE(sqlite3_exec(other, "UPDATE catalogue SET Guide = 'stored guide' WHERE Archive = 'b.zip'",
                              nullptr, nullptr, nullptr), SQLITE_OK);
        t.setLockTimeout(50);
        t.open();
        // The rows are read ahead; only the memo is read on the move.
        t.next();
        t.prior();
        DataSource ds(&t);
        DBMemo memo;
        memo.setDataSource(&ds);
        memo.setFieldPos(S::Guide);
        memo.show();
        QSignalSpy errors(&memo, &DBMemo::errorRaised);

        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        t.next(); // b.zip: its memo is read when shown
        QCOMPARE(memo.text(), QString());
        QVERIFY(memo.isReadOnly());
        QTRY_COMPARE(errors.count(), 1);
        QVERIFY2(errors.first().first().toString().contains("lock"), qPrintable(errors.first().first().toString()));
        memo.setFocus();
        QTest::keyClicks(&memo, "typed over");
        QCOMPARE(t.state(), DataSetState::Browse);

        QCOMPARE(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
        t.prior();
        t.next();
        QCOMPARE(memo.text(), QString("stored guide"));
        QVERIFY(!memo.isReadOnly());
        QTest::keyClick(&memo, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(&memo, ".");
        t.post();
        QCOMPARE(t.field(S::Guide).asString(), QString("stored guide."));
        QCOMPARE(errors.count(), 1);
    }

    void closedCatalogue()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "closed.db", m_sample);
        DataSource ds(&t);
        DBEdit e;
        e.setDataSource(&ds);
        e.setFieldPos(S::Archive);
        DBImage img;
        img.setDataSource(&ds);
        img.setFieldPos(S::OrigImg);
        QSignalSpy errors(&e, &DBEdit::errorRaised);
        QVERIFY(!e.isReadOnly());
        t.close();
        QCOMPARE(e.text(), QString());
        QVERIFY(e.isReadOnly());
        e.setText("x");
        QCOMPARE(e.text(), QString());
        QVERIFY(!img.setImage(QImage(32, 32, QImage::Format_RGB32)));
        QCOMPARE(errors.count(), 0);
        t.open();
        QCOMPARE(e.text(), QString("a.zip"));
        QVERIFY(!e.isReadOnly());
    }

    void checkBoxShowsFlag_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<bool>("checked");
        QTest::newRow("true") << 1 << true;
        QTest::newRow("false") << 2 << false;
        QTest::newRow("empty") << 3 << false;
    }

    void checkBoxShowsFlag()
    {
        QFETCH(int, record);
        QFETCH(bool, checked);
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "flags.db", m_sample);
        DataSource ds(&t);
        DBCheckBox box("   Delphi &1");
        box.setDataSource(&ds);
        box.setFieldPos(S::D1);
        t.setRecNo(record == 1 ? 2 : 1);
        QCOMPARE(box.isChecked(), record != 1);
        t.setRecNo(record);
        QCOMPARE(box.isChecked(), checked);
        QCOMPARE(box.checkState(), checked ? Qt::Checked : Qt::Unchecked);
    }

    void checkBoxStoresTrueFalse()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "flagwrite.db", m_sample);
        DataSource ds(&t);
        DBCheckBox box;
        box.setDataSource(&ds);
        box.setFieldPos(S::D1);
        box.show();
        t.setRecNo(3);      // the flag without a value
        QSignalSpy clicks(&box, &QCheckBox::clicked);
        QTest::mouseClick(&box, Qt::LeftButton, {}, box.rect().center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(t.state(), DataSetState::Edit);
        QCOMPARE(t.field(S::D1).asString(), QString("True"));
        QTest::keyClick(&box, Qt::Key_Space);
        QCOMPARE(t.field(S::D1).asString(), QString("False"));
        t.post();
        t.close();
        t.open();
        t.setRecNo(3);
        QCOMPARE(t.field(S::D1).value(), QVariant(false));
        QVERIFY(!box.isChecked());
    }

    void pickListSorted()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "pick.db", m_sample);
        DataSource ds(&t);
        DBComboBox box;
        box.setDataSource(&ds);
        box.setFieldPos(S::Type);
        QCOMPARE(box.text(), QString("Unit"));

        // Adding to an empty list must not put its first item into the text.
        QCOMPARE(box.addPickItem("Tool"), 0);
        QCOMPARE(box.text(), QString("Unit"));
        QCOMPARE(t.state(), DataSetState::Browse);
        box.addPickItem("application");
        box.addPickItem("Expert");
        box.addPickItem("component");
        QCOMPARE(box.addPickItem("Unit"), 4);
        QCOMPARE(box.pickItems(), (QStringList{"application", "component", "Expert", "Tool", "Unit"}));
        QCOMPARE(box.findPickItem("TOOL"), 3);
        QCOMPARE(box.findPickItem("TOOL", Qt::CaseSensitive), -1);

        box.setPickItems({"Zeta", "alpha", "Beta"});
        QCOMPARE(box.pickItems(), (QStringList{"alpha", "Beta", "Zeta"}));
        QCOMPARE(box.text(), QString("Unit"));
        box.clearPickItems();
        QCOMPARE(box.pickItems(), QStringList());
        QCOMPARE(box.text(), QString("Unit"));
        QCOMPARE(t.state(), DataSetState::Browse);
        QVERIFY(!box.isModified());
    }

    void pickingFromList()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "picking.db", m_sample);
        DataSource ds(&t);
        DBComboBox box;
        box.setDataSource(&ds);
        box.setFieldPos(S::Status);
        box.setPickItems({"In use", "Testing", "Discarded"});
        box.show();
        box.setFocus();
        QSignalSpy changed(&box, &DBComboBox::changed);
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(box.text(), box.itemText(box.currentIndex()));
        QCOMPARE(t.field(S::Status).asString(), box.text());
        QCOMPARE(t.state(), DataSetState::Edit);

        // Return adds nothing to the list; the owner extends it.
        QTest::keyClicks(box.lineEdit(), "x");
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.count(), 3);

        // Rows of the drop-down are 13 pixels high.
        QStyleOptionViewItem option;
        QCOMPARE(box.itemDelegate()->sizeHint(option, box.model()->index(0, 0)).height(), 13);
    }

    void imageRoundTrip()
    {
        CatalogueTable t;
        makeCatalogueAtFirst(t, m_dir, "image.db", m_sample);
        DataSource ds(&t);
        DBImage img;
        img.setDataSource(&ds);
        img.setFieldPos(S::OrigImg);
        QCOMPARE(img.size(), QSize(36, 36));
        QVERIFY(!img.hasImage());

        QImage picture(32, 32, QImage::Format_RGB32);
        picture.fill(QColor(0, 0, 128));
        picture.setPixelColor(3, 4, Qt::yellow);
        QVERIFY(img.setImage(picture));
        QCOMPARE(t.state(), DataSetState::Edit);
        QVERIFY(t.field(S::OrigImg).asBytes().startsWith("BM"));
        t.post();
        t.next();
        QVERIFY(!img.hasImage());
        t.prior();
        QVERIFY(img.hasImage());
        QCOMPARE(img.image().size(), QSize(32, 32));
        QCOMPARE(img.image().pixelColor(3, 4), QColor(Qt::yellow));

        // Shown centred on the button face inside the border.
        const QImage shot = img.grab().toImage();
        QCOMPARE(shot.pixelColor(2 + 3, 2 + 4), QColor(Qt::yellow));
        QCOMPARE(shot.pixelColor(2 + 10, 2 + 10), QColor(0, 0, 128));

        QVERIFY(img.setImage(QImage()));
        QVERIFY(t.field(S::OrigImg).isNull());
        QVERIFY(!img.hasImage());
    }
};

QTEST_MAIN(TstDbControls)
#include "tst_dbcontrols.moc"
