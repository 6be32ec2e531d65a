#pragma once
// Pf > "Fit the profile jointly...": what the joint fit of the active profile
// (laterally constrained inversion, core/LateralInversion.h) is to do. The
// layer count (the one most of the profile's models have, at first) and the
// two constraint strengths as factors per 100 m (the core's defaults at
// first); below them the points whose models have another layer count, named,
// and whether to leave them out (at first) or to bring them to the chosen
// count (each starts from the program's automatic model of that many layers,
// its held values dropped); points without a curve are always left out, named.
// Numbers are typed with the desktop's decimal separator or a point.

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "core/LateralInversion.h"
#include "core/VesDatabase.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;

namespace orma::ui {

/// What the dialog needs of a point.
struct PointShape {
    std::string name;
    int layers = 0;  ///< 0: no model (an imported sounding)
    bool hasCurve = false;
};
std::vector<PointShape> pointShapes(const Profile& profile);

struct JointFitChoice {
    int layers = 0;
    double resistivityFactor = LateralInversionOptions{}.resistivityFactor;
    double depthFactor = LateralInversionOptions{}.depthFactor;
    double depthBendFactor = LateralInversionOptions{}.depthBendFactor;  ///< 0: no bend ties
    /// Points of another layer count start from an automatic model of
    /// `layers` layers; otherwise they are left out.
    bool bringToLayers = false;
};

class JointFitDialog : public QDialog {
    Q_OBJECT
public:
    explicit JointFitDialog(QWidget* parent = nullptr);

    /// Fills the fields for `profile`: its common layer count and the defaults.
    void prepare(const Profile& profile);
    /// After OK: what was chosen; nullopt when the dialog was cancelled.
    const std::optional<JointFitChoice>& choice() const { return choice_; }
    /// What the dialog says about the points (for the chosen layer count).
    QString pointsText() const;

    /// OK: every field read; a field that holds no usable number is named in
    /// the dialog and the dialog stays open.
    void accept() override;

    QSpinBox* layers = nullptr;
    QLineEdit* resistivityFactor = nullptr;
    QLineEdit* depthFactor = nullptr;
    QLineEdit* depthBendFactor = nullptr;  ///< 0 (or empty): no bend ties
    QRadioButton* bringToLayers = nullptr;
    QRadioButton* leaveOut = nullptr;
    QLabel* problem = nullptr;

private:
    void updatePoints();

    QPlainTextEdit* points_ = nullptr;
    std::vector<PointShape> shapes_;
    std::optional<JointFitChoice> choice_;
};



/// The points a joint fit with `layers` layers cannot take as they are:
/// "VES 250 (5 layers)"; those without a model, which start from the
/// automatic model; and those it cannot take at all (no curve).
struct JointFitMisfits {
    std::vector<std::string> otherLayers;
    std::vector<std::string> noModel;
    std::vector<std::string> noCurve;
};
JointFitMisfits jointFitMisfits(const std::vector<PointShape>& points, int layers);

}  // namespace orma::ui
