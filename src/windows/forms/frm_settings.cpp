#include "windows/forms/frm_settings.h"

#include <algorithm>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSlider>

#include "settings/effect_events.h"
#include "settings/file_paths.h"
#include "sound/sound_system.h"
#include "windows/forms/frm_open.h"
#include "windows/widgets/twips.h"
#include "windows/widgets/window_style.h"

namespace morvast {
namespace {

const QString kFileTip = QStringLiteral("Имя wav-файла");
const QString kVolumeTip = QStringLiteral("Громкость");
const QString kFreqTip = QStringLiteral("Скорость воспроизведения");
const QString kChooseFile = QStringLiteral("Выбрать файл");
const QString kTurnOff = QStringLiteral("Выключить");
// The value a release-acting slider last showed or passed on; a release that finds the same
// value has nothing to pass on.

QSlider* makeSlider(QWidget* parent, QRect r, int min, int max, int large, int ticks,
                    const QString& tip) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setGeometry(r);
    s->setRange(min, max);
    s->setSingleStep(1);
    s->setPageStep(large);
    s->setTickInterval(ticks);
    s->setTickPosition(QSlider::TicksBelow);
    s->setToolTip(tip);
    return s;
}

QCheckBox* makeCheck(QWidget* parent, QRect r, const QString& caption) {
    auto* c = new QCheckBox(caption, parent);
    c->setGeometry(r);
    return c;
}

QPushButton* makeButton(QWidget* parent, QRect r, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(r);
    b->setAutoDefault(false);
    return b;
}

QLabel* makeFileLabel(QWidget* parent, QRect r) {
    auto* l = new QLabel(QStringLiteral("Empty"), parent);
    l->setGeometry(r);
    l->setToolTip(kFileTip);
    return l;
}

}  // namespace

frmSettings::frmSettings(SettingsTargets targets, QWidget* owner)
    : QDialog(owner),
      t_(targets),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(px(7590), px(6480));
    buildControls();
    centreOnScreen(this, owner);
    Form_Load();
}

void frmSettings::buildControls() {
    fraButton = new QGroupBox(QStringLiteral("Основные события"), this);
    fraButton->setGeometry(8, 6, 490, 206);
    chkSoundControl =
        makeCheck(fraButton, {10, 20, 320, 20}, QStringLiteral("Выкл. озвучивание осн. событий"));
    cmbListEvents = new QComboBox(fraButton);
    cmbListEvents->setGeometry(10, 44, 230, 22);

    auto variantFrame = [this](QRect r, const QString& caption, QLabel*& label, QPushButton*& open,
                               QCheckBox*& off, QSlider*& vol, QSlider*& freq) {
        auto* f = new QGroupBox(caption, fraButton);
        f->setGeometry(r);
        label = makeFileLabel(f, {8, 18, 214, 18});
        open = makeButton(f, {8, 38, 100, 24}, kChooseFile);
        off = makeCheck(f, {118, 40, 104, 20}, kTurnOff);
        vol = makeSlider(f, {8, 68, 214, 26}, -2500, 0, 1000, 250, kVolumeTip);
        freq = makeSlider(f, {8, 98, 214, 26}, 5000, 75000, 5000, 2500, kFreqTip);
        return f;
    };
    fraFirstVar = variantFrame({10, 72, 230, 128}, QStringLiteral("Первый вариант"), lblFirstVar,
                               cmdOpenFirst, chkEnFirstVar, sldVolBut1, sldFreqBut1);
    fraSecondVar = variantFrame({250, 72, 230, 128}, QStringLiteral("Второй вариант"), lblSecondVar,
                                cmdOpenSecond, chkEnSecondVar, sldVolBut2, sldFreqBut2);

    fraBkg = new QGroupBox(QStringLiteral("Фоновая музыка"), this);
    fraBkg->setGeometry(8, 216, 490, 134);
    lblFile = makeFileLabel(fraBkg, {10, 18, 470, 18});
    cmdOpen = makeButton(fraBkg, {10, 38, 100, 24}, kChooseFile);
    chkEnable = makeCheck(fraBkg, {120, 40, 120, 20}, kTurnOff);
    sldVolBackgrnd = makeSlider(fraBkg, {10, 68, 230, 26}, -2500, 0, 1000, 250, kVolumeTip);
    sldFreq = makeSlider(fraBkg, {250, 68, 230, 26}, 5000, 75000, 5000, 2500, kFreqTip);
    sldChange = makeSlider(fraBkg, {10, 100, 400, 26}, 0, kSweepStepMax, 2, 100,
                           QStringLiteral("Скорость перехода звука из одной стороны в другую"));
    txtChange = new QLineEdit(fraBkg);
    txtChange->setGeometry(420, 102, 60, 22);

    Frame1 = new QGroupBox(QStringLiteral("Сетка"), this);
    Frame1->setGeometry(8, 354, 100, 70);
    chkSetka = makeCheck(Frame1, {10, 22, 84, 20}, QStringLiteral("Убрать"));

    fraFant = new QGroupBox(QStringLiteral("Фантом"), this);
    fraFant->setGeometry(116, 354, 296, 70);
    const QString fantCaptions[3] = {
        // The first letter is a Latin H, as it always was.
        QStringLiteral("Hе показывать"), QStringLiteral("Только при появлении Morvast-фигурки"),
        QStringLiteral("Показывать всегда")};
    for (int i = 0; i < 3; ++i) {
        optFant[static_cast<size_t>(i)] = new QRadioButton(fantCaptions[i], fraFant);
        optFant[static_cast<size_t>(i)]->setGeometry(10, 16 + (2 - i) * 17, 280, 17);
    }

    cmdOk = makeButton(this, {422, 362, 76, 26}, QStringLiteral("OK"));
    lblMail = new QLabel(QStringLiteral("E-mail"), this);
    lblMail->setGeometry(422, 400, 76, 18);
    lblMail->setAlignment(Qt::AlignCenter);
    lblMail->setCursor(Qt::PointingHandCursor);
    lblMail->installEventFilter(this);

    // The controls a player acts on carry their design names, so that tools driving the window
    // (the end-to-end tests, accessibility) find them by name.
    const std::pair<QWidget*, const char*> named[] = {{chkSoundControl, "chkSoundControl"},
                                                      {cmbListEvents, "cmbListEvents"},
                                                      {cmdOpen, "cmdOpen"},
                                                      {chkEnable, "chkEnable"},
                                                      {txtChange, "txtChange"},
                                                      {chkSetka, "chkSetka"},
                                                      {cmdOk, "cmdOk"}};
    for (const auto& [control, name] : named)
        control->setObjectName(QLatin1StringView(name));
    for (size_t i = 0; i < optFant.size(); ++i)
        optFant[i]->setObjectName(QStringLiteral("optFant(%1)").arg(i));

    auto onUser = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler](auto&&...) {
            if (!filling_) (this->*handler)();
        });
    };
    onUser(chkSoundControl, &QCheckBox::toggled, &frmSettings::chkSoundControl_Click);
    onUser(chkEnFirstVar, &QCheckBox::toggled, &frmSettings::chkEnFirstVar_Click);
    onUser(chkEnSecondVar, &QCheckBox::toggled, &frmSettings::chkEnSecondVar_Click);
    onUser(chkEnable, &QCheckBox::toggled, &frmSettings::chkEnable_Click);
    onUser(chkSetka, &QCheckBox::toggled, &frmSettings::chkSetka_Click);
    onUser(cmdOpenFirst, &QPushButton::clicked, &frmSettings::cmdOpenFirst_Click);
    onUser(cmdOpenSecond, &QPushButton::clicked, &frmSettings::cmdOpenSecond_Click);
    onUser(cmdOpen, &QPushButton::clicked, &frmSettings::cmdOpen_Click);
    onUser(cmdOk, &QPushButton::clicked, &frmSettings::cmdOk_Click);
    onUser(sldVolBackgrnd, &QSlider::valueChanged, &frmSettings::sldVolBackgrnd_Moved);
    onUser(sldChange, &QSlider::valueChanged, &frmSettings::sldChange_Moved);
    onUser(txtChange, &QLineEdit::textChanged, &frmSettings::txtChange_Change);
    // The list is filled and selected by the window itself, and a selection must show its
    // variants however it came about.
    connect(cmbListEvents, &QComboBox::currentIndexChanged, this,
            &frmSettings::cmbListEvents_Click);
    for (int i = 0; i < 3; ++i)
        connect(optFant[static_cast<size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !filling_) optFant_Click(i);
        });
    for (QSlider* s : {sldVolBut1, sldFreqBut1, sldVolBut2, sldFreqBut2, sldFreq})
        s->installEventFilter(this);
}

// ---------------------------------------------------------------- opening

void frmSettings::Form_Load() {
    {
        const QScopedValueRollback<bool> filling(filling_, true);
        const DirectSound* music = t_.sounds ? &t_.sounds->music : nullptr;
        showOnSlider(sldVolBackgrnd, music ? music->volume() : 0);
        chkEnable->setChecked(!t_.play.EnableLoop);
        chkSoundControl->setChecked(!t_.main.EnableSoundControl);
        lblFile->setText(GetFileName(t_.main.PathToBkgMusic));
    }

    // The list's handler shows the first event's objects.
    for (int i = 0; i < kEffectEventCount; ++i)
        cmbListEvents->addItem(effectEventText(i));
    cmbListEvents->setCurrentIndex(0);

    const QScopedValueRollback<bool> filling(filling_, true);
    showOnSlider(sldChange, t_.play.SpeedChange);
    txtChange->setText(QString::number(sldChange->value()));
    showOnSlider(sldFreq, t_.main.freq);
    if (t_.play.iFantom < optFant.size()) optFant[t_.play.iFantom]->setChecked(true);
    chkSetka->setChecked(!t_.play.bDrawSetka);
}

void frmSettings::showOnSlider(QSlider* s, int value) {
    const QScopedValueRollback<bool> filling(filling_, true);
    s->setValue(std::clamp(value, s->minimum(), s->maximum()));
    applied_[s] = s->value();
}

// ---------------------------------------------------------------- the event list

clsDMCtrl* frmSettings::eventObject(int variant) const {
    if (!t_.sounds) return nullptr;
    const auto slot = effectEventObject(cmbListEvents->currentText(), variant);
    if (!slot) return nullptr;
    return &t_.sounds->effect(*slot);
}

QString frmSettings::GetEventPath(int variant) const {
    const clsDMCtrl* o = eventObject(variant);
    return o ? o->DMCtrlPath() : QString();
}

void frmSettings::SetEventProperty(const QVariant& value, int kind, int variant) {
    if (clsDMCtrl* o = eventObject(variant)) SetDMCtrlProperty(*o, value, kind);
}

void frmSettings::SetDMCtrlProperty(clsDMCtrl& object, const QVariant& value, int kind) {
    switch (kind) {
        case 0:
            object.DMCtrlEnabled(value.toBool());
            break;
        case 1:
            object.DMCtrlPath(value.toString());
            break;
        case 2:
            object.DMCtrlVolume(static_cast<int16_t>(value.toInt()));
            break;
        case 3:
            object.DMCtrlFreq(static_cast<int32_t>(value.toInt()));
            break;
        default:
            break;
    }
}

void frmSettings::ShowFirstVar(const clsDMCtrl& object) {
    showVariant(object, lblFirstVar, sldVolBut1, sldFreqBut1, chkEnFirstVar);
}

void frmSettings::ShowSecondVar(const clsDMCtrl& object) {
    showVariant(object, lblSecondVar, sldVolBut2, sldFreqBut2, chkEnSecondVar);
}

void frmSettings::showVariant(const clsDMCtrl& object, QLabel* name, QSlider* volume,
                              QSlider* frequency, QCheckBox* off) {
    const QScopedValueRollback<bool> filling(filling_, true);
    name->setText(GetFileName(object.DMCtrlPath()));
    showOnSlider(volume, object.DMCtrlVolume());
    showOnSlider(frequency, object.DMCtrlFreq());
    off->setChecked(!object.DMCtrlEnabled());
}

void frmSettings::cmbListEvents_Click() {
    const QString text = cmbListEvents->currentText();
    const bool two = hasSecondVariant(text);
    fraSecondVar->setVisible(two);
    if (const clsDMCtrl* first = eventObject(0)) ShowFirstVar(*first);
    if (two)
        if (const clsDMCtrl* second = eventObject(1)) ShowSecondVar(*second);
}

// ---------------------------------------------------------------- effect controls

void frmSettings::chkEnFirstVar_Click() {
    SetEventProperty(!chkEnFirstVar->isChecked(), 0, 0);
}

void frmSettings::chkEnSecondVar_Click() {
    SetEventProperty(!chkEnSecondVar->isChecked(), 0, 1);
}

void frmSettings::sliderReleased(QSlider* s) {
    int& applied = applied_[s];
    if (applied == s->value()) return;
    applied = s->value();
    const int v = s->value();
    if (s == sldVolBut1) SetEventProperty(v, 2, 0);
    if (s == sldVolBut2) SetEventProperty(v, 2, 1);
    if (s == sldFreqBut1) SetEventProperty(v, 3, 0);
    if (s == sldFreqBut2) SetEventProperty(v, 3, 1);
    if (s == sldFreq) sldFreq_Moved();
}

bool frmSettings::choose(const QString& folder) {
    t_.chooser.SetPath(folder);
    return t_.chooser.showModal(this);
}

void frmSettings::cmdOpenFirst_Click() {
    if (!choose(GetFilePath(GetEventPath(0)))) return;
    lblFirstVar->setText(t_.chooser.NameFile);
    SetEventProperty(t_.chooser.PathToFile, 1, 0);
}

void frmSettings::cmdOpenSecond_Click() {
    if (!choose(GetFilePath(GetEventPath(1)))) return;
    lblSecondVar->setText(t_.chooser.NameFile);
    SetEventProperty(t_.chooser.PathToFile, 1, 1);
}

void frmSettings::chkSoundControl_Click() {
    t_.main.EnableSoundControl = !chkSoundControl->isChecked();
}

// ---------------------------------------------------------------- background music

void frmSettings::chkEnable_Click() {
    const bool off = chkEnable->isChecked();
    if (t_.sounds) {
        if (off)
            t_.sounds->music.BkgMusicStop();
        else
            t_.sounds->music.BkgMusicPlay();
    }
    t_.play.EnableLoop = !off;
}

void frmSettings::cmdOpen_Click() {
    t_.chooser.AddictPattern.clear();
    if (!choose(GetFilePath(t_.main.PathToBkgMusic))) return;
    lblFile->setText(t_.chooser.NameFile);
    QString path = t_.chooser.PathToFile;
    if (t_.sounds) t_.sounds->music.BkgMusicLoad(path, t_.main.freq);
    t_.main.PathToBkgMusic = t_.chooser.PathToFile;
    if (t_.sounds) {
        showOnSlider(sldFreq, t_.sounds->music.BkgMusicGetFreq());
        int16_t volume = static_cast<int16_t>(sldVolBackgrnd->value());
        t_.sounds->music.BkgMusicSetVolume(volume);
    }
}

void frmSettings::sldVolBackgrnd_Moved() {
    int16_t volume = static_cast<int16_t>(sldVolBackgrnd->value());
    if (t_.sounds) t_.sounds->music.BkgMusicSetVolume(volume);
    cmdOk->setFocus();
}

void frmSettings::sldFreq_Moved() {
    int32_t f = sldFreq->value();
    if (t_.sounds) t_.sounds->music.BkgMusicSetFreq(f);
    t_.main.freq = sldFreq->value();
}

void frmSettings::setSweepStep(int16_t step) {
    t_.play.SpeedChange = step;
    // A step of 0 brings the music back to the centre and keeps it there.
    if (step == 0) t_.ForLoop = 0;
}

void frmSettings::sldChange_Moved() {
    const QScopedValueRollback<bool> filling(filling_, true);
    txtChange->setText(QString::number(sldChange->value()));
    setSweepStep(static_cast<int16_t>(sldChange->value()));
}

void frmSettings::txtChange_Change() {
    const SweepText typed = sweepText(txtChange->text());
    if (!typed.step) return;  // below the slider's range: not a step
    if (typed.replaceWithMax) {
        const QScopedValueRollback<bool> filling(filling_, true);
        txtChange->setText(QString::number(kSweepStepMax));
        txtChange->setSelection(0, static_cast<int>(txtChange->text().size()));
    }
    showOnSlider(sldChange, *typed.step);
    setSweepStep(*typed.step);
}

// ---------------------------------------------------------------- display options, closing

void frmSettings::chkSetka_Click() {
    t_.play.bDrawSetka = !chkSetka->isChecked();
}

void frmSettings::optFant_Click(int index) {
    t_.play.iFantom = static_cast<uint8_t>(index);
}

void frmSettings::cmdOk_Click() {
    accept();
}

void frmSettings::done(int result) {
    // The chooser never outlives the settings window.
    t_.chooser.Unload();
    QDialog::done(result);
}

void frmSettings::lblMail_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    // No mail program, or none that answers: nothing to tell the player.
    (void)openUrl_(QUrl(QStringLiteral("mailto:")));
}

bool frmSettings::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblMail && event->type() == QEvent::MouseButtonPress) {
        lblMail_MouseDown(static_cast<QMouseEvent*>(event)->button());
        return false;
    }
    auto* s = qobject_cast<QSlider*>(watched);
    if (!s) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonRelease) {
        // Qt hands the release to the slider that took the press; it counts only over it. Let go
        // elsewhere, the slider goes back to the value in force rather than show another.
        const auto* m = static_cast<QMouseEvent*>(event);
        const bool over = s->rect().contains(m->position().toPoint());
        // The slider ends its drag in its own handler; act on the value it settles on.
        QMetaObject::invokeMethod(
            this,
            [this, s, over] {
                if (over)
                    sliderReleased(s);
                else
                    showOnSlider(s, applied_[s]);
            },
            Qt::QueuedConnection);
    } else if (event->type() == QEvent::Wheel) {
        // A turn of the wheel is a whole move, as a release ends one; the slider takes it after
        // this filter.
        QMetaObject::invokeMethod(
            this, [this, s] { sliderReleased(s); }, Qt::QueuedConnection);
    } else if (event->type() == QEvent::KeyRelease) {
        sliderReleased(s);
    }
    return false;
}

}  // namespace morvast
