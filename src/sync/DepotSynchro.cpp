#include "DepotSynchro.h"

#include "Base.h"
#include "DepotRappels.h"

namespace oxi {

DepotSynchro::DepotSynchro(Connexion &c) : connexion(c)
{
}

void DepotSynchro::PrepareTables()
{
    connexion.Execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS Synchro (Href TEXT PRIMARY KEY, Uid TEXT NOT NULL, NumRappel INTEGER NOT NULL, "
        "Etag TEXT, Empreinte TEXT, ChangeLocal TEXT)"));
    connexion.Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS SynchroEtat (Cle TEXT PRIMARY KEY, Valeur TEXT)"));
}

QMap<qint64, Contenu> DepotSynchro::LitRappels()
{
    QMap<qint64, Contenu> rappels;
    for (const RappelStocke &rappel : DepotRappels(connexion).Tous())
        rappels.insert(rappel.numRappel, ContenuDeRappel(rappel));
    return rappels;
}

qint64 DepotSynchro::AjouteRappel(const Contenu &c, const QDate &aujourdhui)
{
    return DepotRappels(connexion).Ajoute(RappelDeContenu(c, aujourdhui));
}

qint64 DepotSynchro::RemplaceRappel(qint64 numRappel, const Contenu &c, const QDate &aujourdhui)
{
    DepotRappels depot(connexion);
    const std::optional<RappelStocke> stocke = depot.Lit(numRappel);
    if (stocke && stocke->type == c.type) {
        depot.Modifie(RappelDeContenu(c, aujourdhui, numRappel));
        return numRappel;
    }
    // Another kind (or a row gone meanwhile): the row is written again under a new number.
    if (stocke && stocke->type)
        depot.Supprime(numRappel, *stocke->type);
    return depot.Ajoute(RappelDeContenu(c, aujourdhui));
}

void DepotSynchro::SupprimeRappel(qint64 numRappel)
{
    DepotRappels depot(connexion);
    const std::optional<RappelStocke> stocke = depot.Lit(numRappel);
    if (stocke && stocke->type)
        depot.Supprime(numRappel, *stocke->type);
}

QVector<LienObjet> DepotSynchro::LitLiens()
{
    const Resultat r =
        connexion.Requete(QStringLiteral("SELECT Uid, NumRappel, Href, Etag, Empreinte, ChangeLocal FROM Synchro"));
    QVector<LienObjet> liens;
    liens.reserve(r.Nombre());
    for (const auto &l : r.lignes)
        liens.append({l[0].toString(), l[1].toLongLong(), l[2].toString(), l[3].toString(), l[4].toString(),
                      QDateTime::fromString(l[5].toString(), Qt::ISODate)});
    return liens;
}

void DepotSynchro::EcritLien(const LienObjet &l)
{
    connexion.Execute(QStringLiteral("INSERT OR REPLACE INTO Synchro (Uid, NumRappel, Href, Etag, Empreinte, "
                                     "ChangeLocal) VALUES (?, ?, ?, ?, ?, ?)"),
                      {l.uid, l.numRappel, l.href, l.etag, l.empreinte,
                       l.changeLocal.isValid() ? QVariant(l.changeLocal.toUTC().toString(Qt::ISODate))
                                               : QVariant(QMetaType(QMetaType::QString))});
}

void DepotSynchro::SupprimeLien(const QString &href)
{
    connexion.Execute(QStringLiteral("DELETE FROM Synchro WHERE Href=?"), {href});
}

void DepotSynchro::OublieTout()
{
    connexion.Execute(QStringLiteral("DELETE FROM Synchro"));
    connexion.Execute(QStringLiteral("DELETE FROM SynchroEtat"));
}

QString DepotSynchro::LitEtat(const QString &cle)
{
    const Resultat r = connexion.Requete(QStringLiteral("SELECT Valeur FROM SynchroEtat WHERE Cle=?"), {cle});
    return r.Vide() ? QString() : r.Valeur(0, 0).toString();
}

void DepotSynchro::EcritEtat(const QString &cle, const QString &valeur)
{
    connexion.Execute(QStringLiteral("INSERT OR REPLACE INTO SynchroEtat (Cle, Valeur) VALUES (?, ?)"), {cle, valeur});
}

} // namespace oxi
