#include "settings/effect_events.h"

#include <gtest/gtest.h>

namespace morvast {
namespace {

TEST(EffectEvents, EachTextReachesItsObjectsAndOtherTextsReachNone) {
    const std::pair<const char16_t*, std::pair<EffectSlot, EffectSlot>> expected[] = {
        {u"Инверсия", {EffectSlot::mInverse1, EffectSlot::mInverse1}},
        {u"Появление Morvast-фигурки", {EffectSlot::mMorvast1, EffectSlot::mMorvast1}},
        {u"Удаление линиий", {EffectSlot::mDelLin1, EffectSlot::mDelLin1}},
        {u"Приземление", {EffectSlot::mDown1, EffectSlot::mDown2}},
        {u"Бросить", {EffectSlot::mDrop1, EffectSlot::mDrop2}},
        {u"Вращение", {EffectSlot::mRotate1, EffectSlot::mRotate1}},
        {u"Влево", {EffectSlot::mLeft1, EffectSlot::mLeft1}},
        {u"Вправо", {EffectSlot::mRight1, EffectSlot::mRight1}},
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
    EXPECT_EQ(leadingNumber(QStringLiteral("  1 2x5")), 12);
    EXPECT_EQ(leadingNumber(QStringLiteral("abc")), 0);
    EXPECT_EQ(leadingNumber(QString()), 0);
    EXPECT_EQ(leadingNumber(QStringLiteral("-")), 0);
    EXPECT_EQ(leadingNumber(QStringLiteral("+7")), 7);
    EXPECT_EQ(leadingNumber(QStringLiteral("2.5")), 2);  // halves to even
    EXPECT_EQ(leadingNumber(QStringLiteral("3.5.9")), 4);
    EXPECT_EQ(leadingNumber(QStringLiteral("99999999999999999999999")), 32767);
    EXPECT_EQ(leadingNumber(QStringLiteral("-40000")), -32768);
    EXPECT_EQ(leadingNumber(QStringLiteral("٣")), 0);  // only ASCII digits count

    EXPECT_EQ(sweepText(QStringLiteral("500")).step, 500);
    EXPECT_FALSE(sweepText(QStringLiteral("500")).replaceWithMax);
    const SweepText over = sweepText(QStringLiteral("600"));
    EXPECT_EQ(over.step, 500);
    EXPECT_TRUE(over.replaceWithMax);
    EXPECT_EQ(sweepText(QStringLiteral("x")).step, 0);
    const SweepText negative = sweepText(QStringLiteral("-5"));
    EXPECT_FALSE(negative.step.has_value());
    EXPECT_FALSE(negative.replaceWithMax);
}

}  // namespace
}  // namespace morvast
