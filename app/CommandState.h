#pragma once

#include <QList>
#include <QString>
#include <array>

class CatalogueTable;
class QAction;
class QClipboard;
class StatusPanels;

// The main window's command state: the five command groups, the command states
// remembered while the grid shows, and the texts of the status bar's panels. All of
// it is held here as data; the menu items and the status bar show it. Every change
// goes through these operations.
class CommandState
{
public:
    enum Panel { RecordPanel = 0, ModifiedPanel = 1, HintPanel = 2, NamePanel = 3 };
    enum class Group { Save, Undo, CutCopy, Paste, SelectAll };

    // The members of each group; a tool button follows the menu item it runs.
    struct Groups {
        QList<QAction *> save, undo, cutCopy, paste, selectAll;
    };

    // The panels get their design-time state: "Modified" and "contents.db" showing
    // until start-up replaces them.
    CommandState(CatalogueTable &table, Groups groups, StatusPanels &panels);

    // Panel 0: "Record n of count" while a stored record is current, "Record 0 of 0"
    // on an empty catalogue, nothing while inserting or closed.
    void ShowRecordNumber();
    void ShowModified(bool modified);
    // Whether the modified indicator shows. The decisions to post read the table's
    // own state instead (CatalogueSession::recordChanged).
    bool IsModified() const { return m_modified; }
    void ShowTableName(const QString &name);
    void FitHintPanel();
    void ShowHintText(const QString &hint);
    // What a panel shows.
    QString panelText(Panel panel) const { return m_texts[size_t(panel)]; }

    void EnableSave(bool on) { enable(Group::Save, on); }
    void EnableUndo(bool on) { enable(Group::Undo, on); }
    void EnableCutCopy(bool on) { enable(Group::CutCopy, on); }
    void EnablePaste(bool on) { enable(Group::Paste, on); }
    void EnableSelectAll(bool on) { enable(Group::SelectAll, on); }
    bool isEnabled(Group group) const { return m_enabled[size_t(group)]; }

    // Paste follows whether the clipboard holds text.
    void setClipboard(const QClipboard *clipboard) { m_clipboard = clipboard; }
    void UpdatePaste();
    // The states of Paste, Cut/Copy and Select All/Clear All, kept while the grid
    // view shows and given back when the record view returns.
    void RememberCommandStates();
    void RestoreCommandStates();

    // The record position as panel 0 words it; empty when either part is unknown.
    // The count is cut after its sixth character.
    static QString recordPositionText(const QString &number, const QString &count);
    // A catalogue's name as panel 3 shows it: without its folder and without the
    // first ".db" found in it, whatever its case.
    static QString shownTableName(const QString &name);

private:
    void enable(Group group, bool on);
    void show(Panel panel, const QString &text, int width);

    CatalogueTable &m_table;
    std::array<QList<QAction *>, 5> m_members;
    StatusPanels &m_panels;
    const QClipboard *m_clipboard = nullptr;
    // Every group starts enabled, as the window is built.
    std::array<bool, 5> m_enabled{true, true, true, true, true};
    std::array<QString, 4> m_texts;
    bool m_modified = true;
    bool m_rememberedPaste = false;
    bool m_rememberedCutCopy = false;
    bool m_rememberedSelectAll = false;
};
