#pragma once
// "Preview Names": the plan of "Process All" as a table, before anything is done.
// Names taken by other files (dashes added) and pictures without the date their
// names were to start with are marked; skipped pictures are greyed with the reason.

#include "main/picture_plan.h"

#include <QDialog>

#include <vector>

class QTableWidget;

namespace zembra {

class PlanWindow : public QDialog {
  public:
    PlanWindow(QWidget& owner, const std::vector<PicturePlan>& rows);
    QTableWidget& table() { return *table_; }

    // The line above the table: how many pictures, skipped, marked.
    static QString Summary(const std::vector<PicturePlan>& rows);

  private:
    QTableWidget* table_;
};

} // namespace zembra
