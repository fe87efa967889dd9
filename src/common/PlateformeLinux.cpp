#include "Contexte.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace oxi {

namespace {

QString ValeurExec(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream flux(&fichier);
    while (!flux.atEnd()) {
        const QString ligne = flux.readLine();
        if (ligne.startsWith(QLatin1String("Exec=")))
            return ligne.mid(5).trimmed();
    }
    return {};
}

// Exec= quoting of desktop entries for a path.
QString CiteExec(const QString &chemin)
{
    static const QRegularExpression sur(QStringLiteral("^[A-Za-z0-9/._+-]+$"));
    if (sur.match(chemin).hasMatch())
        return chemin;
    QString cite = chemin;
    cite.replace(QLatin1Char('%'), QLatin1String("%%"));
    cite.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    cite.replace(QLatin1Char('"'), QLatin1String("\\\""));
    cite.replace(QLatin1Char('`'), QLatin1String("\\`"));
    cite.replace(QLatin1Char('$'), QLatin1String("\\$"));
    return QLatin1Char('"') + cite + QLatin1Char('"');
}

QString DecitExec(QString valeur)
{
    if (valeur.size() >= 2 && valeur.startsWith(QLatin1Char('"')) && valeur.endsWith(QLatin1Char('"'))) {
        valeur = valeur.mid(1, valeur.size() - 2);
        QString clair;
        for (int i = 0; i < valeur.size(); ++i) {
            if (valeur[i] == QLatin1Char('\\') && i + 1 < valeur.size())
                ++i;
            clair += valeur[i];
        }
        return clair.replace(QLatin1String("%%"), QLatin1String("%"));
    }
    return valeur;
}

} // namespace

QString IdentifiantPourLocale(const QString &nomLocale)
{
    const QString nom = nomLocale.section(QLatin1Char('.'), 0, 0);
    if (nom == QLatin1String("fr_FR"))
        return QStringLiteral("040c");
    if (nom == QLatin1String("fr_BE"))
        return QStringLiteral("080c");
    if (nom == QLatin1String("fr_CA"))
        return QStringLiteral("0c0c");
    if (nom == QLatin1String("fr_LU"))
        return QStringLiteral("140c");
    if (nom == QLatin1String("fr_CH"))
        return QStringLiteral("100c");
    return {};
}

QString CheminDemarrage(const QString &nom)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/autostart/") + nom + QStringLiteral(".desktop");
}

bool PlateformeLinux::PrendVerrouInstance(const QString &nom)
{
    // Kept as long as this object: the system releases it however the process dies.
    if (m_verrou)
        return m_verrou->Prend();
    for (const QString &chemin : {CheminVerrouInstance(nom), CheminVerrouSecours(nom)}) {
        m_verrou.emplace(chemin);
        if (m_verrou->Prend() || !m_verrou->Impossible())
            return m_verrou->Tenu();
        m_verrou.reset();
    }
    // Nowhere to put the lock: better two instances than a user locked out.
    return true;
}

QString PlateformeLinux::IdentifiantLangue()
{
    return IdentifiantPourLocale(QLocale::system().name());
}

void PlateformeLinux::AjouteDemarrage(const QString &nom, const QString &donnee)
{
    const QString chemin = CheminDemarrage(nom);
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QSaveFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream flux(&fichier);
    flux << "[Desktop Entry]\n"
         << "Type=Application\n"
         << "Name=Oxi\n"
         << "Comment=Rappels d'anniversaires, de fêtes et de notes\n"
         << "Exec=" << CiteExec(donnee) << "\n"
         << "Icon=oxi\n"
         << "Terminal=false\n"
         << "X-GNOME-Autostart-enabled=true\n";
    flux.flush();
    fichier.commit();
}

void PlateformeLinux::SupprimeDemarrage(const QString &nom)
{
    QFile::remove(CheminDemarrage(nom));
}

bool PlateformeLinux::TestDemarrage(const QString &nom)
{
    const QString exec = DecitExec(ValeurExec(CheminDemarrage(nom)));
    return !exec.isEmpty() && QFileInfo(exec).isFile();
}

void PlateformeLinux::OuvreDocument(const QString &adresse, std::function<void()> siEchec)
{
    // xdg-open's exit status says whether a program took the address. Not
    // parented: the browser it may wait for outlives Oxi's exit.
    auto *processus = new QProcess;
    const auto fin = [processus, siEchec](bool echoue) {
        processus->disconnect();
        processus->deleteLater();
        if (echoue && siEchec)
            siEchec();
    };
    QObject::connect(processus, &QProcess::finished, processus,
                     [fin](int code, QProcess::ExitStatus etat) { fin(code != 0 || etat != QProcess::NormalExit); });
    QObject::connect(processus, &QProcess::errorOccurred, processus, [fin](QProcess::ProcessError erreur) {
        if (erreur == QProcess::FailedToStart)
            fin(true);
    });
    processus->start(QStringLiteral("xdg-open"), {adresse});
}

bool PlateformeLinux::LanceInfosSysteme()
{
    // The desktop's own "about this system" first, then hardware-information programs.
    static const char *const programmes[][2] = {
        {"gnome-control-center", "info-overview"}, {"kinfocenter", nullptr}, {"xfce4-about", nullptr},
        {"mate-system-monitor", nullptr},          {"hardinfo", nullptr},    {"hardinfo2", nullptr},
        {"gnome-system-monitor", nullptr},         {"lshw-gtk", nullptr},
    };
    for (const auto &programme : programmes) {
        const QString chemin = QStandardPaths::findExecutable(QString::fromLatin1(programme[0]));
        if (chemin.isEmpty())
            continue;
        QStringList arguments;
        if (programme[1])
            arguments << QString::fromLatin1(programme[1]);
        if (QProcess::startDetached(chemin, arguments))
            return true;
    }
    return false;
}

void InstallePlateforme(Plateforme *plateforme)
{
    Contexte &contexte = Contexte::Courant();
    contexte.plateforme = plateforme ? plateforme : &contexte.plateformeLinux;
}

Plateforme &PlateformeCourante()
{
    return *Contexte::Courant().plateforme;
}

} // namespace oxi

#include "Chemins.h"
#include "Constantes.h"
#include "Messagerie.h"
#include <QUrl>

namespace oxi {

QString CheminAide()
{
    const QString dossier = QFileInfo(CheminExecutable()).absolutePath();
    const QString chemin = dossier + QLatin1Char('/') + NomAide;
    if (!QFileInfo(chemin).isFile() && QFileInfo(CheminPartage(dossier) + NomAide).isFile())
        return CheminPartage(dossier) + NomAide;
    return chemin;
}

void OuvreAide()
{
    const QString chemin = CheminAide();
    PlateformeCourante().OuvreDocument(QUrl::fromLocalFile(chemin).toString(), [chemin] {
        MsgInfo(DeuxLignes(QStringLiteral("Oxi n'a pas pu ouvrir l'aide dans votre navigateur."),
                           QStringLiteral("Vous la trouverez dans le fichier : ") + chemin));
    });
}

QString AdresseSite()
{
    static const QString site = QStringLiteral(OXI_SITE_WEB);
    return site.isEmpty() ? QUrl::fromLocalFile(CheminAide()).toString() : site;
}

QString TexteSite()
{
    static const QString site = QStringLiteral(OXI_SITE_WEB);
    return site.isEmpty() ? QStringLiteral("Aide d'Oxi (") + NomAide + QLatin1Char(')') : site;
}

QString AdresseCarte(const QString &salutation)
{
    // RFC 6068: the fields are percent-encoded UTF-8, a blank is %20.
    if (salutation.isEmpty())
        return QStringLiteral("mailto:");
    const QByteArray texte = QUrl::toPercentEncoding(salutation);
    return QStringLiteral("mailto:?subject=%1&body=%1").arg(QString::fromLatin1(texte));
}

void EnvoieCarte(const QString &salutation)
{
    PlateformeCourante().OuvreDocument(AdresseCarte(salutation), [] {
        MsgInfo(QStringLiteral("Oxi n'a pas trouvé de programme de courrier électronique pour envoyer la carte."));
    });
}

} // namespace oxi
