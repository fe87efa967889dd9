#include "frmMois.h"
#include "Horloge.h"
#include "Polices.h"
#include "RequetesEphem.h"
#include "frmDictons.h"
#include "frmFetes.h"

#include <QCloseEvent>

namespace oxi {

frmMois::frmMois() : PopupEphem(QStringLiteral("frmMois"), QStringLiteral("Oxi - Mois"))
{
    const QFont texte = Police(QStringLiteral("Arial"), 9);
    lblRepublicain = Etiquette(QStringLiteral("lblRepublicain"), QStringLiteral("Mois"), PoliceTitre(14), 240, 120, 2415, 375);
    lblRepublicain->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    struct Ligne
    {
        const char *legende, *texte, *nom;
        int largeur;
        QLabel **valeur;
    };
    const Ligne lignes[] = {
        {"lbl1", "Ange :", "lblAnge", 612, &lblAnge},           {"lbl2", "Arbre :", "lblArbre", 612, &lblArbre},
        {"lbl3", "Fleur(s) :", "lblFleur", 732, &lblFleur},     {"lbl4", "Animal :", "lblAnimal", 732, &lblAnimal},
        {"lbl5", "Pierre(s) : ", "lblPierre", 852, &lblPierre},
    };
    int haut = 600;
    for (const Ligne &ligne : lignes) {
        Etiquette(QString::fromLatin1(ligne.legende), QString::fromUtf8(ligne.texte), texte, 120, haut, ligne.largeur, 252);
        *ligne.valeur = Etiquette(QString::fromLatin1(ligne.nom), QString(), texte, 960, haut, 2052, 252);
        haut += 240;
    }
    Shape1->ChangeTaille(LargeurShapeEphem, 2052);
    connect(lblQuit, &EtiquetteQuitter::clic, this, &QWidget::close);

    RechercheMois();
    Termine(2580, Placement());
}

frmMois *frmMois::Ouverte()
{
    return PopupOuverte<frmMois>();
}

void frmMois::RechercheMois()
{
    const QStringList faits = LitFaitsDuMois(Aujourdhui().month());
    QLabel *const labels[] = {lblRepublicain, lblAnge, lblArbre, lblFleur, lblAnimal, lblPierre};
    for (int i = 0; i < 6; ++i) {
        labels[i]->setText(faits.value(i));
        AjustePolice(labels[i]);
    }
}

double frmMois::Placement() const
{
    const frmDictons *dictons = frmDictons::Ouverte();
    const frmFetes *fetes = frmFetes::Ouverte();
    return HautSous({dictons ? dictons->CommeAuDessus() : PopupAuDessus{}, fetes ? fetes->CommeAuDessus() : PopupAuDessus{}});
}

} // namespace oxi
