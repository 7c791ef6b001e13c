// The help tour: the records table first, then every control of the window in its control
// order, each painted blue while the help window shows its text.
#include <algorithm>
#include <vector>

#include <QApplication>
#include <QListWidget>

#include "scoring/rounding.h"
#include "windows/forms/frm_help.h"
#include "windows/main/frm_main.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/widgets/picture_box.h"
#include "windows/widgets/win_colour.h"

namespace morvast {

namespace {

const char kRecordsHelp[] =
    "Лучшие игроки. Если запустить Morvast XII VelkNET.exe на удаленном компьютере, то и "
    "результат запишется в таблицу рекордов на удаленном компьютере. Чтобы очистить таблицу надо "
    "удалить файл MorvastFathers.txt ( он в папке с Morvast'ом ).";

// A picture's BackColor is its canvas's: a new one clears it.
uint32_t backColourOf(const QWidget* c) {
    if (auto* p = qobject_cast<const PictureBox*>(c)) return p->background();
    return backColor(c);
}

void setBackColourOf(QWidget* c, uint32_t colour) {
    if (auto* p = qobject_cast<PictureBox*>(c))
        p->setBackColor(colour);
    else
        setBackColor(c, colour);
}

}  // namespace

std::vector<QWidget*> frmMain::tourControls() const {
    return {picMorvast,       fraControl, cmdDown,          cmdLeftRight[2],  cmdLeftRight[0],
            cmdRotate,        cmdSpace,   lblPause,         frmMenu,          chkMP3,
            chkExit,          chkFuture,  chkAuto,          chkStat,          chkRec,
            chkSet,           chkDemo,    chkHelp,          chkPause,         fraScore,
            lblScore,         fraLines,   lblCountLines[1], lblCountLines[2], lblCountLines[3],
            lblCountLines[4], picNext,    lblFirma,         lblSumBonus,      lblLevel,
            lblPosition,      lblRemain,  lblNextPlace,     lblAutors,        lblTimeBonus,
            lblTotalScore};
}

void frmMain::setHelpAnswerer(std::function<HelpAnswer(frmHelp&)> answer) {
    helpAnswerer_ = std::move(answer);
}

void frmMain::PlayHelpSound(uint8_t& n) {
    switch (n) {
        case 1:
            return sound_->play(SoundEffect::Morvast);
        case 2:
            return sound_->play(SoundEffect::Down1);
        case 3:
            return sound_->play(SoundEffect::Left);
        case 4:
            return sound_->play(SoundEffect::Right);
        case 5:
            return sound_->play(SoundEffect::Rotate);
        case 6:
            return sound_->play(SoundEffect::Drop1);
        case 7:
            return sound_->play(SoundEffect::DelLin);
        default:
            return;
    }
}

void frmMain::playRandomHelpSound() {
    // 1 to 7, where 1 and 7 come half as often as the others.
    uint8_t n = static_cast<uint8_t>(roundHalfEven(rnd() * 6 + 1));
    PlayHelpSound(n);
}

void frmMain::runHelpTour() {
    // The game goes on behind the modal help window. Should it end meanwhile, its end has
    // unloaded the help window and a new game (or the end of the program) follows: the tour ends
    // there rather than carry on over it.
    const int generation = generation_;
    const auto gameEnded = [&] { return generation != generation_ || unloading_; };

    frmHelp h(this);
    h.setAnswerer(helpAnswerer_);
    playRandomHelpSound();

    QListWidget* table = frmMorvasFathers_->lstTable;
    const QPalette tablePalette = table->palette();
    QPalette red = tablePalette;
    red.setColor(QPalette::Base, QColor(colour::toQRgb(colour::kRed)));
    table->setPalette(red);
    h.strText = QString::fromUtf8(kRecordsHelp);
    h.showModal(this);
    // Its own colours back, rather than black on whatever text colour it has.
    table->setPalette(tablePalette);

    if (!h.blnClose && !gameEnded()) {
        for (QWidget* c : tourControls()) {
            const uint32_t own = backColourOf(c);
            setBackColourOf(c, colour::kBlue);
            h.strText = c->property("Tag").toString();
            h.showModal(this);
            // A new game begun behind the help window has painted the steering buttons in its
            // own colour; the one remembered belongs to the game that ended.
            const auto steering = steeringButtons();
            const bool newColour =
                gameEnded() && std::find(steering.begin(), steering.end(), c) != steering.end();
            setBackColourOf(c, newColour ? lngButtonColor : own);
            playRandomHelpSound();
            if (c == picMorvast) {
                DrawField();
                DrawGrid();
                DrawFigure();
            }
            // The help window leaves the main window to repaint, which draws the next figure
            // again (a cleared picNext among them).
            update();
            if (h.blnClose || gameEnded()) break;
        }
    }
    h.hide();
    chkHelp->setChecked(false);
    focusField();
}

void frmMain::unloadHelpWindows() {
    // An unload by code: the tour's Close flag stays as it was.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<frmHelp*>(w); h && h->isVisible()) h->done(QDialog::Accepted);
}

}  // namespace morvast
