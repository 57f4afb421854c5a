// While another program holds the catalogue locked, the program waits with the
// window showing and the busy cursor on, and goes on when the lock is gone.

#include "tests/app/MainWindowFixture.h"

#include "tests/common/CatalogueFixture.h"
#include "widgets/data/DBEdit.h"
#include "widgets/data/DBNavigator.h"

#include <QScopeGuard>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <future>
#include <sqlite3.h>
#include <thread>

namespace S = CatalogueSchema;

namespace {

// The window's own handling of the table's events, with every lock wait also told to
// `watch` once the window has answered it.
class WatchedLockWaits : public CatalogueTableHandler
{
public:
    WatchedLockWaits(CatalogueTableHandler &window, std::function<void(bool)> watch)
        : m_window(window), m_watch(std::move(watch)) {}

    void afterOpen(CatalogueTable &t) override { m_window.afterOpen(t); }
    void onNewRecord(CatalogueTable &t) override { m_window.onNewRecord(t); }
    void afterInsert(CatalogueTable &t) override { m_window.afterInsert(t); }
    void afterEdit(CatalogueTable &t) override { m_window.afterEdit(t); }
    void afterPost(CatalogueTable &t) override { m_window.afterPost(t); }
    void afterCancel(CatalogueTable &t) override { m_window.afterCancel(t); }
    void afterDelete(CatalogueTable &t) override { m_window.afterDelete(t); }
    void afterScroll(CatalogueTable &t) override { m_window.afterScroll(t); }
    void beforeDelete(CatalogueTable &t) override { m_window.beforeDelete(t); }
    void onPostError(CatalogueTable &t, const EngineError &e, DataAction &a) override { m_window.onPostError(t, e, a); }
    void onLockWait(bool waiting) noexcept override
    {
        m_window.onLockWait(waiting);
        m_watch(waiting);
    }

private:
    CatalogueTableHandler &m_window;
    std::function<void(bool)> m_watch;
};

// Another program that holds the catalogue locked for a while, from its own thread.
class LockHolder
{
public:
    LockHolder(const QString &path, std::chrono::milliseconds hold)
    {
        std::promise<bool> locked;
        std::future<bool> ready = locked.get_future();
        m_thread = std::thread([path = QFile::encodeName(path), hold, locked = std::move(locked)]() mutable {
            sqlite3 *db = nullptr;
            sqlite3_open(path.constData(), &db);
            const bool ok = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
            locked.set_value(ok);
            std::this_thread::sleep_for(hold);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
        m_locked = ready.get();
    }
    ~LockHolder() { m_thread.join(); }
    bool locked() const { return m_locked; }

private:
    std::thread m_thread;
    bool m_locked = false;
};

// Notes what the user could see when the window first showed.
class ShowWatcher : public QObject
{
public:
    ShowWatcher(TfrmMain &window) : m_window(window) { window.installEventFilter(this); }
    bool shown = false;
    bool catalogueOpenAtShow = false;
    Qt::CursorShape cursorAtShow = Qt::ArrowCursor;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show && !shown) {
            shown = true;
            catalogueOpenAtShow = table(m_window).active();
            if (const QCursor *c = QApplication::overrideCursor())
                cursorAtShow = c->shape();
        }
        return false;
    }

private:
    TfrmMain &m_window;
};


} // namespace

class TstLockWaits : public QObject
{
    Q_OBJECT

private slots:
    void startShowsTheWindowBeforeWaiting()
    {
        MainWindowFixture f;
        fixture::makeCatalogueFile(f.folder(), "contents.db", {{"a.zip", "Alpha", "Unit", "In use", ""}});
        f.writeIni("[View]\nGrid=0\n");
        f.window = std::make_unique<TfrmMain>(f.folder(), &f.dialogs);
        f.window->setShowStartupMessages(false);
        ShowWatcher watcher(*f.window);
        {
            const LockHolder other(f.dir.filePath("contents.db"), std::chrono::milliseconds(1500));
            QVERIFY(other.locked());
            f.window->FormCreate();
        }
        QVERIFY(watcher.shown);
        QVERIFY2(!watcher.catalogueOpenAtShow, "the window showed only once the lock was gone");
        QCOMPARE(watcher.cursorAtShow, Qt::WaitCursor);
        QVERIFY(table(*f.window).active());
        QVERIFY(f.window->startupMessages().isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(f.window->findChild<DBEdit *>("edtProduct")->text(), QString("Alpha"));
    }

    void storeWaitsWithTheBusyCursor()
    {
        MainWindowFixture f;
        fixture::makeCatalogueFile(f.folder(), "contents.db", {{"a.zip", "Alpha", "Unit", "In use", ""}});
        f.writeIni("[View]\nGrid=0\n");
        TfrmMain &w = f.start();
        QList<bool> waits;
        QList<Qt::CursorShape> cursors;
        CatalogueTableHandler *const shown = table(w).handler();
        WatchedLockWaits watched(*shown, [&](bool waiting) {
            waits << waiting;
            const QCursor *c = QApplication::overrideCursor();
            cursors << (c ? c->shape() : Qt::ArrowCursor);
        });
        table(w).setHandler(&watched);
        const auto restore = qScopeGuard([&] { table(w).setHandler(shown); });
        auto *origin = w.findChild<DBEdit *>("edtOrigin");
        origin->setFocus();
        QTest::keyClicks(origin, "www.a.org");
        {
            const LockHolder other(f.dir.filePath("contents.db"), std::chrono::milliseconds(800));
            QVERIFY(other.locked());
            QTest::mouseClick(w.findChild<DBNavigator *>("navContents")->button(DBNavigator::Post), Qt::LeftButton);
        }
        QCOMPARE(waits, (QList<bool>{true, false}));
        QCOMPARE(cursors.first(), Qt::WaitCursor);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(table(w).field(S::Origin).asString(), QString("www.a.org"));
        const fixture::RawDb db(f.dir.filePath("contents.db"));
        QCOMPARE(db.rows("SELECT Origin FROM catalogue"), QStringList{"www.a.org"});
    }
};

QTEST_MAIN(TstLockWaits)
#include "tst_lock_waits.moc"
