// Builds the shipped database file from the reference tables in data/:
//   construit_base <data folder> <DBOxi.dtb>
#include "Base.h"
#include "Constantes.h"
#include "ContexteDonnees.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

using namespace oxi;

namespace {

QVector<QStringList> LitTsv(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ErreurBase(QStringLiteral("lecture impossible : ") + chemin);
    QTextStream flux(&fichier);
    flux.setEncoding(QStringConverter::Utf8);
    QVector<QStringList> lignes;
    flux.readLine(); // header
    while (!flux.atEnd()) {
        const QString ligne = flux.readLine();
        if (!ligne.isEmpty())
            lignes << ligne.split(QLatin1Char('\t'));
    }
    return lignes;
}

QString Marques(int n)
{
    QStringList marques;
    for (int i = 0; i < n; ++i)
        marques << QStringLiteral("?");
    return marques.join(QLatin1Char(','));
}

void Remplit(Connexion &base, const QString &table, const QVector<QStringList> &lignes, int premiereColonne, int nbColonnes)
{
    const QString sql = QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, Marques(nbColonnes));
    for (const QStringList &ligne : lignes) {
        QVariantList valeurs;
        for (int i = 0; i < nbColonnes; ++i)
            valeurs << ligne.value(premiereColonne + i);
        base.Execute(sql, valeurs);
    }
}

} // namespace

int main(int argc, char **argv)
{
    oxi::ContexteDonnees contexte;
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: construit_base <dossier data> <fichier .dtb>\n");
        return 2;
    }
    const QString dossier = args.at(1) + QLatin1Char('/');
    const QString cible = args.at(2);
    const QString temporaire = cible + QStringLiteral(".tmp");
    QFile::remove(temporaire);
    try {
        Connexion base;
        QString erreur;
        if (!base.Cree(temporaire, CleBase, &erreur))
            throw ErreurBase(erreur);
        Transaction transaction(base);
        for (const QString &schema : {SchemaRappel, SchemaNotes, SchemaFetes, SchemaDictons, SchemaMois})
            base.Execute(schema);
        Remplit(base, QStringLiteral("Fetes"), LitTsv(dossier + QStringLiteral("fetes.tsv")), 0, 13);
        Remplit(base, QStringLiteral("Dictons"), LitTsv(dossier + QStringLiteral("dictons.tsv")), 0, 6);
        // The first column of mois.tsv only names the fact.
        Remplit(base, QStringLiteral("Mois"), LitTsv(dossier + QStringLiteral("mois.tsv")), 1, 12);
        transaction.Valide();
        base.Ferme();
    } catch (const ErreurBase &e) {
        std::fprintf(stderr, "construit_base: %s\n", e.what());
        QFile::remove(temporaire);
        return 1;
    }
    QFile::remove(cible);
    if (!QFile::rename(temporaire, cible)) {
        std::fprintf(stderr, "construit_base: renommage impossible\n");
        return 1;
    }
    return 0;
}
