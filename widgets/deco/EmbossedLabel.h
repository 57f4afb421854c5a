#pragma once

#include <QColor>
#include <QLabel>

class QPainter;

// A label whose text stands out of or sinks into the surface: the face colour
// drawn over a highlight offset up-left and a shadow offset down-right.
class EmbossedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit EmbossedLabel(const QString &text, QWidget *parent = nullptr);

    void setColors(const QColor &face, const QColor &highlight, const QColor &shadow);
    QColor faceColor() const { return m_face; }

    // Shared with other decorative pieces that draw such lettering themselves.
    static void paintRaised(QPainter &painter, const QRect &rect, int flags, const QString &text,
                            const QColor &face, const QColor &highlight, const QColor &shadow);

    // "Times New Roman" at the given pixel height, falling back to the
    // platform's serif faces where it is not installed.
    static QFont serifFont(int pixelHeight);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_face{192, 192, 192};
    QColor m_highlight{Qt::white};
    QColor m_shadow{Qt::black};
};
