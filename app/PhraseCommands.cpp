#include "app/PhraseCommands.h"

#include "app/ErrorReport.h"
#include "app/MainForm.h"
#include "catalogue/CatalogueTable.h"
#include "settings/SortedTextList.h"
#include "settings/ui/MOXPhrases.h"
#include "widgets/data/DBMemo.h"

#include <QAction>
#include <QMenu>
#include <QTextCursor>

namespace {

// A phrase shows as it is: "&" is no mnemonic, and a tab would start a shortcut text.
QString menuCaption(const QString &phrase)
{
    QString caption = phrase;
    caption.replace(u'&', QStringLiteral("&&"));
    caption.replace(u'\t', u' ');
    return caption;
}

} // namespace

PhraseCommands::PhraseCommands(const Parts &parts) : m_parts(parts) {}

void PhraseCommands::connectControls()
{
    MainForm &f = m_parts.form;
    connect(f.ItmPhrases, &QAction::triggered, this, [this] { ItmPhrasesClick(); });
    connect(f.mnuMemos, &QMenu::aboutToShow, this, [this] { mnuMemosPopup(); });
    connect(f.Itm_Phrases, &QMenu::triggered, this, [this](QAction *item) {
        Itm_PhraseClick(item->data().toString());
    });
}

void PhraseCommands::connectDialog()
{
    MainForm &f = m_parts.form;
    if (!f.frmPhrases)
        return;
    connect(f.frmPhrases, &TfrmPhrases::phrasesChanged, this, [this] { buildPhraseMenu(); });
    f.ItmPhrases->setEnabled(true);
}

void PhraseCommands::ItmPhrasesClick()
{
    if (m_parts.form.frmPhrases)
        m_parts.form.frmPhrases->exec();
}

void PhraseCommands::buildPhraseMenu()
{
    QMenu *menu = m_parts.form.Itm_Phrases;
    menu->clear();
    for (const QString &phrase : m_parts.phrases.items()) {
        if (phrase.isEmpty())
            continue;
        QAction *item = menu->addAction(menuCaption(phrase));
        item->setData(phrase);
    }
}

void PhraseCommands::mnuMemosPopup()
{
    MainForm &f = m_parts.form;
    const QWidget *on = f.popupComponent;
    const bool memo = on && (on == f.memGuide || on == f.memComments);
    f.Itm_Phrases->menuAction()->setEnabled(memo && !f.Itm_Phrases->isEmpty());
}

void PhraseCommands::Itm_PhraseClick(const QString &phrase)
{
    MainForm &f = m_parts.form;
    DBMemo *memo = qobject_cast<DBMemo *>(f.popupComponent);
    if (!memo || (memo != f.memGuide && memo != f.memComments))
        return;
    // An empty catalogue starts a record here, and the memo shows it before the insert.
    if (!ErrorReport::guarded(&m_parts.window, [this] { m_parts.table.edit(); }))
        return;
    memo->setFocus(Qt::OtherFocusReason);
    if (memo->isReadOnly())
        return;
    QTextCursor cursor = memo->textCursor();
    cursor.insertText(phrase);
    memo->setTextCursor(cursor);
}
