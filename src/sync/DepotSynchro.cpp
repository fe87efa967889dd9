#include "DepotSynchro.h"

#include "Base.h"

namespace oxi {

namespace {

constexpr int MoitieTexte = 255;

QVariant TexteOuNull(const QString &texte)
{
    return texte.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(texte);
}

} // namespace

DepotSynchro::DepotSynchro(Connexion &c) : connexion(c) {}

void DepotSynchro::PrepareTables()
{
    connexion.Execute(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS Synchro (Href TEXT PRIMARY KEY, Uid TEXT NOT NULL, NumRappel INTEGER NOT NULL, "
        "Etag TEXT, Empreinte TEXT, ChangeLocal TEXT)"));
    connexion.Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS SynchroEtat (Cle TEXT PRIMARY KEY, Valeur TEXT)"));
}

QMap<qint64, Contenu> DepotSynchro::LitRappels()
{
    const Resultat r = connexion.Requete(QStringLiteral(
        "SELECT r.NumRappel, r.Type, r.DateRappel, r.Libelle, r.Ech1, r.EtatEch1, r.Ech2, r.EtatEch2, r.Ech3, "
        "r.EtatEch3, n.Libelle1, n.Libelle2 FROM Rappel r LEFT JOIN Notes n ON n.NumNote = r.NumRappel"));
    QMap<qint64, Contenu> rappels;
    for (const auto &l : r.lignes) {
        Echeances e;
        for (int k = 1; k <= 3; ++k)
            e[k] = {LitDate(l[2 + 2 * k]), l[3 + 2 * k].toInt() != 0};
        const QString type = l[1].toString();
        rappels.insert(l[0].toLongLong(),
                       ContenuDeRappel(type.isEmpty() ? QChar() : type.at(0), LitDate(l[2]), l[3].toString(), e,
                                       l[10].toString() + l[11].toString()));
    }
    return rappels;
}

qint64 DepotSynchro::AjouteRappel(const Contenu &c, const QDate &aujourdhui)
{
    const qint64 numero = connexion
                              .Requete(QStringLiteral("SELECT max(coalesce((SELECT max(NumRappel) FROM Rappel), 0), "
                                                      "coalesce((SELECT max(NumNote) FROM Notes), 0)) + 1"))
                              .Valeur(0, 0)
                              .toLongLong();
    connexion.Execute(QStringLiteral("INSERT INTO Rappel (NumRappel, DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, "
                                     "EtatEch2, Ech3, EtatEch3) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      QVariantList{numero, TexteDate(c.dateRappel), QString(c.type), c.libelle}
                          + EcheancesDeContenu(c, aujourdhui).Parametres());
    if (c.type == QLatin1Char('N'))
        connexion.Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1, Libelle2) VALUES (?, ?, ?)"),
                          {numero, TexteOuNull(c.texte.left(MoitieTexte)), TexteOuNull(c.texte.mid(MoitieTexte))});
    return numero;
}

void DepotSynchro::RemplaceRappel(qint64 numRappel, const Contenu &c, const QDate &aujourdhui)
{
    connexion.Execute(QStringLiteral("UPDATE Rappel SET DateRappel=?, Type=?, Libelle=?, Ech1=?, EtatEch1=?, Ech2=?, "
                                     "EtatEch2=?, Ech3=?, EtatEch3=? WHERE NumRappel=?"),
                      QVariantList{TexteDate(c.dateRappel), QString(c.type), c.libelle}
                          + EcheancesDeContenu(c, aujourdhui).Parametres() + QVariantList{numRappel});
    connexion.Execute(QStringLiteral("DELETE FROM Notes WHERE NumNote=?"), {numRappel});
    if (c.type == QLatin1Char('N'))
        connexion.Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1, Libelle2) VALUES (?, ?, ?)"),
                          {numRappel, TexteOuNull(c.texte.left(MoitieTexte)), TexteOuNull(c.texte.mid(MoitieTexte))});
}

void DepotSynchro::SupprimeRappel(qint64 numRappel)
{
    connexion.Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel=?"), {numRappel});
    connexion.Execute(QStringLiteral("DELETE FROM Notes WHERE NumNote=?"), {numRappel});
}

QVector<LienObjet> DepotSynchro::LitLiens()
{
    const Resultat r = connexion.Requete(
        QStringLiteral("SELECT Uid, NumRappel, Href, Etag, Empreinte, ChangeLocal FROM Synchro"));
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
