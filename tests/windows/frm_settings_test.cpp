// The settings window driven as a player drives it, over real sound objects and a chooser over
// a temporary folder. What the values sound like is the sound tests' business; here, that the
// controls reach the objects.
#include <tuple>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include "../sound/media_helpers.h"
#include "gui_fixture.h"
#include "settings/effect_events.h"
#include "sound/audio_output.h"
#include "sound/sound_system.h"
#include "windows/forms/frm_enter_name.h"
#include "windows/forms/frm_game_over.h"
#include "windows/forms/frm_open.h"
#include "windows/forms/frm_settings.h"

namespace morvast {
namespace {

using testing::whenShown;

QString waveFile(const QString& dir, const QString& name, int frames, uint32_t rate) {
    const QString path = QDir(dir).filePath(name);
    testing::writeWave(path.toStdString(), std::vector<float>(static_cast<size_t>(frames), 0.25f),
                       rate);
    return path;
}

QPoint handleCentre(QSlider* s) {
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = opt.sliderValue = s->value();
    opt.tickPosition = s->tickPosition();
    opt.tickInterval = s->tickInterval();
    opt.subControls = QStyle::SC_All;
    return s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s).center();
}

// Presses a key on a slider; the release comes separately, as a player's finger does.
void pressKey(QWidget* w, Qt::Key k) {
    QTest::sendKeyEvent(QTest::Press, w, k, QString(), Qt::NoModifier);
}
void releaseKey(QWidget* w, Qt::Key k) {
    QTest::sendKeyEvent(QTest::Release, w, k, QString(), Qt::NoModifier);
}

class SettingsWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(tmp.path()).mkpath(QStringLiteral("sound")));
        soundDir = tmp.filePath(QStringLiteral("sound"));
        auto output = std::make_unique<sound::ManualAudioOutput>(48000);
        sounds = std::make_unique<SoundSystem>(std::move(output), main.EnableSoundControl, [] {});
        // Each object its own file, volume and frequency, so a mix-up shows.
        for (int i = 0; i < 10; ++i) {
            clsDMCtrl& e = sounds->effect(static_cast<SoundEffect>(i));
            e.DMCtrlPath(waveFile(soundDir, QStringLiteral("e%1.wav").arg(i), 15000, 15000));
            e.DMCtrlEnabled(true);
            e.DMCtrlVolume(static_cast<int16_t>(-100 * i));
            e.DMCtrlFreq(15000 + 100 * i);
        }
        main.PathToBkgMusic = waveFile(soundDir, QStringLiteral("music.wav"), 15000, 15000);
        sounds->music.BkgMusicLoad(main.PathToBkgMusic, main.freq);
        int16_t volume = -1500;
        sounds->music.BkgMusicSetVolume(volume);
        main.freq = 15000;
        play.SpeedChange = 100;
        play.iFantom = 1;
    }
    void open() {
        w = std::make_unique<frmSettings>(
            SettingsTargets{main, play, ForLoop, sounds.get(), chooser});
        w->setUrlOpener([this](const QUrl& url) {
            opened << url.toString();
            return false;  // as when no mail program answers
        });
        w->show();
        QApplication::processEvents();
    }
    clsDMCtrl& fx(SoundEffect e) { return sounds->effect(e); }
    void selectEvent(const QString& text) {
        w->cmbListEvents->setFocus();
        const int target = w->cmbListEvents->findText(text);
        ASSERT_GE(target, 0);
        while (w->cmbListEvents->currentIndex() != target)
            QTest::keyClick(w->cmbListEvents,
                            w->cmbListEvents->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
    bool app = (testing::app(), true);
    QTemporaryDir tmp;
    QString soundDir;
    MainSettings main;
    PlaySettings play;
    int16_t ForLoop = 123;
    std::unique_ptr<SoundSystem> sounds;
    frmOpen chooser{tmp.path(), [this] { return QList<Volume>{{tmp.path(), {}, true}}; }};
    std::unique_ptr<frmSettings> w;
    QStringList opened;
};

// The one place the window's captions and ranges are written out in the tests.
TEST_F(SettingsWindow, DesignOfTheWindow) {
    open();  // its title is how the end-to-end play finds it
    EXPECT_EQ(w->size(), QSize(506, 432));
    // Centred, give or take the desktop's frame.
    const QPoint off = w->frameGeometry().center() - w->screen()->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 4);
    // The first phantom caption begins with a Latin "H", as the design has it.
    const std::pair<std::vector<QWidget*>, const char16_t*> captions[] = {
        {{w->chkSetka}, u"Убрать"},
        {{w->optFant[0]}, u"Hе показывать"},
        {{w->optFant[1]}, u"Только при появлении Morvast-фигурки"},
        {{w->optFant[2]}, u"Показывать всегда"},
        {{w->chkSoundControl}, u"Выкл. озвучивание осн. событий"},
        {{w->cmdOpenFirst, w->cmdOpenSecond, w->cmdOpen}, u"Выбрать файл"},
        {{w->chkEnFirstVar, w->chkEnSecondVar, w->chkEnable}, u"Выключить"},
        {{w->cmdOk}, u"OK"},
        {{w->lblMail}, u"E-mail"},
        {{w->Frame1}, u"Сетка"},
        {{w->fraFant}, u"Фантом"},
        {{w->fraButton}, u"Основные события"},
        {{w->fraFirstVar}, u"Первый вариант"},
        {{w->fraSecondVar}, u"Второй вариант"},
        {{w->fraBkg}, u"Фоновая музыка"}};
    for (const auto& [controls, text] : captions)
        for (QWidget* c : controls)
            EXPECT_EQ(testing::caption(c), QString::fromUtf16(text));
    for (QLabel* l : {w->lblFirstVar, w->lblSecondVar, w->lblFile})
        EXPECT_EQ(l->toolTip(), QStringLiteral("Имя wav-файла"));

    // Minimum, maximum, small and large step, tick interval.
    const std::tuple<std::vector<QSlider*>, QList<int>, const char16_t*> ranges[] = {
        {{w->sldVolBut1, w->sldVolBut2, w->sldVolBackgrnd}, {-2500, 0, 1, 1000, 250}, u"Громкость"},
        {{w->sldFreqBut1, w->sldFreqBut2, w->sldFreq},
         {5000, 75000, 1, 5000, 2500},
         u"Скорость воспроизведения"},
        {{w->sldChange},
         {0, 500, 1, 2, 100},
         u"Скорость перехода звука из одной стороны в другую"}};
    for (const auto& [sliders, range, tip] : ranges)
        for (QSlider* s : sliders) {
            EXPECT_EQ(QList({s->minimum(), s->maximum(), s->singleStep(), s->pageStep(),
                             s->tickInterval()}),
                      range);
            EXPECT_EQ(s->toolTip(), QString::fromUtf16(tip));
        }
}

TEST_F(SettingsWindow, OpeningShowsTheValuesInForceAndTheEventListEditsOnlyItsObjects) {
    main.freq = 80000;                       // above the slider's range
    fx(SoundEffect::Inverse).DMCtrlFreq(0);  // the file's own rate, not played yet
    main.EnableSoundControl = false;
    play.EnableLoop = false;
    play.bDrawSetka = false;
    play.iFantom = 2;
    play.SpeedChange = 700;
    open();
    ASSERT_EQ(w->cmbListEvents->count(), kEffectEventCount);
    for (int i = 0; i < kEffectEventCount; ++i)
        EXPECT_EQ(w->cmbListEvents->itemText(i), effectEventText(i));
    EXPECT_FALSE(w->fraSecondVar->isVisible());
    EXPECT_EQ(w->lblFirstVar->text(), QStringLiteral("e9.wav"));
    // Values outside a slider's range show as its nearest end.
    EXPECT_EQ(QList({w->sldVolBut1->value(), w->sldFreqBut1->value(), w->sldVolBackgrnd->value(),
                     w->sldFreq->value(), w->sldChange->value()}),
              QList({-900, 5000, -1500, 75000, 500}));
    EXPECT_EQ(w->txtChange->text(), QStringLiteral("500"));
    EXPECT_EQ(w->lblFile->text(), QStringLiteral("music.wav"));
    EXPECT_TRUE(w->chkEnable->isChecked() && w->chkSoundControl->isChecked());
    EXPECT_TRUE(w->chkSetka->isChecked() && w->optFant[2]->isChecked());
    EXPECT_TRUE(sounds->music.isSounding());  // opening does not stop the music

    selectEvent(QStringLiteral("Бросить"));
    EXPECT_TRUE(w->fraSecondVar->isVisible());
    EXPECT_EQ(QStringList({w->lblFirstVar->text(), w->lblSecondVar->text()}),
              QStringList({"e3.wav", "e4.wav"}));
    EXPECT_EQ(std::tuple(w->sldVolBut2->value(), w->sldFreqBut2->value()), std::tuple(-400, 15400));
    QTest::mouseClick(w->chkEnSecondVar, Qt::LeftButton);
    EXPECT_FALSE(fx(SoundEffect::Drop2).DMCtrlEnabled());
    EXPECT_TRUE(fx(SoundEffect::Drop1).DMCtrlEnabled());
    QTest::mouseClick(w->chkEnFirstVar, Qt::LeftButton);
    EXPECT_FALSE(fx(SoundEffect::Drop1).DMCtrlEnabled());
    QTest::mouseClick(w->chkEnFirstVar, Qt::LeftButton);  // and on again

    selectEvent(QStringLiteral("Приземление"));
    EXPECT_EQ(w->lblSecondVar->text(), QStringLiteral("e6.wav"));
    EXPECT_FALSE(w->chkEnSecondVar->isChecked());
    selectEvent(QStringLiteral("Влево"));
    EXPECT_FALSE(w->fraSecondVar->isVisible());
    EXPECT_EQ(w->lblFirstVar->text(), QStringLiteral("e0.wav"));
    QTest::mouseClick(w->chkEnFirstVar, Qt::LeftButton);
    for (int i = 0; i < 10; ++i) {  // the two switched off, and only they
        const auto e = static_cast<SoundEffect>(i);
        EXPECT_EQ(fx(e).DMCtrlEnabled(), e != SoundEffect::Left && e != SoundEffect::Drop2) << i;
    }
    QTest::mouseClick(w->chkSoundControl, Qt::LeftButton);
    EXPECT_TRUE(main.EnableSoundControl);

    // Neither the opening nor the switching wrote back the values shown.
    EXPECT_EQ(main.freq, 80000);
    EXPECT_EQ(fx(SoundEffect::Inverse).DMCtrlFreq(), 0);
    EXPECT_EQ(fx(SoundEffect::Down2).DMCtrlVolume(), -600);
    EXPECT_EQ(fx(SoundEffect::Down2).DMCtrlFreq(), 15600);
    EXPECT_EQ(play.SpeedChange, 700);
}

TEST_F(SettingsWindow, VariantSlidersActWhenLetGoOrTurnedAndNeverShowAValueNotInForce) {
    open();
    clsDMCtrl& inverse = fx(SoundEffect::Inverse);
    // Dragging moves the slider; only the release over it passes the value on.
    QSlider* s = w->sldVolBut1;
    const QPoint from = handleCentre(s);
    QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(s, from - QPoint(40, 0));
    QTest::mouseMove(s, from - QPoint(60, 0));
    QApplication::processEvents();
    ASSERT_LT(s->value(), -900);
    EXPECT_EQ(inverse.DMCtrlVolume(), -900);
    QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, from - QPoint(60, 0));
    QApplication::processEvents();
    EXPECT_EQ(inverse.DMCtrlVolume(), s->value());
    // Let go away from the slider, a drag springs back to the value in force.
    const int inForce = s->value();
    QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, handleCentre(s));
    QTest::mouseMove(s, handleCentre(s) + QPoint(40, 0));
    ASSERT_NE(s->value(), inForce);
    QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, {s->width() + 20, -20});
    QApplication::processEvents();
    EXPECT_EQ(s->value(), inForce);
    EXPECT_EQ(inverse.DMCtrlVolume(), inForce);
    // A turn of the wheel passes its value on as a release does.
    const QPointF at = handleCentre(s);
    QWheelEvent wheel(at, s->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(s, &wheel);
    QApplication::processEvents();
    ASSERT_NE(s->value(), inForce);
    EXPECT_EQ(inverse.DMCtrlVolume(), s->value());

    // The keyboard: nothing while the key is down, the value once it is released.
    pressKey(w->sldFreqBut1, Qt::Key_PageUp);
    EXPECT_EQ(std::tuple(w->sldFreqBut1->value(), inverse.DMCtrlFreq()), std::tuple(20900, 15900));
    releaseKey(w->sldFreqBut1, Qt::Key_PageUp);
    EXPECT_EQ(inverse.DMCtrlFreq(), 20900);

    // The second variant's sliders edit the second object only.
    selectEvent(QStringLiteral("Приземление"));
    clsDMCtrl &down1 = fx(SoundEffect::Down1), &down2 = fx(SoundEffect::Down2);
    for (QSlider* v2 : {w->sldVolBut2, w->sldFreqBut2})
        pressKey(v2, Qt::Key_End);
    EXPECT_EQ(std::tuple(down2.DMCtrlVolume(), down2.DMCtrlFreq()), std::tuple(-600, 15600));
    for (QSlider* v2 : {w->sldVolBut2, w->sldFreqBut2})
        releaseKey(v2, Qt::Key_End);
    EXPECT_EQ(std::tuple(down2.DMCtrlVolume(), down2.DMCtrlFreq()), std::tuple(0, 75000));
    EXPECT_EQ(std::tuple(down1.DMCtrlVolume(), down1.DMCtrlFreq()), std::tuple(-500, 15500));
    // Tabbing onto a slider that shows a clamped value does not write the clamp back.
    down1.DMCtrlFreq(0);
    selectEvent(QStringLiteral("Бросить"));
    selectEvent(QStringLiteral("Приземление"));
    releaseKey(w->sldFreqBut1, Qt::Key_Tab);
    EXPECT_EQ(down1.DMCtrlFreq(), 0);
}

TEST_F(SettingsWindow, MusicSweepAndDisplayControlsActAtOnce) {
    open();
    // The volume acts on every move, and gives the focus to OK.
    w->sldVolBackgrnd->setFocus();
    pressKey(w->sldVolBackgrnd, Qt::Key_PageDown);
    EXPECT_EQ(sounds->music.volume(), -2500);
    EXPECT_TRUE(w->cmdOk->hasFocus());
    // The frequency acts when let go.
    for (int i = 0; i < 3; ++i)
        pressKey(w->sldFreq, Qt::Key_PageUp);
    EXPECT_EQ(main.freq, 15000);
    releaseKey(w->sldFreq, Qt::Key_PageUp);
    EXPECT_EQ(main.freq, 30000);
    EXPECT_EQ(sounds->music.BkgMusicGetFreq(), 30000);
    QTest::mouseClick(w->chkEnable, Qt::LeftButton);
    EXPECT_FALSE(play.EnableLoop || sounds->music.isSounding());
    QTest::mouseClick(w->chkEnable, Qt::LeftButton);
    EXPECT_TRUE(play.EnableLoop && sounds->music.isSounding());

    // The sweep step: the slider, then typed; a step of 0 brings the music back to the centre.
    pressKey(w->sldChange, Qt::Key_Right);
    EXPECT_EQ(std::tuple(play.SpeedChange, w->txtChange->text(), ForLoop),
              std::tuple(101, QStringLiteral("101"), 123));
    pressKey(w->sldChange, Qt::Key_Home);
    EXPECT_EQ(std::tuple(play.SpeedChange, ForLoop), std::tuple(0, 0));
    ForLoop = -40;
    pressKey(w->sldChange, Qt::Key_PageUp);
    EXPECT_EQ(std::tuple(play.SpeedChange, ForLoop), std::tuple(2, -40));
    QLineEdit* t = w->txtChange;
    t->setFocus();
    t->selectAll();
    QTest::keyClicks(t, QStringLiteral("60"));
    EXPECT_EQ(std::tuple(play.SpeedChange, w->sldChange->value()), std::tuple(60, 60));
    QTest::keyClicks(t, QStringLiteral("0"));
    EXPECT_EQ(t->text(), QStringLiteral("500"));
    EXPECT_EQ(t->selectedText(), QStringLiteral("500"));
    EXPECT_EQ(std::tuple(play.SpeedChange, w->sldChange->value()), std::tuple(500, 500));
    QTest::keyClick(t, Qt::Key_Home);
    QTest::keyClicks(t, QStringLiteral("-"));  // "-500": not a step
    EXPECT_EQ(std::tuple(play.SpeedChange, w->sldChange->value()), std::tuple(500, 500));
    ForLoop = 77;
    t->selectAll();
    QTest::keyClicks(t, QStringLiteral("x"));
    EXPECT_EQ(std::tuple(play.SpeedChange, w->sldChange->value(), ForLoop), std::tuple(0, 0, 0));

    QTest::mouseClick(w->chkSetka, Qt::LeftButton);
    EXPECT_FALSE(play.bDrawSetka);
    QTest::mouseClick(w->optFant[0], Qt::LeftButton, Qt::NoModifier, {6, 8});  // its circle
    EXPECT_EQ(play.iFantom, 0);
    QTest::mouseClick(w->optFant[2], Qt::LeftButton, Qt::NoModifier, {6, 8});
    EXPECT_EQ(play.iFantom, 2);

    QTest::mousePress(w->lblMail, Qt::RightButton);
    EXPECT_TRUE(opened.isEmpty());
    QTest::mousePress(w->lblMail, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{QStringLiteral("mailto:")});
    EXPECT_TRUE(w->isVisible());  // a failed opening is not told
}

TEST_F(SettingsWindow, TheChooserTakesAFileOnlyWhenOneIsChosenAndNewMusicStartsAtOnce) {
    // An earlier use left a file and a pattern behind; the music is off.
    chooser.NameFile = QStringLiteral("old.mp3");
    chooser.PathToFile = QStringLiteral("/somewhere/old.mp3");
    chooser.AddictPattern = QStringLiteral("*.mp3");
    play.EnableLoop = false;
    sounds->music.BkgMusicStop();
    waveFile(soundDir, QStringLiteral("tune.wav"), 22050, 22050);
    open();
    clsDMCtrl& inverse = fx(SoundEffect::Inverse);
    const QString before = inverse.DMCtrlPath();
    whenShown<frmOpen>([](frmOpen* d) { d->reject(); });
    QTest::mouseClick(w->cmdOpenFirst, Qt::LeftButton);
    EXPECT_EQ(inverse.DMCtrlPath(), before);
    EXPECT_EQ(w->lblFirstVar->text(), QStringLiteral("e9.wav"));

    // The music's chooser offers wave files whatever pattern was left for its next load; the new
    // music sounds at once, at its own rate and the volume shown, and the music stays switched off.
    QStringList listed;
    whenShown<frmOpen>([&listed](frmOpen* d) {
        listed = testing::listTexts(d->filOpen);
        d->filOpen_Click(QStringLiteral("tune.wav"));
    });
    w->cmdOpen->setFocus();
    QTest::keyClick(w->cmdOpen, Qt::Key_Space);
    EXPECT_TRUE(listed.contains(QStringLiteral("tune.wav")));
    EXPECT_EQ(w->lblFile->text(), QStringLiteral("tune.wav"));
    EXPECT_TRUE(main.PathToBkgMusic.endsWith(QStringLiteral("/tune.wav")));
    EXPECT_TRUE(sounds->music.isSounding() && w->chkEnable->isChecked());
    EXPECT_FALSE(play.EnableLoop);
    EXPECT_EQ(std::tuple(w->sldFreq->value(), main.freq), std::tuple(22050, 22050));
    EXPECT_EQ(sounds->music.volume(), -1500);

    // The variant's own folder is shown; a file chosen there is taken.
    QString shown;
    whenShown<frmOpen>([&shown](frmOpen* d) {
        shown = d->folderPath();
        d->filOpen_Click(QStringLiteral("e1.wav"));
    });
    QTest::mouseClick(w->cmdOpenFirst, Qt::LeftButton);
    EXPECT_EQ(QDir(shown), QDir(soundDir));
    EXPECT_EQ(QDir::cleanPath(inverse.DMCtrlPath()),
              QDir::cleanPath(soundDir + QStringLiteral("/e1.wav")));
    EXPECT_EQ(w->lblFirstVar->text(), QStringLiteral("e1.wav"));
    selectEvent(QStringLiteral("Бросить"));
    whenShown<frmOpen>([](frmOpen* d) { d->filOpen_Click(QStringLiteral("e7.wav")); });
    QTest::mouseClick(w->cmdOpenSecond, Qt::LeftButton);
    EXPECT_TRUE(fx(SoundEffect::Drop2).DMCtrlPath().endsWith(QStringLiteral("/e7.wav")));
    EXPECT_TRUE(fx(SoundEffect::Drop1).DMCtrlPath().endsWith(QStringLiteral("/e3.wav")));
    EXPECT_EQ(w->lblSecondVar->text(), QStringLiteral("e7.wav"));

    // OK closes the window, and the chooser with it.
    EXPECT_TRUE(chooser.isLoaded());
    QTest::mouseClick(w->cmdOk, Qt::LeftButton);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_FALSE(w->isVisible() || chooser.isLoaded());
}

// The menu's Set opens the window over the main window, the game runs on behind it, and the end
// of a game closes it.
class SetButton : public testing::MainWindowTest {};

TEST_F(SetButton, OpensTheWindowModallyAndRedrawsAfterIt) {
    const QRect gridLine = w->picMorvast->canvas().toDevice(QRectF(1000, 3000, 1, 1));
    const auto gridShown = [&] {
        return w->picMorvast->canvas().image().pixel(gridLine.topLeft()) != qRgb(0, 0, 0);
    };
    ASSERT_TRUE(gridShown());
    w->chkPause->setFocus();
    bool wasModal = false;
    whenShown<frmSettings>([&](frmSettings* d) {
        wasModal = d->isModal() && w->settingsWindow() == d;
        QTest::mouseClick(d->chkSetka, Qt::LeftButton);
        QTest::mouseClick(d->cmdOk, Qt::LeftButton);
    });
    QTest::mouseClick(w->chkSet, Qt::LeftButton);
    EXPECT_TRUE(wasModal);
    // Set springs back (its second Click runs inside the first), redraws with the settings as
    // they now stand, resets the menu colours and gives the keys back to the field.
    EXPECT_FALSE(w->game.settings.bDrawSetka || gridShown() || w->chkSet->isChecked());
    EXPECT_EQ(w->settingsWindow(), nullptr);
    for (QPushButton* b : {w->chkPause, w->chkHelp, w->chkDemo, w->chkSet, w->chkExit})
        EXPECT_EQ(backColor(b), 0x0000FFu);
    EXPECT_EQ(w->focusWidget(), w->picMorvast);

    // Behind the window the figure keeps falling. The game's real end, reached while the chooser
    // is up, closes both before its own dialogs come; the new game goes on without them.
    bool fell = false, closedFirst = false;
    whenShown<frmSettings>([&](frmSettings* d) {
        const auto state = [&] {
            return std::tuple(w->game.intTick, w->game.score.intTimeCount, w->game.bytFigY);
        };
        const auto before = state();
        QTimer wake;  // every wait below ends, ticked or not
        wake.start(5);
        for (int i = 0; i < 2000 && state() == before; ++i)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        fell = state() != before;
        whenShown<frmOpen>([&, d](frmOpen* chooser) {
            whenShown<frmEnterName>([&, d, chooser](frmEnterName* n) {
                closedFirst = !d->isVisible() && !chooser->isVisible();
                testing::key(n->txtName, Qt::Key_Return);
                whenShown<frmGameOver>([](frmGameOver* g) { g->cmdYes->click(); });
            });
            fillToTheTop();
            for (int i = 0; i < 400 && !closedFirst; ++i)
                w->tmrDown_Timer();
            if (chooser->isVisible()) chooser->reject();  // a failure, not a wait
        });
        d->cmdOpen->click();
        if (d->isVisible()) d->reject();
    });
    QTest::mouseClick(w->chkSet, Qt::LeftButton);
    EXPECT_TRUE(fell);
    EXPECT_TRUE(closedFirst);
    EXPECT_EQ(w->lblScore->text(), QStringLiteral("---"));
    EXPECT_FALSE(w->game.ended() || w->game.C[10][20]);
}

}  // namespace
}  // namespace morvast
