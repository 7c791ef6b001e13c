#pragma once

#include <functional>
#include <map>
#include <utility>

#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QString>

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace morvast {

// One entry of the drive list: a mounted volume.
struct Volume {
    QString rootPath;  // "/"-separated, absolute
    QString name;      // the volume's label, may be empty
    bool ready = true;
};

// The volumes mounted now, as the system reports them. The chooser adds the root when the list
// lacks it.
QList<Volume> mountedVolumes();

// The program's file chooser: a drive list, a folder list and a file list; a single click on a
// file chooses it. One object serves the whole program and its public values outlive every
// showing, so a caller that finds PathToFile unchanged knows nothing new was chosen.
class frmOpen : public QDialog {
    Q_OBJECT
  public:
    using VolumeLister = std::function<QList<Volume>()>;
    using MessageShower = std::function<void(QMessageBox::Icon icon, const QString& text)>;

    // programFolder "" means the folder of the running program.
    explicit frmOpen(QString programFolder = {}, VolumeLister volumes = mountedVolumes,
                     QWidget* parent = nullptr);

    // Set by the caller: the file list's patterns, separated by ";"; "" means "*.wav". Taken
    // only when the window loads.
    QString AddictPattern;
    // The last file chosen: its name and its full path.
    QString NameFile;
    QString PathToFile;

    // Makes sPath ("\" or "/", absolute or relative to the program folder) the folder the
    // chooser shows; a folder that does not exist, or lies on a volume that is not ready, makes
    // the program folder the one a later load starts in and leaves the lists alone.
    void SetPath(const QString& sPath);

    // Loads the window when it is not loaded, centres it on the screen and shows it modally;
    // owner stays in front of everything but the chooser. True when a file was chosen in this
    // showing.
    bool showModal(QWidget* owner);

    // Forgets the loaded state (the pattern among it); the next showing loads it again. The
    // chosen file is kept.
    void Unload();
    bool isLoaded() const { return loaded_; }

    // The folder a load starts in, and the folder the lists show now.
    QString currentFolder() const { return currentFolder_; }
    QString folderPath() const { return folder_; }

    // How "device not ready" is told; tests answer it without a modal box.
    void setMessageBox(MessageShower show) { messageBox_ = std::move(show); }

    void Form_Load();
    void drvOpen_Change();
    void dirOpen_Change(const QString& folder);
    void filOpen_Click(const QString& fileName);

    QComboBox* drvOpen;
    QListWidget* dirOpen;
    QListWidget* filOpen;

  public slots:
    // The close box and Esc: the window unloads without a choice.
    void reject() override;

  private:
    void fillDrives();
    void selectDriveOf(const QString& folder);
    void showFolder(const QString& folder);
    void fillFiles();
    int volumeIndexOf(const QString& folder) const;
    bool isReadyFolder(const QString& folder) const;

    QString programFolder_;
    VolumeLister listVolumes_;
    MessageShower messageBox_;
    QList<Volume> volumes_;
    // Each volume's folder last shown, so returning to a volume returns to that folder.
    std::map<QString, QString> volumeFolders_;
    QString currentFolder_;
    QString folder_;
    QStringList patterns_;
    bool loaded_ = false;
    bool chosen_ = false;
};

}  // namespace morvast
