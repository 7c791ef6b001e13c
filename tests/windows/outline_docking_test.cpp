// The window's outline, the side windows minimised along with it, and Auto's docking.
#include <QTest>

#include "gui_fixture.h"
#include "windows/widgets/dock_places.h"
#include "windows/forms/frm_future.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_mp3.h"
#include "windows/forms/frm_statistic.h"
#include "windows/widgets/outer_place.h"
#include "windows/widgets/platform_choice.h"

namespace morvast {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, OutlineIsTheFramesAndBarsWithTheOriginalsMargins) {
    // In client pixels: a frame widens by 2 at each side and 8 below, a bar starts 2 to the left
    // and ends 4 short of its right edge.
    const std::pair<QWidget*, QRect> pieces[] = {
        {w->fraMorvast, QRect(6, 8, 253, 465)},        {w->fraBottom, QRect(54, 480, 149, 89)},
        {w->fraBottomRight, QRect(222, 488, 221, 89)}, {w->fraLeft, QRect(286, 8, 165, 465)},
        {w->Label[1], QRect(254, 168, 39, 5)},         {w->Label[2], QRect(198, 544, 31, 5)},
        {w->Label[3], QRect(30, 464, 3, 65)},          {w->Label[4], QRect(30, 528, 31, 5)},
        {w->Label[5], QRect(270, 0, 3, 169)},
    };
    QRegion expected;
    for (const auto& [control, r] : pieces) {
        SCOPED_TRACE(control->objectName().toStdString());
        // Each piece covers its control, less the bars' last pixels.
        EXPECT_TRUE(r.contains(control->geometry().adjusted(0, 0, -4, 0)));
        expected += r;
    }
    EXPECT_EQ(w->mask(), expected);  // nothing else: the gaps between the pieces stay cut away

    // The size is fixed; a new game cuts the same outline.
    EXPECT_EQ(w->minimumSize(), QSize(454, 587));
    EXPECT_EQ(w->maximumSize(), QSize(454, 587));
    w->clearMask();
    w->Form_Load();
    EXPECT_EQ(w->mask(), expected);
}

class SideWindowsOfMain : public MainWindowTest {
  protected:
    QWidget* records() const { return w->recordsWindow(); }
    QWidget* stat() const { return w->statisticWindow(); }
    QWidget* future() const { return w->futureWindow(); }
    QWidget* mp3() const { return w->playerWindow(); }
};

TEST_F(SideWindowsOfMain, AutoDocksAllFourAtTheirPlacesEvenPastTheScreensEdge) {
    // Outer geometry throughout, as the platform gives it (frames included); the sums themselves
    // are checked with the places below.
    const auto frame = [](const QWidget* s) { return s->frameGeometry(); };
    const auto expectDocked = [&] {
        const DockPlaces d = dockPlaces(frame(w.get()), frame(records()).size(),
                                        frame(future()).size(), frame(mp3()).size());
        EXPECT_EQ(QList({frame(records()).topLeft(), frame(stat()).topLeft(),
                         frame(future()).topLeft(), frame(mp3()).topLeft()}),
                  QList({d.records, d.statistic, d.future, d.mp3}));
    };
    // None shown yet: no frame is known until the platform has framed them, after which they
    // are placed again.
    w->move(100, 50);
    QTest::mouseClick(w->chkAuto, Qt::LeftButton);
    expectDocked();

    // One minimised, the others hidden; beyond the screen's edges they go where the sums put
    // them, no keeping on the screen.
    for (QWidget* s : {records(), future(), mp3()})
        s->hide();
    stat()->showMinimized();
    const QRect screen = w->screen()->geometry();
    w->move(screen.right() - 300, screen.bottom() - 100);
    QTest::mouseClick(w->chkAuto, Qt::LeftButton);
    expectDocked();
    EXPECT_GT(frame(stat()).left(), screen.right());
    EXPECT_GT(frame(records()).top(), screen.bottom());
    for (QWidget* s : {records(), stat(), future(), mp3()}) {
        EXPECT_TRUE(s->isVisible());
        EXPECT_FALSE(s->isMinimized());
    }
    for (QPushButton* b : {w->chkRec, w->chkStat, w->chkFuture, w->chkMP3})
        EXPECT_TRUE(b->isChecked()) << b->text().toStdString();
    EXPECT_FALSE(w->chkAuto->isChecked());
    EXPECT_TRUE(w->picMorvast->hasFocus());
}

TEST(DockPlaces, TwoColumnsBesideTheMainWindowWithThePlayerCentredInTheSpaceLeft) {
    // Records 150 x 120 and future 90 x 100; the gaps of 20 and 40 twips are 1 and 3 pixels. A
    // player 61 high leaves 19 pixels: 9 above it, 10 below; the records' bottom is level.
    const QRect main(0, 0, 400, 300);
    const DockPlaces d = dockPlaces(main, {150, 120}, {90, 100}, {50, 61});
    EXPECT_EQ(QList({d.future, d.statistic, d.records, d.mp3}),
              QList<QPoint>({{401, 0}, {493, 0}, {401, 180}, {401, 109}}));
    // Overlapping windows: -21 halves to -11, up rather than down.
    EXPECT_EQ(dockPlaces(main, {150, 120}, {90, 100}, {50, 101}).mp3, QPoint(401, 89));
}

TEST(PlatformChoice, XWhereverItIsThereUnlessThePlayerChose) {
    const struct {
        const char *qpa, *wayland, *display;
        const char* platform;
        bool leftToDesktop;
    } cases[] = {
        {nullptr, "wayland-0", ":0", "xcb", false},  // Wayland with its X11 server
        {nullptr, "wayland-0", nullptr, "", true},   // Wayland alone: native, said once
        {nullptr, "wayland-0", "", "", true},        // an empty variable is not set
        {"wayland", "wayland-0", ":0", "", false},   // the player's choice stands
        {nullptr, nullptr, ":0", "", false},         // plain X11: Qt's own choice
        {"", "wayland-0", ":0", "xcb", false},
    };
    for (const auto& c : cases) {
        const PlatformChoice got = choosePlatform(c.qpa, c.wayland, c.display);
        EXPECT_EQ(got.platform, c.platform) << c.wayland << " " << (c.display ? c.display : "-");
        EXPECT_EQ(got.placesLeftToDesktop, c.leftToDesktop) << (c.display ? c.display : "-");
    }
}

// Frames reported only once a window is on the screen, as a window manager reports them.
TEST(OuterPlace, TheFrameLandsWhereAskedAndAGuessFromTheSameKindAvoidsTheSecondMove) {
    testing::app();
    const auto sizes = std::make_shared<FrameSizes>();
    QWidget first(nullptr, Qt::Tool), second(nullptr, Qt::Tool);
    first.setFixedSize(100, 80), second.setFixedSize(60, 40);
    OuterPlace firstPlace(&first, sizes), secondPlace(&second, sizes);
    int framedAgain = 0;
    firstPlace.setOnFramed([&] { ++framedAgain; });
    secondPlace.setOnFramed([&] { ++framedAgain; });

    firstPlace.moveTo({300, 200});
    EXPECT_EQ(firstPlace.outer(), QPoint(300, 200));  // what was asked, until framed
    first.show();
    ASSERT_TRUE(testing::processUntil([&] { return firstPlace.framed(); }));
    EXPECT_EQ(first.frameGeometry().topLeft(), QPoint(300, 200));
    EXPECT_EQ(framedAgain, 1);  // placed again once the frame was reported

    // The second tool window is put where its frame will land before it is ever shown.
    secondPlace.moveTo({10, 20});
    EXPECT_EQ(secondPlace.outerSize(), first.frameGeometry().size() - QSize(40, 40));
    EXPECT_EQ(second.geometry().topLeft(), first.geometry().topLeft() - QPoint(290, 180));
    second.show();
    ASSERT_TRUE(testing::processUntil([&] { return secondPlace.framed(); }));
    EXPECT_EQ(second.frameGeometry().topLeft(), QPoint(10, 20));
    EXPECT_EQ(framedAgain, 1);

    // Minimised, it answers the place of its normal state; a move by anyone else counts.
    second.showMinimized();
    EXPECT_EQ(secondPlace.outer(), QPoint(10, 20));
    second.showNormal();
    second.move(50, 60);
    EXPECT_EQ(secondPlace.outer(), QPoint(50, 60));
}

// That minimising pauses and takes the shown side windows along, and that restoring brings them
// back, the end-to-end run under a window manager checks; here, what becomes of a hidden one.
TEST_F(SideWindowsOfMain, AHiddenSideWindowStaysHiddenAndIsShownLaterInTheNormalState) {
    w->chkStat->setChecked(true);
    w->showMinimized();
    EXPECT_TRUE(stat()->isMinimized());
    w->showNormal();
    EXPECT_TRUE(stat()->isVisible() && !stat()->isMinimized());
    EXPECT_FALSE(future()->isVisible());
    w->chkFuture->setChecked(true);
    EXPECT_FALSE(future()->isMinimized());
}

}  // namespace
}  // namespace morvast
