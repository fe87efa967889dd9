#include "Rappels.h"

#include "Modifications.h"

#include "Constantes.h"
#include "Messagerie.h"

namespace oxi {

QVector<RappelDu> TabRappels;

bool EstDu(const Echeances &e, const QDate &aujourdhui)
{
    if (e[1].date == aujourdhui)
        return true;
    for (int k = 1; k <= 3; ++k)
        if (e[k].date <= aujourdhui && e[k].date != DateNulle && !e[k].fait)
            return true;
    return false;
}

QVector<int> RappelsDus(const QDate &aujourdhui)
{
    // Same condition as EstDu; ISO dates compare as text.
    const Resultat r = OuvreRecordset(
        QStringLiteral("SELECT NumRappel FROM Rappel WHERE Ech1 = ?1 "
                       "OR (Ech1 < ?1 AND Ech1 <> ?2 AND EtatEch1 = 0) "
                       "OR (Ech2 = ?1 AND EtatEch2 = 0) "
                       "OR (Ech2 < ?1 AND Ech2 <> ?2 AND EtatEch2 = 0) "
                       "OR (Ech3 = ?1 AND EtatEch3 = 0) "
                       "OR (Ech3 < ?1 AND Ech3 <> ?2 AND EtatEch3 = 0) "
                       "ORDER BY NumRappel"),
        {TexteDate(aujourdhui), TexteDate(DateNulle)});
    QVector<int> numeros;
    numeros.reserve(r.Nombre());
    for (int i = 0; i < r.Nombre(); ++i)
        numeros << r.Valeur(i, 0).toInt();
    return numeros;
}

bool ListeRappelsDus()
{
    const QVector<int> numeros = RappelsDus();
    if (numeros.isEmpty())
        return false;
    QVector<RappelDu> table;
    for (int numero : numeros)
        table << RappelDu{0, numero};
    TabRappels = table;
    return true;
}

int CompteRappelsNonAffiches()
{
    int n = 0;
    for (const RappelDu &r : TabRappels)
        if (r.affiche == 0)
            ++n;
    return n;
}

int RappelSuivant()
{
    for (const RappelDu &r : TabRappels)
        if (r.affiche == 0)
            return r.numRappel;
    return 0;
}

Resultat ChargeRappelSuivant()
{
    return OuvreRecordset(QStringLiteral("SELECT Rappel.*, Notes.* FROM Rappel LEFT JOIN Notes "
                                         "ON Rappel.NumRappel = Notes.NumNote WHERE Rappel.NumRappel = ?"),
                          {RappelSuivant()});
}

void ValideRappel()
{
    int numero = 0;
    for (RappelDu &r : TabRappels) {
        if (r.affiche == 0) {
            r.affiche = 1;
            numero = r.numRappel;
            break;
        }
    }
    if (numero == 0)
        return;
    try {
        const Resultat r = OuvreRecordset(
            QStringLiteral("SELECT Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3 FROM Rappel WHERE NumRappel = ?"),
            {numero});
        if (r.Vide())
            throw ErreurBase(QStringLiteral("rappel introuvable"));
        Echeances e = LitEcheances(r, 0);
        const QDate aujourdhui = Aujourdhui();
        for (int k = 3; k >= 1; --k)
            if (!e[k].fait && e[k].date <= aujourdhui)
                e[k].fait = true;
        Base().Execute(QStringLiteral("UPDATE Rappel SET EtatEch1 = ?, EtatEch2 = ?, EtatEch3 = ? WHERE NumRappel = ?"),
                       {e[1].fait ? 1 : 0, e[2].fait ? 1 : 0, e[3].fait ? 1 : 0, numero});
        SignaleModification();
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de la mise à jour des données. "));
    }
}

} // namespace oxi
