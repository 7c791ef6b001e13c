#include "windows/forms/frm_statistic.h"

#include <QVBoxLayout>

#include "windows/widgets/twips.h"

namespace morvast {

frmStatistic::frmStatistic(QWidget* parent)
    : SideWindow(QStringLiteral("Statistic"), QSize(px(2280), px(3195)), parent),
      lstStatistic(new QListWidget(this)) {
    lstStatistic->setObjectName(QStringLiteral("lstStatistic"));
    lstStatistic->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lstStatistic);
    watch(lstStatistic);
}

void frmStatistic::addLine(const QString& line, bool selectLast) {
    lstStatistic->addItem(line);
    if (selectLast) lstStatistic->setCurrentRow(lstStatistic->count() - 1);
}

}  // namespace morvast
