#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace mb::qt {

/// The application's pictures, by the names the windows use ("new", "about", "108"...).
/// They are drawn as SVG and carried in the program's resources.
QIcon appIcon(const QString& name);
QPixmap appPixmap(const QString& name, int size);

} // namespace mb::qt
