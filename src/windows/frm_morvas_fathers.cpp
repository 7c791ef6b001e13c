#include "windows/frm_morvas_fathers.h"

#include <QCloseEvent>
#include <QListWidget>

#include "windows/window_style.h"

namespace morvast {

frmMorvasFathers::frmMorvasFathers(QWidget* focusReturn, std::function<void()> onUserClose,
                                   QWidget* parent)
    : QWidget(parent), focusReturn_(focusReturn), onUserClose_(std::move(onUserClose)) {
    setWindowTitle(QStringLiteral("The Best Of The Morvast"));
    makeFixedToolWindow(this, twips(2970), twips(2835));
    setAttribute(Qt::WA_ShowWithoutActivating);

    lstTable = new QListWidget(this);
    lstTable->setGeometry(0, 0, width(), height());
    // Names and scores line up in columns only in a fixed-pitch face.
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    lstTable->setFont(font);
    lstTable->installEventFilter(this);
}

void frmMorvasFathers::setRecordsList(const QStringList& lines) {
    lstTable->clear();
    lstTable->addItems(lines);
}

void frmMorvasFathers::setListIndex(int row) {
    lstTable->setCurrentRow(row);
    if (QListWidgetItem* item = lstTable->item(row)) lstTable->scrollToItem(item);
}

void frmMorvasFathers::unloadByProgram() {
    unloading_ = true;
    close();
}

void frmMorvasFathers::closeEvent(QCloseEvent* e) {
    if (unloading_) {
        e->accept();
        return;
    }
    // Hidden, not destroyed, so the content and the position survive.
    e->ignore();
    hide();
    if (onUserClose_) onUserClose_();
}

void frmMorvasFathers::mouseReleaseEvent(QMouseEvent* e) {
    QWidget::mouseReleaseEvent(e);
    returnFocus();
}

bool frmMorvasFathers::eventFilter(QObject* watched, QEvent* e) {
    if (watched == lstTable && e->type() == QEvent::FocusIn) returnFocus();
    return QWidget::eventFilter(watched, e);
}

void frmMorvasFathers::returnFocus() {
    if (!focusReturn_) return;
    focusReturn_->activateWindow();
    focusReturn_->setFocus(Qt::OtherFocusReason);
}

}  // namespace morvast
