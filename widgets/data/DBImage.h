#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>

class DataSource;
class FieldDataLink;

// Image box bound to a graphic field holding one Windows bitmap (BMP bytes). It
// shows the picture centred on the button-face colour inside a sunken border and
// can put a new picture into the record.
class DBImage : public QFrame
{
    Q_OBJECT
public:
    static constexpr int BoxSize = 36;

    explicit DBImage(QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    void setFieldPos(int pos);
    int fieldPos() const;

    // The picture shown: the field's bitmap, or a null image when it holds none or
    // bytes that are no picture.
    QImage image() const { return m_image; }
    bool hasImage() const { return !m_image.isNull(); }
    QByteArray imageBytes() const;

    // Stores the picture as BMP bytes into the record being edited (starting to
    // edit it); a null image empties the field. False when the record refused it.
    bool setImage(const QImage &image);

    static QByteArray toBmp(const QImage &image);

    QSize sizeHint() const override { return {BoxSize, BoxSize}; }

signals:
    void doubleClicked();
    void errorRaised(const QString &message);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void load();

    FieldDataLink *m_link;
    QImage m_image;
    QPixmap m_pixmap;
};
