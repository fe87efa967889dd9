// Load figures of the data paths at 100, 1,000 and 10,000 reminders: the
// connection with its check of the file, the due scan, the yearly re-arming, each list's fill and sort, a backup, a restore.
// Prints one line per figure: "<reminders> <what> <median ms> <runs>".
// With --ligne-commande <reference> <folder>: writes there a database of 10,000
// reminders with lead times and the same reminders for Debian's remind (rappels.rem).
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "ContexteDonnees.h"
#include "DepotRappels.h"
#include "Generateur.h"
#include "Horloge.h"
#include "Rearmement.h"
#include "Reglages.h"
#include "Sauvegarde.h"
#include "TablesRappels.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace oxi;

namespace {

double Mediane(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    const int n = int(v.size());
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// `preparation` runs before each measured run, outside the measure.
void Mesure(int nombre, const char *quoi, int essais, const std::function<void()> &action,
            const std::function<void()> &preparation = {})
{
    QVector<double> durees;
    for (int i = 0; i < essais; ++i) {
        if (preparation)
            preparation();
        QElapsedTimer chrono;
        chrono.start();
        action();
        durees << chrono.nsecsElapsed() / 1e6;
    }
    std::printf("%d\t%s\t%.2f\t%d\n", nombre, quoi, Mediane(durees), essais);
    std::fflush(stdout);
}

const char *const MoisRemind[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// One REM a due date: the event day, with its lead time as remind's advance warning.
int PrepareLigneCommande(const QString &reference, const QString &dossier)
{
    const QString base = dossier + QLatin1Char('/') + NomBaseDefaut;
    QFile::remove(base);
    if (!QFile::copy(reference, base))
        return 1;
    QFile(base).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    Connexion connexion;
    if (!connexion.Ouvre(base, CleBase))
        return 1;
    const QDate aujourdhui = QDate::currentDate();
    test::GenereRappels(connexion, 10000, aujourdhui.year(), 10000);
    // As a running tray program leaves them: every past due date acknowledged.
    for (int k = 1; k <= 3; ++k)
        connexion.Execute(QStringLiteral("UPDATE Rappel SET EtatEch%1 = 1 WHERE Ech%1 < ?").arg(k), {TexteDate(aujourdhui)});
    QFile rem(dossier + QStringLiteral("/rappels.rem"));
    if (!rem.open(QIODevice::WriteOnly))
        return 1;
    for (const RappelStocke &rappel : DepotRappels(connexion).Tous()) {
        const Echeances &e = rappel.echeances;
        const QDate jour = JourEvenement(rappel.dateRappel, aujourdhui.year());
        const bool note = rappel.type == TypeRappel::Note;
        const QString texte = QString(rappel.libelle).remove(QLatin1Char('%')).remove(QLatin1Char('['));
        for (int k = 1; k <= 3; ++k) {
            if (e[k].date == DateNulle)
                continue;
            QString ligne = QStringLiteral("REM %1 %2").arg(jour.day()).arg(QLatin1String(MoisRemind[jour.month() - 1]));
            if (note)
                ligne += QStringLiteral(" %1").arg(jour.year());
            if (k > 1)
                ligne += QStringLiteral(" +%1").arg(e[k].date.daysTo(jour));
            rem.write((ligne + QStringLiteral(" MSG ") + texte.simplified() + QStringLiteral(" %b\n")).toUtf8());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    oxi::ContexteDonnees contexte;
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--ligne-commande"))
        return PrepareLigneCommande(app.arguments().value(2), app.arguments().value(3));
    const QString reference = app.arguments().value(1);
    const int essais = app.arguments().value(2, QStringLiteral("7")).toInt();
    QTemporaryDir dossier;
    const QString config = dossier.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    FixeCheminAppli(dossier.path());
    const int annee = 2026;
    FixeMaintenant(QDateTime(QDate(annee, 6, 15), QTime(10, 0)));

    for (const int nombre : {100, 1000, 10000}) {
        FermeBase();
        const QString base = dossier.filePath(NomBaseDefaut);
        QFile::remove(base);
        if (!QFile::copy(reference, base)) {
            std::fprintf(stderr, "base de référence introuvable : %s\n", qPrintable(reference));
            return 1;
        }
        QFile(base).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        FixeNomBase(NomBaseDefaut);
        ConnecteBase();
        test::GenereRappels(Base(), nombre, annee, unsigned(nombre));
        FermeBase();
        const QString copie = dossier.filePath(QStringLiteral("copie.dtb"));
        QFile::remove(copie);
        QFile::copy(base, copie);
        ConnecteBase();

        // As at a start, the key aside: a fresh connection reads and checks every page.
        Mesure(
            nombre, "ouverture et contrôle du fichier", essais, [] { ConnecteBase(); }, [] { FermeBase(); });
        Mesure(nombre, "recherche des rappels dus", essais, [] { DepotRappels().NumerosDus(Aujourdhui()); });
        Mesure(
            nombre, "réarmement annuel", essais, [] { RearmeEcheances(); },
            [annee] { EcritReglage(ReglageAnnee, QString::number(annee - 1)); });
        Mesure(nombre, "liste des anniversaires (lecture et tri)", essais, [] { TableAnniversaires(); });
        Mesure(nombre, "liste des fêtes (lecture et tri)", essais, [] { TableFetes(); });
        Mesure(nombre, "liste des notes (lecture et tri)", essais, [] { TableNotes(); });
        Tableau anniversaires = TableAnniversaires();
        Mesure(
            nombre, "tri des anniversaires par date", essais, [&anniversaires] { TrieTableau(anniversaires, 4); },
            [&anniversaires] { TrieTableau(anniversaires, 1); });
        const QString sauvegarde = dossier.filePath(QStringLiteral("Oxi_Sauv_15_06.dtb"));
        Mesure(nombre, "sauvegarde", essais, [sauvegarde] {
            if (!SauvegardeBase(sauvegarde))
                std::fprintf(stderr, "échec de la sauvegarde\n");
        });
        Mesure(nombre, "restauration", essais, [sauvegarde] {
            if (RestaureSauvegarde(sauvegarde) != Restauration::Faite)
                std::fprintf(stderr, "échec de la restauration\n");
        });
    }
    FermeBase();
    return 0;
}
