#include "settings/effect_events.h"

#include <gtest/gtest.h>

#include <tuple>

namespace morvast {
namespace {

TEST(EffectEvents, EachTextReachesItsObjectsAndOtherTextsReachNone) {
    const std::pair<const char16_t*, std::pair<SoundEffect, SoundEffect>> expected[] = {
        {u"Инверсия", {SoundEffect::Inverse, SoundEffect::Inverse}},
        {u"Появление Morvast-фигурки", {SoundEffect::Morvast, SoundEffect::Morvast}},
        {u"Удаление линиий", {SoundEffect::DelLin, SoundEffect::DelLin}},
        {u"Приземление", {SoundEffect::Down1, SoundEffect::Down2}},
        {u"Бросить", {SoundEffect::Drop1, SoundEffect::Drop2}},
        {u"Вращение", {SoundEffect::Rotate, SoundEffect::Rotate}},
        {u"Влево", {SoundEffect::Left, SoundEffect::Left}},
        {u"Вправо", {SoundEffect::Right, SoundEffect::Right}},
    };
    for (int i = 0; i < kEffectEventCount; ++i) {
        const QString text = QString::fromUtf16(expected[i].first);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(effectEventText(i), text);  // the list's order
        EXPECT_EQ(effectEventObject(text, 0), expected[i].second.first);
        EXPECT_EQ(effectEventObject(text, 1), expected[i].second.second);
        EXPECT_EQ(effectEventObject(text, 7), expected[i].second.second);
        EXPECT_EQ(hasSecondVariant(text), expected[i].second.first != expected[i].second.second);
    }
    for (const QString& other : {QString(), QStringLiteral("влево"), QStringLiteral("Empty")}) {
        EXPECT_EQ(effectEventIndex(other), -1);
        EXPECT_FALSE(effectEventObject(other, 0).has_value());
        EXPECT_FALSE(hasSecondVariant(other));
    }
}

TEST(SweepText, TakesTheLeadingNumberAndClampsOnlyFromAbove) {
    // The text, the step taken (-1: refused), whether the text becomes the maximum.
    const std::tuple<const char*, int, bool> cases[] = {
        {"  1 2x5", 12, false}, {"abc", 0, false},    {"", 0, false},       {"-", 0, false},
        {"+7", 7, false},       {"2.5", 2, false},    {"3.5.9", 4, false},  {"500", 500, false},
        {"600", 500, true},     {"1e3", 500, true},   {"1e400", 500, true}, {"-5", -1, false},
        {"-40000", -1, false},  {"-1e400", -1, false}};
    for (const auto& [text, step, max] : cases) {
        const SweepText typed = sweepText(QString::fromLatin1(text));
        EXPECT_EQ(typed.step.value_or(-1), step) << text;
        EXPECT_EQ(typed.replaceWithMax, max) << text;
    }
    EXPECT_EQ(sweepText(QStringLiteral("٣")).step, 0);  // only ASCII digits count
}

}  // namespace
}  // namespace morvast
