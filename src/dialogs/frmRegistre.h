#pragma once
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace oxi {

// Where the database is and what the stored settings say, behind a password.
class frmRegistre : public QWidget
{
    Q_OBJECT
public:
    frmRegistre();

    // The seven lines, read now, joined by CR LF.
    static QString TexteRegistre();

    QFrame *fraAut = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *txtPass = nullptr;
    QPushButton *cmdOK = nullptr;
    QLabel *lblReg = nullptr;

private:
    void TestPassword();
    void Affichage();
};

} // namespace oxi
