// The settings file as the main window applies and collects it, and the player window.
#include <QDir>
#include <QMouseEvent>
#include <QTest>

#include "../sound/media_helpers.h"
#include "gui_fixture.h"
#include "settings/app_paths.h"
#include "settings/settings_format.h"
#include "sound/audio_output.h"
#include "sound/sound_system.h"
#include "windows/forms/frm_future.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_mp3.h"
#include "windows/forms/frm_open.h"
#include "windows/forms/frm_statistic.h"
#include "windows/main/game_sounds.h"

namespace morvast {
namespace {

using testing::processUntil;
using testing::readFile;
using testing::writeFile;

QString media(const char* name) {
    return QStringLiteral(MORVAST_PROGRAM_DIR "/sound/") + QLatin1String(name);
}

// A main window whose settings file "MvstABC.ini" lies in a folder of its own.
class SettingsTest : public testing::MainWindowTest {
  protected:
    void beforeLoad() override { w->setSettingsFolder(dir.path(), QStringLiteral("ABC")); }
    QString iniPath() const { return dir.filePath(QStringLiteral("MvstABC.ini")); }
    // The same folder opened by a second start of the program.
    std::unique_ptr<frmMain> secondStart() {
        auto again = std::make_unique<frmMain>(&rnd, &clock);
        again->setRecordsFolder(recordsDir.path());
        again->setProgramEnd([] {});
        again->setSettingsFolder(dir.path(), QStringLiteral("ABC"));
        again->show();
        QApplication::processEvents();
        return again;
    }

    QTemporaryDir dir;
};

// What the file holds is the settings tests' to check; here, that the window applies what it
// reads and saves what it shows. The first start has no file.
TEST_F(SettingsTest, ASecondStartRestoresMovedWindowsAClosedSideWindowAndThePaths) {
    // The default player file does not lie beside the tests: its name shows all the same.
    EXPECT_EQ(w->playerWindow()->lblName->text(), "AnotherBkg.mp3");
    EXPECT_EQ(w->game.ForLoop, 0);
    // A new game reads nothing again.
    ASSERT_TRUE(writeFile(iniPath(), QByteArray()));
    w->game.ForLoop = 1234;
    w->Form_Load();
    EXPECT_EQ(w->game.ForLoop, 1234);
    EXPECT_TRUE(readFile(iniPath()).isEmpty());

    w->move(300, 200);
    w->recordsWindow()->move(30, 45);
    w->statisticWindow()->close();  // the close box
    w->settings.MP3Loop = false;
    w->game.settings.SpeedChange = 40;
    w->game.settings.iFantom = 2;
    w->showMinimized();  // written with the place of its normal state, nothing shown again
    struct ShownSpy : QObject {
        int shown = 0;
        bool eventFilter(QObject* o, QEvent* e) override {
            const auto* s = static_cast<QWidget*>(o);
            if (e->type() == QEvent::WindowStateChange && s->isVisible() && !s->isMinimized())
                ++shown;
            return false;
        }
    } spy;
    for (QWidget* s :
         std::initializer_list<QWidget*>{w.get(), w->recordsWindow(), w->futureWindow()})
        s->installEventFilter(&spy);
    QTest::mouseClick(w->chkExit, Qt::LeftButton);
    EXPECT_EQ(spy.shown, 0);

    const QList<QByteArray> lines = readFile(iniPath()).split('\n');
    ASSERT_EQ(lines.size(), 65);
    EXPECT_EQ(lines[0], " 4500 \r");  // 300 pixels
    // The default music lies in the program's folder, not in the settings file's.
    EXPECT_EQ(lines[14],
              (resolvePath(programFolder(), "Sound\\bkgmusic.WAV") + "\r").toLocal8Bit());

    const auto again = secondStart();
    EXPECT_EQ(again->pos(), QPoint(300, 200));
    EXPECT_EQ(again->recordsWindow()->pos(), QPoint(30, 45));
    EXPECT_FALSE(again->statisticWindow()->isVisible() || again->chkStat->isChecked());
    EXPECT_TRUE(again->futureWindow()->isVisible() && again->chkFuture->isChecked());
    EXPECT_EQ(again->playerWindow()->lblLoop->text(), "No loop");
    EXPECT_EQ(again->game.settings.iFantom, 2);
    // The sweep starts again from the left edge, at the stored speed; on a slow machine its timer
    // may already have stepped it during the start.
    EXPECT_EQ(again->game.settings.SpeedChange, 40);
    EXPECT_EQ((again->game.ForLoop + 5000) % 40, 0);
    EXPECT_LE(again->game.ForLoop, -5000 + 10 * 40);
}

// A hand-edited file with values the sound layer cannot use: the music switched off, a
// frequency of 0, an effect quieter than silent. How stored paths are read (relative ones, the
// old code page) is the settings tests' to check.
class SettingsWithSounds : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        // The media open once the window has been painted.
        ASSERT_TRUE(QTest::qWaitFor([this] { return sounds->system() != nullptr; }, 5000));
    }
    void beforeLoad() override {
        Settings s;
        // Places between whole pixels (9905 twips is 660.3 px) come back as they were.
        s.frmStatistic.Left = 11537;
        s.EnableLoop = false;
        s.bkgVolume = -2500;
        s.freq = 0;
        s.PathToBkgMusic.set(media("bkgmusic.WAV"));
        for (int i = 0; i < kEffectCount; ++i)
            s.effects[i].DMCtrlPath.set(media(kEffects[i].fileName));
        s.effect(SoundEffect::Down2).DMCtrlVolume = -12000;
        s.effect(SoundEffect::Down2).DMCtrlEnabled = false;
        s.MP3Path.set(QStringLiteral("/nowhere/song.mp3"));
        fileBefore = encodeSettings(s);
        ASSERT_TRUE(writeFile(iniPath(), fileBefore));
        SettingsTest::beforeLoad();
        // The real sound objects, rendering into an output the test drives.
        sounds = std::make_unique<GameSounds>(*w, [this] {
            auto out = std::make_unique<sound::ManualAudioOutput>(8000, 256);
            output = out.get();
            return out;
        });
        w->setSoundPort(sounds.get());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        sounds.reset();
    }
    SoundSystem& system() { return *sounds->system(); }

    QByteArray fileBefore;
    std::unique_ptr<GameSounds> sounds;
    sound::ManualAudioOutput* output = nullptr;
};

// The values the sound objects hold are saved from them: the file coming back unchanged shows
// that each reached its object.
TEST_F(SettingsWithSounds, MusicSwitchedOffIsStillLoadedAndTheFileRoundTripsUnchanged) {
    EXPECT_TRUE(system().music.loaded());
    EXPECT_FALSE(system().music.isSounding());
    w->close();
    EXPECT_EQ(readFile(iniPath()), fileBefore);
}

// Without a file ("" or the marker of the default one) the player shows "Empty" and its loop
// label keeps its design caption.
TEST(PlayerWindow, InitMusicWithoutAFile) {
    testing::app();
    for (const char* path : {"", "..."}) {
        MainSettings s;
        s.MP3Path = QString::fromLatin1(path);
        frmMP3 player(s);
        player.InitMusic();
        EXPECT_EQ(
            QStringList({player.lblName->text(), player.lblLoop->text(), player.lblTime->text()}),
            QStringList({"Empty", "Не зациклить", ""}))
            << path;
    }
}

TEST_F(SettingsWithSounds, PlayerWindowLoopsTimesSelectsAndForgetsItsFileWhenClosed) {
    frmMP3* player = w->playerWindow();
    // The loop label switches at a left click and leaves the keyboard with the game.
    for (const char* caption : {"No loop", "Loop"}) {
        QTest::mouseClick(player->lblLoop, Qt::LeftButton);
        EXPECT_EQ(player->lblLoop->text(), caption);
        EXPECT_TRUE(processUntil([&] { return w->picMorvast->hasFocus(); }));
    }
    // Once for a double click; not at all for the right button or a release away from it.
    const auto mouse = [&](QEvent::Type type, Qt::MouseButton button, QPoint at = {4, 4}) {
        QMouseEvent e(type, at, player->lblLoop->mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(player->lblLoop, &e);
    };
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        mouse(type, Qt::LeftButton);
    EXPECT_EQ(player->lblLoop->text(), "No loop");
    mouse(QEvent::MouseButtonPress, Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, Qt::RightButton);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {-5, -5});
    EXPECT_EQ(player->lblLoop->text(), "No loop");
    EXPECT_FALSE(w->settings.MP3Loop);

    // "Select" with a scripted choice: only music files are offered.
    QTemporaryDir music;
    testing::writeWave(music.filePath("short.mp3").toStdString(), std::vector(1600, 0.1f), 8000);
    testing::writeWave(music.filePath("effect.wav").toStdString(), std::vector(10, 0.1f), 8000);
    w->fileChooser().SetPath(music.path());
    QStringList offered;
    testing::whenShown<frmOpen>([&](frmOpen* d) {
        offered = testing::listTexts(d->filOpen);
        d->filOpen_Click(QStringLiteral("short.mp3"));
    });
    player->cmdOpen_Click();
    EXPECT_EQ(offered, QStringList{"short.mp3"});
    EXPECT_TRUE(w->fileChooser().AddictPattern.isEmpty());
    const QString shortMp3 = QDir(music.path()).filePath("short.mp3");
    EXPECT_EQ(player->lblName->text(), "short.mp3");
    EXPECT_EQ(w->settings.MP3Path, shortMp3);
    // The chooser closed without a choice changes nothing, whatever file another caller (the
    // settings window) left in it.
    w->fileChooser().PathToFile = music.filePath("effect.wav");
    testing::whenShown<frmOpen>([](frmOpen* d) { d->reject(); });
    player->cmdOpen_Click();
    EXPECT_EQ(QStringList({player->lblName->text(), w->settings.MP3Path, system().mp3.FileName()}),
              QStringList({"short.mp3", shortMp3, shortMp3}));

    // Once a second: the time while it plays; the end of a file not looping empties the name.
    w->settings.MP3Loop = false;
    ASSERT_TRUE(processUntil([&] { return system().mp3.IsPlaying(); }, 20));
    player->tmrIsPlaying_Timer();
    EXPECT_EQ(player->lblTime->text(), "Time 0:00");
    ASSERT_TRUE(processUntil([&] { return output->render(512), !system().mp3.IsPlaying(); }, 2000));
    player->tmrIsPlaying_Timer();
    EXPECT_EQ(player->lblName->text(), "Empty");
    EXPECT_EQ(player->lblTime->text(), "");
    // With looping on, the ended file starts again.
    w->settings.MP3Loop = true;
    player->tmrIsPlaying_Timer();
    EXPECT_TRUE(system().mp3.IsPlaying());

    // The close box stops the music and drops the file in favour of the default one.
    player->close();
    EXPECT_FALSE(player->isVisible() || w->chkMP3->isChecked());
    EXPECT_FALSE(system().mp3.IsPlaying());
    EXPECT_EQ(w->settings.MP3Path, "...");
    // A new choice of that same file plays it again; the close box drops it once more.
    testing::whenShown<frmOpen>([](frmOpen* d) { d->filOpen_Click(QStringLiteral("short.mp3")); });
    player->cmdOpen_Click();
    EXPECT_EQ(w->settings.MP3Path, shortMp3);
    EXPECT_EQ(player->lblName->text(), "short.mp3");
    EXPECT_TRUE(processUntil([&] { return system().mp3.IsPlaying(); }, 20));
    player->close();
    EXPECT_EQ(w->settings.MP3Path, "...");
}

}  // namespace
}  // namespace morvast
