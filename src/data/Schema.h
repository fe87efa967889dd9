#pragma once
#include <QStringList>

// The tables of the database file. Rappel and Notes hold the user's data;
// Fetes, Dictons and Mois are reference tables filled by the builder tool.
namespace oxi {

inline const QString SchemaRappel =
    QStringLiteral("CREATE TABLE Rappel (NumRappel INTEGER PRIMARY KEY, DateRappel TEXT NOT NULL, Type TEXT NOT NULL, "
                   "Libelle TEXT NOT NULL, Ech1 TEXT NOT NULL, EtatEch1 INTEGER NOT NULL DEFAULT 0, "
                   "Ech2 TEXT NOT NULL, EtatEch2 INTEGER NOT NULL DEFAULT 0, "
                   "Ech3 TEXT NOT NULL, EtatEch3 INTEGER NOT NULL DEFAULT 0)");
inline const QString SchemaNotes =
    QStringLiteral("CREATE TABLE Notes (NumNote INTEGER PRIMARY KEY, Libelle1 TEXT, Libelle2 TEXT)");
inline const QString SchemaFetes =
    QStringLiteral("CREATE TABLE Fetes (Jour INTEGER PRIMARY KEY, mois1 TEXT, mois2 TEXT, mois3 TEXT, mois4 TEXT, "
                   "mois5 TEXT, mois6 TEXT, mois7 TEXT, mois8 TEXT, mois9 TEXT, mois10 TEXT, mois11 TEXT, mois12 TEXT)");
inline const QString SchemaDictons = QStringLiteral(
    "CREATE TABLE Dictons (NumJour INTEGER NOT NULL, Mois TEXT NOT NULL, lib1 TEXT, lib2 TEXT, lib3 TEXT, lib4 TEXT, "
    "PRIMARY KEY (NumJour, Mois))");
inline const QString SchemaMois =
    QStringLiteral("CREATE TABLE Mois (mois1 TEXT, mois2 TEXT, mois3 TEXT, mois4 TEXT, mois5 TEXT, mois6 TEXT, "
                   "mois7 TEXT, mois8 TEXT, mois9 TEXT, mois10 TEXT, mois11 TEXT, mois12 TEXT)");

// Column name of a month in the reference tables: "mois1" ... "mois12".
inline QString ColonneMois(int mois)
{
    return QStringLiteral("mois") + QString::number(mois);
}

} // namespace oxi
