#include "OperationsFichiers.h"
#include "ContexteDonnees.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace oxi {

QString OperationsFichiers::CreeTemporaire(const QString &modele)
{
    QByteArray nom = QFile::encodeName(modele);
    const int fd = ::mkstemp(nom.data());
    if (fd < 0)
        return {};
    ::close(fd);
    return QFile::decodeName(nom);
}

bool OperationsFichiers::Renomme(const QString &de, const QString &vers)
{
    return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData()) == 0;
}

bool OperationsFichiers::Supprime(const QString &chemin)
{
    return ::unlink(QFile::encodeName(chemin).constData()) == 0;
}

OperationsFichiers &Fichiers()
{
    return *ContexteDonnees::Courant().operations;
}

void InstalleOperationsFichiers(OperationsFichiers *operations)
{
    ContexteDonnees &contexte = ContexteDonnees::Courant();
    contexte.operations = operations ? operations : &contexte.operationsSysteme;
}

} // namespace oxi
