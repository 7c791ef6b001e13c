#include "windows/frm_future.h"

#include <QVBoxLayout>

#include "scoring/events.h"

namespace morvast {

frmFuture::frmFuture(QWidget* parent)
    : SideWindow(QStringLiteral("Future"), QSize(1515 / 15, 3840 / 15), parent),
      picFuture(new PictureBox(this)) {
    picFuture->setObjectName(QStringLiteral("picFuture"));
    // Outlines only on black; the picture counts in the window's twips.
    picFuture->setBackground(colour::kBlack);
    picFuture->setFillTransparent(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picFuture);
    watch(picFuture);
}

}  // namespace morvast
