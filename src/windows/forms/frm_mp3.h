#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include "windows/widgets/side_window.h"

namespace morvast {

class MP3Play;
class frmOpen;
struct MainSettings;

// The small music player beside the game: one file from the chooser, played once or in a loop,
// with its name and running time. It keeps its choice in the main window's MP3Path and MP3Loop.
class frmMP3 : public SideWindow {
    Q_OBJECT
  public:
    // settings are the main window's; they outlive this window.
    explicit frmMP3(MainSettings& settings, QWidget* parent = nullptr);

    // MP3Play1; without one (no sound objects) the window only shows and remembers.
    void setPlayer(MP3Play* player) { MP3Play1 = player; }
    // The program's one file chooser, which "Select" shows.
    void setChooser(frmOpen* chooser) { chooser_ = chooser; }

    // Starts the remembered file once the settings are read.
    void InitMusic();

    void cmdOpen_Click();
    void lblLoop_Click();
    void tmrIsPlaying_Timer();

    QLabel* lblName;
    QLabel* lblLoop;
    QLabel* lblTime;
    QPushButton* cmdOpen;
    QTimer tmrIsPlaying;
    MP3Play* MP3Play1 = nullptr;
    // The file last started from the chooser.
    QString strMP3File;

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void showLoop();

    MainSettings& settings_;
    frmOpen* chooser_ = nullptr;
};

}  // namespace morvast
