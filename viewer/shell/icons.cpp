// icons.cpp: rendering the SVG icons into pixmaps, so that no image plugin is needed at run time.
#include "shell/icons.hpp"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The icons are compiled into a static library, whose resource initialiser the linker drops
// unless something calls it.
static void initTessalyResources()
{
    Q_INIT_RESOURCE(tessaly);
}

namespace tessaly {

QIcon svgIcon(const QString& name)
{
    static const bool resourcesReady = (initTessalyResources(), true);
    (void)resourcesReady;
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (const int size : { 16, 20, 22, 24, 32, 48, 64, 128 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon appIcon()
{
    return svgIcon(QStringLiteral("tessaly"));
}

} // namespace tessaly
