#pragma once

#include <array>
#include <cstddef>

namespace morvast {

// The ten sound-effect objects, one per action and variant, in the order their blocks stand in
// the settings file.
enum class SoundEffect {
    Left,
    Right,
    Rotate,
    Drop1,
    Drop2,
    Down1,
    Down2,
    DelLin,
    Morvast,
    Inverse
};

// Everything the program says about one effect object, in one row. Every other list of the
// effects (the settings file's blocks, the objects of the sound system, the settings window's
// event list, the media generator's files) is taken from this table.
struct EffectInfo {
    SoundEffect id;
    const char* fileName;     // the default file, in the program's sound folder
    const char16_t* caption;  // the settings window's event that edits this object
    int listPosition;         // that event's place in the window's list, from 0
    int variant;              // 0 the first (or only) object of its event, 1 the second
};

inline constexpr std::array<EffectInfo, 10> kEffects = {{
    {SoundEffect::Left, "left1.WAV", u"Влево", 6, 0},
    {SoundEffect::Right, "right1.WAV", u"Вправо", 7, 0},
    {SoundEffect::Rotate, "rotate1.WAV", u"Вращение", 5, 0},
    {SoundEffect::Drop1, "drop1.WAV", u"Бросить", 4, 0},
    {SoundEffect::Drop2, "drop2.WAV", u"Бросить", 4, 1},
    {SoundEffect::Down1, "down1.WAV", u"Приземление", 3, 0},
    {SoundEffect::Down2, "down2.WAV", u"Приземление", 3, 1},
    {SoundEffect::DelLin, "dellin1.WAV", u"Удаление линиий", 2, 0},
    {SoundEffect::Morvast, "morvast1.WAV", u"Появление Morvast-фигурки", 1, 0},
    {SoundEffect::Inverse, "inverse1.WAV", u"Инверсия", 0, 0},
}};
inline constexpr int kEffectCount = static_cast<int>(kEffects.size());

constexpr const EffectInfo& effectInfo(SoundEffect e) {
    return kEffects[static_cast<std::size_t>(e)];
}

// The events of the settings window's list: one per place, each with a first object.
inline constexpr int kEffectEventCount = [] {
    int places = 0;
    for (const EffectInfo& e : kEffects)
        if (e.listPosition + 1 > places) places = e.listPosition + 1;
    return places;
}();

namespace effects_table_check {
constexpr bool rowsInIdOrder() {
    for (int i = 0; i < kEffectCount; ++i)
        if (static_cast<int>(kEffects[static_cast<std::size_t>(i)].id) != i) return false;
    return true;
}
constexpr bool sameText(const char16_t* a, const char16_t* b) {
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}
// Every place of the event list has exactly one first object, at most one second, and one
// caption.
constexpr bool oneEventPerPlace() {
    for (int p = 0; p < kEffectEventCount; ++p) {
        int first = 0, second = 0;
        const char16_t* caption = nullptr;
        for (const EffectInfo& e : kEffects) {
            if (e.listPosition != p) continue;
            (e.variant == 0 ? first : second) += 1;
            if (caption && !sameText(caption, e.caption)) return false;
            caption = e.caption;
        }
        if (first != 1 || second > 1) return false;
    }
    return true;
}
static_assert(rowsInIdOrder(), "a row of the effects table stands out of its id's place");
static_assert(static_cast<int>(SoundEffect::Inverse) + 1 == kEffectCount,
              "an effect id without its row in the table");
static_assert(oneEventPerPlace(), "the event list's places are not one event each");
}  // namespace effects_table_check

}  // namespace morvast
