#include "widgets/data/DBNavigator.h"

#include "catalogue/CatalogueTable.h"
#include "catalogue/DataSource.h"
#include "resources/MoxPictures.h"
#include "widgets/data/DataSourceLink.h"
#include "widgets/data/TableAction.h"
#include "widgets/Hint.h"

#include <QEvent>
#include <QToolButton>

namespace {

constexpr const char *DefaultHints[DBNavigator::ButtonCount] = {
    "First|Show the first record.",
    "Prior|Show the prior record.",
    "Next|Show the next record.",
    "Last|Show the last record.",
    "Insert|Insert a new record.",
    "Delete|Delete the selected record.",
    "Edit|Edit the selected record.",
    "Commit|Commit all changes made to the selected record.",
    "Cancel|Cancel all changes made to the selected record.",
};

constexpr const char *GlyphNames[DBNavigator::ButtonCount] = {
    "nav-first", "nav-prior", "nav-next", "nav-last", "nav-insert",
    "nav-delete", "nav-edit", "nav-post", "nav-cancel",
};

} // namespace

DBNavigator::DBNavigator(QWidget *parent) : QWidget(parent), m_source(new DataSourceLink(this))
{
    connect(m_source, &DataSourceLink::activeChanged, this, &DBNavigator::updateButtons);
    connect(m_source, &DataSourceLink::stateChanged, this, &DBNavigator::updateButtons);
    connect(m_source, &DataSourceLink::recordChanged, this, &DBNavigator::updateButtons);
    connect(m_source, &DataSourceLink::dataSetChanged, this, &DBNavigator::updateButtons);
    for (int i = 0; i < ButtonCount; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("navButton_%1").arg(QLatin1String(GlyphNames[i] + 4)));
        b->setIcon(moxIcon(QLatin1String(GlyphNames[i])));
        b->setIconSize(QSize(16, 16));
        // A click must leave the focus in the control being edited.
        b->setFocusPolicy(Qt::TabFocus);
        m_buttons[size_t(i)] = b;
        setHint(Button(i), QLatin1String(DefaultHints[i]));
        connect(b, &QToolButton::clicked, this, [this, i] { run(Button(i)); });
    }
    resize(DesignWidth, DesignHeight);
    layoutButtons();
    updateButtons();
}

void DBNavigator::setDataSource(DataSource *source)
{
    if (m_source->setDataSource(source))
        updateButtons();
}

DataSource *DBNavigator::dataSource() const
{
    return m_source->dataSource();
}

QString DBNavigator::hint(Button which) const
{
    return m_hints[size_t(which)];
}

void DBNavigator::setHint(Button which, const QString &hint)
{
    m_hints[size_t(which)] = hint;
    QToolButton *b = m_buttons[size_t(which)];
    b->setToolTip(Hint::shortPart(hint));
    b->setAccessibleName(Hint::shortPart(hint));
    b->setAccessibleDescription(Hint::longPart(hint));
    b->setStatusTip(Hint::longPart(hint));
    b->setProperty("hint", hint);
}

void DBNavigator::run(Button which)
{
    CatalogueTable *t = m_source->table();
    if (!t)
        return;
    QString message;
    tryTableAction([&] {
        switch (which) {
        case First: t->first(); break;
        case Prior: t->prior(); break;
        case Next: t->next(); break;
        case Last: t->last(); break;
        case Insert: t->insert(); break;
        case Delete: t->remove(); break;
        case Edit: t->edit(); break;
        case Post: t->post(); break;
        case Cancel: t->cancel(); break;
        case ButtonCount: break;
        }
    }, message);
    // A refused post leaves no notification behind; show the state as it is.
    updateButtons();
    if (!message.isEmpty())
        emit errorRaised(message);
    emit clicked(which);
}

// First and Prior need a record before this one, Next and Last one after it; the
// editing buttons follow the state. Insert and Delete stay usable while a record
// is being edited, since the record view always edits the current record.
void DBNavigator::updateButtons()
{
    const CatalogueTable *t = m_source->table();
    const bool active = isEnabled() && t && t->active();
    const bool editing = active && (t->state() == DataSetState::Edit || t->state() == DataSetState::Insert);
    const bool up = active && !t->bof();
    const bool down = active && !t->eof();
    const bool empty = active && t->bof() && t->eof();

    m_buttons[First]->setEnabled(up);
    m_buttons[Prior]->setEnabled(up);
    m_buttons[Next]->setEnabled(down);
    m_buttons[Last]->setEnabled(down);
    // A read-only catalogue is refused at the post, with its reason.
    m_buttons[Insert]->setEnabled(active);
    m_buttons[Delete]->setEnabled(active && !empty);
    m_buttons[Edit]->setEnabled(active && !editing);
    m_buttons[Post]->setEnabled(editing);
    m_buttons[Cancel]->setEnabled(editing);
}

void DBNavigator::layoutButtons()
{
    const int w = width() / ButtonCount;
    const int x0 = (width() - w * ButtonCount) / 2;
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[size_t(i)]->setGeometry(x0 + i * w, 0, w, height());
}

void DBNavigator::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

void DBNavigator::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
}
