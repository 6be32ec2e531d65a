#pragma once
// The colour views of the section window, painted under the section's own
// drawing: the resistivity section (the points' layered models, interpolated
// from point to point) and the apparent-resistivity pseudo-section (their
// composite curves at pseudo-depth AB/2). A legend strip below the section
// shows the colour scale labelled in ohm·m at its decades.
//
// The choice lasts while the program runs; it is not kept in any settings
// file. The colour range follows the data shown (models, or curves) unless
// the user typed one, which then holds for both views.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ColourScale.h"
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
    void paint(Canvas& canvas, const SectionGeometry& geometry) override;

private:
    /// Shown points of the active profile in order of chainage.
    std::vector<const VesPoint*> shownPoints() const;
    /// Paints the view; returns the names of shown points left uncoloured.
    std::vector<std::string> paintResistivity(Canvas& canvas, const SectionGeometry& g,
                                              const std::vector<const VesPoint*>& points);
    std::vector<std::string> paintPseudoSection(Canvas& canvas, const SectionGeometry& g,
                                                const std::vector<const VesPoint*>& points);
    /// Light plates behind the layer resistivities the section writes over
    /// the colours, so they stay readable on dark colours.
    void paintLabelPlates(Canvas& canvas, const SectionGeometry& g, const std::vector<const VesPoint*>& points);

    const VesDatabase& db_;
    const SectionDisplay& display_;
    UserDialogs& dialogs_;
    ColourView view_ = ColourView::Schematic;
    std::optional<LogRange> typedRange_;
    ColourScale scale_;
    ColourLegendLayout legend_;
    std::string depthNote_;  ///< how the pseudo-section's depth reads
    std::function<void()> redraw_;
    std::vector<QAction*> viewItems_;
};

}  // namespace orma::ui
