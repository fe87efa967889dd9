#include "FormePopup.h"
#include "Contexte.h"

#include "TexteLignes.h"
#include "Twips.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>

namespace oxi {

void FixeResolutionLogique(int dpi)
{
    Contexte::Courant().resolutionFixee = dpi;
}

bool EstPetitesPolices()
{
    if (const int fixee = Contexte::Courant().resolutionFixee; fixee > 0)
        return fixee == 96;
    const QScreen *ecran = QGuiApplication::primaryScreen();
    return ecran && qRound(ecran->logicalDotsPerInchX()) == 96;
}

float FacteurPolice()
{
    const int d = EstPetitesPolices() ? 96 : 120;
    return 120.0f / float(d);
}

int RayonCoin(double hauteurShape, float facteur)
{
    return ArrondiPair(hauteurShape * 35 * 1.25 / (double(facteur) * 2300));
}

void ArrondiFenetre(QWidget *fenetre, double largeurTwips, double hauteurTwips, int r)
{
    const int x2 = ArrondiPair(largeurTwips / 15);
    const int y2 = ArrondiPair(hauteurTwips / 15);
    QPainterPath chemin;
    chemin.addRoundedRect(QRectF(0, 0, x2, y2), r / 2.0, r / 2.0);
    fenetre->setMask(QRegion(chemin.toFillPolygon().toPolygon()));
    fenetre->update();
}

void PlaceFenetre(QWidget *fenetre, double gaucheTwips, double hautTwips)
{
    fenetre->move(Px(gaucheTwips), Px(hautTwips));
}

double LargeurEcranTwips()
{
    const QScreen *ecran = QGuiApplication::primaryScreen();
    return ecran ? Twips(ecran->geometry().width()) : 0;
}

double GaucheEphemeride()
{
    return LargeurEcranTwips() - 3336;
}

double HautSous(std::initializer_list<PopupAuDessus> auDessus)
{
    for (const PopupAuDessus &p : auDessus)
        if (p.affiche)
            return p.haut + p.hauteurShape + 200;
    return HautPremierPopup;
}

QSizeF ArronditPopup(QWidget *fenetre, double largeurTwips, double hauteurTwips, double hauteurShape, double gauche, double haut)
{
    const float facteur = FacteurPolice();
    if (facteur != 1.0f) {
        hauteurTwips /= facteur;
        largeurTwips /= facteur;
    }
    fenetre->resize(Px(largeurTwips), Px(hauteurTwips));
    PlaceFenetre(fenetre, gauche, haut);
    ArrondiFenetre(fenetre, largeurTwips, hauteurTwips, RayonCoin(hauteurShape, facteur));
    return {largeurTwips, hauteurTwips};
}

FormePopup::FormePopup(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Shape1"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FormePopup::ChangeTaille(double largeurTwips, double hauteurTwips)
{
    m_largeur = largeurTwips;
    m_hauteur = hauteurTwips;
    setGeometry(0, 0, Px(largeurTwips), Px(hauteurTwips));
    lower();
    update();
}

void FormePopup::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.setBrush(Qt::white);
    const double coin = RayonCoin(m_hauteur) / 2.0;
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), coin, coin);
}

} // namespace oxi
