#pragma once

#include <QObject>

class CatalogueTable;
class PhraseList;
class QWidget;
struct MainForm;

// The standard phrases on the main window: the Phrases command, the "Standard
// phrases" submenu of the record page's memo menu, and inserting a phrase.
class PhraseCommands : public QObject
{
public:
    struct Parts {
        QWidget &window; // parent of the boxes it shows
        CatalogueTable &table;
        MainForm &form;
        PhraseList &phrases;
    };
    explicit PhraseCommands(const Parts &parts);

    void connectControls();
    // The Phrases dialog exists from here on: the command works.
    void connectDialog();

    void ItmPhrasesClick();
    // One item per phrase, in list order. Every phrase gets an item, however many.
    void buildPhraseMenu();
    // The submenu serves the two memos only, and only with phrases to offer.
    void mnuMemosPopup();
    // Inserts the phrase into the memo the menu was opened on, as typing would.
    void Itm_PhraseClick(const QString &phrase);

private:
    Parts m_parts;
};
