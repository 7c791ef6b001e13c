#pragma once

#include <QRect>

namespace morvast {

// The designs give positions and sizes in twips; at 96 dots per inch 15 of them make one logical
// pixel. Every window converts through px(), so that all of them round alike.
inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) {
    const int half = kTwipsPerPixel / 2;
    return (twips >= 0 ? twips + half : twips - half) / kTwipsPerPixel;
}

constexpr QRect twipRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

}  // namespace morvast
