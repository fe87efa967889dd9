#pragma once
#include "Messagerie.h"
#include "Modifications.h"
#include "Plateforme.h"

#include <QString>

namespace oxi {

// What the whole process shares: the program's folder and database name, the
// region, the clock's offset, the notice of changes and the seams to the desktop.
// One object, made first thing by main() (a test's main too) and registered the
// way QCoreApplication registers itself; the free functions (Aujourdhui(),
// CheminBase(), MsgInfo(), PlateformeCourante()...) read it, so that nothing
// else keeps state of its own. The data layer adds its part in ContexteDonnees.
class Contexte
{
public:
    virtual ~Contexte();
    // The registered object; a program that made none stops here.
    static Contexte &Courant();

    QString cheminAppli; // empty until first asked for
    QString nomBase;
    QString codeRegion = QStringLiteral("E");
    int premierJour = 2;
    qint64 decalageHorlogeMs = 0;
    int resolutionFixee = 0; // a test's screen resolution; 0 reads the screen
    Modifications modifications;
    PlateformeLinux plateformeLinux;
    Plateforme *plateforme = &plateformeLinux;
    MessagerieConsole console;
    Messagerie *messagerie = &console;

protected:
    Contexte();
};

} // namespace oxi
