#include "ui/interpretation/ParameterRangesDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
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

void ParameterRangesDialog::showRanges(const RangeSummary& ranges, const QString& forward,
                                       const EquivalentModels* equivalent) {
    setWindowTitle("Parameter ranges");
    QString heading = QString("Models whose SSQ stays within %1 times that of the best model near the current "
                              "one, %2 (up to %3), refitted in all other free values; %4. A bound further "
                              "than a factor of %5 from the fitted value is unbounded.")
                          .arg(number(ranges.factor), shownCell("%.6f", ranges.bestSsq),
                               shownCell("%.6f", ranges.threshold), forward, number(kRangeSearchLimit));
    QStringList columns = {"Value", "Fitted", "Lower bound", "Upper bound", "Std. deviation"};
    if (equivalent != nullptr) {
        heading += QString(" The last two columns: the least and the greatest value over the %1 equivalent models "
                           "of the global fit.")
                       .arg(equivalent->models.size());
        columns << "Equivalent min" << "Equivalent max";
    }
    heading_->setText(heading);
    table_->clear();
    table_->setColumnCount(static_cast<int>(columns.size()));
    table_->setHorizontalHeaderLabels(columns);
    table_->setRowCount(ranges.parameterCount);
    for (int row = 0; row < ranges.parameterCount; ++row) {
        const ParameterRange& range = ranges.ranges[row];
        QStringList cells = {valueName(range), number(range.value),
                             range.lowerUnbounded ? QString("unbounded") : number(range.lower),
                             range.upperUnbounded ? QString("unbounded") : number(range.upper), deviation(range)};
        if (equivalent != nullptr) {
            const auto layer = static_cast<std::size_t>(range.layer - 1);
            const ValueSpan& span = range.isThickness ? equivalent->thickness[layer] : equivalent->resistivity[layer];
            cells << number(span.min) << number(span.max);
        }
        fillRow(row, cells);
    }
    show();
    raise();
    activateWindow();
}

void ParameterRangesDialog::showEquivalent(const LayerModel& best, const EquivalentModels& equivalent,
                                           const QString& forward) {
    setWindowTitle("Equivalent models");
    heading_->setText(QString("%1 models fit within %2 times the SSQ of the best one, %3 (up to %4); %5. Each "
                              "value's least and greatest over them; the pale band behind the model on the plot "
                              "is the envelope of their step lines, the rose one of their curves.")
                          .arg(equivalent.models.size())
                          .arg(number(equivalent.factor), shownCell("%.6f", equivalent.bestSsq),
                               shownCell("%.6f", equivalent.threshold), forward));
    table_->clear();
    table_->setColumnCount(4);
    table_->setHorizontalHeaderLabels({"Value", "Best", "Least", "Greatest"});
    const int n = std::clamp(best.interfaceCount, 0, kMaxLayers - 1);
    table_->setRowCount(3 * n + 1);
    int row = 0;
    for (int k = 0; k <= n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const QString held = best.resistivityFixed[i] == 1 ? " (held)" : "";
        fillRow(row++, {QString("Resistivity of layer %1 [ohm.m]%2").arg(k + 1).arg(held), number(best.resistivity[i]),
                        number(equivalent.resistivity[i].min), number(equivalent.resistivity[i].max)});
        if (k == n) break;
        const QString heldThickness = best.thicknessFixed[i] == 1 ? " (held)" : "";
        fillRow(row++, {QString("Thickness of layer %1 [m]%2").arg(k + 1).arg(heldThickness), number(best.thickness(k)),
                        number(equivalent.thickness[i].min), number(equivalent.thickness[i].max)});
        const QString heldDepth = best.depthFixed[i] == 1 ? " (held)" : "";
        fillRow(row++, {QString("Depth of interface %1 [m]%2").arg(k + 1).arg(heldDepth), number(best.depth[i]),
                        number(equivalent.depth[i].min), number(equivalent.depth[i].max)});
    }
    show();
    raise();
    activateWindow();
}

void ParameterRangesDialog::fillRow(int row, const QStringList& cells) {
    for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, column, item);
    }
}

}  // namespace orma::ui
