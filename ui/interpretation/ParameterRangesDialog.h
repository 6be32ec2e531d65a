#pragma once
// The values of the current model in a table, shown without blocking so
// that the plot stays in view while the interpreter reads it:
//  - the parameter ranges (Model > Computation > "Parameter ranges..."):
//    every free value with its fitted value, the bounds of its equivalence
//    range and its linearised standard deviation; after a global fit, while
//    the model is its result, also each value's span over its equivalent
//    models;
//  - the equivalent models of a global fit (Model > "Fit globally"): every
//    resistivity, thickness and depth with the best model's value and its
//    least and greatest over the equivalent models.

#include <QDialog>
#include <QStringList>

#include "core/EquivalentModels.h"
#include "core/ParameterRanges.h"
#include "core/Sounding.h"

class QLabel;
class QTableWidget;

namespace orma::ui {

class ParameterRangesDialog : public QDialog {
    Q_OBJECT
public:
    explicit ParameterRangesDialog(QWidget* parent = nullptr);

    /// Fills the table with the ranges; `forward` names the forward
    /// computation used. With `equivalent` two more columns give each
    /// value's span over those models.
    void showRanges(const RangeSummary& ranges, const QString& forward, const EquivalentModels* equivalent = nullptr);
    /// Fills the table with every value of `best` and its span over the
    /// equivalent models.
    void showEquivalent(const LayerModel& best, const EquivalentModels& equivalent, const QString& forward);

    QTableWidget* table() const { return table_; }
    QLabel* heading() const { return heading_; }

private:
    void fillRow(int row, const QStringList& cells);

    QLabel* heading_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace orma::ui
