#include "windows/win_colour.h"

#include <QAbstractButton>
#include <QPalette>

namespace morvast {

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
