#pragma once
#include "ImageBouton.h"

namespace oxi {

class PanneauTransfert : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauTransfert(QWidget *parent);
};

} // namespace oxi
