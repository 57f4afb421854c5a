#include "app/StatusPanels.h"

#include <QLabel>

namespace {
const char *const PanelNames[] = {"Record position", "Modified indicator", "Hint", "Catalogue name"};
}

StatusPanels::StatusPanels(QWidget *parent) : QFrame(parent)
{
    setAccessibleName(QStringLiteral("Status bar"));
    for (int i = 0; i < PanelCount; ++i) {
        auto *panel = new QLabel(this);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setIndent(2);
        panel->setTextFormat(Qt::PlainText);
        panel->setAccessibleName(QString::fromLatin1(PanelNames[i]));
        m_panels[size_t(i)] = panel;
    }
}

QString StatusPanels::text(int panel) const
{
    return m_panels[size_t(panel)]->text();
}

void StatusPanels::setText(int panel, const QString &text)
{
    QLabel *label = m_panels[size_t(panel)];
    label->setText(text);
    // Assistive technology reads the panel's name with its text.
    label->setAccessibleDescription(text);
}

void StatusPanels::setPanelWidth(int panel, int width)
{
    m_widths[size_t(panel)] = width;
    layoutPanels();
}

int StatusPanels::textWidth(const QString &text) const
{
    return m_panels[0]->fontMetrics().horizontalAdvance(text);
}

void StatusPanels::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutPanels();
}

void StatusPanels::layoutPanels()
{
    int x = 0;
    for (int i = 0; i < PanelCount; ++i) {
        const int w = std::max(0, m_widths[size_t(i)]);
        m_panels[size_t(i)]->setGeometry(x, 0, w, height());
        m_panels[size_t(i)]->setVisible(w > 0);
        x += w;
    }
}
