#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QString>

#include "settings/settings.h"

namespace morvast {

// The game events whose sounds the settings window edits, in the order of its event list (the
// effects table's captions); most have one effect object, the drop and the landing two
// variants.

// The event list's text for index i.
QString effectEventText(int i);
// The index of an event text, or -1 for any other text.
int effectEventIndex(const QString& text);
// Whether the event of that text has a second variant.
bool hasSecondVariant(const QString& text);
// The object behind an event text: variant 0 is the first (or only) object, any other variant
// the second, which falls back to the only one for single-object events. None for other texts.
std::optional<SoundEffect> effectEventObject(const QString& text, int variant);

// What a typed sweep step does, with the slider's range 0 to kSweepStepMax.
inline constexpr int16_t kSweepStepMax = 500;
struct SweepText {
    // The step to take; none when the text holds a number below 0, which is not accepted.
    std::optional<int16_t> step;
    // The text must become the maximum, selected whole, because a larger number was typed.
    bool replaceWithMax = false;
};
// Reads the text's leading number as the settings file does, rounded to the nearest whole
// number (halves to even).
SweepText sweepText(const QString& text);

}  // namespace morvast
