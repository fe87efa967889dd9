#include "Generateur.h"
#include "Base.h"
#include "Constantes.h"

#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <random>

namespace oxi::test {

QStringList TextesHostiles()
{
    return {"O'Brien \"guillemets\" \\ $HOME `cmd`",
            "Dupont#Jean#Paul",
            "100 % _ * ? [a-z]",
            "x'); DROP TABLE Rappel; -- /* bloc */",
            "tab\tulation\net\r\nretours",
            "Anniv 🎂🎉 famille 👨‍👩‍👧 שלום עולם مرحبا",
            QString(10000, 'W'),
            QString(5000, QChar(0x00e9))};
}

void GenereRappels(Connexion &connexion, int nombre, int annee, unsigned graine)
{
    std::mt19937 aleas(graine);
    const QStringList hostiles = TextesHostiles();
    const auto tirage = [&](int n) { return int(aleas() % unsigned(n)); };
    Transaction transaction(connexion);
    int numNote = connexion.Requete("SELECT coalesce(max(NumNote), 0) FROM Notes").Valeur(0, 0).toInt();
    for (int i = 0; i < nombre; ++i) {
        const int genre = tirage(10);
        const QString type = genre < 5 ? "A" : genre < 8 ? "F" : "N";
        const QDate evenement = QDate(annee, 1, 1).addDays(tirage(365));
        QDate dateRappel = evenement;
        QString libelle = type == "F" ? QString("Prénom%1").arg(i) : QString("Note %1").arg(i);
        if (type == "A") {
            const int naissance = tirage(6) == 0 ? AnneeInconnue : annee - 1 - tirage(90);
            dateRappel = QDate(naissance, evenement.month(), std::min(evenement.day(), 28));
            libelle = QString("Nom%1#Prénom%2").arg(i).arg(tirage(1000));
        }
        if (tirage(20) == 0)
            libelle = hostiles.at(tirage(int(hostiles.size())));
        const QDate ech2 = tirage(3) == 0 ? DateNulle : evenement.addDays(-1 - tirage(31));
        const QDate ech3 = tirage(2) == 0 ? DateNulle : evenement.addDays(-1 - tirage(31));
        const QDate ech1 = tirage(5) == 0 ? DateNulle : evenement;
        const auto fait = [&](const QDate &d) { return d != DateNulle && tirage(4) == 0 ? 1 : 0; };
        connexion.Execute("INSERT INTO Rappel VALUES (NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                          {dateRappel, type, libelle, ech1, fait(ech1), ech2, fait(ech2), ech3, fait(ech3)});
        if (type == "N") {
            const QString texte =
                tirage(8) == 0 ? hostiles.at(tirage(int(hostiles.size()))) : QString("Texte de la note %1").arg(i);
            connexion.Execute("INSERT INTO Notes VALUES (?, ?, ?)", {++numNote, texte.left(255), texte.mid(255)});
        }
    }
    transaction.Valide();
}

QStringList EtatConnexion(Connexion &connexion)
{
    QStringList etat;
    try {
        if (connexion.Requete("PRAGMA integrity_check").Valeur(0, 0).toString() != QLatin1String("ok"))
            return {};
        for (const char *table : {"Rappel ORDER BY NumRappel", "Notes ORDER BY NumNote"}) {
            const Resultat r = connexion.Requete(QStringLiteral("SELECT * FROM ") + QLatin1String(table));
            etat << r.colonnes.join(QLatin1Char('|'));
            for (const auto &ligne : r.lignes) {
                QStringList champs;
                for (const QVariant &v : ligne)
                    champs << (v.isNull() ? QStringLiteral("<null>") : QString(v.typeName()) + ':' + v.toString());
                etat << champs.join(QLatin1Char('|'));
            }
        }
    } catch (const ErreurBase &) {
        return {};
    }
    return etat;
}

QStringList EtatFichier(const QString &chemin)
{
    Connexion connexion;
    return connexion.Ouvre(chemin, CleBase) ? EtatConnexion(connexion) : QStringList();
}

bool ExecuteDans(const QString &chemin, const QString &cle, bool cree, const QStringList &instructions)
{
    Connexion c;
    if (!(cree ? c.Cree(chemin, cle) : c.Ouvre(chemin, cle)))
        return false;
    for (const QString &sql : instructions)
        c.Execute(sql);
    return true;
}

bool CopieAncienFormat(const QString &source, const QString &cible)
{
    QFile(cible).open(QIODevice::WriteOnly); // an attached file is not created
    // The rounds are the library's default for the whole process: put back.
    return ExecuteDans(source, CleBase, false,
                       {"PRAGMA cipher_default_kdf_iter = 4000",
                        QString("ATTACH DATABASE '%1' AS ancien KEY '%2'").arg(cible, CleBase),
                        "SELECT sqlcipher_export('ancien')", "DETACH DATABASE ancien", "PRAGMA cipher_default_kdf_iter = 64000"});
}

QByteArray Empreinte(const QString &chemin)
{
    if (!QFileInfo(chemin).isFile())
        return QFileInfo(chemin).isSymLink() ? QFileInfo(chemin).symLinkTarget().toUtf8() : QByteArray();
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

bool Ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(octets) == octets.size();
}

} // namespace oxi::test
