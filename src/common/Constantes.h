#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

// Facts of the program shared by every layer, each stated once.
namespace oxi {

inline const QString TitreAppli = QStringLiteral("Oxi");
inline const QString CleBase = QStringLiteral("kzwq7351");
inline const QString NomBaseDefaut = QStringLiteral("DBOxi.dtb");
inline const QString NomBaseCompactee = QStringLiteral("DBC.dtb");
inline const QString NomAide = QStringLiteral("HelpOxi.html");

// The no-date value of an unused due-date slot.
inline const QDate DateNulle{1800, 1, 1};
// DateRappel year of a birthday whose year of birth is unknown.
constexpr int AnneeInconnue = 1850;

// " Aucune" then "1 jour av", "2 jours av" ... "31 jours av": the 32 lead-time items.
QStringList ItemsDelai();
// Reads an item or a typed text: the first two characters trimmed; 0 for " Aucune" or no number.
int LitDelai(const QString &item);

// "janvier" ... "décembre", index 1 to 12.
QString NomMois(int mois);
// "lundi" ... "dimanche" for Qt's day of week 1 to 7.
QString NomJour(int jourSemaine);

} // namespace oxi
