#include "settings/settings_file.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include "settings/settings_format.h"

namespace morvast {

QString GetMachineName() {
    QString name = QSysInfo::machineHostName();
    qsizetype from = 0, to = name.size();
    while (from < to && name[from] == QLatin1Char(' '))
        ++from;
    while (to > from && name[to - 1] == QLatin1Char(' '))
        --to;
    name = name.mid(from, to - from);
    const qsizetype nul = name.indexOf(QChar(0));
    if (nul >= 0) name.truncate(nul);
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return name;
}

QString settingsFilePath(const QString& folder, const QString& machineName) {
    return QDir(folder).filePath(QStringLiteral("Mvst") + machineName + QStringLiteral(".ini"));
}

SettingsFile::SettingsFile(const QString& folder, const QString& machineName,
                           const QString& mediaFolder)
    : mediaFolder_(mediaFolder.isEmpty() ? folder : mediaFolder),
      path_(settingsFilePath(folder, machineName)) {}

SettingsFile::OnDisk SettingsFile::inspect(Settings& s, QString& problem) const {
    QFile f;
    // Never a pipe or a device, which could block for ever, nor a link another account put
    // there; a dangling link counts as a file, as what it names is not ours to create.
    switch (openSharedFile(f, path_)) {
        case SharedOpen::Opened:
            break;
        case SharedOpen::Missing:
            problem = QStringLiteral("there is no file");
            return OnDisk::Missing;
        case SharedOpen::Refused:
            problem = QStringLiteral("it is not a file, or a link that is not followed");
            return OnDisk::Unreadable;
        case SharedOpen::Failed:
            problem = QStringLiteral("the file cannot be opened");
            return OnDisk::Unreadable;
    }
    s = Settings{};
    if (skipToCurrentContent(f) && readSettings(f, s, &problem)) return OnDisk::Good;
    return OnDisk::Damaged;
}

bool SettingsFile::mayReplace() {
    Settings ignored;
    QString problem;
    switch (inspect(ignored, problem)) {
        case OnDisk::Missing:
        case OnDisk::Good:
            return true;
        case OnDisk::Damaged:
            return copyFileAtomically(path_, backupPath());
        case OnDisk::Unreadable:
            break;
    }
    return false;
}

SettingsLoad SettingsFile::LoadSettings() {
    SettingsLoad out;
    const auto done = [&](SettingsLoadStatus status) {
        out.status = status;
        resolvePaths(out.values, mediaFolder_);
        return out;
    };
    removeStaleTemporaries(path_);
    removeStaleTemporaries(backupPath());
    Settings read;
    SettingsLoadStatus status = SettingsLoadStatus::Created;
    switch (inspect(read, out.problem)) {
        case OnDisk::Good:
            out.values = read;
            return done(SettingsLoadStatus::Read);
        case OnDisk::Missing:
            break;
        case OnDisk::Damaged:
            // The player's file is never lost: without its copy it stays as it is.
            if (!copyFileAtomically(path_, backupPath()))
                return done(SettingsLoadStatus::DefaultsOnly);
            status = SettingsLoadStatus::ReplacedDamaged;
            break;
        case OnDisk::Unreadable:
            return done(SettingsLoadStatus::DefaultsOnly);
    }
    if (WriteDefaultSettings() == SharedWrite::Failed)
        return done(SettingsLoadStatus::DefaultsOnly);
    // Read what was written, from its first line; once only, whatever it gives.
    QString again;
    if (inspect(read, again) != OnDisk::Good) return done(SettingsLoadStatus::DefaultsOnly);
    out.values = read;
    return done(status);
}

SharedWrite SettingsFile::SaveSettings(const Settings& s) {
    if (!mayReplace()) return SharedWrite::Failed;
    return writeSharedFile(path_, {encodeSettings(s), {}});
}

SharedWrite SettingsFile::WriteDefaultSettings() {
    return writeSharedFile(path_, {defaultSettingsBytes(), {}});
}

}  // namespace morvast
