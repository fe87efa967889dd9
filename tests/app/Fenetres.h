#pragma once

#include <QApplication>
#include <QWidget>

// The visible top-level windows called `nom`.
inline QWidgetList Visibles(const char *nom)
{
    QWidgetList fenetres = QApplication::topLevelWidgets();
    fenetres.removeIf([nom](QWidget *w) { return w->objectName() != QLatin1String(nom) || !w->isVisible(); });
    return fenetres;
}
