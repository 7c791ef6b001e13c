// Splitting stored paths into folder and file name.
#include <gtest/gtest.h>

#include "settings/file_paths.h"

namespace morvast {
namespace {

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
