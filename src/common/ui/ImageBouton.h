#pragma once
#include <QFrame>
#include <QLabel>

namespace oxi {

// An image control: draws an SVG resource at its size, tells when the
// pointer moves over it and when it is clicked.
class Image : public QLabel
{
    Q_OBJECT
public:
    Image(const QString &nom, const QString &ressource, QWidget *parent);
    void ChangeImage(const QString &ressource);

Q_SIGNALS:
    void clic();
    void survol();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Dessine();
    QString m_ressource;
    bool m_aDessiner = false;
};

// An image button X with its highlighted twin X2 lying on it: the twin is
// hidden at start, shown when the pointer moves over X, and takes the click.
struct PaireImages
{
    Image *image = nullptr;
    Image *jumeau = nullptr;
};

// `nomJumeau` defaults to nom + "2"; the twin's resource to the image's with "2" before ".svg".
PaireImages CreePaire(QWidget *parent, const QString &nom, const QString &ressource, int gauche, int haut, int largeur,
                      int hauteur, const QString &nomJumeau = {});

// A text label that acts as a link: tells when the pointer moves over it
// (keeping the move from the window behind) and when it is clicked.
class LienTexte : public QLabel
{
    Q_OBJECT
public:
    LienTexte(const QString &nom, const QString &texte, QWidget *parent);

Q_SIGNALS:
    void clic();
    void survol();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
};

// A frame that tells when the pointer moves over its own background.
class Cadre : public QFrame
{
    Q_OBJECT
public:
    Cadre(const QString &nom, QWidget *parent);

Q_SIGNALS:
    void survol();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace oxi
