#pragma once
// A transfer panel in its 450×250 place on a fresh test database, on 5 December 2026.
#include "Horloge.h"
#include "OutilsTest.h"
#include "PanneauTransfert.h"

template <class Messages = oxi::MessagerieScriptee> struct BancTransfert
{
    struct Jour
    {
        Jour() { oxi::FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0))); }
        ~Jour() { oxi::RetablitHorloge(); }
    };
    BancTransfert()
    {
        fenetre.resize(450, 250);
        fenetre.show();
    }
    // Shown and reset, as the main window opens it.
    void Ouvre()
    {
        panneau->show();
        panneau->Initialise();
    }
    Messages messages;
    oxi::EnvironnementTest env;
    Jour jour;
    QWidget fenetre;
    oxi::PanneauTransfert *panneau = new oxi::PanneauTransfert(&fenetre);
};
