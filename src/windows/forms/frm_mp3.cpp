#include "windows/forms/frm_mp3.h"

#include <QCloseEvent>

#include "settings/file_paths.h"
#include "sound/mp3_play.h"
#include "windows/widgets/control_events.h"
#include "windows/forms/frm_open.h"
#include "windows/forms/main_settings.h"
#include "windows/widgets/twips.h"

namespace morvast {

namespace {

const QString kEmpty = QStringLiteral("Empty");

}  // namespace

frmMP3::frmMP3(MainSettings& settings, QWidget* parent)
    : SideWindow(QStringLiteral("*.mp3 & *.wma Player"), QSize(px(3225), px(1260)), parent),
      lblName(new QLabel(kEmpty, this)),
      lblLoop(new QLabel(QStringLiteral("Не зациклить"), this)),
      lblTime(new QLabel(QStringLiteral("Time "), this)),
      cmdOpen(new QPushButton(QStringLiteral("Select"), this)),
      settings_(settings) {
    lblName->setObjectName(QStringLiteral("lblName"));
    lblLoop->setObjectName(QStringLiteral("lblLoop"));
    lblTime->setObjectName(QStringLiteral("lblTime"));
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    lblName->setGeometry(twipRect(120, 120, 2985, 255));
    lblLoop->setGeometry(twipRect(120, 480, 1335, 255));
    lblTime->setGeometry(twipRect(1560, 480, 1545, 255));
    cmdOpen->setGeometry(twipRect(120, 840, 2985, 315));
    lblLoop->setCursor(Qt::PointingHandCursor);

    connect(cmdOpen, &QPushButton::clicked, this, &frmMP3::cmdOpen_Click);
    onClick(lblLoop, [this] { lblLoop_Click(); });
    tmrIsPlaying.setInterval(1000);
    connect(&tmrIsPlaying, &QTimer::timeout, this, &frmMP3::tmrIsPlaying_Timer);
    tmrIsPlaying.start();
    watch(this);
}

void frmMP3::showLoop() {
    lblLoop->setText(settings_.MP3Loop ? QStringLiteral("Loop") : QStringLiteral("No loop"));
}

void frmMP3::InitMusic() {
    const QString& path = settings_.MP3Path;
    if (path != QLatin1String("...") && !path.isEmpty()) {
        if (MP3Play1) {
            MP3Play1->FileName(path);
            MP3Play1->mmPlay();
        }
        lblName->setText(GetFileName(path));
        showLoop();
    } else {
        lblName->setText(kEmpty);
    }
    lblTime->setText(QString());
}

void frmMP3::cmdOpen_Click() {
    if (!chooser_) return;
    chooser_->AddictPattern = QStringLiteral("*.wma;*.mp3;*.mp2");
    // The chooser keeps the last file any caller chose; only a choice made now counts.
    const bool chosen = chooser_->showModal(this);
    chooser_->AddictPattern.clear();
    const QString p = chooser_->PathToFile;
    if (!chosen || p.isEmpty() || p == strMP3File) {
        handBackFocus();
        return;
    }
    strMP3File = p;
    if (MP3Play1) {
        MP3Play1->mmStop();
        MP3Play1->FileName(p);
        MP3Play1->mmPlay();  // a file that cannot play shows its name all the same
        settings_.MP3Path = MP3Play1->FileName();
    } else {
        settings_.MP3Path = p;
    }
    lblName->setText(GetFileName(settings_.MP3Path));
    handBackFocus();
}

void frmMP3::lblLoop_Click() {
    settings_.MP3Loop = !settings_.MP3Loop;
    showLoop();
    handBackFocus();
}

void frmMP3::tmrIsPlaying_Timer() {
    if (MP3Play1 && MP3Play1->IsPlaying()) {
        lblTime->setText(QStringLiteral("Time ") + MP3Play1->Position());
    } else if (settings_.MP3Loop) {
        if (MP3Play1) MP3Play1->SeekTo(0);
    } else {
        lblName->setText(kEmpty);
        lblTime->setText(QString());
    }
}

void frmMP3::closeEvent(QCloseEvent* e) {
    SideWindow::closeEvent(e);
    if (e->isAccepted()) return;  // the program unloads it
    // Closed by the player: the music stops and the next start plays the default file.
    if (MP3Play1) MP3Play1->mmStop();
    settings_.MP3Path = QStringLiteral("...");
    // Nothing plays now, so choosing the same file again is a new choice.
    strMP3File.clear();
}

}  // namespace morvast
