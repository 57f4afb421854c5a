#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

// Saves a picture of a widget where the test run keeps its artefacts.
inline QString saveShot(QWidget &w, const QString &name)
{
#ifdef MOX_ARTIFACT_DIR
    QDir().mkpath(QStringLiteral(MOX_ARTIFACT_DIR));
    const QString path = QStringLiteral(MOX_ARTIFACT_DIR) + QLatin1Char('/') + name;
#else
    const QString path = QDir::temp().filePath(name);
#endif
    w.grab().save(path);
    return path;
}
