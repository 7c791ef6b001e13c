#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace morvast {

// Asks whether to play again after a game ended.
class frmGameOver : public QDialog {
    Q_OBJECT
  public:
    explicit frmGameOver(QWidget* owner = nullptr);

    // Shows a new dialog modally over owner: true when the player chose a new game.
    static bool ask(QWidget* owner);

    void cmdYes_Click();
    void cmdNo_Click();

    // Closing by the close box leaves it false, which ends the program.
    bool blnContinue = false;

    QLabel* lblGameOver;
    QLabel* lblNewGame;
    QPushButton* cmdYes;
    QPushButton* cmdNo;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace morvast
