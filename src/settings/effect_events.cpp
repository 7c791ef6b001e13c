#include "settings/effect_events.h"

#include <cmath>
#include <limits>

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

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

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

int16_t leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    // Digits beyond what a double holds exactly only push the value further past the bounds.
    double value = 0;
    bool fraction = false;
    double scale = 0.1;  // the weight of the next fraction digit
    for (skipBlanks(); i < n; ++i, skipBlanks()) {
        const QChar c = text[i];
        if (c == u'.' && !fraction) {
            fraction = true;
        } else if (c.isDigit() && c.unicode() < 128) {
            const int d = c.unicode() - u'0';
            if (!fraction) {
                value = value * 10 + d;
            } else {
                value += d * scale;
                scale /= 10;
            }
        } else {
            break;
        }
    }
    if (negative) value = -value;
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (rounded > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    if (rounded < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    return static_cast<int16_t>(rounded);
}

SweepText sweepText(const QString& text) {
    const int16_t v = leadingNumber(text);
    if (v < 0) return {};
    if (v > kSweepStepMax) return {kSweepStepMax, true};
    return {v, false};
}

}  // namespace morvast
