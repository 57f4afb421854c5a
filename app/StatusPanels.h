#pragma once

#include <QFrame>
#include <array>

class QLabel;

// The four-panel status bar: record position, modified indicator, hint and
// catalogue name. Widths are set by the caller; a negative width shows as zero.
class StatusPanels : public QFrame
{
    Q_OBJECT
public:
    static constexpr int PanelCount = 4;
    explicit StatusPanels(QWidget *parent = nullptr);

    QString text(int panel) const;
    void setText(int panel, const QString &text);
    int panelWidth(int panel) const { return m_widths[size_t(panel)]; }
    void setPanelWidth(int panel, int width);
    // The width of a text in the status bar's own font.
    int textWidth(const QString &text) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutPanels();

    std::array<QLabel *, PanelCount> m_panels{};
    std::array<int, PanelCount> m_widths{};
};
