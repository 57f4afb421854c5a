#pragma once

#include <QObject>

class CatalogueTable;
class CommandState;
class QWidget;
class RecordEditing;
struct MainForm;
struct ProgramSettings;

// The two views, the grid page and the record page, and the switch between them:
// the record being edited is written first, and a record that cannot be written
// keeps the record page. Sorting by a grid column title lives here too.
class ViewSwitch : public QObject
{
public:
    struct Parts {
        QWidget &window;
        CatalogueTable &table;
        MainForm &form;
        CommandState &commands;
        ProgramSettings &settings;
        RecordEditing &editing;
    };
    explicit ViewSwitch(const Parts &parts);

    void connectControls();

    void ItmGridClick();
    void ItmRecordClick();
    // Shows page 0 (grid) or 1 (record); the page change runs the switch.
    void showPage(int page);
    void grdContentsTitleBtnClick(int column, int fieldPos);

private:
    void nbContentsPageChanged(int page);
    void commitForViewSwitch();

    Parts m_parts;
    int m_lastPage = 1; // the page before the current one (for a failed switch)
    bool m_revertingPage = false;
};
