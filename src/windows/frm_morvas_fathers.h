#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

class QListWidget;

namespace morvast {

// The records window: the table during play. It never keeps the keyboard, so the keys keep
// steering the game, and its close box only hides it.
class frmMorvasFathers : public QWidget {
    Q_OBJECT
  public:
    // focusReturn gets the keyboard whenever the window would take it; onUserClose runs when
    // the user closes the window (the main window unchecks chkRec there).
    frmMorvasFathers(QWidget* focusReturn, std::function<void()> onUserClose,
                     QWidget* parent = nullptr);

    // The lines of FillRecordsList.
    void setRecordsList(const QStringList& lines);
    // lstTable's ListIndex: selects the row and scrolls to it.
    void setListIndex(int row);
    // Closes the window for good, as the program does at its end.
    void unloadByProgram();

    QListWidget* lstTable;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void returnFocus();

    QWidget* focusReturn_;
    std::function<void()> onUserClose_;
    bool unloading_ = false;
};

}  // namespace morvast
