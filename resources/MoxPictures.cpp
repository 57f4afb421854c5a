#include "resources/MoxPictures.h"

#include <QDir>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

QString picturePath(const QString &name)
{
    return QStringLiteral(":/pictures/%1.svg").arg(name);
}

struct PixmapKey
{
    QString name;
    QSize size;
    qreal dpr;

    bool operator==(const PixmapKey &other) const = default;
};

size_t qHash(const PixmapKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.size.width(), key.size.height(), key.dpr);
}

// Owned by the GUI thread; pictures are small and few, so nothing is evicted.
QHash<PixmapKey, QPixmap> &pixmapCache()
{
    static QHash<PixmapKey, QPixmap> cache;
    return cache;
}

} // namespace

QStringList moxPictureNames()
{
    QStringList names;
    const QStringList files = QDir(QStringLiteral(":/pictures")).entryList({QStringLiteral("*.svg")},
                                                                          QDir::Files, QDir::Name);
    for (const QString &file : files)
        names.append(file.chopped(4));
    return names;
}

QSize moxPictureSize(const QString &name)
{
    QSvgRenderer renderer(picturePath(name));
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QPixmap moxPixmap(const QString &name, QSize designSize, qreal dpr)
{
    if (dpr <= 0)
        dpr = 1.0;
    const PixmapKey key{name, designSize, dpr};
    auto &cache = pixmapCache();
    if (const auto it = cache.constFind(key); it != cache.cend())
        return *it;

    QSvgRenderer renderer(picturePath(name));
    if (!renderer.isValid())
        return {};
    const QSize logical = designSize.isEmpty() ? renderer.defaultSize() : designSize;
    // Round rather than truncate so that 17 x 1.5 still covers the whole picture.
    QImage image(qRound(logical.width() * dpr), qRound(logical.height() * dpr),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    cache.insert(key, pixmap);
    return pixmap;
}

QIcon moxIcon(const QString &name)
{
    // The SVG icon engine (shipped with Qt SVG) renders at each requested size and ratio.
    return QIcon(picturePath(name));
}

QCursor moxCaptureCursor(qreal dpr)
{
    return QCursor(moxPixmap(QStringLiteral("CURSOR_2"), QSize(32, 32), dpr), 0, 0);
}
