// The score panel: its labels as the game reports, the statistic lines, and the two blinks (the
// level caption with the five strips, and the line-bonus label).
#include "scoring/rounding.h"
#include "windows/main/frm_main.h"
#include "windows/forms/frm_statistic.h"
#include "windows/widgets/win_colour.h"

namespace morvast {

namespace {

// A random console colour, as the level blink draws them.
uint32_t randomQbColor(double r) {
    return colour::qbColor(static_cast<int>(roundHalfEven(r * 15)));
}

}  // namespace

void frmMain::connectPanel() {
    connect(&tmrLevel, &QTimer::timeout, this, &frmMain::tmrLevel_Timer);
    connect(&tmrMigCountLines, &QTimer::timeout, this, &frmMain::tmrMigCountLines_Timer);
}

void frmMain::showTimeBonus(int value, int64_t total) {
    lblTimeBonus->setText(QString::number(value));
    lblTotalScore->setText(QString::number(total));
}

void frmMain::remainChanged(const std::string& digits) {
    lblRemain->setText(QString::fromStdString(digits));
}

void frmMain::levelCaptionChanged(int level) {
    lblLevel->setText(QStringLiteral("Level # %1").arg(level));
}

void frmMain::morvastBonusChanged(const std::string& caption) {
    lblSumBonus->setText(QString::fromStdString(caption));
}

void frmMain::scoreChanged(int64_t shown) {
    lblScore->setText(QString::number(shown));
}

void frmMain::addStatistic(const std::string& line, bool selectLast) {
    frmStatistic_->addLine(QString::fromStdString(line), selectLast);
}

void frmMain::specialFigureAnnounced(const Announcement& a) {
    lblFirma->show();
    setForeColor(lblFirma, a.textColour);
    lblFirma->setText(QString::fromStdString(a.caption));
}

void frmMain::landingBegins() {
    setBackColor(cmdDown, lngButtonColor);
    lblFirma->hide();
}

void frmMain::dropButtonEnabled(bool enabled) {
    cmdDown->setEnabled(enabled);
}

// ---------------------------------------------------------------- level blink

void frmMain::startLevelBlink() {
    if (!tmrLevel.isActive()) tmrLevel.start();
}

void frmMain::tmrLevel_Timer() {
    ++intBlinkLevel;
    setForeColor(lblLevel, randomQbColor(rnd()));
    for (int i = 1; i <= 5; ++i)
        setBackColor(Label[i], randomQbColor(rnd()));
    if (intBlinkLevel > 15) {
        tmrLevel.stop();
        setForeColor(lblLevel, colour::qbColor(game.score.intLevel + 1));
        for (int i = 1; i <= 5; ++i)
            setBackColor(Label[i], colour::kBlack);
        intBlinkLevel = 0;
    }
}

// ---------------------------------------------------------------- line-bonus blink

void frmMain::lineBonusAwarded(int k, const std::string& caption) {
    intLastLines = k;
    for (int i = 1; i <= 4; ++i)
        setForeColor(lblCountLines[i], colour::kYellow);
    if (!tmrMigCountLines.isActive())
        tmrMigCountLines.start();
    else
        intBlinkLines = 0;
    lblCountLines[k]->setText(QString::fromStdString(caption));
}

void frmMain::tmrMigCountLines_Timer() {
    ++intBlinkLines;
    QLabel* l = lblCountLines[intLastLines];
    setForeColor(l, foreColor(l) == colour::kBlack ? colour::kYellow : colour::kBlack);
    if (intBlinkLines > 5) {
        tmrMigCountLines.stop();
        setForeColor(l, colour::kYellow);
        intBlinkLines = 0;
    }
}

}  // namespace morvast
