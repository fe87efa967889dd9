// make bench: exchanges of 10,000 reminders with a Radicale on a loopback port.
// Prints "count<TAB>what<TAB>milliseconds" lines, as oxi_bench does.
#include "Base.h"
#include "Constantes.h"
#include "ContexteDonnees.h"
#include "ConversionIcs.h"
#include "DepotSynchro.h"
#include "Generateur.h"
#include "Synchroniseur.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace oxi;

namespace {

qint64 Synchronise(Connexion &base, const ParametresSynchro &p)
{
    QElapsedTimer chrono;
    chrono.start();
    Synchroniseur s(base, p);
    QEventLoop boucle;
    QObject::connect(&s, &Synchroniseur::Fini, &boucle, &QEventLoop::quit);
    s.Lance();
    if (s.Bilan().message.isEmpty())
        boucle.exec();
    if (!s.Bilan().reussi)
        std::fprintf(stderr, "%s\n", qPrintable(s.Bilan().message));
    return chrono.elapsed();
}

} // namespace

int main(int argc, char **argv)
{
    oxi::ContexteDonnees contexte;
    QCoreApplication app(argc, argv);
    const QString reference = app.arguments().value(1);
    const int nombre = app.arguments().value(2, QStringLiteral("10000")).toInt();
    QTemporaryDir dossier;
    // The server's storage: on disk by default; OXI_BANC_STOCKAGE=/dev/shm keeps
    // the server's own fsync calls out of the measure.
    QTemporaryDir stockage(qEnvironmentVariable("OXI_BANC_STOCKAGE", QDir::tempPath()) + QStringLiteral("/oxi-radicale-XXXXXX"));
    QTcpServer libre;
    libre.listen(QHostAddress::LocalHost, 0);
    const quint16 port = libre.serverPort();
    libre.close();
    QFile(dossier.filePath(QStringLiteral("utilisateurs"))).open(QIODevice::WriteOnly);
    {
        QFile u(dossier.filePath(QStringLiteral("utilisateurs")));
        u.open(QIODevice::WriteOnly);
        u.write("banc:banc\n");
        QFile c(dossier.filePath(QStringLiteral("config")));
        c.open(QIODevice::WriteOnly);
        c.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\nhtpasswd_filename = %2/utilisateurs\n"
                               "htpasswd_encryption = plain\n[storage]\nfilesystem_folder = %3/col\n[logging]\nlevel = error\n")
                    .arg(port)
                    .arg(dossier.path())
                    .arg(stockage.path())
                    .toUtf8());
    }
    QProcess radicale;
    radicale.setStandardOutputFile(QProcess::nullDevice());
    radicale.setStandardErrorFile(QProcess::nullDevice());
    radicale.start(QStringLiteral("radicale"), {QStringLiteral("--config"), dossier.filePath(QStringLiteral("config"))});
    for (int essai = 0; essai < 100; ++essai) {
        QTcpSocket sonde;
        sonde.connectToHost(QHostAddress::LocalHost, port);
        if (sonde.waitForConnected(100))
            break;
        QThread::msleep(100);
    }
    const ParametresSynchro p{QStringLiteral("http://127.0.0.1:%1/").arg(port), QStringLiteral("banc"),
                              QStringLiteral("Calendrier"), QStringLiteral("banc")};
    Connexion a, b;
    for (auto [connexion, nom] : {std::pair{&a, "a.dtb"}, std::pair{&b, "b.dtb"}}) {
        const QString chemin = dossier.filePath(QString::fromLatin1(nom));
        QFile::copy(reference, chemin);
        QFile(chemin).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        connexion->Ouvre(chemin, CleBase);
        connexion->Execute(QStringLiteral("DELETE FROM Rappel"));
        connexion->Execute(QStringLiteral("DELETE FROM Notes"));
    }
    test::GenereRappels(a, nombre, 2026, 7);
    auto ligne = [nombre](const char *quoi, qint64 ms) {
        std::printf("%d\t%s\t%lld\n", nombre, quoi, ms);
        std::fflush(stdout);
    };
    {
        // The client's own share of the first sending: every reminder read and written as iCalendar.
        QElapsedTimer chrono;
        chrono.start();
        QVector<ObjetAEcrire> objets;
        const auto locaux = DepotSynchro(a).LitRappels();
        for (auto it = locaux.cbegin(); it != locaux.cend(); ++it)
            objets.append({it.value(), QString::number(it.key()), QDateTime::currentDateTimeUtc()});
        const QByteArray ics = IcsDeContenus(objets, QStringLiteral("Calendrier"));
        ligne("lecture et conversion iCalendar (client seul)", chrono.elapsed());
        Q_UNUSED(ics);
    }
    ligne("synchronisation, premier envoi", Synchronise(a, p));
    ligne("synchronisation, première réception", Synchronise(b, p));
    a.Execute(QStringLiteral("UPDATE Rappel SET Libelle = Libelle || 'x' WHERE NumRappel = (SELECT min(NumRappel) FROM Rappel)"));
    ligne("synchronisation, un changement envoyé", Synchronise(a, p));
    ligne("synchronisation, un changement reçu", Synchronise(b, p));
    ligne("synchronisation, rien à échanger", Synchronise(b, p));
    radicale.kill();
    radicale.waitForFinished();
    return 0;
}
