#include "ui/section/JointFitDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

#include "core/LateralInversionProfile.h"
#include "ui/platform/NumberText.h"

namespace orma::ui {

namespace {

QString joined(const std::vector<std::string>& names) {
    QString text;
    for (const std::string& name : names) text += (text.isEmpty() ? "" : ", ") + QString::fromStdString(name);
    return text;
}

/// A factor per 100 m as typed: a number above 1 (at most 100).
std::optional<double> typedFactor(const QLineEdit& edit) {
    const std::optional<double> value = typedNumber(edit.text().toStdString());
    if (!value || !(*value > 1.0) || *value > 100.0) return std::nullopt;
    return value;
}

/// The bend factor may also be 0, or left empty, for no bend ties.
std::optional<double> typedBendFactor(const QLineEdit& edit) {
    if (edit.text().trimmed().isEmpty()) return 0.0;
    const std::optional<double> value = typedNumber(edit.text().toStdString());
    if (value && *value == 0.0) return 0.0;
    return typedFactor(edit);
}

}  // namespace

std::vector<PointShape> pointShapes(const Profile& profile) {
    std::vector<PointShape> shapes;
    for (const VesPoint& point : profile.points)
        shapes.push_back({point.name, point.MDLmx >= 1 ? point.MDLmx + 1 : 0, !point.hasNoCurve()});
    return shapes;
}

JointFitMisfits jointFitMisfits(const std::vector<PointShape>& points, int layers) {
    JointFitMisfits misfits;
    for (const PointShape& p : points) {
        if (!p.hasCurve) misfits.noCurve.push_back(p.name + " (no curve)");
        else if (p.layers == 0) misfits.noModel.push_back(p.name + " (no model)");
        else if (p.layers != layers) misfits.otherLayers.push_back(p.name + " (" + std::to_string(p.layers) + " layers)");
    }
    return misfits;
}

JointFitDialog::JointFitDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("JointFitDialog");
    setWindowTitle("Fit the profile jointly");
    auto* intro = new QLabel(
        "All points of the profile are fitted together: each point's data, and ties between neighbours that "
        "keep every layer's resistivity and every interface's depth from changing more than the factors below "
        "per 100 m (at one standard deviation), and every interface's dip from bending more than its factor "
        "per 100 m (0: free to bend). Smaller factors tie the points harder.",
        this);
    intro->setWordWrap(true);
    layers = new QSpinBox(this);
    layers->setObjectName("layers");
    layers->setRange(2, kMaxLayers);
    resistivityFactor = new QLineEdit(this);
    resistivityFactor->setObjectName("resistivityFactor");
    depthFactor = new QLineEdit(this);
    depthFactor->setObjectName("depthFactor");
    depthBendFactor = new QLineEdit(this);
    depthBendFactor->setObjectName("depthBendFactor");
    auto* form = new QFormLayout;
    form->addRow("Layers", layers);
    form->addRow("Resistivity may change per 100 m by a factor of", resistivityFactor);
    form->addRow("Interface depth may change per 100 m by a factor of", depthFactor);
    form->addRow("Interface dip may change per 100 m by a factor of", depthBendFactor);
    points_ = new QPlainTextEdit(this);
    points_->setObjectName("points");
    points_->setReadOnly(true);
    points_->setMaximumHeight(110);
    bringToLayers = new QRadioButton(this);
    bringToLayers->setObjectName("bringToLayers");
    leaveOut = new QRadioButton("Leave them out: they keep their models", this);
    leaveOut->setObjectName("leaveOut");
    // Left out at first: a point's own layer count is the interpreter's
    // choice, and a model of fewer layers can fit it much worse.
    leaveOut->setChecked(true);
    problem = new QLabel(this);
    problem->setObjectName("problem");
    problem->setStyleSheet("color: #b00000");
    problem->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &JointFitDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(layers, &QSpinBox::valueChanged, this, [this] { updatePoints(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(points_);
    layout->addWidget(leaveOut);
    layout->addWidget(bringToLayers);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    resize(560, 380);
}

void JointFitDialog::prepare(const Profile& profile) {
    choice_.reset();
    shapes_ = pointShapes(profile);
    const LateralInversionOptions defaults;
    const int common = commonLayerCount(profile);
    layers->setValue(common >= 2 ? common : 3);
    resistivityFactor->setText(QString::fromStdString(boxText(defaults.resistivityFactor)));
    depthFactor->setText(QString::fromStdString(boxText(defaults.depthFactor)));
    depthBendFactor->setText(QString::fromStdString(boxText(defaults.depthBendFactor)));
    problem->clear();
    updatePoints();
}

QString JointFitDialog::pointsText() const { return points_->toPlainText(); }

void JointFitDialog::updatePoints() {
    const int n = layers->value();
    const JointFitMisfits misfits = jointFitMisfits(shapes_, n);
    QString text;
    if (!misfits.otherLayers.empty())
        text += QString("Models of another layer count: %1.\n").arg(joined(misfits.otherLayers));
    if (!misfits.noModel.empty())
        text += QString("Without a model, starting from the automatic model of %1 layers: %2.\n")
                    .arg(n)
                    .arg(joined(misfits.noModel));
    if (!misfits.noCurve.empty())
        text += QString("Without a curve, left out: %1.\n").arg(joined(misfits.noCurve));
    if (text.isEmpty()) text = QString("Every point has a model of %1 layers.").arg(n);
    points_->setPlainText(text.trimmed());
    bringToLayers->setText(
        QString("Bring the points of another layer count to %1 layers (each starts from the automatic model; "
                "held values are dropped)")
            .arg(n));
    const bool choose = !misfits.otherLayers.empty();
    bringToLayers->setEnabled(choose);
    leaveOut->setEnabled(choose);
}

void JointFitDialog::accept() {
    const std::optional<double> rho = typedFactor(*resistivityFactor);
    const std::optional<double> depth = typedFactor(*depthFactor);
    if (!rho || !depth) {
        problem->setText(QString("The %1 factor must be a number above 1 (at most 100), such as %2.")
                             .arg(!rho ? "resistivity" : "depth")
                             .arg(QString::fromStdString(boxText(1.25))));
        (!rho ? resistivityFactor : depthFactor)->setFocus();
        return;
    }
    const std::optional<double> bend = typedBendFactor(*depthBendFactor);
    if (!bend) {
        problem->setText(QString("The dip factor must be a number above 1 (at most 100), such as %1, or 0 for none.")
                             .arg(QString::fromStdString(boxText(1.15))));
        depthBendFactor->setFocus();
        return;
    }
    JointFitChoice chosen;
    chosen.layers = layers->value();
    chosen.resistivityFactor = *rho;
    chosen.depthFactor = *depth;
    chosen.depthBendFactor = *bend;
    chosen.bringToLayers = bringToLayers->isChecked();
    choice_ = chosen;
    QDialog::accept();
}

}  // namespace orma::ui
