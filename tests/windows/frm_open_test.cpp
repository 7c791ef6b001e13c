// The file chooser: drive, folder and file lists over a temporary tree, with made-up volumes;
// and the split of stored paths into folder and file name.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include "gui_fixture.h"
#include "settings/file_paths.h"
#include "windows/forms/frm_open.h"

namespace morvast {
namespace {

using testing::listTexts;
using testing::whenShown;

void clickItem(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (found.size() != 1) {
        ADD_FAILURE() << "no item " << text.toStdString();
        list->window()->close();  // a modal chooser must not wait forever
        return;
    }
    list->doItemsLayout();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(found.first()).center());
}

// prog/ is the program folder; vol/ and cdrom/ stand in for two more volumes, the second one
// an empty disk drive.
class Chooser : public ::testing::Test {
  protected:
    void SetUp() override {
        const QDir root(tmp.path());
        for (const char* dir : {"prog/sound", "prog/Empty", "vol", "cdrom"})
            ASSERT_TRUE(root.mkpath(QString::fromLatin1(dir)));
        for (const char* file :
             {"prog/a.wav", "prog/B.WAV", "prog/notes.txt", "prog/sound/left1.WAV",
              "prog/sound/tune.MP3", "prog/sound/x.wma"}) {
            QFile f(root.filePath(QString::fromLatin1(file)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        open.setMessageBox([this](QMessageBox::Icon icon, const QString& text) {
            messages << QStringLiteral("%1 %2").arg(icon).arg(text);
        });
    }

    int driveIndex(const QString& rootPath) const {
        for (int i = 0; i < volumes.size(); ++i)
            if (volumes[i].rootPath == rootPath) return i;
        return -1;
    }

    bool app = (testing::app(), true);
    QTemporaryDir tmp;
    const QString prog = tmp.filePath(QStringLiteral("prog"));
    const QString sound = tmp.filePath(QStringLiteral("prog/sound"));
    const QString vol = tmp.filePath(QStringLiteral("vol"));
    const QString cdrom = tmp.filePath(QStringLiteral("cdrom"));
    QList<Volume> volumes = {{QStringLiteral("/"), QStringLiteral("system"), true},
                             {cdrom, QString(), false},
                             {vol, QStringLiteral("USB"), true}};
    frmOpen open{prog, [this] { return volumes; }};
    QStringList messages;
};

TEST_F(Chooser, DesignOfTheWindow) {
    EXPECT_EQ(open.windowTitle(), QStringLiteral("Открыть"));
    EXPECT_EQ(open.size(), QSize(377, 270));
    EXPECT_EQ(open.minimumSize(), open.maximumSize());
    EXPECT_EQ(QList({open.drvOpen->geometry(), open.dirOpen->geometry(), open.filOpen->geometry()}),
              QList({QRect(8, 8, 177, 21), QRect(8, 40, 177, 216), QRect(192, 8, 177, 253)}));
}

TEST_F(Chooser, PatternIsTakenAtLoadAndAClickChoosesAndHides) {
    QWidget owner;
    open.SetPath(sound);
    whenShown<frmOpen>([](frmOpen* d) {
        // "" stands for wave files, whatever the case of their names.
        EXPECT_EQ(listTexts(d->filOpen), QStringList{"left1.WAV"});
        clickItem(d->filOpen, QStringLiteral("left1.WAV"));
    });
    EXPECT_TRUE(open.showModal(&owner));
    EXPECT_FALSE(open.isVisible());
    EXPECT_EQ(open.NameFile, QStringLiteral("left1.WAV"));
    EXPECT_EQ(open.PathToFile, sound + QStringLiteral("/left1.WAV"));

    // Only hidden, so the first load's pattern holds; the close box then unloads it without a
    // choice, and the last choice stays.
    open.AddictPattern = QStringLiteral("*.wma;*.mp3;*.mp2");
    whenShown<frmOpen>([](frmOpen* d) {
        EXPECT_EQ(listTexts(d->filOpen), QStringList{"left1.WAV"});
        d->close();
    });
    EXPECT_FALSE(open.showModal(&owner));
    EXPECT_FALSE(open.isLoaded());
    EXPECT_EQ(open.PathToFile, sound + QStringLiteral("/left1.WAV"));

    whenShown<frmOpen>([](frmOpen* d) {
        EXPECT_EQ(listTexts(d->filOpen), QStringList({"tune.MP3", "x.wma"}));
        QTest::keyClick(d, Qt::Key_Escape);  // Esc is the close box too
    });
    EXPECT_FALSE(open.showModal(&owner));
}

TEST_F(Chooser, SetPathTakesEitherSeparatorAndFallsBackToTheProgramFolder) {
    open.SetPath(prog + QStringLiteral("\\Sound\\"));
    EXPECT_EQ(open.currentFolder(), sound);
    open.Form_Load();
    EXPECT_EQ(open.folderPath(), sound);

    // Relative to the program folder, as a default media path is.
    open.SetPath(QStringLiteral("Empty\\"));
    EXPECT_EQ(open.folderPath(), prog + QStringLiteral("/Empty"));

    // A failed SetPath leaves the loaded lists alone and only moves where a load starts.
    open.SetPath(sound);
    for (const QString& bad : {tmp.filePath(QStringLiteral("missing\\")), QString(), cdrom}) {
        SCOPED_TRACE(bad.toStdString());
        open.SetPath(bad);
        EXPECT_EQ(open.currentFolder(), prog);
        EXPECT_EQ(open.folderPath(), sound);
    }
    open.Unload();
    open.Form_Load();
    EXPECT_EQ(open.folderPath(), prog);
    EXPECT_EQ(listTexts(open.filOpen), QStringList({"a.wav", "B.WAV"}));

    frmOpen ofProgram;
    ofProgram.SetPath(tmp.filePath(QStringLiteral("missing")));
    EXPECT_EQ(ofProgram.currentFolder(), QCoreApplication::applicationDirPath());
}

TEST_F(Chooser, NotReadyDriveTellsSoAndTheListReturnsToThePreviousDrive) {
    open.SetPath(sound);
    open.Form_Load();
    ASSERT_EQ(open.drvOpen->count(), 3);
    EXPECT_EQ(open.drvOpen->itemText(driveIndex(vol)), vol + QStringLiteral(" [USB]"));
    EXPECT_EQ(open.drvOpen->currentIndex(), driveIndex(QStringLiteral("/")));

    open.drvOpen->setCurrentIndex(driveIndex(cdrom));
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("%1 Устройство не готово").arg(QMessageBox::Warning)});
    EXPECT_EQ(open.drvOpen->currentIndex(), driveIndex(QStringLiteral("/")));
    EXPECT_EQ(open.folderPath(), sound);
    EXPECT_EQ(listTexts(open.filOpen), QStringList{"left1.WAV"});

    // A ready drive opens at its root; coming back returns to the folder left there.
    open.drvOpen->setCurrentIndex(driveIndex(vol));
    EXPECT_EQ(open.folderPath(), vol);
    EXPECT_EQ(open.dirOpen->item(0)->data(Qt::UserRole).toString(), vol);
    open.drvOpen->setCurrentIndex(driveIndex(QStringLiteral("/")));
    EXPECT_EQ(open.folderPath(), sound);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(Chooser, FilesInARootFolderGetOneSeparator) {
    open.Form_Load();
    open.SetPath(QStringLiteral("\\"));
    EXPECT_EQ(open.folderPath(), QStringLiteral("/"));
    open.filOpen_Click(QStringLiteral("x.wav"));
    EXPECT_EQ(open.PathToFile, QStringLiteral("/x.wav"));
}

TEST_F(Chooser, FolderListShowsTheWayDownAndOpensAFolderOnDoubleClick) {
    open.Form_Load();
    EXPECT_EQ(open.dirOpen->currentItem()->data(Qt::UserRole).toString(), prog);
    EXPECT_EQ(open.dirOpen->item(0)->data(Qt::UserRole).toString(), QStringLiteral("/"));
    open.show();
    const auto item = open.dirOpen->findItems(QStringLiteral("sound"), Qt::MatchEndsWith);
    ASSERT_EQ(item.size(), 1);
    open.dirOpen->doItemsLayout();
    const QPoint at = open.dirOpen->visualItemRect(item.first()).center();
    QTest::mouseClick(open.dirOpen->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(open.folderPath(), prog);  // one click only marks it
    QTest::mouseDClick(open.dirOpen->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(open.folderPath(), sound);
    EXPECT_EQ(listTexts(open.filOpen), QStringList{"left1.WAV"});
    open.hide();
}

// A chroot or a container may list neither the root nor a volume holding the program folder.
TEST_F(Chooser, TheRootIsOfferedWhereTheSystemListsNeitherItNorTheProgramsVolume) {
    volumes = {{vol, QStringLiteral("USB"), true}};
    open.Form_Load();
    EXPECT_EQ(QStringList({open.drvOpen->itemText(0), open.drvOpen->itemText(1)}),
              QStringList({"/", vol + " [USB]"}));
    EXPECT_EQ(open.drvOpen->count(), 2);
    EXPECT_EQ(open.drvOpen->currentIndex(), 0);
    EXPECT_EQ(open.folderPath(), prog);
}

TEST(FilePaths, SplitAtTheLastSeparatorOfEitherKind) {
    const struct {
        const char* path;
        const char* name;
        const char* folder;
    } cases[] = {
        {"C:\\Games\\sound\\left1.WAV", "left1.WAV", "C:\\Games\\sound\\"},
        {"/opt/game/sound/left1.WAV", "left1.WAV", "/opt/game/sound/"},
        // A default path joins the program folder and "Sound\..." with the old separator.
        {"/opt/game\\Sound\\bkgmusic.WAV", "bkgmusic.WAV", "/opt/game\\Sound\\"},
        {"C:\\music/sub\\song.mp3", "song.mp3", "C:\\music/sub\\"},
        {"C:\\", "", "C:\\"},
        {"/", "", "/"},
        {"left1.WAV", "left1.WAV", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetFileName(QString::fromUtf8(c.path)), QString::fromUtf8(c.name));
        EXPECT_EQ(GetFilePath(QString::fromUtf8(c.path)), QString::fromUtf8(c.folder));
    }
}

}  // namespace
}  // namespace morvast
