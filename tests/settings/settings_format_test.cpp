#include "settings/settings_format.h"

#include <QBuffer>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "settings_support.h"

namespace morvast {
namespace {

using testing::defaultFileText;

// The system locale's way of writing one and a half.
QString oneAndAHalf() {
    return QStringLiteral("1") + QLocale::system().decimalPoint() + "5";
}

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
    QList<QByteArray> l = text.split('\n');
    l.removeLast();
    return l;
}

// The default file with line n (from 1) replaced.
QByteArray withLine(int n, const QByteArray& line) {
    QList<QByteArray> l = lines(defaultFileText());
    l[n - 1] = line + '\r';
    return l.join('\n') + '\n';
}

TEST(SettingsFormat, DefaultFileIs66LinesByteForByteAndReadsAsTheDefaults) {
    EXPECT_EQ(defaultSettingsBytes(), defaultFileText());
    EXPECT_EQ(lines(defaultSettingsBytes()).size(), 66);
    EXPECT_EQ(parsed(defaultFileText()), Settings{});
}

TEST(SettingsFormat, ClosedSideWindowHasOnlyItsFlagAndTheNextLineIsTheNextFlag) {
    Settings s;
    s.frmMorvasFathers.Visible = false;
    s.frmFuture.Visible = false;
    s.frmStatistic = {true, -120, 30000};
    const QByteArray bytes = encodeSettings(s);
    const QList<QByteArray> l = lines(bytes);
    ASSERT_EQ(l.size(), 62);
    EXPECT_EQ(l.mid(2, 7), QList<QByteArray>({"False\r", "True\r", "-120 \r", " 30000 \r",
                                              "False\r", "True\r", " 9905 \r"}));
    EXPECT_EQ(parsed(bytes), s);

    // A hand-made file with all four closed is the shortest, 58 lines; positions stay unset.
    QList<QByteArray> d = lines(defaultFileText());
    for (int flag : {12, 9, 6, 3})
        d.remove(flag, 2), d[flag - 1] = "False\r";
    ASSERT_EQ(d.size(), 58);
    const Settings closed = parsed(d.join('\n') + '\n');
    EXPECT_FALSE(closed.frmMP3.Visible);
    EXPECT_EQ(closed.frmMP3.Top, 5872);
    EXPECT_EQ(closed.effects[mInverse1], EffectSettings{});
    EXPECT_TRUE(closed.bDrawSetka);

    // Coordinates after a closed window's flag are read in the next flag's place: a number is a
    // flag (non-zero is true), so the shift goes unnoticed until a strict line fails.
    EXPECT_EQ(failure(withLine(3, "False")), QStringLiteral("line 6: \"True\" is not a number"));
}

TEST(SettingsFormat, LenientNumbers) {
    const std::pair<const char*, double> cases[] = {
        {" 2955 ", 2955}, {"-1500 ", -1500}, {"1 2\t3", 123}, {"\t- 12abc", -12}, {"12.5.3", 12.5},
        {".5", 0.5},      {"abc", 0},        {"", 0},         {"-", 0},           {"1e3", 1000},
        {"2D2x", 200},    {"1e", 1},         {"+7", 7},       {"1e-400", 0},      {"1,5", 1},
    };
    for (const auto& [text, want] : cases)
        EXPECT_EQ(lenientNumber(QString::fromUtf8(text)), want) << text;
    EXPECT_EQ(lenientNumber(QStringLiteral("1e400")), std::nullopt);
    EXPECT_EQ(lenientNumber(QString(400, QLatin1Char('9'))), std::nullopt);
}

TEST(SettingsFormat, StrictNumbersAndFlags) {
    EXPECT_EQ(strictNumber(QStringLiteral(" 9905 ")), 9905);
    EXPECT_EQ(strictNumber(QStringLiteral("-3e2")), -300);
    EXPECT_EQ(strictNumber(oneAndAHalf()), 1.5);
    for (const char* bad : {"", "  ", "9905x", "x9905", "1.5.5", "nan", "inf", "1e400"})
        EXPECT_EQ(strictNumber(QString::fromLatin1(bad)), std::nullopt) << bad;

    for (const char* yes : {"True", "true", "TRUE", "tRuE", " True ", "-1", "1", "2"})
        EXPECT_EQ(flagValue(QString::fromLatin1(yes)), true) << yes;
    for (const char* no : {"False", "false", "FALSE", "fAlSe", "0", " -0 "})
        EXPECT_EQ(flagValue(QString::fromLatin1(no)), false) << no;
    for (const char* bad : {"", "yes", "Tru", "True1", "1x", "nan"})
        EXPECT_EQ(flagValue(QString::fromLatin1(bad)), std::nullopt) << bad;
}

TEST(SettingsFormat, NearestIntegerHalvesToEvenAndRangeFailures) {
    EXPECT_EQ(nearestInt16(2.5), 2);
    EXPECT_EQ(nearestInt16(3.5), 4);
    EXPECT_EQ(nearestInt16(-2.5), -2);
    EXPECT_EQ(nearestInt16(-2.6), -3);
    EXPECT_EQ(nearestInt16(32767.4), 32767);
    EXPECT_EQ(nearestInt16(32767.5), std::nullopt);  // 32768
    EXPECT_EQ(nearestInt16(-32768.5), -32768);       // even
    EXPECT_EQ(nearestInt16(-32768.6), std::nullopt);
    EXPECT_EQ(nearestInt32(2147483646.5), 2147483646);
    EXPECT_EQ(nearestInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(nearestInt32(-2147483648.5), -2147483648LL);
    EXPECT_EQ(nearestByte(-0.5), 0);
    EXPECT_EQ(nearestByte(-0.6), std::nullopt);
    EXPECT_EQ(nearestByte(254.5), 254);
    EXPECT_EQ(nearestByte(255.5), std::nullopt);
    EXPECT_EQ(nearestInt32(NAN), std::nullopt);

    // In the file: line 19 is the music volume, 20 its frequency, 21-24 the first effect, 65
    // iFantom, 64 SpeedChange, 1 and 7 positions (main lenient, statistics strict).
    EXPECT_EQ(parsed(withLine(19, "-32768.5")).bkgVolume, -32768);
    EXPECT_EQ(parsed(withLine(20, " 0 ")).freq, 0);
    EXPECT_EQ(parsed(withLine(23, "-20000.5")).effects[mLeft1].DMCtrlVolume, -20000);
    EXPECT_EQ(parsed(withLine(65, " 2.5 ")).iFantom, 2);
    EXPECT_EQ(parsed(withLine(1, "12abc")).frmMain.Left, 12);
    EXPECT_EQ(parsed(withLine(4, "12 abc")).frmMorvasFathers.Left, 12);
    EXPECT_EQ(parsed(withLine(7, oneAndAHalf().toLatin1())).frmStatistic.Left, 1.5f);
    EXPECT_EQ(failure(withLine(19, "32768")),
              QStringLiteral("line 19: \"32768\" is out of the range -32768 to 32767"));
    EXPECT_TRUE(failure(withLine(20, "3e9")).startsWith("line 20:"));
    EXPECT_TRUE(failure(withLine(24, "-2147483649")).startsWith("line 24:"));
    EXPECT_TRUE(failure(withLine(64, "40000")).startsWith("line 64:"));
    EXPECT_TRUE(failure(withLine(65, "256")).startsWith("line 65:"));
    EXPECT_TRUE(failure(withLine(65, "-1")).startsWith("line 65:"));
    EXPECT_TRUE(failure(withLine(1, "1e39")).startsWith("line 1:"));
    EXPECT_TRUE(failure(withLine(7, "12abc")).startsWith("line 7:"));
    EXPECT_TRUE(failure(withLine(15, "Yes")).startsWith("line 15:"));
    EXPECT_TRUE(failure(defaultFileText().left(300)).contains("the file ends before this line"));
}

TEST(SettingsFormat, PathsKeepTheirTextAndResolveDefaultsInTheProgramFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("sound"));
    ASSERT_TRUE(testing::writeFile(dir.filePath("sound/bkgmusic.WAV"), "RIFF"));

    Settings s = parsed(withLine(17, "/music/my.wav"));
    resolvePaths(s, dir.path());
    EXPECT_EQ(s.PathToBkgMusic.stored, "/music/my.wav");
    EXPECT_EQ(s.PathToBkgMusic.used, "/music/my.wav");
    EXPECT_EQ(s.effects[mLeft1].DMCtrlPath.stored, "...");
    EXPECT_EQ(s.effects[mLeft1].DMCtrlPath.used, dir.filePath("sound/left1.WAV"));
    EXPECT_EQ(s.effects[mInverse1].DMCtrlPath.used, dir.filePath("sound/inverse1.WAV"));
    EXPECT_EQ(s.MP3Path.used, dir.filePath("sound/AnotherBkg.mp3"));
    // "Sound\bkgmusic.WAV" reaches the one folder "sound".
    Settings d;
    resolvePaths(d, dir.path());
    EXPECT_EQ(d.PathToBkgMusic.used, dir.filePath("sound/bkgmusic.WAV"));

    // Saving: an unchanged path keeps "...", a changed one is written as it is.
    d.PathToBkgMusic.set(d.PathToBkgMusic.used);
    d.MP3Path.set(QStringLiteral("/home/я/song.mp3"));
    d.effects[mDrop2].DMCtrlPath.set(QStringLiteral("line\r\nbreak"));
    const QList<QByteArray> l = lines(encodeSettings(d));
    EXPECT_EQ(l[16], "...\r");
    EXPECT_EQ(l[60], QStringLiteral("/home/я/song.mp3\r").toLocal8Bit());
    EXPECT_EQ(l[36], "line  break\r");
    EXPECT_EQ(l.size(), 66);
    // A path too long to be read back is written as the default, so the file stays readable.
    d.MP3Path.set(QString(kMaxSettingsLine + 1, QLatin1Char('p')));
    EXPECT_EQ(parsed(encodeSettings(d)).MP3Path.stored, "...");

    // A path written by a system using the original's code page.
    EXPECT_EQ(parsed(withLine(17, "C:\\\xcc\xf3\xe7\xfb\xea\xe0.wav")).PathToBkgMusic.stored,
              QStringLiteral("C:\\Музыка.wav"));
}

TEST(SettingsFormat, LabelLineMayHoldAnythingAndIsWrittenAsTheLabel) {
    for (const QByteArray& label : {QByteArray(), QByteArray("   "), QByteArray("\x01\xff junk")}) {
        const QByteArray bytes = withLine(16, label);
        EXPECT_EQ(encodeSettings(parsed(bytes)), defaultFileText());
    }
}

TEST(SettingsFormat, ReadWriteReadIsByteIdenticalInEitherLineEnd) {
    Settings s;
    s.frmMain = {-15, 0.5f};
    s.frmMorvasFathers.Visible = false;
    s.frmMP3 = {true, 123456792.f, -7.25f};
    s.EnableSoundControl = false;
    s.PathToBkgMusic.stored = QStringLiteral("/srv/музыка/loop.wav");
    s.EnableLoop = false;
    s.bkgVolume = -32768;
    s.freq = 0;
    s.effects[mDown2] = {{QStringLiteral("rel\\down.wav"), {}}, false, -20000, 0};
    s.effects[mMorvast1].DMCtrlFreq = 2147483647;
    s.MP3Path.stored = QStringLiteral("...");
    s.MP3Loop = false;
    s.SpeedChange = 32767;
    s.iFantom = 255;
    s.bDrawSetka = false;

    const QByteArray once = encodeSettings(s);
    EXPECT_EQ(parsed(once), s);
    EXPECT_EQ(encodeSettings(parsed(once)), once);
    QByteArray lf = once;
    lf.replace("\r\n", "\n");
    EXPECT_EQ(encodeSettings(parsed(lf)), once);
    lf.chop(1);  // the last line without its end
    EXPECT_EQ(encodeSettings(parsed(lf)), once);
    const QString point = QLocale::system().decimalPoint();
    EXPECT_TRUE(once.startsWith(("-15 \r\n 0" + point + "5 \r\nFalse\r\n").toLatin1()));
    EXPECT_TRUE(once.contains(("\r\n 123456792 \r\n-7" + point + "25 \r\n").toLatin1()));
}

TEST(SettingsFormat, ReadsLineByLineAndNeverPastWhatItNeeds) {
    // Lines at the limit read; one byte more fails without the line being taken whole.
    EXPECT_EQ(parsed(withLine(17, QByteArray(kMaxSettingsLine, 'p'))).PathToBkgMusic.stored.size(),
              kMaxSettingsLine);
    QByteArray huge = withLine(17, QByteArray(1 << 20, 'p'));
    QBuffer buffer(&huge);
    buffer.open(QIODevice::ReadOnly);
    Settings s;
    QString problem;
    EXPECT_FALSE(readSettings(buffer, s, &problem));
    EXPECT_EQ(problem, QStringLiteral("line 17: the line is longer than 32768 bytes"));
    EXPECT_LT(buffer.pos(), 2 * kMaxSettingsLine);

    QByteArray tail = defaultFileText() + QByteArray(1 << 20, 'x');
    QBuffer rest(&tail);
    rest.open(QIODevice::ReadOnly);
    EXPECT_TRUE(readSettings(rest, s));
    EXPECT_EQ(rest.pos(), defaultFileText().size());
}

}  // namespace
}  // namespace morvast
