#pragma once

#include <cstdint>

namespace morvast::colour {

// Windows colour values, &H00BBGGRR: what the rules, the drawing and the windows all speak.
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kYellow = 0x00FFFF;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kCyan = 0xFFFF00;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kDarkBlue = 0xC00000;

constexpr uint32_t rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
           (static_cast<uint32_t>(b) << 16);
}

// The sixteen standard console colours (QBColor).
uint32_t qbColor(int n);

// The one crossing into Qt's opaque pixel value (0xFFRRGGBB, a QRgb) and back, so that the
// field drawing and every window agree on which byte is red.
constexpr uint32_t toQRgb(uint32_t win) {
    return 0xFF000000u | ((win & 0xFFu) << 16) | (win & 0xFF00u) | ((win >> 16) & 0xFFu);
}
constexpr uint32_t fromQRgb(uint32_t qrgb) {
    return ((qrgb >> 16) & 0xFFu) | (qrgb & 0xFF00u) | ((qrgb & 0xFFu) << 16);
}

}  // namespace morvast::colour
