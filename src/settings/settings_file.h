#pragma once

#include <QString>

#include "files/shared_file.h"
#include "settings/settings.h"

namespace morvast {

// The computer's name for the settings file's name: the host name trimmed of blanks and cut
// before its first NUL; empty when the system gives none. A separator in it would put the file
// into another folder, so "/" and "\" become "_".
QString GetMachineName();

// "Mvst" + machine name + ".ini" in the folder.
QString settingsFilePath(const QString& folder, const QString& machineName);

enum class SettingsLoadStatus {
    Read,             // the file was read
    Created,          // there was no file: the default file was written and read
    ReplacedDamaged,  // the file failed to read: its bytes are in the ".bak" beside it, the
                      // default file took its place and was read
    DefaultsOnly,     // the defaults are in memory only: no file could be written, or a file that
                      // failed to read could not be copied aside and was left as it was
};

struct SettingsLoad {
    Settings values;  // paths resolved; the defaults on every status but Read
    SettingsLoadStatus status = SettingsLoadStatus::Read;
    QString problem;  // what failed to read, for a message or a log ("line 12: ...")
};

// The per-computer settings file of the main window, in the data folder (dataFolder(): beside
// the program unless it is installed), shared by every account of the computer. User-interface
// thread; positions in twips. frmMain's LoadSettings and SaveSettings are its readers.
//
// Paths: `used` is the path to play; set() puts the path in use into the file.
// Positions are single-precision twips straight from the file, possibly far off the screen or
// beyond the range of int pixels; the caller clamps before converting.
class SettingsFile {
  public:
    // mediaFolder is where "..." and relative paths lead: the program's folder, which an
    // installed copy keeps apart from its settings; "" means the settings file's own folder.
    explicit SettingsFile(const QString& folder, const QString& machineName = GetMachineName(),
                          const QString& mediaFolder = {});

    QString path() const { return path_; }
    QString backupPath() const { return path_ + QStringLiteral(".bak"); }

    // Reads the file. A file that is missing or fails to read is replaced by the default file,
    // which is then read from its first line; a file that existed goes to backupPath() first and
    // is never replaced when that copy fails. Writes at most twice (backup, default file), so a
    // folder where nothing can be written costs no retry loop.
    SettingsLoad LoadSettings();
    // Replaces the file with s. A file there that fails to read is first copied to backupPath();
    // when that copy fails, or the file cannot be read at all, it is left alone (Failed).
    SharedWrite SaveSettings(const Settings& s);
    // Writes the 66 lines of the default file over whatever is there; LoadSettings copies a
    // damaged file aside before it calls this.
    SharedWrite WriteDefaultSettings();

  private:
    enum class OnDisk { Missing, Good, Damaged, Unreadable };
    OnDisk inspect(Settings& s, QString& problem) const;
    // Whether the file may be overwritten: true when it reads or is missing, or once a damaged
    // one has been copied aside.
    bool mayReplace();

    QString mediaFolder_;
    QString path_;
};

}  // namespace morvast
