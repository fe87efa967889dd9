#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

// Birthdays read from contact files (vCard 2.1, 3.0 and 4.0) as address books
// and phones write them. No database here.
namespace oxi {

enum class EtatFiche {
    Anniversaire, // a name and a birth day
    SansDate,     // no birthday given
    Illisible,    // broken card, unreadable birthday, or a birthday without a name
};

struct FicheContact
{
    EtatFiche etat = EtatFiche::Illisible;
    QString nom;    // family name from N, else the whole FN
    QString prenom; // given name from N
    int annee = 0;  // AnneeInconnue when the card gives no year
    int mois = 0;
    int jour = 0;
};

// Every card of a file, in order. A file without any card gives nothing.
QVector<FicheContact> LitFichesContacts(const QByteArray &contenu);

} // namespace oxi
