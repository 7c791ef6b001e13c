#include "windows/forms/frm_enter_name.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "windows/widgets/twips.h"
#include "windows/widgets/window_style.h"

namespace morvast {

frmEnterName::frmEnterName(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Morvast XII VelkNET"));
    makeFixedToolWindow(this, px(2415), px(1425));

    lblEnterName = new QLabel(QStringLiteral("Введите Ваше имя"), this);
    lblEnterName->setGeometry(8, 8, 145, 18);
    lblEnterName->setAlignment(Qt::AlignCenter);

    txtName = new QLineEdit(QStringLiteral("UnNamed"), this);
    txtName->setGeometry(8, 30, 145, 24);
    txtName->setMaxLength(10);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setGeometry(48, 62, 65, 26);
    cmdOk->setAutoDefault(false);
    connect(cmdOk, &QPushButton::clicked, this, &frmEnterName::cmdOk_Click);

    // Typing replaces the suggestion at once.
    txtName->setFocus();
    txtName->setSelection(0, static_cast<int>(txtName->text().size()));
}

std::optional<QString> frmEnterName::ask(QWidget* owner) {
    frmEnterName dialog(owner);
    dialog.exec();
    if (dialog.bCancelRecord) return std::nullopt;
    return dialog.PlayerName;
}

void frmEnterName::cmdOk_Click() {
    PlayerName = txtName->text();
    bCancelRecord = false;
    accept();
}

void frmEnterName::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            cmdOk_Click();
            return;
        case Qt::Key_Escape:
            // There is no cancel button: only the close box declines.
            return;
        default:
            QDialog::keyPressEvent(e);
    }
}

}  // namespace morvast
