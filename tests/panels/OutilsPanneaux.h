#pragma once
// Reminder rows written and read straight from the test database.
#include "Base.h"
#include "Constantes.h"

inline int Compte(const QString &sql, const QVariantList &parametres = {})
{
    return oxi::Base().Requete(sql, parametres).Valeur(0, 0).toInt();
}

// One column of a stored reminder row, as text.
inline QString Champ(int num, const char *colonne)
{
    const oxi::Resultat r = oxi::Base().Requete("SELECT * FROM Rappel WHERE NumRappel=?", {num});
    return r.Vide() ? QString() : r.Valeur(0, QString::fromLatin1(colonne)).toString();
}

// The next number; a note gets its text row.
inline int Insere(const QString &type, const QString &libelle, const QDate &date, const QDate &ech2 = oxi::DateNulle)
{
    const int num = Compte("SELECT IFNULL(MAX(NumRappel), 0) + 1 FROM Rappel");
    oxi::Base().Execute("INSERT INTO Rappel (NumRappel, DateRappel, Type, Libelle, Ech1, Ech2, EtatEch2, Ech3, EtatEch3) "
                        "VALUES (?, ?, ?, ?, '1800-01-01', ?, 1, '1800-01-01', 1)",
                        {num, oxi::TexteDate(date), type, libelle, oxi::TexteDate(ech2)});
    if (type == "N")
        oxi::Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'texte')", {num});
    return num;
}
