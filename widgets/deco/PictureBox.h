#pragma once

#include <QString>
#include <QWidget>

// Shows one of the program's named pictures at its drawn size, rendered for
// the screen the widget is on so that it stays sharp at any scaling.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(const QString &pictureName, QWidget *parent = nullptr);

    QString pictureName() const { return m_name; }
    QSize sizeHint() const override;

signals:
    void doubleClicked(Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString m_name;
    QSize m_designSize;
};
