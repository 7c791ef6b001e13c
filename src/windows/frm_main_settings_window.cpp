
#include "windows/frm_main.h"
#include "windows/frm_open.h"
#include "windows/frm_settings.h"

namespace morvast {

frmOpen& frmMain::fileChooser() {
    if (!frmOpen_) frmOpen_ = new frmOpen({}, mountedVolumes, this);
    return *frmOpen_;
}

void frmMain::showSettingsWindow() {
    frmSettings window(
        {settings, game.settings, game.ForLoop, sound_->soundSystem(), fileChooser()}, this);
    frmSettings_ = &window;
    window.exec();
    frmSettings_ = nullptr;
}

void frmMain::unloadSettingsWindows() {
    if (frmOpen_) frmOpen_->Unload();
    if (frmSettings_) frmSettings_->reject();
}

}  // namespace morvast
