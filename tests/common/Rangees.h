#pragma once

#include <QStringList>
#include <QTest>

// A test table written one row per string: "name|field|field...", each row's fields as one QStringList column.
inline void Rangees(const char *colonne, std::initializer_list<const char *> rangees)
{
    QTest::addColumn<QStringList>(colonne);
    for (const char *rangee : rangees) {
        const QStringList champs = QString::fromUtf8(rangee).split(QLatin1Char('|'));
        QTest::newRow(qPrintable(champs.first())) << champs.mid(1);
    }
}
