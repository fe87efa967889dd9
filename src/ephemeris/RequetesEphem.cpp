#include "RequetesEphem.h"
#include "Base.h"
#include "Constantes.h"
#include "Schema.h"

#include <optional>

namespace oxi {

QString LibelleDate(const QDate &jour)
{
    QString semaine = NomJour(jour.dayOfWeek());
    if (!semaine.isEmpty())
        semaine[0] = semaine.at(0).toUpper();
    return semaine + QLatin1Char(' ') + QString::number(jour.day()) + QLatin1Char(' ') + NomMois(jour.month());
}

QString JoinsNomsDuJour(const QString &cellule)
{
    const QStringList parts = cellule.split(QLatin1Char(' '));
    QString noms;
    for (int i = 0; i < parts.size(); ++i) {
        if (i != 0 && !noms.isEmpty())
            noms += QStringLiteral(", ") + parts.at(i);
        else
            noms = parts.at(i);
    }
    return noms;
}

QString JoinsNomsDemain(const QString &cellule)
{
    return cellule.split(QLatin1Char(' ')).join(QStringLiteral(", "));
}

QString NettoieNoms(const QString &noms)
{
    QString texte = noms;
    texte.replace(QLatin1Char('#'), QLatin1Char(' '));
    texte = texte.trimmed();
    if (texte.endsWith(QLatin1Char(',')))
        texte.chop(1);
    return texte;
}

namespace {

// The cell of one day, or no value when the table has no row for it.
std::optional<QString> CelluleFetes(const QDate &jour)
{
    const Resultat resultat =
        OuvreRecordset(QStringLiteral("SELECT %1 FROM Fetes WHERE Jour=?").arg(ColonneMois(jour.month())), {jour.day()});
    if (resultat.Vide())
        return std::nullopt;
    const QVariant valeur = resultat.Valeur(0, 0);
    if (valeur.isNull())
        throw ErreurBase(QStringLiteral("Fetes: cellule vide"));
    return valeur.toString();
}

} // namespace

NomsDuJour LitNomsDuJour(const QDate &jour)
{
    NomsDuJour resultat;
    const std::optional<QString> cellule = CelluleFetes(jour);
    if (!cellule)
        return resultat;
    resultat.trouve = true;
    resultat.noms = NettoieNoms(JoinsNomsDuJour(*cellule));
    resultat.parts = static_cast<int>(cellule->count(QLatin1Char(' '))) + 1;
    return resultat;
}

NomsDuJour LitNomsDemain(const QDate &aujourdhui)
{
    NomsDuJour resultat;
    const std::optional<QString> cellule = CelluleFetes(aujourdhui.addDays(1));
    if (!cellule)
        return resultat;
    resultat.trouve = true;
    resultat.noms = NettoieNoms(JoinsNomsDemain(*cellule));
    resultat.parts = static_cast<int>(cellule->count(QLatin1Char(' '))) + 1;
    return resultat;
}

DictonDuJour FormeDicton(const QString &lib1, const QString &lib2, const QString &lib3, const QString &lib4)
{
    DictonDuJour dicton;
    dicton.trouve = true;
    const QString blanc = QStringLiteral(" ");
    // Only an empty column counts as missing: blanks are text.
    if (lib2.isEmpty()) {
        dicton.dictons = 1;
        dicton.texte = lib1;
    } else if (lib3.isEmpty()) {
        dicton.dictons = 1;
        dicton.texte = lib1 + blanc + lib2;
    } else {
        dicton.dictons = 2;
        dicton.texte = lib1 + blanc + lib2 + blanc + lib3;
        if (!lib4.isEmpty())
            dicton.texte += blanc + lib4;
    }
    return dicton;
}

DictonDuJour LitDicton(const QDate &jour)
{
    try {
        const Resultat resultat =
            OuvreRecordset(QStringLiteral("SELECT lib1, lib2, lib3, lib4 FROM Dictons WHERE NumJour=? AND Mois=?"),
                           {jour.day(), ColonneMois(jour.month())});
        if (resultat.Vide())
            return {};
        return FormeDicton(LitChamp(resultat.Valeur(0, 0)), LitChamp(resultat.Valeur(0, 1)), LitChamp(resultat.Valeur(0, 2)),
                           LitChamp(resultat.Valeur(0, 3)));
    } catch (const ErreurBase &) {
        return {};
    }
}

QStringList LitFaitsDuMois(int mois)
{
    QStringList faits(6);
    try {
        // Rowid order is the stored order, which gives each row its meaning.
        const Resultat resultat = OuvreRecordset(QStringLiteral("SELECT %1 FROM Mois ORDER BY rowid").arg(ColonneMois(mois)));
        for (int i = 0; i < faits.size() && i < resultat.Nombre(); ++i)
            faits[i] = LitChamp(resultat.Valeur(i, 0));
    } catch (const ErreurBase &) {
    }
    return faits;
}

} // namespace oxi
