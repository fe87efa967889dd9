#pragma once

#include "Base.h"
#include "Constantes.h"
#include "DepotRappels.h"
#include "TablesRappels.h"

// Reminder rows written straight into the test database and read back.
namespace oxi {

inline Echeances Slots(QDate d1, bool f1, QDate d2 = DateNulle, bool f2 = true, QDate d3 = DateNulle, bool f3 = true)
{
    return Echeances{{{{d1, f1}, {d2, f2}, {d3, f3}}}};
}

// Raw, so that a test can also store what the program never writes.
inline qint64 Ajoute(const QString &type, const QString &libelle, const QVariant &dateRappel, const Echeances &e)
{
    QVariantList valeurs{dateRappel.typeId() == QMetaType::QDate ? TexteDate(dateRappel.toDate()) : dateRappel, type, libelle};
    for (const Echeance &s : e.ech)
        valeurs << TexteDate(s.date) << (s.fait ? 1 : 0);
    Base().Execute("INSERT INTO Rappel VALUES (NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?)", valeurs);
    return Base().Requete("SELECT max(NumRappel) FROM Rappel").Valeur(0, 0).toLongLong();
}

// The reminder numbers of a list, in its order.
inline QList<qint64> Numeros(const Tableau &t)
{
    QList<qint64> numeros;
    for (const LigneTableau &l : t.lignes)
        numeros << l.numRappel;
    return numeros;
}

inline Echeances Lit(qint64 numero)
{
    return DepotRappels().Lit(numero).value_or(RappelStocke{}).echeances;
}

inline int Compte(const QString &sql, const QVariantList &parametres = {})
{
    return Base().Requete(sql, parametres).Valeur(0, 0).toInt();
}

// One column of a stored reminder row, as text.
inline QString Champ(qint64 num, const char *colonne)
{
    const Resultat r = Base().Requete("SELECT * FROM Rappel WHERE NumRappel=?", {num});
    return r.Vide() ? QString() : r.Valeur(0, colonne).toString();
}

// The next number, the event day unused, a lead time at `ech2` already done; a note gets its text row.
inline int Insere(const QString &type, const QString &libelle, const QDate &date, const QDate &ech2 = DateNulle)
{
    const int num = int(Ajoute(type, libelle, date, Slots(DateNulle, false, ech2)));
    if (type == "N")
        Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'texte')", {num});
    return num;
}

} // namespace oxi
