#include "app/CommandState.h"

#include "app/StatusPanels.h"
#include "catalogue/CatalogueTable.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>

namespace {
const QString ModifiedText = QStringLiteral("Modified");
}

CommandState::CommandState(CatalogueTable &table, Groups groups, StatusPanels &panels)
    : m_table(table),
      m_members{groups.save, groups.undo, groups.cutCopy, groups.paste, groups.selectAll},
      m_panels(panels)
{
    show(RecordPanel, QString(), 108);
    show(ModifiedPanel, ModifiedText, 49);
    show(HintPanel, QString(), 396);
    show(NamePanel, QStringLiteral("contents.db"), 41);
}

QString CommandState::recordPositionText(const QString &number, const QString &count)
{
    if (number.isEmpty() || count.isEmpty())
        return QString();
    // The whole count: cut to six digits, a million records would read as 100000.
    return QStringLiteral("Record ") + number + QStringLiteral(" of ") + count;
}

QString CommandState::shownTableName(const QString &name)
{
    qsizetype cut = -1;
    for (const QChar sep : {QChar(u'/'), QChar(u'\\'), QChar(u':')})
        cut = std::max(cut, name.lastIndexOf(sep));
    QString shown = name.mid(cut + 1);
    const qsizetype at = shown.toLower().indexOf(QLatin1String(".db"));
    if (at >= 0)
        shown.remove(at, 3);
    return shown;
}

void CommandState::ShowRecordNumber()
{
    QString number;
    QString count;
    if (m_table.active()) {
        if (m_table.bof() && m_table.eof()) {
            number = count = QStringLiteral("0");
        } else if (m_table.state() != DataSetState::Insert) {
            // A place not known yet is not shown as a number.
            if (m_table.placeKnown())
                number = QString::number(m_table.recNo());
            // A large catalogue is counted after it shows: the panel stays empty until then.
            const qint64 known = m_table.knownRecordCount();
            if (known >= 0)
                count = QString::number(known);
        }
    }
    const QString text = recordPositionText(number, count);
    show(RecordPanel, text, text.isEmpty() ? 100 : m_panels.textWidth(text) + 10);
    FitHintPanel();
}

void CommandState::ShowModified(bool modified)
{
    m_modified = modified;
    show(ModifiedPanel, modified ? ModifiedText : QString(), m_panels.textWidth(ModifiedText) + 10);
    FitHintPanel();
}

void CommandState::ShowTableName(const QString &name)
{
    const QString shown = shownTableName(name);
    show(NamePanel, shown, m_panels.textWidth(shown) + 10);
    FitHintPanel();
}

void CommandState::FitHintPanel()
{
    m_panels.setPanelWidth(HintPanel, m_panels.width() - m_panels.panelWidth(RecordPanel)
                                          - m_panels.panelWidth(ModifiedPanel) - m_panels.panelWidth(NamePanel));
}

void CommandState::ShowHintText(const QString &hint)
{
    m_texts[HintPanel] = hint;
    m_panels.setText(HintPanel, hint);
}

void CommandState::UpdatePaste()
{
    const QMimeData *data = m_clipboard ? m_clipboard->mimeData() : nullptr;
    EnablePaste(data && data->hasText());
}

void CommandState::RememberCommandStates()
{
    m_rememberedPaste = isEnabled(Group::Paste);
    m_rememberedCutCopy = isEnabled(Group::CutCopy);
    m_rememberedSelectAll = isEnabled(Group::SelectAll);
}

void CommandState::RestoreCommandStates()
{
    EnablePaste(m_rememberedPaste);
    EnableCutCopy(m_rememberedCutCopy);
    EnableSelectAll(m_rememberedSelectAll);
}

void CommandState::enable(Group group, bool on)
{
    m_enabled[size_t(group)] = on;
    for (QAction *member : m_members[size_t(group)])
        member->setEnabled(on);
}

void CommandState::show(Panel panel, const QString &text, int width)
{
    m_texts[size_t(panel)] = text;
    m_panels.setText(panel, text);
    m_panels.setPanelWidth(panel, width);
}
