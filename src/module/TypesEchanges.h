#pragma once
#include <QDate>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

// What crosses between the program and its exchange module: read contact
// cards, the plan of an import, the settings and outcome of an exchange.
// Plain values, no libical nor Qt Network here.
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

// What an import of contacts will do, worked out before anything is written.
struct PlanImport
{
    QVector<FicheContact> aAjouter; // new birthdays, in file order
    QStringList fetes;              // first names whose name day can be added ("Jean Marie" as shown)
    QVector<QDate> datesFetes;      // their name day this year
    int dejaPresents = 0;
    int sansDate = 0;
    int illisibles = 0;
};

// "3 anniversaires ajoutés, 1 déjà présent, 2 contacts sans date de naissance, 0 fiche illisible"
QString TexteBilan(const PlanImport &plan);

struct ParametresSynchro
{
    QString adresse;
    QString utilisateur;
    QString calendrier;
    QString motDePasse;
};

struct BilanSynchro
{
    bool reussi = false;
    QString message; // in French, for the user
    int recus = 0, envoyes = 0, conflits = 0, illisibles = 0, enAttente = 0;
};

} // namespace oxi

Q_DECLARE_METATYPE(oxi::BilanSynchro)
