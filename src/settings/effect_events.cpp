#include "settings/effect_events.h"

#include "files/leading_number.h"

#include <cmath>

namespace morvast {

const std::array<const char16_t*, kEffectEventCount> kEffectEventTexts = {
    u"Инверсия",        u"Появление Morvast-фигурки",
    u"Удаление линиий", u"Приземление",
    u"Бросить",         u"Вращение",
    u"Влево",           u"Вправо"};

namespace {

struct EventObjects {
    EffectSlot first;
    std::optional<EffectSlot> second;
};

// In the order of kEffectEventTexts.
const std::array<EventObjects, kEffectEventCount> kObjects = {{
    {EffectSlot::mInverse1, {}},
    {EffectSlot::mMorvast1, {}},
    {EffectSlot::mDelLin1, {}},
    {EffectSlot::mDown1, EffectSlot::mDown2},
    {EffectSlot::mDrop1, EffectSlot::mDrop2},
    {EffectSlot::mRotate1, {}},
    {EffectSlot::mLeft1, {}},
    {EffectSlot::mRight1, {}},
}};

}  // namespace

QString effectEventText(int i) {
    return QString::fromUtf16(kEffectEventTexts.at(static_cast<size_t>(i)));
}

int effectEventIndex(const QString& text) {
    for (int i = 0; i < kEffectEventCount; ++i)
        if (text == effectEventText(i)) return i;
    return -1;
}

bool hasSecondVariant(const QString& text) {
    const int i = effectEventIndex(text);
    return i >= 0 && kObjects[static_cast<size_t>(i)].second.has_value();
}

std::optional<EffectSlot> effectEventObject(const QString& text, int variant) {
    const int i = effectEventIndex(text);
    if (i < 0) return std::nullopt;
    const EventObjects& o = kObjects[static_cast<size_t>(i)];
    return variant != 0 && o.second ? *o.second : o.first;
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
