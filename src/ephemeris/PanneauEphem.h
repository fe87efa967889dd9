#pragma once
#include "ImageBouton.h"

namespace oxi {

// The ephemeris settings panel of the main window (fraEphem).
class PanneauEphem : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauEphem(QWidget *parent);
};

} // namespace oxi
