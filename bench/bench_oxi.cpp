// Load figures of the data paths at 100, 1,000 and 10,000 reminders: the
// connection with its check of the file, the due scan, the yearly re-arming, each list's fill and sort, a backup, a restore.
// Prints one line per figure: "<reminders> <what> <median ms> <runs>".
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Generateur.h"
#include "Horloge.h"
#include "TablesRappels.h"
#include "DepotRappels.h"
#include "Rearmement.h"
#include "Reglages.h"
#include "Sauvegarde.h"

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
        Mesure(nombre, "ouverture et contrôle du fichier", essais, [] { ConnecteBase(); }, [] { FermeBase(); });
        Mesure(nombre, "recherche des rappels dus", essais, [] { DepotRappels().NumerosDus(Aujourdhui()); });
        Mesure(nombre, "réarmement annuel", essais, [] { RearmeEcheances(); },
               [annee] { EcritReglage(ReglageAnnee, QString::number(annee - 1)); });
        Mesure(nombre, "liste des anniversaires (lecture et tri)", essais, [] { TableAnniversaires(); });
        Mesure(nombre, "liste des fêtes (lecture et tri)", essais, [] { TableFetes(); });
        Mesure(nombre, "liste des notes (lecture et tri)", essais, [] { TableNotes(); });
        Tableau anniversaires = TableAnniversaires();
        Mesure(nombre, "tri des anniversaires par date", essais, [&anniversaires] { TrieTableau(anniversaires, 4); },
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
