#pragma once

#include <QListWidget>

#include "windows/widgets/side_window.h"

namespace morvast {

// The running statistic of how the score was made up, landing by landing.
class frmStatistic : public SideWindow {
    Q_OBJECT
  public:
    explicit frmStatistic(QWidget* parent = nullptr);

    // Adds a line; selectLast selects it, which scrolls the list to the end.
    void addLine(const QString& line, bool selectLast);

    QListWidget* lstStatistic;
};

}  // namespace morvast
