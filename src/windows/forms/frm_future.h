#pragma once

#include "windows/widgets/picture_box.h"
#include "windows/widgets/side_window.h"

namespace morvast {

// Hosts the picture of the three figures that follow the next one.
class frmFuture : public SideWindow {
    Q_OBJECT
  public:
    explicit frmFuture(QWidget* parent = nullptr);

    PictureBox* picFuture;
};

}  // namespace morvast
