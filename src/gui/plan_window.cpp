#include "gui/plan_window.h"

#include "gui/form_view.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zembra {

namespace {

const QColor kMarked(0xff, 0xec, 0xb3);

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString FileName(const std::string& path) {
    return Text(path.substr(path.find_last_of('/') + 1));
}

bool NameTaken(const PicturePlan& row) {
    return !row.skipped && row.reason.rfind("name taken", 0) == 0;
}

bool DateMissing(const PicturePlan& row) {
    return !row.skipped && row.dateWanted && row.date.empty();
}

QString OriginalCell(const PicturePlan& row) {
    switch (row.original) {
    case PicturePlan::Original::Renamed:
        return QStringLiteral("renamed");
    case PicturePlan::Original::Trashed:
        return QStringLiteral("to the Trash");
    case PicturePlan::Original::Kept:
        break;
    }
    return QStringLiteral("kept");
}

QTableWidgetItem* Cell(const QString& text, const QString& toolTip = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(toolTip.isEmpty() ? text : toolTip);
    return item;
}

} // namespace

QString PlanWindow::Summary(const std::vector<PicturePlan>& rows) {
    int skipped = 0, taken = 0, undated = 0;
    for (const auto& row : rows) {
        skipped += row.skipped ? 1 : 0;
        taken += NameTaken(row) ? 1 : 0;
        undated += DateMissing(row) ? 1 : 0;
    }
    QString text = QStringLiteral("%1 pictures: %2 to process, %3 skipped")
                       .arg(rows.size())
                       .arg(static_cast<int>(rows.size()) - skipped)
                       .arg(skipped);
    if (taken > 0)
        text += QStringLiteral("; %1 with a name taken already (dashes added)").arg(taken);
    if (undated > 0)
        text += QStringLiteral("; %1 without a date taken").arg(undated);
    return text + QStringLiteral(". Nothing has been changed yet.");
}

PlanWindow::PlanWindow(QWidget& owner, const std::vector<PicturePlan>& rows)
    : QDialog(&owner), table_(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("Preview Names - Zembra"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(Summary(rows), this);
    summary->setWordWrap(true);
    layout->addWidget(summary);

    const QStringList columns = {"Picture", "New Name", "Output",     "Size",
                                 "Format",  "Original", "Date Taken", "Note"};
    table_->setColumnCount(static_cast<int>(columns.size()));
    table_->setHorizontalHeaderLabels(columns);
    table_->setRowCount(static_cast<int>(rows.size()));
    table_->verticalHeader()->setVisible(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const PicturePlan& row = rows[static_cast<std::size_t>(r)];
        const bool sized = row.width > 0 && row.height > 0;
        QString note = Text(row.reason);
        if (row.skipped)
            note = QStringLiteral("skipped: ") + note;
        else if (DateMissing(row))
            note = note.isEmpty() ? QStringLiteral("no date taken") : note;
        QTableWidgetItem* cells[] = {
            Cell(FileName(row.source), Text(row.source)),
            Cell(row.newName.empty() ? QString() : FileName(row.newName), Text(row.newName)),
            Cell(row.output.empty() ? QString() : FileName(row.output), Text(row.output)),
            Cell(sized ? QStringLiteral("%1 x %2").arg(row.width).arg(row.height) : QString()),
            Cell(Text(row.format)),
            Cell(row.skipped ? QString() : OriginalCell(row)),
            Cell(DateMissing(row) ? QStringLiteral("none") : Text(row.date)),
            Cell(note)};
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
            if (row.skipped)
                cells[c]->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            table_->setItem(r, c, cells[c]);
        }
        if (NameTaken(row)) {
            for (int c : {1, 2, 7})
                table_->item(r, c)->setBackground(kMarked);
        }
        if (DateMissing(row))
            table_->item(r, 6)->setBackground(kMarked);
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(860, 420);
    CentreOn(*this, owner);
}

} // namespace zembra
