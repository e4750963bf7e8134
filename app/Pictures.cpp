#include "Pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

QSize FittedSize(const QString& resource, QSize box)
{
    QSvgRenderer renderer(resource);
    return renderer.defaultSize().scaled(box, Qt::KeepAspectRatio);
}

QPixmap RenderPicture(const QString& resource, QSize size)
{
    const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon WindowIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48})
        icon.addPixmap(RenderPicture(QStringLiteral(":/pictures/icon.svg"), QSize(side, side)));
    return icon;
}
