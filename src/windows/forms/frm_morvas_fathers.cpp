#include "windows/forms/frm_morvas_fathers.h"

#include <QListWidget>

#include "windows/widgets/twips.h"
#include "windows/widgets/window_style.h"

namespace morvast {

frmMorvasFathers::frmMorvasFathers(QWidget* parent)
    : SideWindow(QStringLiteral("The Best Of The Morvast"), QSize(px(2970), px(2835)), parent),
      lstTable(new QListWidget(this)) {
    lstTable->setGeometry(0, 0, width(), height());
    // Names and scores line up in columns only in a fixed-pitch face.
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    lstTable->setFont(font);
    watch(lstTable);
}

void frmMorvasFathers::setRecordsList(const QStringList& lines) {
    lstTable->clear();
    lstTable->addItems(lines);
}

void frmMorvasFathers::setListIndex(int row) {
    lstTable->setCurrentRow(row);
    if (QListWidgetItem* item = lstTable->item(row)) lstTable->scrollToItem(item);
}

}  // namespace morvast
