#pragma once

#include <QColor>
#include <QPushButton>

// A decorative button: its caption in raised silver serif lettering on a
// vertical gradient. It is built disabled and paints the same either way, so
// it never looks greyed out.
class GradientButton : public QPushButton
{
    Q_OBJECT

public:
    explicit GradientButton(const QString &text, QWidget *parent = nullptr);

    void setGradient(const QColor &top, const QColor &bottom);
    QColor topColor() const { return m_top; }
    QColor bottomColor() const { return m_bottom; }
    QColor letterColor() const { return m_letters; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_top{0, 0, 160};
    QColor m_bottom{0, 0, 32};
    QColor m_letters{192, 192, 192};
};
