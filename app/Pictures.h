#pragma once
// Our own SVG drawings (pictures.qrc), rendered for the windows.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The drawing scaled in proportion to fit size and centred in it; the rest is transparent.
QPixmap RenderPicture(const QString& resource, QSize size);

// The drawing as it fits the box (width × height of the scaled picture, no margins).
QSize FittedSize(const QString& resource, QSize box);

// The windows' 32 × 32 icon.
QIcon WindowIcon();
