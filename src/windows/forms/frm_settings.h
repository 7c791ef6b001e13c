#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>

#include <QDialog>
#include <QString>
#include <QUrl>

#include "engine/game.h"
#include "settings/settings.h"
#include "windows/forms/main_settings.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace morvast {

class clsDMCtrl;
class frmOpen;
class SoundSystem;

// What the settings window writes into: the main window's settings variables, the sweep's
// position, the sound objects (none when the game runs without them) and the shared chooser.
struct SettingsTargets {
    MainSettings& main;
    PlaySettings& play;
    int16_t& ForLoop;
    SoundSystem* sounds;
    frmOpen& chooser;
};

// The settings window: every change takes effect at once on the targets; there is no cancel.
// It reads every value afresh when it is built, and the chooser is unloaded when it closes.
class frmSettings : public QDialog {
    Q_OBJECT
  public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit frmSettings(SettingsTargets targets, QWidget* owner = nullptr);

    // How the mail label reaches the desktop's mail program; a test records it instead.
    void setUrlOpener(UrlOpener open) { openUrl_ = std::move(open); }

    // --- the original's procedures ---
    QString GetEventPath(int variant) const;
    void SetEventProperty(const QVariant& value, int kind, int variant);
    static void SetDMCtrlProperty(clsDMCtrl& object, const QVariant& value, int kind);
    void ShowFirstVar(const clsDMCtrl& object);
    void ShowSecondVar(const clsDMCtrl& object);

    // --- handlers ---
    void cmbListEvents_Click();
    void chkEnFirstVar_Click();
    void chkEnSecondVar_Click();
    void cmdOpenFirst_Click();
    void cmdOpenSecond_Click();
    void chkSoundControl_Click();
    void chkEnable_Click();
    void cmdOpen_Click();
    void sldVolBackgrnd_Moved();
    void sldFreq_Moved();
    void sldChange_Moved();
    void txtChange_Change();
    void chkSetka_Click();
    void optFant_Click(int index);
    void cmdOk_Click();
    void lblMail_MouseDown(Qt::MouseButton button);

    // --- controls ---
    QGroupBox* Frame1;
    QCheckBox* chkSetka;
    QGroupBox* fraFant;
    std::array<QRadioButton*, 3> optFant{};
    QGroupBox* fraButton;
    QCheckBox* chkSoundControl;
    QComboBox* cmbListEvents;
    QGroupBox* fraFirstVar;
    QLabel* lblFirstVar;
    QPushButton* cmdOpenFirst;
    QCheckBox* chkEnFirstVar;
    QSlider* sldVolBut1;
    QSlider* sldFreqBut1;
    QGroupBox* fraSecondVar;
    QLabel* lblSecondVar;
    QPushButton* cmdOpenSecond;
    QCheckBox* chkEnSecondVar;
    QSlider* sldVolBut2;
    QSlider* sldFreqBut2;
    QGroupBox* fraBkg;
    QLabel* lblFile;
    QPushButton* cmdOpen;
    QCheckBox* chkEnable;
    QSlider* sldVolBackgrnd;
    QSlider* sldFreq;
    QSlider* sldChange;
    QLineEdit* txtChange;
    QPushButton* cmdOk;
    QLabel* lblMail;

  public slots:
    // OK, the close box and Esc all end here: Form_QueryUnload.
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void Form_Load();
    // Shows a value on a slider without acting on it; a value outside the range shows as the
    // nearest end.
    void showOnSlider(QSlider* s, int value);
    // One variant's controls from an object, without their handlers acting on it.
    void showVariant(const clsDMCtrl& object, QLabel* name, QSlider* volume, QSlider* frequency,
                     QCheckBox* off);
    // The sliders that act when the mouse lets go of them over them (or a key is released on
    // them, or the wheel turns them).
    void sliderReleased(QSlider* s);
    clsDMCtrl* eventObject(int variant) const;
    // Shows the chooser in folder; true when a file was chosen in this showing.
    bool choose(const QString& folder);
    void setSweepStep(int16_t step);

    SettingsTargets t_;
    UrlOpener openUrl_;
    // Set while the window itself puts values on its controls, which then act on nothing.
    bool filling_ = false;
    // Each slider's value in force: what a release compares with, and what a drag let go
    // outside the slider springs back to.
    std::map<const QSlider*, int> applied_;
};

}  // namespace morvast
