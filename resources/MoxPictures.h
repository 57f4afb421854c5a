#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

// The program's own pictures, drawn as SVG and kept in the resource system, so
// they stay sharp at any scaling. Callers name a picture ("CHECKED", "save",
// "nav-first", ...); moxPictureNames() lists them all.

// Every picture name in the resources, sorted.
QStringList moxPictureNames();

// The size a picture was drawn for, in device-independent pixels; an empty
// size for an unknown name.
QSize moxPictureSize(const QString &name);

// The picture rendered at designSize (its own size when empty) for a screen
// of device pixel ratio dpr. Each (name, size, ratio) is rendered once and
// then served from a cache, so callers may ask for it on every paint. An
// unknown name gives a null pixmap.
QPixmap moxPixmap(const QString &name, QSize designSize = {}, qreal dpr = 1.0);

// An icon that renders the picture at whatever size and ratio a button asks
// for, including the greyed disabled form.
QIcon moxIcon(const QString &name);

// The capture cursor "CURSOR_2": a 32 x 32 outline of the square a click
// captures, hot spot at its top-left corner.
QCursor moxCaptureCursor(qreal dpr = 1.0);
