#pragma once
// Reminder contents the exchange suites pass around.
#include "Contenu.h"

// Born 10 March 1970, reminded on the day and a week before.
inline oxi::Contenu Anniv(const QString &libelle, bool fait = false)
{
    return {oxi::TypeRappel::Anniversaire, QDate(1970, 3, 10), libelle, {}, {{{true, 0, fait}, {true, 7, false}, {}}}};
}

// Due on 20 December 2026, reminded on the day.
inline oxi::Contenu Note(const QString &titre, const QString &texte)
{
    return {oxi::TypeRappel::Note, QDate(2026, 12, 20), titre, texte, {{{true, 0, false}, {}, {}}}};
}
