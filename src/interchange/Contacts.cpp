#include "Contacts.h"
#include "Constantes.h"
#include "Horloge.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringDecoder>

// A reader of our own: libical's versit parser gives up a whole file at the first
// vCard 4.0 card, leaves 3.0 escapes in the text and does not decode UTF-8 names.
namespace oxi {

namespace {

// One content line, unfolded: NAME;PARAM=...:value, the group prefix dropped.
struct Ligne
{
    QByteArray nom;
    QList<QPair<QByteArray, QByteArray>> parametres; // upper-cased names; bare 2.1 parameters have no value
    QByteArray valeur;

    QByteArray Parametre(const QByteArray &cle) const
    {
        for (const auto &p : parametres)
            if (p.first == cle)
                return p.second;
        return {};
    }
    bool Imprimable() const
    {
        return Parametre("ENCODING").toUpper() == "QUOTED-PRINTABLE"
            || std::any_of(parametres.begin(), parametres.end(),
                           [](const auto &p) { return p.first == "QUOTED-PRINTABLE" && p.second.isEmpty(); });
    }
};

int FinNom(const QByteArray &ligne)
{
    bool guillemets = false;
    for (int i = 0; i < ligne.size(); ++i) {
        if (ligne.at(i) == '"')
            guillemets = !guillemets;
        else if (ligne.at(i) == ':' && !guillemets)
            return i;
    }
    return -1;
}

std::optional<Ligne> DecoupeLigne(const QByteArray &texte)
{
    const int deuxPoints = FinNom(texte);
    if (deuxPoints <= 0)
        return std::nullopt;
    Ligne ligne;
    const QList<QByteArray> parties = texte.left(deuxPoints).split(';');
    ligne.nom = parties.first().trimmed().toUpper();
    if (const int point = ligne.nom.lastIndexOf('.'); point >= 0)
        ligne.nom = ligne.nom.mid(point + 1);
    for (int i = 1; i < parties.size(); ++i) {
        const int egal = parties.at(i).indexOf('=');
        if (egal < 0)
            ligne.parametres.append({parties.at(i).trimmed().toUpper(), QByteArray()});
        else
            ligne.parametres.append({parties.at(i).left(egal).trimmed().toUpper(),
                                     QByteArray(parties.at(i).mid(egal + 1)).replace('"', "").trimmed()});
    }
    ligne.valeur = texte.mid(deuxPoints + 1);
    return ligne;
}

// Physical lines to content lines: a line starting with a blank continues the one
// before; a quoted-printable value ending with "=" goes on with the next line.
QList<QByteArray> Deplie(const QByteArray &contenu)
{
    QList<QByteArray> lignes;
    bool suiteImprimable = false;
    for (QByteArray brute : contenu.split('\n')) {
        if (brute.endsWith('\r'))
            brute.chop(1);
        if (suiteImprimable && !lignes.isEmpty()) {
            lignes.last().chop(1);
            lignes.last() += brute;
        } else if (!lignes.isEmpty() && (brute.startsWith(' ') || brute.startsWith('\t'))) {
            lignes.last() += brute.mid(1);
        } else {
            lignes.append(brute);
        }
        const QByteArray &l = lignes.last();
        const int deuxPoints = FinNom(l);
        suiteImprimable = l.endsWith('=') && deuxPoints > 0 && l.left(deuxPoints).toUpper().contains("QUOTED-PRINTABLE");
    }
    return lignes;
}

QByteArray DecodeImprimable(const QByteArray &valeur)
{
    QByteArray octets;
    for (int i = 0; i < valeur.size(); ++i) {
        if (valeur.at(i) == '=' && i + 2 < valeur.size()) {
            bool ok = false;
            const int code = valeur.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                octets.append(char(code));
                i += 2;
                continue;
            }
        }
        octets.append(valeur.at(i));
    }
    return octets;
}

// The text of a value: quoted-printable undone, then its character set (UTF-8 when
// none is named, Latin-1 when the bytes are not UTF-8, as old phones write them).
QString Texte(const Ligne &ligne)
{
    const QByteArray octets = ligne.Imprimable() ? DecodeImprimable(ligne.valeur) : ligne.valeur;
    const QByteArray jeu = ligne.Parametre("CHARSET");
    if (!jeu.isEmpty()) {
        QStringDecoder decodeur(jeu.constData());
        if (decodeur.isValid()) {
            const QString texte = decodeur(octets);
            if (!decodeur.hasError())
                return texte;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString texte = utf8(octets);
    return utf8.hasError() ? QString::fromLatin1(octets) : texte;
}

// Components split on unescaped ";", escapes undone, list commas as blanks.
QStringList Composants(const QString &valeur)
{
    QStringList composants{QString()};
    for (int i = 0; i < valeur.size(); ++i) {
        const QChar c = valeur.at(i);
        if (c == QLatin1Char('\\') && i + 1 < valeur.size()) {
            const QChar s = valeur.at(++i);
            composants.last() += (s == QLatin1Char('n') || s == QLatin1Char('N')) ? QLatin1Char(' ') : s;
        } else if (c == QLatin1Char(';')) {
            composants.append(QString());
        } else {
            composants.last() += c == QLatin1Char(',') ? QLatin1Char(' ') : c;
        }
    }
    for (QString &c : composants)
        c = c.simplified();
    return composants;
}

// Fills the date of `fiche`; false when the birthday cannot be read.
bool LitNaissance(const Ligne &ligne, FicheContact &fiche)
{
    static const QRegularExpression forme(
        QStringLiteral("^(?:(\\d{4})|--)-?(\\d{2})-?(\\d{2})(?:T[0-9:.]*(?:Z|[+-][0-9:]+)?)?$"));
    const auto m = forme.match(Texte(ligne).trimmed());
    if (!m.hasMatch())
        return false;
    fiche.mois = m.captured(2).toInt();
    fiche.jour = m.captured(3).toInt();
    const QByteArray omise = ligne.Parametre("X-APPLE-OMIT-YEAR");
    int annee = m.captured(1).isEmpty() ? 0 : m.captured(1).toInt();
    // 1604 (a leap year) is the phones' "no year"; a year the birthday panel cannot offer is unknown too.
    if (annee != 0 && (annee == omise.toInt() || annee < 1871))
        annee = 0;
    if (!QDate(annee ? annee : 2000, fiche.mois, fiche.jour).isValid() || annee > Aujourdhui().year())
        return false;
    fiche.annee = annee ? annee : AnneeInconnue;
    return true;
}

FicheContact LitFiche(const QList<QByteArray> &lignes)
{
    FicheContact fiche;
    bool naissance = false;
    bool dateLue = true;
    QString nomComplet;
    for (const QByteArray &brute : lignes) {
        if (brute.trimmed().isEmpty())
            continue;
        const auto ligne = DecoupeLigne(brute);
        if (!ligne)
            return fiche; // Illisible
        if (ligne->nom == "N") {
            const QStringList n = Composants(Texte(*ligne));
            fiche.nom = n.value(0);
            fiche.prenom = n.value(1);
        } else if (ligne->nom == "FN") {
            nomComplet = Composants(Texte(*ligne)).join(QLatin1Char(' ')).simplified();
        } else if (ligne->nom == "BDAY" && !naissance && !ligne->valeur.trimmed().isEmpty()) {
            naissance = true;
            dateLue = LitNaissance(*ligne, fiche);
        }
    }
    if (fiche.nom.isEmpty() && fiche.prenom.isEmpty())
        fiche.nom = nomComplet;
    const bool nomme = !fiche.nom.isEmpty() || !fiche.prenom.isEmpty();
    if (!naissance)
        fiche.etat = EtatFiche::SansDate;
    else if (dateLue && nomme)
        fiche.etat = EtatFiche::Anniversaire;
    return fiche;
}

} // namespace

QVector<FicheContact> LitFichesContacts(const QByteArray &contenu)
{
    // Some Windows programs write UTF-16, others put a byte-order mark before UTF-8.
    QByteArray octets = contenu;
    if (octets.startsWith("\xFF\xFE") || octets.startsWith("\xFE\xFF"))
        octets = QStringDecoder(QStringDecoder::Utf16)(contenu).operator QString().toUtf8();
    else if (octets.startsWith("\xEF\xBB\xBF"))
        octets.remove(0, 3);
    QVector<FicheContact> fiches;
    std::optional<QList<QByteArray>> carte;
    for (const QByteArray &ligne : Deplie(octets)) {
        const QByteArray marque = ligne.trimmed().toUpper();
        if (marque == "BEGIN:VCARD") {
            if (carte)
                fiches.append(FicheContact{}); // the card before never ended
            carte.emplace();
        } else if (marque == "END:VCARD") {
            if (carte)
                fiches.append(LitFiche(*carte));
            carte.reset();
        } else if (carte) {
            carte->append(ligne);
        }
    }
    if (carte)
        fiches.append(FicheContact{});
    return fiches;
}

} // namespace oxi
