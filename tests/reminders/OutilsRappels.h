#pragma once

#include "Base.h"
#include "Echeances.h"

// Reminder rows written straight into the test database and read back.
namespace oxi {

inline Echeances Slots(QDate d1, bool f1, QDate d2 = DateNulle, bool f2 = true, QDate d3 = DateNulle, bool f3 = true)
{
    return Echeances{{{{d1, f1}, {d2, f2}, {d3, f3}}}};
}

inline int Ajoute(const QString &type, const QString &libelle, const QDate &dateRappel, const Echeances &e)
{
    Base().Execute(QStringLiteral("INSERT INTO Rappel (DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, EtatEch2, "
                                  "Ech3, EtatEch3) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   QVariantList{TexteDate(dateRappel), type, libelle} + e.Parametres());
    return Base().Requete(QStringLiteral("SELECT max(NumRappel) FROM Rappel")).Valeur(0, 0).toInt();
}

inline Echeances Lit(int numero)
{
    return LitEcheances(Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel = ?"), {numero}), 0);
}

} // namespace oxi
