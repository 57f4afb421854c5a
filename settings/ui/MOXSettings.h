#pragma once

#include <QDialog>
#include <memory>

class DefinitionList;
class PickList;
class TfrmInvalidPath;
class TfrmSelectDir;
struct ProgramSettings;

namespace Ui {
class TfrmSettings;
}

// The Settings dialog: the type and status definitions, the path options with one
// folder per file task, and three more flags. Every show fills it from memory, so
// Cancel needs no undo; only a folder committed in the Directory edit takes effect
// at once. Save writes the rest into memory; the settings file is written at exit.
class TfrmSettings : public QDialog
{
    Q_OBJECT
public:
    // types and statuses are the record page's pick lists; programFolder stands in
    // for an empty folder.
    TfrmSettings(QWidget *mainWindow, ProgramSettings &settings, PickList &types, PickList &statuses,
                 const QString &programFolder);
    ~TfrmSettings() override;

    // The notice and the directory chooser are made after this dialog.
    void setPathDialogs(TfrmInvalidPath *invalidPath, TfrmSelectDir *selectDir);

signals:
    // Save has replaced the pick lists.
    void definitionsSaved();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void cbbPathDefsClick();
    void edtPathsExit();
    void sbBrowseClick();
    void cbStartWithPathsClick();
    void btnOKClick();
    // A refused folder keeps the focus; the click that tried to take it is dropped.
    void refuseLeaving();

    std::unique_ptr<Ui::TfrmSettings> ui;
    QWidget *m_mainWindow;
    ProgramSettings &m_settings;
    PickList &m_types;
    PickList &m_statuses;
    QString m_programFolder;
    TfrmInvalidPath *m_invalidPath = nullptr;
    TfrmSelectDir *m_selectDir = nullptr;
    DefinitionList *m_typeDefs = nullptr;
    DefinitionList *m_statusDefs = nullptr;
    int m_boundTask = -1;
    bool m_leaveRefused = false;
    bool m_filling = false;
};
