#include "ReglagesSynchro.h"

#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <qt6keychain/keychain.h>

#include <cstdio>

namespace oxi {

namespace {

const QString ServiceTrousseau = QStringLiteral("oxi");

QString CleTrousseau()
{
    return QStringLiteral("caldav:%1@%2").arg(LitReglage(ReglageUtilisateur), LitReglage(ReglageAdresse));
}

void Affiche(const QString &texte)
{
    std::fprintf(stderr, "%s\n", texte.toLocal8Bit().constData());
}

} // namespace

ParametresSynchro ParametresEnregistres(const QString &motDePasse)
{
    const QString calendrier = LitReglage(ReglageCalendrier).trimmed();
    return {LitReglage(ReglageAdresse).trimmed(), LitReglage(ReglageUtilisateur),
            calendrier.isEmpty() ? QStringLiteral("Calendrier") : calendrier, motDePasse};
}

QString CheminSecret()
{
    QString racine = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (racine.isEmpty() || QDir::isRelativePath(racine))
        racine = QDir::homePath() + QStringLiteral("/.config");
    return racine + QLatin1Char('/') + NomAppli() + QStringLiteral("/caldav-secret");
}

QString LitSecret(QString *erreur)
{
    QFile fichier(CheminSecret());
    if (!fichier.exists()) {
        *erreur = QStringLiteral("Aucun mot de passe n'est enregistré.");
        return {};
    }
    const auto ouverts = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
        | QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (fichier.permissions() & ouverts) {
        *erreur = QStringLiteral("Le fichier %1 est lisible par d'autres utilisateurs : il est refusé "
                                 "(chmod 600 le rend utilisable).")
                      .arg(CheminSecret());
        return {};
    }
    if (!fichier.open(QIODevice::ReadOnly)) {
        *erreur = QStringLiteral("Le fichier %1 ne peut être lu.").arg(CheminSecret());
        return {};
    }
    QString secret = QString::fromUtf8(fichier.readAll());
    while (secret.endsWith(QLatin1Char('\n')) || secret.endsWith(QLatin1Char('\r')))
        secret.chop(1);
    return secret;
}

bool EcritSecret(const QString &motDePasse, QString *erreur)
{
    QDir().mkpath(QFileInfo(CheminSecret()).absolutePath());
    QSaveFile fichier(CheminSecret());
    if (!fichier.open(QIODevice::WriteOnly) || !fichier.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || fichier.write(motDePasse.toUtf8()) < 0 || !fichier.commit()) {
        *erreur = QStringLiteral("Le mot de passe n'a pu être écrit dans %1.").arg(CheminSecret());
        return false;
    }
    return true;
}

void LitMotDePasse(const std::function<void(const QString &, const QString &)> &suite)
{
    if (QFile::exists(CheminSecret())) {
        QString erreur;
        const QString secret = LitSecret(&erreur);
        return suite(secret, erreur);
    }
    auto *tache = new QKeychain::ReadPasswordJob(ServiceTrousseau);
    tache->setKey(CleTrousseau());
    QObject::connect(tache, &QKeychain::Job::finished, [suite](QKeychain::Job *job) {
        if (job->error() == QKeychain::NoError)
            suite(static_cast<QKeychain::ReadPasswordJob *>(job)->textData(), {});
        else
            suite({},
                  QStringLiteral("Aucun mot de passe n'est enregistré : saisissez-le dans la fenêtre "
                                 "de synchronisation."));
    });
    tache->start();
}

void EcritMotDePasse(const QString &motDePasse, const std::function<void(bool, const QString &)> &suite)
{
    auto *tache = new QKeychain::WritePasswordJob(ServiceTrousseau);
    tache->setKey(CleTrousseau());
    tache->setTextData(motDePasse);
    QObject::connect(tache, &QKeychain::Job::finished, [suite, motDePasse](QKeychain::Job *job) {
        if (job->error() == QKeychain::NoError) {
            QFile::remove(CheminSecret()); // the keyring's copy is the one read from now on
            return suite(true, QStringLiteral("Le mot de passe est gardé dans le trousseau du bureau."));
        }
        QString erreur;
        if (EcritSecret(motDePasse, &erreur))
            suite(true,
                  QStringLiteral("Aucun trousseau ne répond : le mot de passe est gardé dans %1, "
                                 "lisible par vous seul.")
                      .arg(CheminSecret()));
        else
            suite(false, erreur);
    });
    tache->start();
}

void NoteBilan(const BilanSynchro &bilan)
{
    EcritReglage(ReglageDerniere, QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")));
    EcritReglage(ReglageBilan, bilan.message);
}

int SynchroniseEnLigneDeCommande()
{
    if (!SynchroConfiguree()) {
        Affiche(QStringLiteral("La synchronisation n'est pas réglée : indiquez l'adresse du serveur "
                               "(section [Synchronisation], clé Adresse)."));
        return 2;
    }
    QString erreur;
    const QString chemin = CheminAppli() + NomBaseDefaut;
    Connexion connexion;
    if (!QFileInfo::exists(chemin)) {
        Affiche(QStringLiteral("La base de données %1 est introuvable.").arg(chemin));
        return 1;
    }
    // Current file format first, then the older key derivation.
    if (!connexion.Ouvre(chemin, CleBase, &erreur) && !connexion.Ouvre(chemin, CleBase, &erreur, 4000)) {
        Affiche(QStringLiteral("La base de données %1 ne peut être ouverte : %2").arg(chemin, erreur));
        return 1;
    }
    QEventLoop boucle;
    QString motDePasse;
    bool lu = false;
    LitMotDePasse([&](const QString &secret, const QString &probleme) {
        motDePasse = secret;
        erreur = probleme;
        lu = true;
        boucle.quit();
    });
    if (!lu)
        boucle.exec();
    if (!erreur.isEmpty()) {
        Affiche(erreur);
        return 1;
    }
    Synchroniseur synchro(connexion, ParametresEnregistres(motDePasse));
    QObject::connect(&synchro, &Synchroniseur::Fini, &boucle, &QEventLoop::quit);
    synchro.Lance();
    if (synchro.Bilan().message.isEmpty()) // not already refused before any request
        boucle.exec();
    NoteBilan(synchro.Bilan());
    Affiche(synchro.Bilan().message);
    return synchro.Bilan().reussi ? 0 : 1;
}

} // namespace oxi
