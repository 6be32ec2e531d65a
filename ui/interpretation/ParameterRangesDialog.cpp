#include "ui/interpretation/ParameterRangesDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

#include "ui/platform/NumberText.h"

namespace orma::ui {
namespace {

/// Numbers with the desktop's decimal separator, as everywhere in the window.
QString shownCell(const char* format, double value) { return QString::fromStdString(shownText(format, value)); }
QString number(double value) { return shownCell("%.5g", value); }

QString valueName(const ParameterRange& range) {
    return range.isThickness ? QString("Thickness of layer %1 [m]").arg(range.layer)
                             : QString("Resistivity of layer %1 [ohm.m]").arg(range.layer);
}

/// The standard deviation as "x 1.05"; a dash where the data leave it
/// undetermined or wider than the ranges search.
QString deviation(const ParameterRange& range) {
    const double factor = std::exp(range.logStdDev);
    if (!std::isfinite(factor) || factor > kRangeSearchLimit) return "-";
    return QString::fromUtf8("\u00d7 ") + shownCell("%.4f", factor);
}

}  // namespace

ParameterRangesDialog::ParameterRangesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("ParameterRangesDialog");
    setWindowTitle("Parameter ranges");
    heading_ = new QLabel(this);
    heading_->setWordWrap(true);
    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName("ranges");
    table_->setHorizontalHeaderLabels({"Value", "Fitted", "Lower bound", "Upper bound", "Std. deviation"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(620, 360);
}

void ParameterRangesDialog::showRanges(const RangeSummary& ranges, const QString& forward) {
    heading_->setText(QString("Models whose SSQ stays within %1 times that of the best model near the current "
                              "one, %2 (up to %3), refitted in all other free values; %4. A bound further "
                              "than a factor of %5 from the fitted value is unbounded.")
                          .arg(number(ranges.factor), shownCell("%.6f", ranges.bestSsq),
                               shownCell("%.6f", ranges.threshold), forward, number(kRangeSearchLimit)));
    table_->setRowCount(ranges.parameterCount);
    for (int row = 0; row < ranges.parameterCount; ++row) {
        const ParameterRange& range = ranges.ranges[row];
        const QString cells[] = {valueName(range), number(range.value),
                                 range.lowerUnbounded ? QString("unbounded") : number(range.lower),
                                 range.upperUnbounded ? QString("unbounded") : number(range.upper), deviation(range)};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
    }
    show();
    raise();
    activateWindow();
}

}  // namespace orma::ui
