// icons.hpp: the program's icons, drawn from the SVG files compiled into the resources.
#pragma once

#include <QIcon>
#include <QString>

namespace tessaly {

// An icon from ":/icons/<name>.svg", rendered at the usual sizes.
QIcon svgIcon(const QString& name);
// The application icon.
QIcon appIcon();

} // namespace tessaly
