#pragma once
#include <QFont>
#include <QString>

namespace oxi {

// Maps the font names the windows were designed with onto the fonts Debian ships.
void InstallePolices();
// A font by its designed name and size in points.
QFont Police(const QString &famille, double points, bool gras = false, bool italique = false);

} // namespace oxi
