#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace morvast {

// The name dialog at the end of a good game.
class frmEnterName : public QDialog {
    Q_OBJECT
  public:
    explicit frmEnterName(QWidget* owner = nullptr);

    // Shows a new dialog modally over owner: the name typed, or nullopt when the dialog was
    // closed without confirming.
    static std::optional<QString> ask(QWidget* owner);

    void cmdOk_Click();

    QString PlayerName;
    // Stays true unless the name is confirmed: any other way out cancels the record.
    bool bCancelRecord = true;

    QLabel* lblEnterName;
    QLineEdit* txtName;
    QPushButton* cmdOk;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace morvast
