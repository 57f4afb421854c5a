#include "images/BitmapFile.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

QString writeBitmapFile(const QImage &image, const QString &path)
{
    const auto failed = [&path](const QString &reason) {
        return QStringLiteral("Cannot write the bitmap file %1: %2").arg(QDir::toNativeSeparators(path), reason);
    };
    if (image.isNull())
        return failed(QStringLiteral("there is no picture"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image)) {
        file.cancelWriting();
        return failed(writer.errorString());
    }
    if (!file.commit())
        return failed(file.errorString());
    return QString();
}
