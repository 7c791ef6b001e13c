#pragma once

#include <QWidget>

namespace morvast {

// The main window: owns the game and every other window.
class frmMain : public QWidget {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
};

}  // namespace morvast
