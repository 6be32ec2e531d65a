#pragma once
// The geoelectric section of the active profile drawn onto a canvas: terrain
// line, axis box with ticks and labels, title, and for every point its arrow,
// chainage label, interface marks, resistivities and fit-error bar.
//
// Points are drawn in XOR so that the highlight of the selected point moves
// by drawing two points twice, without a full redraw. Texts are written in
// copy mode and simply overwritten in their new colour; the canvas font is
// rendered without antialiasing, so a text written again over itself leaves
// exactly the same pixels.

#include <string>
#include <vector>

#include <QPoint>

#include "core/VesDatabase.h"
#include "ui/section/SectionGeometry.h"

namespace orma::ui {

class Canvas;

/// What a full redraw paints under the section's own lines and texts (the
/// colour views), with a strip of its own below the section.
class SectionUnderlay {
public:
    virtual ~SectionUnderlay() = default;
    /// Rows added below the section's image for the underlay's own use.
    virtual int extraHeight(const SectionGeometry& geometry) const = 0;
    /// Rows added to the axis box below the lowest elevation, so that a
    /// picture with a vertical scale of its own has room.
    virtual int extraBoxHeight(const SectionGeometry& geometry) const {
        (void)geometry;
        return 0;
    }
    /// Paints onto the freshly cleared canvas; `geometry` includes the strip.
    virtual void paint(Canvas& canvas, const SectionGeometry& geometry) = 0;
    /// False when the picture has a vertical scale of its own (the
    /// pseudo-section's AB/2): the models' marks and resistivities, and the
    /// elevation labels, would read on the wrong scale, so the section leaves
    /// them out and the underlay labels its own axis.
    virtual bool onElevationScale() const { return true; }
    /// The rightmost column the underlay's own axis labels reach.
    virtual int labelsRight() const { return 0; }
};

/// A point carries a model to draw: at least one layer, every layer with a
/// resistivity (a point imported without interpretation holds one layer of 0).
bool pointHasModel(const VesPoint& point);

class SectionView {
public:
    SectionView(Canvas& canvas, const VesDatabase& db, const SectionDisplay& display);

    const SectionGeometry& geometry() const { return geometry_; }
    void setUnderlay(SectionUnderlay* underlay) { underlay_ = underlay; }

    /// Clears the canvas and draws the active profile from scratch; the
    /// geometry follows the profile's points, scales and the displayed limits.
    /// A profile without points gives an empty frame with its title.
    void redrawAll();

    /// Draws point k of the active profile in XOR; drawn a second time with
    /// the same selection, its marks are gone again. Points outside the
    /// displayed chainage limits are not drawn.
    void drawPoint(int k);

    /// The point whose chainage lies nearest to image column x (the first of
    /// equally near ones; points outside the displayed limits count too);
    /// -1 when the active profile has no points.
    int nearestPoint(int x) const;

    /// Vertices of the terrain line of the last full redraw.
    const std::vector<QPoint>& terrainLine() const { return terrain_; }
    /// The size the image control needs: the image, or wider for a long title.
    int shownWidth() const { return shownWidth_; }
    /// The rightmost column the axis labels reach (they stand right of the
    /// box and may pass the image's width); a fit to the window keeps them in.
    int axisLabelsRight() const { return axisLabelsRight_; }
    /// The models' marks and resistivities are drawn (not over a picture of
    /// another vertical scale).
    bool modelsDrawn() const { return modelsDrawn_; }

    /// "locality name: <name> - profile: <name>".
    std::string title() const;
    /// The label over point k: its chainage, after the profile name if asked.
    std::string pointLabel(const VesPoint& point) const;

private:
    void computeGeometry(const Profile* profile);
    void drawTerrainLine(const Profile& profile);
    void drawAxisBox();
    void drawChainageTicks();
    void drawElevationTicks();
    void centredText(int x, int top, const std::string& text);

    Canvas& canvas_;
    const VesDatabase& db_;
    const SectionDisplay& display_;
    SectionGeometry geometry_;
    std::vector<QPoint> terrain_;
    int shownWidth_ = 0;
    int axisLabelsRight_ = 0;
    bool modelsDrawn_ = true;
    SectionUnderlay* underlay_ = nullptr;
};

/// "%.0f" and "%.1f" of a label, with the desktop's decimal separator
/// whatever the C library's locale.
std::string fixedText(double value, int decimals);

}  // namespace orma::ui
