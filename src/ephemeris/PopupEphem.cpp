#include "PopupEphem.h"
#include "ImageBouton.h"
#include "Polices.h"
#include "Twips.h"

#include <QMouseEvent>

namespace oxi {

QFont PoliceTitre(double points)
{
    return Police(QStringLiteral("Berthold Garamond"), points, true);
}

void AjustePolice(QLabel *label, double pointsMin)
{
    QFont police = label->font();
    while (police.pointSizeF() - 0.5 >= pointsMin && QFontMetrics(police).horizontalAdvance(label->text()) > label->width()) {
        police.setPointSizeF(police.pointSizeF() - 0.5);
        label->setFont(police);
    }
}

EtiquetteQuitter::EtiquetteQuitter(QWidget *parent) : QLabel(QStringLiteral("X"), parent)
{
    setObjectName(QStringLiteral("lblQuit"));
    setFont(Police(QStringLiteral("Arial Black"), 9));
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    Colore(Qt::black);
}

void EtiquetteQuitter::Colore(const QColor &couleur)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, couleur);
    setPalette(palette);
}

void EtiquetteQuitter::enterEvent(QEnterEvent *event)
{
    Colore(QColor(192, 192, 192));
    QLabel::enterEvent(event);
}

void EtiquetteQuitter::leaveEvent(QEvent *event)
{
    Colore(Qt::black);
    QLabel::leaveEvent(event);
}

void EtiquetteQuitter::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clic();
}

PopupEphem::PopupEphem(const QString &nom, const QString &titre) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(nom);
    setWindowTitle(titre);
    setAttribute(Qt::WA_DeleteOnClose);
    // The popups are rarely the active window; tomorrow's names must show all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setMouseTracking(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    Shape1 = new FormePopup(this);
    lblQuit = new EtiquetteQuitter(this);
    PlaceTwips(lblQuit, 2680, 120, 252, 252);
}

QLabel *PopupEphem::Etiquette(const QString &nom, const QString &texte, const QFont &police, int gauche, int haut, int largeur,
                              int hauteur)
{
    QLabel *etiquette = EtiquetteTwips(this, nom, texte, police, gauche, haut, largeur, hauteur);
    etiquette->setAttribute(Qt::WA_TranslucentBackground);
    return etiquette;
}

void PopupEphem::Termine(double hauteurTwips, double haut)
{
    m_haut = haut;
    Shape1->lower();
    m_taille = ArronditPopup(this, LargeurFenetreEphem, hauteurTwips, Shape1->HauteurTwips(), GaucheEphemeride(), haut);
    m_charge = true;
}

// Moves over images and the close label reach here too, ignored by them:
// only the background itself counts.
void PopupEphem::mouseMoveEvent(QMouseEvent *event)
{
    QWidget *sous = childAt(event->position().toPoint());
    if (!qobject_cast<Image *>(sous) && sous != lblQuit)
        SurvolFond();
    QWidget::mouseMoveEvent(event);
}

void PopupEphem::SurvolFond()
{
    lblQuit->Colore(Qt::black);
}

} // namespace oxi
