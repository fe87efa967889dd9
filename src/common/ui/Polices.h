#pragma once
#include <QFont>
#include <QString>

namespace oxi {

// Maps the Windows font names of the windows onto the fonts Debian ships.
void InstallePolices();
// A font by its Windows name and size in points.
QFont Police(const QString &famille, double points, bool gras = false, bool italique = false);

} // namespace oxi
