#pragma once
// The parameter ranges of the current model (Model > Computation >
// "Parameter ranges..."): a table of every free value with its fitted value,
// the bounds of its equivalence range and its linearised standard deviation.
// The window keeps one dialog and shows it without blocking, so that the plot
// stays in view while the interpreter reads the table.

#include <QDialog>

#include "core/ParameterRanges.h"

class QLabel;
class QTableWidget;

namespace orma::ui {

class ParameterRangesDialog : public QDialog {
    Q_OBJECT
public:
    explicit ParameterRangesDialog(QWidget* parent = nullptr);

    /// Fills the table; `forward` names the forward computation used.
    void showRanges(const RangeSummary& ranges, const QString& forward);

    QTableWidget* table() const { return table_; }
    QLabel* heading() const { return heading_; }

private:
    QLabel* heading_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace orma::ui
