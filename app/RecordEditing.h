#pragma once

#include "app/BusyCursor.h"
#include "catalogue/CatalogueTable.h"

#include <QObject>
#include <optional>

class CatalogueSession;
class CommandState;
class DBComboBox;
class FileDialogs;
class PickList;
class QWidget;
struct MainForm;
struct ProgramSettings;

// Record editing on the record page: the table's event handlers, the handlers of the
// record page's controls, the pick-list extension of the Type and Status boxes, the
// edit commands, the archive browse and the Type rule for the palette images.
class RecordEditing : public QObject, private CatalogueTableHandler
{
public:
    struct Parts {
        QWidget &window; // parent of the boxes it shows
        CatalogueTable &table;
        CatalogueSession &session;
        MainForm &form;
        CommandState &commands;
        ProgramSettings &settings;
        FileDialogs &fileDialogs;
        PickList &typeList;
        PickList &statusList;
    };
    explicit RecordEditing(const Parts &parts);
    ~RecordEditing() override;

    // The table's events come here, and only here.
    void connectTable();
    // The record page's controls, the navigator's and the grid's errors, the edit commands.
    void connectControls();

    // Table events.
    void tblContentsNewRecord();
    void tblContentsAfterInsert();
    void tblContentsAfterPost();
    void tblContentsAfterCancel();
    void tblContentsAfterDelete();
    void tblContentsAfterScroll();
    void tblContentsBeforeDelete();
    void tblContentsPostError(const EngineError &error, DataAction &action);

    // Control events.
    void edtArchiveChange(bool modified, bool canUndo);
    void cbbTypeChange();
    void cbD1Click();
    void textKeyUp(int selectionLength);
    void edtArchiveMouseUp(int selectionLength);
    void cbbTypeExit();
    void cbbStatusExit();
    void sbBrowseClick();

    // Edit commands: each acts on the control that has the keyboard focus.
    void ItmUndoClick();
    void ItmCutClick();
    void ItmCopyClick();
    void ItmPasteClick();
    void ItmSelectAllClick();
    void ItmClearAllClick();

    // The image controls follow the Type box: enabled for "Component" exactly.
    void EnableImageControls();
    // An error a control met, reported once however many controls met it.
    void reportError(const QString &message);

private:
    // CatalogueTableHandler: the table's events, passed to the handlers above.
    void onNewRecord(CatalogueTable &) override { tblContentsNewRecord(); }
    void afterInsert(CatalogueTable &) override { tblContentsAfterInsert(); }
    void afterPost(CatalogueTable &) override { tblContentsAfterPost(); }
    void afterCancel(CatalogueTable &) override { tblContentsAfterCancel(); }
    void afterDelete(CatalogueTable &) override { tblContentsAfterDelete(); }
    void afterScroll(CatalogueTable &) override { tblContentsAfterScroll(); }
    void beforeDelete(CatalogueTable &) override { tblContentsBeforeDelete(); }
    void onPostError(CatalogueTable &, const EngineError &e, DataAction &action) override
    {
        tblContentsPostError(e, action);
    }
    // While another program's lock makes a store or a read wait, the user sees why
    // the window does not answer.
    void onLockWait(bool waiting) noexcept override;

    void extendPickList(DBComboBox *box, PickList &list);
    void setImageControlsEnabled(bool on);
    bool startEditing();

    Parts m_parts;
    CatalogueTable &m_table;
    MainForm &m_form;
    CommandState &m_commands;
    std::optional<BusyCursor> m_lockWaitCursor;
    QString m_reportShowing; // the control error whose box is open
};
