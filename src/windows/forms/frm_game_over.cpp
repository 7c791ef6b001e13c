#include "windows/forms/frm_game_over.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "windows/widgets/twips.h"
#include "windows/widgets/window_style.h"

namespace morvast {

frmGameOver::frmGameOver(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Morvast XII VelkNET"));
    makeFixedToolWindow(this, px(2670), px(1365));

    lblGameOver = new QLabel(QStringLiteral("Game Over !"), this);
    lblGameOver->setGeometry(0, 6, width(), 18);
    lblGameOver->setAlignment(Qt::AlignCenter);
    lblNewGame = new QLabel(QStringLiteral("Начать новую игру ?"), this);
    lblNewGame->setGeometry(0, 26, width(), 18);
    lblNewGame->setAlignment(Qt::AlignCenter);

    cmdYes = new QPushButton(QStringLiteral("Да"), this);
    cmdYes->setGeometry(20, 54, 60, 26);
    cmdNo = new QPushButton(QStringLiteral("Нет"), this);
    cmdNo->setGeometry(98, 54, 60, 26);
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    cmdNo->setObjectName(QStringLiteral("cmdNo"));
    connect(cmdYes, &QPushButton::clicked, this, &frmGameOver::cmdYes_Click);
    connect(cmdNo, &QPushButton::clicked, this, &frmGameOver::cmdNo_Click);
    cmdYes->setDefault(true);
    cmdYes->setFocus();
}

bool frmGameOver::ask(QWidget* owner) {
    frmGameOver dialog(owner);
    dialog.exec();
    return dialog.blnContinue;
}

void frmGameOver::cmdYes_Click() {
    blnContinue = true;
    accept();
}

void frmGameOver::cmdNo_Click() {
    blnContinue = false;
    accept();
}

void frmGameOver::keyPressEvent(QKeyEvent* e) {
    // Only the buttons and the close box answer; Esc, still held from play, must not.
    if (e->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(e);
}

}  // namespace morvast
