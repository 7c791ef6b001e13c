#include "windows/forms/frm_open.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>

#include "settings/app_paths.h"
#include "windows/widgets/app_look.h"
#include "windows/widgets/twips.h"
#include "windows/widgets/window_style.h"

namespace morvast {
namespace {

const QString kNotReady = QStringLiteral("Устройство не готово");

bool isInside(const QString& folder, const QString& root) {
    if (root == QLatin1String("/")) return folder.startsWith(QLatin1Char('/'));
    return folder == root || folder.startsWith(root + QLatin1Char('/'));
}

QString absoluteFolder(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A chroot or a sandbox may list no volume that holds the program's folder, or not even the
// root; the root holds every folder, so the chooser can always reach the program folder.
QList<Volume> withRoot(QList<Volume> volumes) {
    if (std::none_of(volumes.begin(), volumes.end(),
                     [](const Volume& v) { return v.rootPath == QLatin1String("/"); }))
        volumes.prepend({QStringLiteral("/"), QString(), true});
    return volumes;
}

}  // namespace

QList<Volume> mountedVolumes() {
    QList<Volume> volumes;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid()) continue;
        const QString root = absoluteFolder(s.rootPath());
        // A bind mount shows the same folder twice; one entry is enough.
        if (std::any_of(volumes.begin(), volumes.end(),
                        [&](const Volume& v) { return v.rootPath == root; }))
            continue;
        volumes.push_back({root, s.name(), s.isReady()});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.rootPath < b.rootPath; });
    return volumes;
}

frmOpen::frmOpen(QString programFolder, VolumeLister volumes, QWidget* parent)
    : QDialog(parent),
      programFolder_(programFolder.isEmpty() ? morvast::programFolder()
                                             : absoluteFolder(programFolder)),
      listVolumes_(std::move(volumes)),
      currentFolder_(programFolder_) {
    setWindowTitle(QStringLiteral("Открыть"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(px(5655), px(4050));
    setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25));

    drvOpen = new QComboBox(this);
    drvOpen->setObjectName(QStringLiteral("drvOpen"));
    drvOpen->setGeometry(px(120), px(120), px(2655), px(315));
    dirOpen = new QListWidget(this);
    dirOpen->setObjectName(QStringLiteral("dirOpen"));
    dirOpen->setGeometry(px(120), px(600), px(2655), px(3240));
    filOpen = new QListWidget(this);
    filOpen->setObjectName(QStringLiteral("filOpen"));
    filOpen->setGeometry(px(2880), px(120), px(2655), px(3795));

    connect(drvOpen, &QComboBox::currentIndexChanged, this, [this] { drvOpen_Change(); });
    // A folder opens on a double click or Enter; a single click only marks it.
    connect(dirOpen, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { dirOpen_Change(item->data(Qt::UserRole).toString()); });
    connect(filOpen, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { filOpen_Click(item->text()); });
    connect(filOpen, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { filOpen_Click(item->text()); });

    messageBox_ = [this](QMessageBox::Icon icon, const QString& text) {
        QMessageBox box(icon, QStringLiteral("Morvast XII VelkNET"), text, QMessageBox::Ok, this);
        box.exec();
    };
}

void frmOpen::SetPath(const QString& sPath) {
    fillDrives();
    const QString folder =
        sPath.isEmpty() ? QString() : absoluteFolder(resolvePath(programFolder_, sPath));
    if (folder.isEmpty() || !isReadyFolder(folder)) {
        currentFolder_ = programFolder_;
        return;
    }
    currentFolder_ = folder;
    if (loaded_) showFolder(folder);
}

bool frmOpen::showModal(QWidget* owner) {
    if (!loaded_) {
        Form_Load();
    } else {
        // Hidden since the last choice: the disk may have changed meanwhile.
        fillDrives();
        showFolder(isReadyFolder(folder_) ? folder_ : programFolder_);
    }
    chosen_ = false;

    centreOnScreen(this, owner);
    execOver(this, owner);
    return chosen_;
}

void frmOpen::Unload() {
    loaded_ = false;
    if (isVisible()) QDialog::reject();
}

void frmOpen::reject() {
    Unload();
}

void frmOpen::Form_Load() {
    loaded_ = true;
    const QString pattern = AddictPattern.isEmpty() ? QStringLiteral("*.wav") : AddictPattern;
    patterns_.clear();
    for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns_ << p.trimmed();
    fillDrives();
    showFolder(isReadyFolder(currentFolder_) ? currentFolder_ : programFolder_);
}

void frmOpen::drvOpen_Change() {
    const int index = drvOpen->currentIndex();
    if (index < 0 || index >= volumes_.size()) return;
    const Volume& volume = volumes_[index];
    const auto remembered = volumeFolders_.find(volume.rootPath);
    QString target = volume.rootPath;
    if (remembered != volumeFolders_.end() && isReadyFolder(remembered->second))
        target = remembered->second;
    if (!volume.ready || !isReadyFolder(target)) {
        messageBox_(QMessageBox::Warning, kNotReady);
        selectDriveOf(folder_);
        return;
    }
    showFolder(target);
}

void frmOpen::dirOpen_Change(const QString& folder) {
    // A folder removed since the list was filled: show the list as it is now.
    showFolder(QFileInfo(folder).isDir() ? folder : folder_);
}

void frmOpen::filOpen_Click(const QString& fileName) {
    // QDir joins without doubling the separator of a root folder.
    PathToFile = QDir(folder_).filePath(fileName);
    NameFile = fileName;
    chosen_ = true;
    accept();
}

void frmOpen::fillDrives() {
    volumes_ = withRoot(listVolumes_());
    const QSignalBlocker block(drvOpen);
    drvOpen->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const Volume& v : volumes_) {
        const bool labelled = !v.name.isEmpty() && v.name != v.rootPath;
        drvOpen->addItem(icon,
                         labelled ? v.rootPath + QStringLiteral(" [") + v.name + "]" : v.rootPath);
    }
    if (!folder_.isEmpty()) drvOpen->setCurrentIndex(volumeIndexOf(folder_));
}

void frmOpen::selectDriveOf(const QString& folder) {
    const QSignalBlocker block(drvOpen);
    drvOpen->setCurrentIndex(volumeIndexOf(folder));
}

void frmOpen::showFolder(const QString& folder) {
    folder_ = folder;
    const int volume = volumeIndexOf(folder);
    const QString root = volume >= 0 ? volumes_[volume].rootPath : QStringLiteral("/");
    volumeFolders_[root] = folder;
    selectDriveOf(folder);

    // The way down from the volume's root, then the folders inside, each a step further in.
    dirOpen->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto add = [&](const QString& text, const QString& path, int depth, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + text);
        item->setData(Qt::UserRole, path);
        dirOpen->addItem(item);
        return item;
    };
    QListWidgetItem* current = add(root, root, 0, open);
    QString path = root;
    int depth = 0;
    for (const QString& part :
         folder.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path = QDir(path).filePath(part);
        current = add(part, path, ++depth, open);
    }
    const QDir dir(folder);
    for (const QString& sub :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        add(sub, dir.filePath(sub), depth + 1, closed);
    dirOpen->setCurrentItem(current);

    fillFiles();
}

void frmOpen::fillFiles() {
    filOpen->clear();
    // Name patterns match regardless of case, as the stored media names ("left1.WAV") need.
    filOpen->addItems(
        QDir(folder_).entryList(patterns_, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

int frmOpen::volumeIndexOf(const QString& folder) const {
    int best = -1;
    for (int i = 0; i < volumes_.size(); ++i)
        if (isInside(folder, volumes_[i].rootPath) &&
            (best < 0 || volumes_[i].rootPath.size() > volumes_[best].rootPath.size()))
            best = i;
    return best;
}

bool frmOpen::isReadyFolder(const QString& folder) const {
    const int volume = volumeIndexOf(folder);
    if (volume >= 0 && !volumes_[volume].ready) return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable();
}

}  // namespace morvast
