#pragma once

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace morvast::testing {

inline void key(QWidget* w, int k, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

inline void type(QWidget* w, const QString& text) {
    for (QChar c : text)
        key(w, c.toUpper().unicode(), QString(c));
}

// Runs act on the visible window of type D once the loop that shows it runs. When none shows
// up, the dialogs are rejected so that the test fails instead of waiting.
template <typename D>
void whenShown(std::function<void(D*)> act, int triesLeft = 500) {
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [act, triesLeft] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) return act(d);
        if (triesLeft > 0) return whenShown<D>(act, triesLeft - 1);
        ADD_FAILURE() << "window not shown";
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    });
}

}  // namespace morvast::testing
