#pragma once

#include <QStringList>

#include <functional>

#include "windows/widgets/side_window.h"

class QListWidget;

namespace morvast {

// The records window: the table during play. Like the other side windows it never keeps the
// keyboard, so the keys keep steering the game, and its close box only hides it.
class frmMorvasFathers : public SideWindow {
    Q_OBJECT
  public:
    explicit frmMorvasFathers(QWidget* parent = nullptr);

    // The lines of FillRecordsList.
    void setRecordsList(const QStringList& lines);
    // lstTable's ListIndex: selects the row and scrolls to it.
    void setListIndex(int row);

    QListWidget* lstTable;
};

}  // namespace morvast
