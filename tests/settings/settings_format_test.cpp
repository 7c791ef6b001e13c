#include "settings/settings_format.h"

#include "files/leading_number.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include "settings_support.h"

namespace morvast {
namespace {

using testing::defaultFileText;

Settings parsed(const QByteArray& bytes) {
    Settings s;
    QString problem;
    EXPECT_TRUE(parseSettings(bytes, s, &problem)) << problem.toStdString();
    return s;
}

// Why the bytes fail to read; empty when they read.
QString failure(const QByteArray& bytes) {
    Settings s;
    QString problem;
    return parseSettings(bytes, s, &problem) ? QString() : problem;
}

QList<QByteArray> lines(const QByteArray& text) {
    return text.chopped(1).split('\n');
}

// The default file with line n (from 1) replaced.
QByteArray withLine(int n, const QByteArray& line) {
    QList<QByteArray> l = lines(defaultFileText());
    l[n - 1] = line + '\r';
    return l.join('\n') + '\n';
}

TEST(SettingsFormat, NumbersAndFlags) {
    const std::pair<const char*, double> lenient[] = {
        {"-1500 ", -1500}, {"1 2\t3", 123}, {"\t- 12abc", -12}, {"12.5.3", 12.5},
        {".5", 0.5},       {"abc", 0},      {"-", 0},           {"2D2x", 200},
        {"1e", 1},         {"1e-400", 0},   {"1,5", 1},         {" 1 e 3", 1000}};
    for (const auto& [text, want] : lenient)
        EXPECT_EQ(leadingNumber(QString::fromLatin1(text)), want) << text;
    EXPECT_EQ(leadingNumber(QStringLiteral("1e400")), std::nullopt);

    const QString half = QStringLiteral("1") + QLocale::system().decimalPoint() + "5";
    EXPECT_EQ(strictNumber(QStringLiteral(" -3e2 ")), -300);
    EXPECT_EQ(strictNumber(half), 1.5);
    for (const char* bad : {"", "  ", "9905x", "1.5.5", "nan", "inf", "1e400"})
        EXPECT_EQ(strictNumber(QString::fromLatin1(bad)), std::nullopt) << bad;

    for (const char* yes : {"True", "true", "tRuE", " TRUE ", "-1", "2"})
        EXPECT_EQ(flagValue(QString::fromLatin1(yes)), true) << yes;
    for (const char* no : {"False", "fAlSe", "0", " -0 "})
        EXPECT_EQ(flagValue(QString::fromLatin1(no)), false) << no;
    for (const char* bad : {"", "yes", "Tru", "True1", "1x"})
        EXPECT_EQ(flagValue(QString::fromLatin1(bad)), std::nullopt) << bad;

    EXPECT_EQ(nearestInt32(NAN), std::nullopt);

    // In the file: 1 main Left (lenient), 4 records Left (lenient), 7 statistics Left (strict),
    // 19 music volume, 20 its frequency, 23/24 an effect's, 64 SpeedChange, 65 iFantom.
    EXPECT_EQ(parsed(withLine(1, "12abc")).frmMain.Left, 12);
    EXPECT_EQ(parsed(withLine(4, "1 2 abc")).frmMorvasFathers.Left, 12);
    EXPECT_EQ(parsed(withLine(7, half.toLatin1())).frmStatistic.Left, 1.5f);
    EXPECT_EQ(parsed(withLine(20, " 0 ")).freq, 0);
    EXPECT_EQ(parsed(withLine(23, "-20000.5")).effect(SoundEffect::Left).DMCtrlVolume, -20000);
    EXPECT_EQ(parsed(withLine(65, " 2.5 ")).iFantom, 2);
    // Halves to even, also at the edges of each range.
    EXPECT_EQ(parsed(withLine(19, "-32768.5")).bkgVolume, -32768);
    EXPECT_EQ(parsed(withLine(65, "-0.5")).iFantom, 0);
    EXPECT_EQ(failure(withLine(19, "32768")),
              QStringLiteral("line 19: \"32768\" is out of the range -32768 to 32767"));
    const std::pair<int, const char*> bad[] = {
        {20, "2147483647.5"}, {24, "-2147483649"}, {64, "32767.5"}, {65, "255.5"},
        {65, "-1"},           {1, "1e39"},         {7, "12abc"},    {15, "Yes"}};
    for (const auto& [n, text] : bad)
        EXPECT_TRUE(failure(withLine(n, text)).startsWith(QStringLiteral("line %1:").arg(n)))
            << text;
    EXPECT_TRUE(failure(defaultFileText().left(300)).endsWith("the file ends before this line"));
    // A closed window's flag followed by its old coordinates: the next line is read as the next
    // flag (a number is a flag), so the shift shows only where a strict number meets "True".
    EXPECT_EQ(failure(withLine(3, "False")), QStringLiteral("line 6: \"True\" is not a number"));
}

// Paths as a player wrote them: relative to the program folder (never the current one), absolute,
// or empty. One a copy on Windows wrote ("\", any letter case, its code page) is the main window
// settings test's, which plays it.
TEST(SettingsFormat, StoredPathsLeadIntoTheProgramFolderAndKeepTheirBytesUntilChanged) {
    QTemporaryDir dir;
    QList<QByteArray> l = lines(defaultFileText());
    l[15] = "\x01\xff junk\r";  // the label line: whatever it holds, the label is written
    l[20] = "music/a.wav\r";
    l[24] = "\r";
    l[36] = "/music/my.wav\r";
    Settings s = parsed(l.join('\n') + '\n');
    resolvePaths(s, dir.path());
    EXPECT_EQ(s.effect(SoundEffect::Left).DMCtrlPath.used, dir.filePath("music/a.wav"));
    EXPECT_EQ(s.effect(SoundEffect::Right).DMCtrlPath.used, "");
    EXPECT_EQ(s.effect(SoundEffect::Drop2).DMCtrlPath.used, "/music/my.wav");
    EXPECT_EQ(s.effect(SoundEffect::Inverse).DMCtrlPath,
              (PathLine{"...", dir.filePath("sound/inverse1.WAV"), {}}));

    // Saved while in use, every path goes back as it came.
    s.effect(SoundEffect::Left).DMCtrlPath.set(dir.filePath("music/a.wav"));
    l[15] = QByteArray(kSettingsLabel) + '\r';
    EXPECT_EQ(encodeSettings(s), l.join('\n') + '\n');
    // Another path, or "..." in use, is written as the absolute path, on one line; "..." set again
    // stays "...".
    s.PathToBkgMusic.set(dir.filePath(QStringLiteral("sound/я.wav")));
    s.effect(SoundEffect::Left).DMCtrlPath.set(QStringLiteral("..."));
    s.effect(SoundEffect::Drop2).DMCtrlPath.set(QStringLiteral("line\r\nbreak"));
    s.MP3Path.set(s.MP3Path.used);
    l = lines(encodeSettings(s));
    EXPECT_EQ(l[16], (dir.filePath(QStringLiteral("sound/я.wav")) + "\r").toLocal8Bit());
    EXPECT_EQ(l[20], "...\r");
    EXPECT_EQ(l[36], "line  break\r");
    EXPECT_EQ(l[60], (dir.filePath("sound/AnotherBkg.mp3") + "\r").toLocal8Bit());
    // One too long to be read back is written as the default, so the file stays readable.
    s.MP3Path.set(QString(kMaxSettingsLine + 1, QLatin1Char('p')));
    EXPECT_EQ(parsed(encodeSettings(s)).MP3Path.stored, "...");
}

TEST(SettingsFormat, ReadWriteReadIsByteIdenticalInEitherLineEnd) {
    Settings s;
    s.frmMain = {-15, 0.5f};
    s.frmMorvasFathers.Visible = false;
    s.frmMP3 = {true, 123456792.f, -7.25f};
    s.EnableSoundControl = s.EnableLoop = s.MP3Loop = s.bDrawSetka = false;
    s.PathToBkgMusic.stored = QStringLiteral("/srv/музыка/loop.wav");
    s.bkgVolume = -32768;
    s.freq = 0;
    s.effect(SoundEffect::Down2) = {{QStringLiteral("rel\\down.wav"), {}, {}}, false, -20000, 0};
    s.effect(SoundEffect::Morvast).DMCtrlFreq = 2147483647;
    s.SpeedChange = 32767;
    s.iFantom = 255;

    const QByteArray once = encodeSettings(s);
    EXPECT_EQ(parsed(once), s);
    QByteArray lf = once;
    lf.replace("\r\n", "\n").chop(1);  // and the last line without its end
    EXPECT_EQ(encodeSettings(parsed(lf)), once);
    const QString point = QLocale::system().decimalPoint();
    // A closed window's coordinates are left out.
    EXPECT_TRUE(
        once.startsWith(("-15 \r\n 0" + point + "5 \r\nFalse\r\nTrue\r\n 11530 \r\n").toLatin1()));
    EXPECT_TRUE(once.contains(("\r\n 123456792 \r\n-7" + point + "25 \r\n").toLatin1()));
}

}  // namespace
}  // namespace morvast
