#include "windows/widgets/win_colour.h"

#include <algorithm>
#include <vector>

#include <QAbstractButton>
#include <QPalette>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace morvast {

namespace {

// The palette shared by every button showing the same colours. A game shows a few dozen sets at
// most; should more ever come, starting afresh only costs the style a few new pictures.
QPalette sharedPalette(const QPalette& p) {
    static std::vector<QPalette> shared;
    constexpr size_t kMostShared = 256;
    auto found = std::find(shared.begin(), shared.end(), p);
    if (found == shared.end()) {
        if (shared.size() >= kMostShared) shared.clear();
        shared.push_back(p);
        found = shared.end() - 1;
    }
    // The group in use (active, inactive, disabled) belongs to this painting, not to the key.
    QPalette s = *found;
    s.setCurrentColorGroup(p.currentColorGroup());
    return s;
}

}  // namespace

void setBackColor(QWidget* w, uint32_t win) {
    if (!qobject_cast<QAbstractButton*>(w)) w->setAutoFillBackground(true);
    QPalette p = w->palette();
    const QColor c(colour::toQRgb(win));
    // An inherited colour counts as set only once the widget holds it itself.
    if (w->testAttribute(Qt::WA_SetPalette) && p.color(QPalette::Window) == c &&
        p.color(QPalette::Button) == c)
        return;
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Button, c);
    w->setPalette(p);
}

void setForeColor(QWidget* w, uint32_t win) {
    QPalette p = w->palette();
    const QColor c(colour::toQRgb(win));
    if (p.color(QPalette::WindowText) == c && p.color(QPalette::ButtonText) == c) return;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, c);
        p.setColor(group, QPalette::ButtonText, c);
    }
    w->setPalette(p);
}

void ColourButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.palette = sharedPalette(option.palette);
    painter.drawControl(QStyle::CE_PushButton, option);
}

uint32_t backColor(const QWidget* w) {
    const bool button = qobject_cast<const QAbstractButton*>(w) != nullptr;
    return colour::fromQRgb(w->palette().color(button ? QPalette::Button : QPalette::Window).rgb());
}

uint32_t foreColor(const QWidget* w) {
    const bool button = qobject_cast<const QAbstractButton*>(w) != nullptr;
    return colour::fromQRgb(
        w->palette().color(button ? QPalette::ButtonText : QPalette::WindowText).rgb());
}

}  // namespace morvast
