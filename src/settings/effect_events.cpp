#include "settings/effect_events.h"

#include "files/leading_number.h"

#include <cmath>

namespace morvast {

namespace {

// The object of event i and variant v, if the table has one.
const EffectInfo* objectAt(int i, int variant) {
    for (const EffectInfo& e : kEffects)
        if (e.listPosition == i && e.variant == variant) return &e;
    return nullptr;
}

}  // namespace

QString effectEventText(int i) {
    const EffectInfo* e = objectAt(i, 0);
    return e ? QString::fromUtf16(e->caption) : QString();
}

int effectEventIndex(const QString& text) {
    for (int i = 0; i < kEffectEventCount; ++i)
        if (text == effectEventText(i)) return i;
    return -1;
}

bool hasSecondVariant(const QString& text) {
    const int i = effectEventIndex(text);
    return i >= 0 && objectAt(i, 1);
}

std::optional<SoundEffect> effectEventObject(const QString& text, int variant) {
    const int i = effectEventIndex(text);
    if (i < 0) return std::nullopt;
    const EffectInfo* second = variant != 0 ? objectAt(i, 1) : nullptr;
    return (second ? second : objectAt(i, 0))->id;
}

SweepText sweepText(const QString& text) {
    // The box holds a 16-bit step: a number past a double's range saturates like one past the
    // 16-bit bounds, on the side its sign gives.
    const std::optional<double> n = leadingNumber(text);
    const double v = n                                 ? std::nearbyint(*n)
                     : text.trimmed().startsWith(u'-') ? -1
                                                       : kSweepStepMax + 1;
    if (v < 0) return {};
    if (v > kSweepStepMax) return {kSweepStepMax, true};
    return {static_cast<int16_t>(v), false};
}

}  // namespace morvast
