#include "ImageBouton.h"
#include "Twips.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>

namespace oxi {

Image::Image(const QString &nom, const QString &ressource, QWidget *parent) : QLabel(parent), m_ressource(ressource)
{
    setObjectName(nom);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    Dessine();
}

void Image::ChangeImage(const QString &ressource)
{
    m_ressource = ressource;
    Dessine();
}

void Image::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clic();
}

void Image::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT survol();
    // Kept here: passed on, the move would reach the frame underneath, which
    // puts out the highlight the pointer is on.
    event->accept();
}

void Image::enterEvent(QEnterEvent *event)
{
    Q_EMIT survol();
    QLabel::enterEvent(event);
}

void Image::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    Dessine();
}

void Image::showEvent(QShowEvent *event)
{
    if (m_aDessiner)
        Dessine();
    QLabel::showEvent(event);
}

// Rendered at the device pixel ratio so that the drawing stays sharp at any
// scale, and only once shown: hidden windows and highlights cost nothing.
// Through Qt's SVG image plugin, which loads the SVG library with the first
// image shown rather than at every start of the tray program.
void Image::Dessine()
{
    if (!isVisible()) {
        m_aDessiner = true;
        return;
    }
    m_aDessiner = false;
    if (m_ressource.isEmpty() || width() <= 0 || height() <= 0)
        return;
    const qreal ratio = devicePixelRatioF();
    QImageReader lecteur(m_ressource, "svg");
    lecteur.setScaledSize(size() * ratio);
    QImage image = lecteur.read();
    if (image.isNull()) {
        image = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    setPixmap(pixmap);
}

PaireImages CreePaire(QWidget *parent, const QString &nom, const QString &ressource, int gauche, int haut, int largeur,
                      int hauteur, const QString &nomJumeau)
{
    PaireImages paire;
    QString ressourceJumeau = ressource;
    ressourceJumeau.replace(QLatin1String(".svg"), QLatin1String("2.svg"));
    paire.image = new Image(nom, ressource, parent);
    paire.jumeau = new Image(nomJumeau.isEmpty() ? nom + QLatin1Char('2') : nomJumeau, ressourceJumeau, parent);
    PlaceTwips(paire.image, gauche, haut, largeur, hauteur);
    PlaceTwips(paire.jumeau, gauche, haut, largeur, hauteur);
    paire.jumeau->hide();
    paire.jumeau->raise();
    Image *jumeau = paire.jumeau;
    QObject::connect(paire.image, &Image::survol, jumeau, [jumeau] { jumeau->show(); });
    return paire;
}

LienTexte::LienTexte(const QString &nom, const QString &texte, QWidget *parent) : QLabel(texte, parent)
{
    setObjectName(nom);
    setMouseTracking(true);
}

void LienTexte::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clic();
}

void LienTexte::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT survol();
    // Passed on, the move would reach the window, whose background puts the highlight out.
    event->accept();
}

void LienTexte::enterEvent(QEnterEvent *event)
{
    Q_EMIT survol();
    QLabel::enterEvent(event);
}

Cadre::Cadre(const QString &nom, QWidget *parent) : QFrame(parent)
{
    setObjectName(nom);
    setMouseTracking(true);
}

void Cadre::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT survol();
    QFrame::mouseMoveEvent(event);
}

} // namespace oxi
