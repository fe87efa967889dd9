#include "PanneauEphem.h"
#include "Ephemerides.h"
#include "Polices.h"
#include "PopupEphem.h"
#include "Reglages.h"
#include "Twips.h"

#include <QApplication>
#include <QPainter>

namespace oxi {

namespace {

struct OptionEphem
{
    const Reglage *reglage;
    const char *libelle;
    int gauche, haut, largeur, hauteur;
};

const std::array<OptionEphem, 4> Options{{
    {&ReglageEphemerides, "Afficher à l'ouverture de la session", 360, 480, 2892, 252},
    {&ReglageFetes, "Afficher les fêtes à souhaiter", 360, 840, 2892, 252},
    {&ReglageDictons, "Afficher les dictons", 360, 1200, 2892, 252},
    {&ReglageMois, "Afficher les renseignements mensuels", 360, 1560, 3492, 252},
}};

QString ValeurCase(const QCheckBox *caseACocher)
{
    switch (caseACocher->checkState()) {
    case Qt::Checked:
        return QStringLiteral("1");
    case Qt::PartiallyChecked:
        return QStringLiteral("2");
    default:
        return QStringLiteral("0");
    }
}

} // namespace

Voyant::Voyant(const QString &nom, QWidget *parent) : QWidget(parent)
{
    setObjectName(nom);
    setAttribute(Qt::WA_TranslucentBackground);
    // The picture underneath takes the clicks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Voyant::paintEvent(QPaintEvent *)
{
    QPainter peintre(this);
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.setPen(Qt::NoPen);
    peintre.setBrush(QColor(128, 0, 0));
    peintre.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

PanneauEphem::PanneauEphem(QWidget *parent) : Cadre(QStringLiteral("fraEphem"), parent)
{
    PlaceTwips(this, 1080, 360, 5412, 2772);

    lblTitre1 = new QLabel(QStringLiteral("Ephémérides"), this);
    lblTitre1->setObjectName(QStringLiteral("lblTitre1"));
    lblTitre1->setFont(PoliceTitre(14));
    lblTitre1->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    PlaceTwips(lblTitre1, 120, 0, 3000, 420);

    for (int i = 0; i < 4; ++i) {
        const OptionEphem &option = Options[i];
        auto *boite = new QCheckBox(QString::fromUtf8(option.libelle), this);
        boite->setObjectName(QStringLiteral("chkEph_%1").arg(i));
        boite->setFont(Police(QStringLiteral("Arial"), 9));
        PlaceTwips(boite, option.gauche, option.haut, option.largeur, option.hauteur);
        // The substitute fonts run wider than the designed ones: never cut a caption.
        boite->resize(qMax(boite->width(), boite->sizeHint().width()), boite->height());
        connect(boite, &QCheckBox::clicked, this, [this, i] { EnregistreCase(i); });
        chkEph[i] = boite;
    }

    imgVisu = new Image(QStringLiteral("imgVisu"), QStringLiteral(":/ephemeris/visu.svg"), this);
    imgVisu->setToolTip(QStringLiteral("Afficher/Masquer"));
    imgVisu->setCursor(Qt::PointingHandCursor);
    PlaceTwips(imgVisu, 3360, 0, 384, 384);
    connect(imgVisu, &Image::clic, this, &PanneauEphem::Bascule);

    Led = new Voyant(QStringLiteral("Led"), this);
    PlaceTwips(Led, 3530, 60, 132, 132);
    Led->hide();
    Led->raise();

    // The boxes follow the stored settings from the moment the main window exists.
    ChargeOptionsEphemerides();
}

void PanneauEphem::ChargeOptionsEphemerides()
{
    for (int i = 0; i < 4; ++i) {
        if (!ReglageOui(*Options[i].reglage) || chkEph[i]->isChecked())
            continue;
        chkEph[i]->setChecked(true);
        EnregistreCase(i);
    }
}

void PanneauEphem::EnregistreCase(int index)
{
    if (index >= 0 && index < 4)
        EcritReglage(*Options[index].reglage, ValeurCase(chkEph[index]));
    Led->hide();
}

void PanneauEphem::OuvreCochees()
{
    if (chkEph[1]->isChecked())
        AfficheFetes();
    if (chkEph[2]->isChecked())
        AfficheDictons();
    if (chkEph[3]->isChecked())
        AfficheMois();
}

void PanneauEphem::Bascule()
{
    FermeEphemerides();
    if (!Led->isHidden()) {
        Led->hide();
        return;
    }
    if (chkEph[1]->isChecked()) {
        AfficheFetes();
        Led->show();
    }
    if (chkEph[2]->isChecked()) {
        AfficheDictons();
        Led->show();
    }
    if (chkEph[3]->isChecked()) {
        AfficheMois();
        Led->show();
    }
}

PanneauEphem *PanneauEphemCourant()
{
    for (QWidget *fenetre : QApplication::topLevelWidgets())
        if (auto *panneau = fenetre->findChild<PanneauEphem *>())
            return panneau;
    return nullptr;
}

} // namespace oxi
