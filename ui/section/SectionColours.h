#pragma once
// The colour views of the section window, painted under the section's own
// drawing: the resistivity section (the points' layered models, interpolated
// from point to point) and the apparent-resistivity pseudo-section (their
// composite curves at pseudo-depth AB/2, with AB/2 axes of its own in place
// of the elevation labels, and no model drawn over it). A legend strip below
// the section shows the colour scale labelled in ohm·m at its decades and
// its ends.
//
// The choice lasts while the program runs; it is not kept in any settings
// file. The colour range follows the data shown (models, or curves) unless
// the user typed one, which then holds for both views.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ColourScale.h"
#include "core/ColourSection.h"
#include "core/VesDatabase.h"
#include "ui/section/SectionColourLegend.h"
#include "ui/section/SectionView.h"

class QAction;
class QMenu;

namespace orma {
class UserDialogs;
}

namespace orma::ui {

enum class ColourView { Schematic, Resistivity, PseudoSection };

class SectionColours : public SectionUnderlay {
public:
    SectionColours(const VesDatabase& db, const SectionDisplay& display, UserDialogs& dialogs);

    /// The "Colour" submenu at the end of `display`; `redraw` is the
    /// window's full redraw, run after every change.
    void addMenu(QMenu* display, std::function<void()> redraw);

    ColourView view() const { return view_; }
    void setView(ColourView view);
    /// "Colour range...": the typed range, or nothing for the data's own.
    void chooseRange();
    const std::optional<LogRange>& typedRange() const { return typedRange_; }

    /// The scale and legend of the last painting.
    const ColourScale& scale() const { return scale_; }
    const ColourLegendLayout& legend() const { return legend_; }

    int extraHeight(const SectionGeometry& geometry) const override;
    int extraBoxHeight(const SectionGeometry& geometry) const override;
    void paint(Canvas& canvas, const SectionGeometry& geometry) override;
    bool onElevationScale() const override { return view_ != ColourView::PseudoSection; }
    int labelsRight() const override { return labelsRight_; }

    /// A label of the pseudo-section's AB/2 axes, as drawn.
    struct DepthLabel {
        double ab2 = 0.0;  ///< metres
        std::string text;
        int x = 0, y = 0;  ///< the text's top-left corner
        int tickRow = 0;   ///< the row of its tick
        bool right = false;  ///< on the right-hand axis
    };
    /// The AB/2 axes' labels of the last painting (none in the other views).
    const std::vector<DepthLabel>& depthLabels() const { return depthLabels_; }

private:
    /// Shown points of the active profile in order of chainage.
    std::vector<const VesPoint*> shownPoints() const;
    /// Paints the view; returns the names of shown points left uncoloured.
    std::vector<std::string> paintResistivity(Canvas& canvas, const SectionGeometry& g,
                                              const std::vector<const VesPoint*>& points);
    std::vector<std::string> paintPseudoSection(Canvas& canvas, const SectionGeometry& g,
                                                const std::vector<const VesPoint*>& points);
    /// Light plates behind the layer resistivities and the interface marks
    /// the section draws over the colours, so they stay readable on any.
    void paintLabelPlates(Canvas& canvas, const SectionGeometry& g, const std::vector<const VesPoint*>& points);
    /// The AB/2 axes of the pseudo-section: hanging from the first and the
    /// last coloured point, left and right of the box.
    void paintDepthAxes(Canvas& canvas, const SectionGeometry& g);
    /// `lead`, then `what` and the `names`, as many as fit into `width`
    /// pixels, then how many more.
    static std::string noteThatFits(const Canvas& canvas, const std::string& lead, const std::string& what,
                                    const std::vector<std::string>& names, int width);

    const VesDatabase& db_;
    const SectionDisplay& display_;
    UserDialogs& dialogs_;
    ColourView view_ = ColourView::Schematic;
    std::optional<LogRange> typedRange_;
    ColourScale scale_;
    ColourLegendLayout legend_;
    PseudoDepthAxis depthAxis_;
    double depthAxisBottomLog_ = 0.0;       ///< the largest log10 AB/2 shown
    double leftAxisTop_ = 0.0, rightAxisTop_ = 0.0;  ///< rows of the first and last coloured point
    bool depthAxes_ = false;
    std::vector<DepthLabel> depthLabels_;
    int labelsRight_ = 0;
    std::function<void()> redraw_;
    std::vector<QAction*> viewItems_;
};

}  // namespace orma::ui
