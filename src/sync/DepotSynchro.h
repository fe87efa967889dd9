#pragma once
#include "Contenu.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QVector>

// The one place where the exchange reads and writes reminders (through the
// stored reminders' repository) and its own state. Its two tables sit beside the program's five and are created when
// missing; a restore drops them, so that the next exchange merges instead
// of deleting what the backup lacks.
namespace oxi {

class Connexion;

// What was last exchanged for one calendar object.
struct LienObjet
{
    QString uid;
    qint64 numRappel = 0; // 0: an object of the server that is not a reminder
    QString href;
    QString etag;
    QString empreinte;     // of the content last exchanged
    QDateTime changeLocal; // when a local change was first seen; invalid when none
};

class DepotSynchro
{
public:
    explicit DepotSynchro(Connexion &connexion);

    void PrepareTables();
    // Every stored reminder, by NumRappel.
    QMap<qint64, Contenu> LitRappels();
    qint64 AjouteRappel(const Contenu &contenu, const QDate &aujourdhui);
    // The number the reminder has afterwards: a new one when its kind changed.
    qint64 RemplaceRappel(qint64 numRappel, const Contenu &contenu, const QDate &aujourdhui);
    void SupprimeRappel(qint64 numRappel);

    QVector<LienObjet> LitLiens();
    void EcritLien(const LienObjet &lien);
    void SupprimeLien(const QString &href);
    void OublieTout();

    QString LitEtat(const QString &cle);
    void EcritEtat(const QString &cle, const QString &valeur);

    Connexion &connexion;
};

} // namespace oxi
