#pragma once

#include <QImage>
#include <QString>

// Writes `image` to `path` as a Windows bitmap (BMP) file. The file is replaced only
// once the new one is complete. Returns an empty text on success, otherwise the
// reason, naming the file.
QString writeBitmapFile(const QImage &image, const QString &path);
