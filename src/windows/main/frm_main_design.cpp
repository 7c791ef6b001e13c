// The controls of the main window: position and size in twips, caption, colours and the help
// text in each control's Tag. Every factory names its control after the original, so the
// controls are findable by those names.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "windows/widgets/app_look.h"
#include "windows/main/frm_main.h"
#include "windows/widgets/picture_box.h"
#include "windows/widgets/twips.h"
#include "windows/widgets/win_colour.h"

namespace morvast {

namespace {

constexpr uint32_t kMenuBrown = 0x004080;
constexpr uint32_t kMenuText = 0xFFFFC0;
constexpr uint32_t kLightBlue = 0xFF8080;
constexpr uint32_t kTimeGreen = 0x00C000;

// The help text the tour shows for a control.
void setTag(QWidget* w, const char* text) {
    if (text) w->setProperty("Tag", QString::fromUtf8(text));
}

template <typename W>
W* named(W* w, const QString& name, QRect r) {
    w->setObjectName(name);
    w->setGeometry(r);
    return w;
}

QLabel* makeLabel(QWidget* parent, const QString& name, QRect r, const char* caption, uint32_t fore,
                  bool centred, const char* tag) {
    auto* l = named(new QLabel(QString::fromUtf8(caption), parent), name, r);
    l->setAlignment(centred ? (Qt::AlignHCenter | Qt::AlignTop) : (Qt::AlignLeft | Qt::AlignTop));
    setBackColor(l, colour::kBlack);
    setForeColor(l, fore);
    setTag(l, tag);
    return l;
}

QFrame* makeFrame(QWidget* parent, const QString& name, QRect r) {
    auto* f = named(new QFrame(parent), name, r);
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    setBackColor(f, colour::kBlack);
    setForeColor(f, colour::kWhite);
    return f;
}

QGroupBox* makeGroup(QWidget* parent, const QString& name, QRect r, const char* caption,
                     uint32_t fore, const char* tag) {
    auto* g = named(new QGroupBox(QString::fromUtf8(caption), parent), name, r);
    setBackColor(g, colour::kBlack);
    setForeColor(g, fore);
    setTag(g, tag);
    return g;
}

QPushButton* makeButton(QWidget* parent, const QString& name, QRect r, const char* caption,
                        const char* tag) {
    auto* b = named(new ColourButton(QString::fromUtf8(caption), parent), name, r);
    // The field keeps the keyboard; the buttons are for the mouse.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    setTag(b, tag);
    return b;
}

QPushButton* makeMenuButton(QWidget* parent, const QString& name, QRect r, const char* caption,
                            bool topRow, const char* tag) {
    QPushButton* b = makeButton(parent, name, r, caption, tag);
    b->setCheckable(true);
    b->setFont(designFont(QStringLiteral("Times New Roman"), topRow ? 9 : 8.25, true));
    setBackColor(b, topRow ? kMenuBrown : colour::kBlack);
    setForeColor(b, kMenuText);
    b->setMouseTracking(true);
    return b;
}

PictureBox* makePicture(QWidget* parent, const QString& name, QRect r, const char* tag) {
    auto* p = named(new PictureBox(parent), name, r);
    setTag(p, tag);
    return p;
}

}  // namespace

void frmMain::buildControls() {
    // The five strips between and around the frames: created first, so that they lie beneath
    // the frames and never cut into their borders, not even while the level blink colours them.
    const QRect strips[6] = {{},
                             twipRect(3840, 2520, 615, 75),
                             twipRect(3000, 8160, 495, 75),
                             twipRect(480, 6960, 75, 975),
                             twipRect(480, 7920, 495, 75),
                             twipRect(4080, 0, 75, 2535)};
    for (int i = 1; i <= 5; ++i)
        Label[i] = makeLabel(this, QStringLiteral("Label%1").arg(i), strips[i], "", colour::kBlack,
                             false, nullptr);

    fraMorvast = makeFrame(this, QStringLiteral("fraMorvast"), twipRect(120, 120, 3735, 6855));
    picMorvast = makePicture(
        fraMorvast, QStringLiteral("picMorvast"), twipRect(120, 240, 3495, 6495),
        "Удаляются только полностью заполненные горизонтальные линии. Одной фигуркой можно "
        "удалить от 1 до 4 линий.");

    fraBottom = makeFrame(this, QStringLiteral("fraBottom"), twipRect(840, 7200, 2175, 1215));
    // Lies under the steering frame and shows when the pause hides that frame.
    lblPause =
        makeLabel(fraBottom, QStringLiteral("lblPause"), twipRect(120, 240, 1935, 975), "Pause",
                  colour::kRed, true, "Когда эта надпись видна, игра находится в режиме паузы.");
    fraControl = makeGroup(fraBottom, QStringLiteral("fraControl"), twipRect(120, 120, 1935, 975),
                           "Control", colour::kRed,
                           "Управление - стрелочными клавишами ( мышкой их тоже можно нажимать ).");
    cmdDown = makeButton(fraControl, QStringLiteral("cmdDown"), twipRect(720, 480, 492, 225), "V",
                         "Бросить фигурку - Стрелка Вниз.");
    cmdLeftRight[0] =
        makeButton(fraControl, QStringLiteral("cmdLeftRight(0)"), twipRect(120, 480, 615, 195), "<",
                   "Перемещение фигурки влево - Стрелка Влево.");
    cmdLeftRight[2] =
        makeButton(fraControl, QStringLiteral("cmdLeftRight(2)"), twipRect(1200, 480, 615, 195),
                   ">", "Перемещение фигурки вправо - Стрелка Вправо.");
    cmdRotate = makeButton(fraControl, QStringLiteral("cmdRotate(0)"), twipRect(720, 240, 495, 225),
                           "^", "Вращение фигурки - Стрелка Вверх.");
    cmdSpace = makeButton(fraControl, QStringLiteral("cmdSpace"), twipRect(480, 720, 975, 195), "",
                          "Инверсия - Пробел. Заполненные квадратики становятся пустыми, пустые - "
                          "заполненными.");

    fraBottomRight =
        makeFrame(this, QStringLiteral("fraBottomRight"), twipRect(3360, 7320, 3255, 1215));
    fraBottomRight->setMouseTracking(true);
    frmMenu = makeGroup(fraBottomRight, QStringLiteral("frmMenu"), twipRect(120, 120, 3015, 975),
                        "Menu", colour::kYellow,
                        "Это меню. При продвижении по таблице кнопки в Меню начинают мигать.");
    frmMenu->setMouseTracking(true);
    chkPause =
        makeMenuButton(frmMenu, QStringLiteral("chkPause"), twipRect(0, 240, 615, 255), "Pause",
                       true, "Пауза - Клавиша ESC. При нажатии ESC все окна свернутся.");
    chkHelp = makeMenuButton(frmMenu, QStringLiteral("chkHelp"), twipRect(600, 240, 615, 255),
                             "Help", true, "Вызов справки.");
    chkDemo = makeMenuButton(frmMenu, QStringLiteral("chkDemo"), twipRect(1200, 240, 615, 255),
                             "Demo", true, "Обучающий видеоролик ( пример ужасной игры ).");
    chkSet =
        makeMenuButton(frmMenu, QStringLiteral("chkSet"), twipRect(1800, 240, 615, 255), "Set",
                       true, "Hастройка музыкального сопровождения, отображения фантома и т.д.");
    chkExit = makeMenuButton(frmMenu, QStringLiteral("chkExit"), twipRect(2400, 240, 615, 255),
                             "Exit", true, "Выход из игры.");
    chkAuto = makeMenuButton(frmMenu, QStringLiteral("chkAuto"), twipRect(0, 600, 615, 255), "Auto",
                             false,
                             "Автоматическая пристыковка окон The Best Of The Morvast, Future, "
                             "Statistic  и *.mp3 & *.wma Player.");
    chkFuture =
        makeMenuButton(frmMenu, QStringLiteral("chkFuture"), twipRect(600, 600, 615, 255), "Future",
                       false, "Показать/скрыть расширенную подсказку ( окно Future ).");
    chkRec =
        makeMenuButton(frmMenu, QStringLiteral("chkRec"), twipRect(1200, 600, 615, 255), "Best",
                       false, "Показать/скрыть таблицу рекордов ( окно The Best Of The Morvast ).");
    chkStat = makeMenuButton(frmMenu, QStringLiteral("chkStat"), twipRect(1800, 600, 615, 255),
                             "Stat", false, "Показать/скрыть статистику ( окно Statistic ).");
    chkMP3 = makeMenuButton(frmMenu, QStringLiteral("chkMP3"), twipRect(2400, 600, 615, 255), "MP3",
                            false, "Показать/скрыть *.mp3 & *.wma Player.");

    fraLeft = makeFrame(this, QStringLiteral("fraLeft"), twipRect(4320, 120, 2415, 6855));
    lblLevel = makeLabel(fraLeft, QStringLiteral("lblLevel"), twipRect(240, 240, 1935, 495),
                         "Level # 0", colour::kWhite, true,
                         "Уровень сложности ( Скорость игры ). Инкрементирует ( увеличивается ) "
                         "после каждых девяти удаленных линий.");
    lblRemain =
        makeLabel(fraLeft, QStringLiteral("lblRemain"), twipRect(120, 840, 2175, 375), "", 0x8080FF,
                  true, "Число линий, которые надо удалить чтобы  перейти на следующий уровень.");
    fraScore = makeGroup(fraLeft, QStringLiteral("fraScore"), twipRect(240, 1320, 1932, 735),
                         "Score", colour::kYellow, "Текущий счет.");
    lblScore = makeLabel(fraScore, QStringLiteral("lblScore"), twipRect(120, 240, 1695, 375), "---",
                         colour::kYellow, true,
                         "Текущий счет. В окне Statistic приведена полная информация о том, как "
                         "получена эта цифра.");
    lblSumBonus = makeLabel(fraLeft, QStringLiteral("lblSumBonus"), twipRect(120, 2160, 2175, 255),
                            "", colour::kRed, true, "Суммарный бонус за Morvast-фигурки.");
    lblAutors = makeLabel(fraLeft, QStringLiteral("lblAutors"), twipRect(120, 2760, 255, 495), "",
                          0x0000C0, false,
                          "Morvast XII VelkNET: игра для настольного компьютера, перенесённая на "
                          "C++ и Qt.");
    picNext = makePicture(fraLeft, QStringLiteral("picNext"), twipRect(600, 2520, 1155, 1155),
                          "Здесь обычно изображена следующая фигурка.");
    picNext->setUserScale(1155, 1155);
    lblFirma = makeLabel(fraLeft, QStringLiteral("lblFirma"), twipRect(360, 3720, 1695, 375),
                         " Morvast - фигурка    Бонус ", colour::kCyan, true,
                         "Бонус ( до 5000 ) за показанную Morvast-фигурку. Есть супер-фигурка :  "
                         "Morvast - выпадает очень редко, а бонус за нее - 25000.");
    // Captions longer than their label break at blanks onto the next line, as the original's
    // labels do; the labels that change every tick stay on one line, which is cheaper to lay out.
    lblFirma->setWordWrap(true);
    lblSumBonus->setWordWrap(true);
    fraLines = makeGroup(fraLeft, QStringLiteral("fraLines"), twipRect(120, 4200, 2175, 1335),
                         "Lines Bonus", kLightBlue,
                         "Чем больше линий одновременно удалено, тем больше бонус.");
    static const char* const kLineTags[5] = {
        nullptr, "За одну удаленную линию бонус - 275.",
        "За две одновременно удаленные линии бонус - 800.",
        "За три одновременно удаленные линии бонус - 2225.",
        "За четыре одновременно удаленные линии бонус - 5000."};
    for (int i = 1; i <= 4; ++i)
        lblCountLines[i] =
            makeLabel(fraLines, QStringLiteral("lblCountLines(%1)").arg(i),
                      twipRect(120, 240 * i, 1935, 255), "0", colour::kYellow, true, kLineTags[i]);
    lblPosition = makeLabel(fraLeft, QStringLiteral("lblPosition"), twipRect(120, 5640, 2175, 255),
                            "", kLightBlue, true, "Ваше текущее место в таблице.");
    lblNextPlace =
        makeLabel(fraLeft, QStringLiteral("lblNextPlace"), twipRect(120, 5880, 2175, 255), "",
                  kLightBlue, true, "Сколько очков до следующего места в таблице.");
    lblHeightBonus =
        makeLabel(fraLeft, QStringLiteral("lblHeightBonus"), twipRect(360, 6240, 1095, 255),
                  "Time Bonus :", kTimeGreen, true, "Этот бонус зависит от времени.");
    lblTimeBonus = makeLabel(fraLeft, QStringLiteral("lblTimeBonus"),
                             twipRect(1560, 6240, 735, 255), "", kTimeGreen, true,
                             "Бонус за время. Чем быстрее Вы бросите фигурку, тем больше будет "
                             "бонус.");
    lblTotal = makeLabel(fraLeft, QStringLiteral("lblTotal"), twipRect(360, 6480, 975, 255),
                         "Total :", kTimeGreen, true, "Суммарный бонус за время.");
    lblTotalScore =
        makeLabel(fraLeft, QStringLiteral("lblTotalScore"), twipRect(1560, 6480, 735, 255), "40000",
                  kTimeGreen, true, "Суммарный бонус за время.");

    tmrMigMenuControls.setInterval(100);
    tmrDemo.setInterval(500);
    tmrLevel.setInterval(100);
    tmrMigCountLines.setInterval(250);
}

}  // namespace morvast
