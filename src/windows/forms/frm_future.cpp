#include "windows/forms/frm_future.h"

#include <QVBoxLayout>

#include "scoring/events.h"
#include "windows/widgets/twips.h"

namespace morvast {

frmFuture::frmFuture(QWidget* parent)
    : SideWindow(QStringLiteral("Future"), QSize(px(1515), px(3840)), parent),
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
