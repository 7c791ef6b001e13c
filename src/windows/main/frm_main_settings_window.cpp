
#include "windows/main/frm_main.h"
#include "windows/forms/frm_open.h"
#include "windows/forms/frm_settings.h"

namespace morvast {

void frmMain::showSettingsWindow() {
    loadMedia();
    frmSettings window({settings, game.settings, game.ForLoop, sound_->system(), fileChooser()},
                       this);
    frmSettings_ = &window;
    window.exec();
    frmSettings_ = nullptr;
}

void frmMain::unloadSettingsWindows() {
    frmOpen_->Unload();
    if (frmSettings_) frmSettings_->reject();
}

}  // namespace morvast
