#pragma once
#include "Base.h"
#include "Constantes.h"
#include "ContexteDonnees.h"
#include "Messagerie.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// A suite's main as Qt writes it, with the process's context made first, as the program's main() does.
#define OXI_TEST_MAIN(Classe) QTEST_MAIN_WRAPPER(Classe, oxi::ContexteDonnees contexte; QTEST_MAIN_SETUP())
#define OXI_TEST_GUILESS_MAIN(Classe)                                                                                            \
    QTEST_MAIN_WRAPPER(Classe, oxi::ContexteDonnees contexte; QTEST_QAPP_SETUP(QCoreApplication))

// Shared by the test suites: a private settings folder and program folder
// holding a fresh copy of the reference database, and a scripted message seam.
namespace oxi {

class EnvironnementTest
{
public:
    // Points XDG_CONFIG_HOME and the program folder at a temporary folder,
    // copies the reference database there and connects to it.
    EnvironnementTest();
    ~EnvironnementTest() { FermeBase(); }
    QString Dossier() const { return m_dossier.path(); }
    QString CheminBase() const { return m_dossier.filePath(NomBaseDefaut); }
    // A fresh database again: empty personal tables, no settings.
    void Reinitialise();

private:
    QTemporaryDir m_dossier;
};

// Records every message and answers questions from a queue (No when empty).
class MessagerieScriptee : public Messagerie
{
public:
    MessagerieScriptee() { InstalleMessagerie(this); }
    ~MessagerieScriptee() override { InstalleMessagerie(nullptr); }
    void Information(const QString &texte) override { tous << (infos << texte).constLast(); }
    void Critique(const QString &texte) override { tous << (critiques << texte).constLast(); }
    bool Question(const QString &texte) override
    {
        tous << (questions << texte).constLast();
        return !reponses.isEmpty() && reponses.takeFirst();
    }
    void Vide()
    {
        infos = critiques = questions = tous = {};
        reponses.clear();
    }

    QStringList infos, critiques, questions, tous;
    QList<bool> reponses;
};

} // namespace oxi
