#include "LigneCommande.h"
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "DepotRappels.h"
#include "ModuleEchanges.h"
#include "Rappels.h"
#include "Rearmement.h"
#include "Reglages.h"
#include "RequetesEphem.h"
#include "TexteRappel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace oxi {

namespace {

const char *const Options[] = {"aujourdhui", "ephemerides", "exporter", "importer",    "fetes",
                               "delais",     "help",        "version",  "synchroniser"};

void Ecrit(FILE *flux, const QString &texte)
{
    const QByteArray octets = texte.toUtf8() + '\n';
    std::fwrite(octets.constData(), 1, size_t(octets.size()), flux);
}

int Echec(const QString &message, int code = 1)
{
    Ecrit(stderr, QStringLiteral("oxi : ") + message);
    return code;
}

// The exchange module for the three modes that need it; nullptr once the reason is written.
ModuleEchanges *ChargeModule()
{
    QString erreur;
    ModuleEchanges *module = ChargeModuleEchanges(&erreur);
    if (!module) {
        erreur.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Echec(erreur.left(1).toLower() + erreur.mid(1));
    }
    return module;
}

// The main file as the tray program finds it; read-only unless told otherwise.
bool OuvreBase(bool ecriture, QString *erreur)
{
    const QString chemin = CheminAppli() + NomBaseDefaut;
    if (!QFileInfo::exists(chemin)) {
        *erreur = QStringLiteral("la base de données %1 est introuvable.").arg(chemin);
        return false;
    }
    // Current file format first, then the older key derivation.
    const bool ouverte = ecriture ? Base().Ouvre(chemin, CleBase) || Base().Ouvre(chemin, CleBase, nullptr, 4000)
                                  : Base().OuvreLecture(chemin, CleBase) || Base().OuvreLecture(chemin, CleBase, nullptr, 4000);
    if (!ouverte)
        *erreur = QStringLiteral("impossible d'ouvrir la base de données %1.").arg(chemin);
    return ouverte;
}

QString SansRetours(QString texte)
{
    return texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed();
}

// The yearly re-arming of a birthday's or name day's used slots, in memory only.
void RearmeEnMemoire(RappelStocke &rappel)
{
    if (rappel.type != TypeRappel::Anniversaire && rappel.type != TypeRappel::Fete)
        return;
    for (Echeance &e : rappel.echeances.ech)
        if (e.date != DateNulle)
            e = {AnneeSuivante(e.date), false};
}

// What the popup would show today, one paragraph a reminder. The yearly re-arming,
// when the tray program has not run it yet this year, is applied in memory only.
QStringList RappelsDuJour(const QDate &aujourdhui)
{
    const bool rearme = LitReglage(ReglageAnnee) != QString::number(aujourdhui.year());
    const DepotRappels depot;
    QVector<RappelStocke> rappels;
    if (rearme) {
        rappels = depot.Tous();
        for (RappelStocke &rappel : rappels)
            RearmeEnMemoire(rappel);
    } else {
        // Without a pending re-arming the file itself says what is due.
        for (const qint64 numero : depot.NumerosDus(aujourdhui))
            if (std::optional<RappelStocke> rappel = depot.Lit(numero))
                rappels << *rappel;
    }
    QStringList paragraphes;
    for (const RappelStocke &rappel : rappels) {
        if (rearme && !EstDu(rappel.echeances, aujourdhui))
            continue;
        if (const std::optional<TexteRappel> texte = ComposeRappel(rappel, aujourdhui))
            paragraphes << texte->ligneDate + QLatin1Char('\n') + SansRetours(texte->message);
    }
    return paragraphes;
}

QString Ephemerides(const QDate &aujourdhui)
{
    QStringList lignes{LibelleDate(aujourdhui)};
    try {
        const NomsDuJour noms = LitNomsDuJour(aujourdhui);
        if (noms.trouve && !noms.noms.isEmpty())
            lignes << (noms.parts > 1 ? QStringLiteral("Fêtes à souhaiter : ") : QStringLiteral("Fête à souhaiter : "))
                    + noms.noms;
    } catch (const ErreurBase &) {
    }
    const DictonDuJour dicton = LitDicton(aujourdhui);
    if (dicton.trouve && !dicton.texte.isEmpty())
        lignes << (dicton.dictons > 1 ? QStringLiteral("Dictons : ") : QStringLiteral("Dicton : ")) + dicton.texte;
    const QStringList faits = LitFaitsDuMois(aujourdhui.month());
    const QStringList legendes{QStringLiteral("Mois : "),     QStringLiteral("Ange : "),   QStringLiteral("Arbre : "),
                               QStringLiteral("Fleur(s) : "), QStringLiteral("Animal : "), QStringLiteral("Pierre(s) : ")};
    for (int i = 0; i < 6; ++i)
        if (!faits.value(i).isEmpty())
            lignes << legendes.at(i) + faits.value(i);
    return lignes.join(QLatin1Char('\n'));
}

int Aujourdhui(bool ephemerides)
{
    QString erreur;
    if (!OuvreBase(false, &erreur))
        return Echec(erreur);
    const QDate jour = oxi::Aujourdhui();
    QStringList paragraphes;
    try {
        paragraphes = RappelsDuJour(jour);
        if (paragraphes.isEmpty())
            paragraphes << QStringLiteral("Aucun rappel pour aujourd'hui.");
        if (ephemerides)
            paragraphes << Ephemerides(jour);
    } catch (const ErreurBase &) {
        return Echec(QStringLiteral("erreur lors de la lecture des rappels."));
    }
    Ecrit(stdout, paragraphes.join(QStringLiteral("\n\n")));
    return 0;
}

int Exporte(const QString &chemin)
{
    ModuleEchanges *module = ChargeModule();
    if (!module)
        return 1;
    QString erreur;
    if (!OuvreBase(false, &erreur))
        return Echec(erreur);
    const int nombre = module->ExporteAgenda(chemin, &erreur);
    if (nombre < 0)
        return Echec(erreur);
    Ecrit(stdout, QStringLiteral("%1 rappel(s) exporté(s) dans %2").arg(nombre).arg(chemin));
    return 0;
}

std::optional<ChoixEcheances> LitDelais(const QString &texte)
{
    ChoixEcheances choix{true, 0, 0};
    if (texte.isEmpty())
        return choix;
    const QStringList parties = texte.split(QLatin1Char(','));
    if (parties.size() > 2)
        return std::nullopt;
    for (int i = 0; i < parties.size(); ++i) {
        bool ok = false;
        const int n = parties.at(i).trimmed().toInt(&ok);
        if (!ok || n < 0 || n > 31)
            return std::nullopt;
        (i == 0 ? choix.delai1 : choix.delai2) = n;
    }
    return choix;
}

int Importe(const QString &chemin, bool fetes, const QString &delais)
{
    const auto choix = LitDelais(delais);
    if (!choix)
        return Echec(
            QStringLiteral("délais invalides : « %1 » (un ou deux nombres de 0 à 31 séparés par une virgule).").arg(delais), 2);
    ModuleEchanges *module = ChargeModule();
    if (!module)
        return 1;
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return Echec(QStringLiteral("impossible de lire le fichier %1.").arg(chemin));
    const QVector<FicheContact> fiches = module->LitFichesContacts(fichier.readAll());
    if (fiches.isEmpty())
        return Echec(QStringLiteral("le fichier %1 ne contient aucune fiche de contact.").arg(chemin));
    QString erreur;
    if (!OuvreBase(true, &erreur))
        return Echec(erreur);
    // The panels write after the year's re-arming; so must we, or it would move our dates a year on.
    RearmeEcheances();
    try {
        const PlanImport plan = module->PrepareImport(fiches);
        const int ajoutees = module->ImporteContacts(plan, *choix, fetes);
        QString bilan = TexteBilan(plan);
        if (fetes)
            bilan += QStringLiteral(", %1 fête(s) ajoutée(s)").arg(ajoutees);
        Ecrit(stdout, bilan + QLatin1Char('.'));
    } catch (const ErreurBase &) {
        return Echec(QStringLiteral("erreur lors de l'ajout en base ; rien n'a été importé."));
    }
    return 0;
}

// Qt's parser speaks English: its three complaints in French.
QString ErreurAnalyse(const QCommandLineParser &analyse)
{
    static const QRegularExpression forme(
        QStringLiteral("^(Unknown option|Missing value after|Unexpected value after) '(.*)'\\.$"));
    const auto m = forme.match(analyse.errorText());
    if (!m.hasMatch())
        return QStringLiteral("arguments invalides.");
    QString option = m.captured(2);
    if (!option.startsWith(QLatin1Char('-')))
        option.prepend(option.size() > 1 ? QStringLiteral("--") : QStringLiteral("-"));
    if (m.captured(1).startsWith(QLatin1String("Unknown")))
        return QStringLiteral("option inconnue : %1").arg(option);
    if (m.captured(1).startsWith(QLatin1String("Missing")))
        return QStringLiteral("il manque une valeur après %1").arg(option);
    return QStringLiteral("l'option %1 ne prend pas de valeur").arg(option);
}

} // namespace

bool EstLigneCommande(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        QByteArray a(argv[i]);
        if (a == "-h" || a == "-v" || a == "-?")
            return true;
        if (!a.startsWith("--"))
            continue;
        a = a.mid(2).split('=').first();
        for (const char *option : Options)
            if (a == option)
                return true;
        // Qt's own options keep going to the tray program.
        if (a != "platform" && a != "style" && a != "session" && a != "display" && a != "qwindowgeometry" && a != "qwindowtitle"
            && a != "reverse")
            return true;
    }
    return false;
}

int ExecuteLigneCommande()
{
    QCommandLineParser analyse;
    analyse.setApplicationDescription(QStringLiteral("Oxi, rappels d'anniversaires, de fêtes et de notes.\n"
                                                     "Sans option, Oxi démarre dans la zone de notification."));
    const QCommandLineOption aide({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Affiche cette aide."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Affiche la version d'Oxi."));
    const QCommandLineOption aujourdhui(QStringLiteral("aujourdhui"),
                                        QStringLiteral("Affiche les rappels du jour, sans rien changer à la base."));
    const QCommandLineOption ephemerides(QStringLiteral("ephemerides"),
                                         QStringLiteral("Avec --aujourdhui : ajoute les fêtes, le dicton et le mois."));
    const QCommandLineOption exporter(QStringLiteral("exporter"),
                                      QStringLiteral("Exporte tous les rappels vers un agenda (.ics)."),
                                      QStringLiteral("FICHIER.ics"));
    const QCommandLineOption importer(QStringLiteral("importer"),
                                      QStringLiteral("Importe les anniversaires d'un carnet d'adresses (.vcf)."),
                                      QStringLiteral("FICHIER.vcf"));
    const QCommandLineOption fetes(QStringLiteral("fetes"),
                                   QStringLiteral("Avec --importer : ajoute la fête de chaque prénom du calendrier."));
    const QCommandLineOption delais(QStringLiteral("delais"),
                                    QStringLiteral("Avec --importer : un ou deux délais en jours avant la date, "
                                                   "par exemple 7,1 (par défaut : le jour même seulement)."),
                                    QStringLiteral("J1[,J2]"));
    const QCommandLineOption synchroniser(QStringLiteral("synchroniser"),
                                          QStringLiteral("Échange les rappels avec le calendrier du serveur CalDAV réglé "
                                                         "(section [Synchronisation])."));
    for (const QCommandLineOption &o : {aide, version, aujourdhui, ephemerides, exporter, importer, fetes, delais, synchroniser})
        analyse.addOption(o);

    if (!analyse.parse(QCoreApplication::arguments()))
        return Echec(ErreurAnalyse(analyse) + QStringLiteral("\nEssayez « oxi --help »."), 2);
    if (analyse.isSet(aide)) {
        Ecrit(stdout,
              analyse.helpText()
                  .replace(QStringLiteral("Usage:"), QStringLiteral("Utilisation :"))
                  .replace(QStringLiteral("Options:"), QStringLiteral("Options :"))
                  .trimmed());
        return 0;
    }
    if (analyse.isSet(version)) {
        Ecrit(stdout, QStringLiteral("Oxi version ") + QStringLiteral(OXI_VERSION));
        return 0;
    }
    const int modes = int(analyse.isSet(aujourdhui)) + int(analyse.isSet(exporter)) + int(analyse.isSet(importer))
        + int(analyse.isSet(synchroniser));
    if (modes != 1 || !analyse.positionalArguments().isEmpty())
        return Echec(QStringLiteral("choisissez une seule action parmi --aujourdhui, --exporter, --importer et --synchroniser.\n"
                                    "Essayez « oxi --help »."),
                     2);
    if ((analyse.isSet(ephemerides) && !analyse.isSet(aujourdhui))
        || ((analyse.isSet(fetes) || analyse.isSet(delais)) && !analyse.isSet(importer)))
        return Echec(QStringLiteral("--ephemerides va avec --aujourdhui, --fetes et --delais avec --importer."), 2);

    if (analyse.isSet(synchroniser)) {
        ModuleEchanges *module = ChargeModule();
        return module ? module->SynchroniseEnLigneDeCommande() : 1;
    }
    int code = 0;
    if (analyse.isSet(aujourdhui))
        code = Aujourdhui(analyse.isSet(ephemerides));
    else if (analyse.isSet(exporter))
        code = Exporte(analyse.value(exporter));
    else
        code = Importe(analyse.value(importer), analyse.isSet(fetes), analyse.value(delais));
    FermeBase();
    return code;
}

} // namespace oxi
