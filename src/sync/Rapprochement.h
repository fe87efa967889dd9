#pragma once
#include "ConversionIcs.h"
#include "DepotSynchro.h"

#include <QHash>
#include <QSet>

// The decisions of one exchange, from what each side holds: no network,
// no storage, so that every case can be tried in a table.
namespace oxi {

struct ObjetDistant
{
    QString etag;
    ObjetLu evenement;
};

struct EntreeRapprochement
{
    QMap<qint64, Contenu> locaux;
    QVector<LienObjet> liens;
    QHash<QString, ObjetDistant> modifies; // by href: new or changed since the last exchange
    QSet<QString> supprimes;               // hrefs gone from the server
    QString collection;                    // path of the calendar, ending with "/"
    QDate aujourdhui;
    QDateTime maintenant;
};

struct OperationLocale
{
    enum Genre { Ajoute, Remplace, Supprime } genre = Ajoute;
    Contenu contenu;
    LienObjet lien; // written after the row (Ajoute fills its number); for Supprime, the link dropped
};

struct Envoi
{
    LienObjet lien; // etag empty: a new object (If-None-Match), else If-Match
    Contenu contenu;
    QDateTime modifie;
};

struct PlanRapprochement
{
    QVector<OperationLocale> locales;
    QVector<Contenu> conflits;       // the versions that lost, kept as notes
    QVector<LienObjet> liensAEcrire; // links that change without any write of a row
    QVector<LienObjet> liensASupprimer;
    QVector<Envoi> envois;
    QVector<LienObjet> effacements; // DELETE with If-Match
    int illisibles = 0;
};

PlanRapprochement Rapproche(const EntreeRapprochement &entree);

// The content as the row stores it once written today (past cases done).
Contenu ContenuStocke(const Contenu &contenu, const QDate &aujourdhui);
// The note that keeps a version which lost a conflict.
Contenu NoteConflit(const Contenu &perdant, bool venaitDuServeur, const QDate &aujourdhui);
// A calendar object name: the uid when made of safe characters, else a fresh one.
QString HrefPour(const QString &collection, const QString &uid);
// The UID given to a reminder first sent from here.
QString UidParDefaut(qint64 numRappel);

} // namespace oxi
