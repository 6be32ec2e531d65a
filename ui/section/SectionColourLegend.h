#pragma once
// The legend strip of the colour views, below the section: a caption, the
// colour bar with its labels in ohm·m at the decades of the range and at its
// two ends (where they leave the decades' labels clear), and below them a
// note (how the depth reads, which points the colours leave out).

#include <string>
#include <vector>

#include "core/ColourScale.h"

namespace orma::ui {

class Canvas;

struct ColourLegendLabel {
    double log10Value = 0.0;  ///< the resistivity the label names
    int x = 0;                ///< the bar column of its colour, where the label is centred
    std::string text;
};

struct ColourLegendLayout {
    int barLeft = 0, barRight = 0;  ///< columns of the bar, both included
    int barTop = 0, barBottom = 0;  ///< rows of the bar, both included
    int right = 0;                  ///< the column after the rightmost text (the unit, the note)
    std::vector<ColourLegendLabel> labels;  ///< as drawn, left to right (labels that would overlap are left out)
};

/// Rows the strip takes for a canvas font of text height `textHeight`.
int colourLegendHeight(int textHeight);

/// Draws the strip with its top at row `top`, from column `left` and at most
/// `width` columns wide; `note` goes on a line of its own (may be empty).
ColourLegendLayout drawColourLegend(Canvas& canvas, const ColourScale& scale, int left, int top, int width,
                                    const std::string& caption, const std::string& note);

}  // namespace orma::ui
