#include "ui/section/SectionColours.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/AbGrid.h"
#include "core/ColourSection.h"
#include "io/UserDialogs.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/NumberText.h"

namespace orma::ui {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// log10 of a stored resistivity (the sign is the fix flag); NaN when it
/// cannot be shown.
double logOf(float stored) {
    const double value = std::fabs(static_cast<double>(stored));
    return value > 0.0 && std::isfinite(value) ? std::log10(value) : kNaN;
}


/// The painted area: inside the axis box, within the bitmap.
ColourRaster rasterInsideBox(QImage& image, const SectionGeometry& g) {
    ColourRaster r;
    r.pixels = reinterpret_cast<std::uint32_t*>(image.bits());
    r.width = image.width();
    r.height = image.height();
    r.stride = image.bytesPerLine() / 4;
    r.left = g.boxLeft + 1;
    r.right = g.boxRight;
    r.top = g.boxTop + 1;
    r.bottom = g.boxBottom;
    return r;
}

/// Runs of consecutive usable columns: a point that cannot be coloured
/// leaves a gap instead of being bridged.
template <typename Column>
std::vector<std::vector<Column>> splitAtGaps(const std::vector<std::optional<Column>>& columns) {
    std::vector<std::vector<Column>> runs(1);
    for (const std::optional<Column>& column : columns) {
        if (column) runs.back().push_back(*column);
        else if (!runs.back().empty()) runs.emplace_back();
    }
    return runs;
}

/// A point's composite curve as a column of the pseudo-section; nothing
/// when it holds no value to colour.
std::optional<CurveColumn> curveColumnOf(const VesPoint& p, const SectionGeometry& g) {
    CurveColumn column;
    column.x = g.px(p.profileChainage);
    column.top = (g.elevationTop - p.z) * g.pixelsPerMetreZ;
    const int first = std::max(p.nABmn, 0);
    const int last = std::min(p.ABmx, kMaxPointSamples - 1);
    column.firstLogAb = first * kGridStep;
    column.logAbStep = kGridStep;
    bool any = false;
    for (int k = first; k <= last; ++k) {
        column.logRho.push_back(logOf(p.composite[static_cast<std::size_t>(k)]));
        any = any || !std::isnan(column.logRho.back());
    }
    if (!any) return std::nullopt;
    return column;
}

/// The pseudo-depth of a profile's curves: from the smallest to the largest
/// AB/2 of all, one scale for all points, the largest reaching the bottom of
/// the box under the lowest point.
struct CurveSpan {
    bool any = false;
    double firstLog = 0.0, lastLog = 0.0;
    double lowestTop = 0.0;          ///< row of the lowest coloured point
    double leftTop = 0.0, rightTop = 0.0;  ///< rows of the first and last coloured point
    double pixelsPerDecade = 1.0;
};

CurveSpan curveSpanOf(const std::vector<std::optional<CurveColumn>>& columns, const SectionGeometry& g) {
    CurveSpan span;
    for (const std::optional<CurveColumn>& column : columns) {
        if (!column) continue;
        const double lastLog = column->firstLogAb + static_cast<double>(column->logRho.size() - 1) * column->logAbStep;
        if (!span.any) {
            span.firstLog = column->firstLogAb;
            span.lastLog = lastLog;
            span.lowestTop = span.leftTop = column->top;
        }
        span.any = true;
        span.firstLog = std::min(span.firstLog, column->firstLogAb);
        span.lastLog = std::max(span.lastLog, lastLog);
        span.lowestTop = std::max(span.lowestTop, column->top);
        span.rightTop = column->top;
    }
    const double decades = span.lastLog - span.firstLog > 1e-9 ? span.lastLog - span.firstLog : 1.0;
    span.pixelsPerDecade = std::max((g.boxBottom - span.lowestTop) / decades, 1.0);
    return span;
}

/// The fewest rows a decade of AB/2 takes: the axes' labels stay apart, and
/// the picture stays readable where the profile's elevations span little
/// (a flat profile of imported soundings without models spans nothing).
int fewestRowsPerDecade(const SectionGeometry& g) { return 5 * g.textHeight; }

/// The AB/2 of an axis label in metres: "0.5", "2", "100" (the desktop's
/// decimal sign).
std::string ab2Label(double logValue) { return shownText("%g", std::pow(10.0, logValue)); }

}  // namespace

SectionColours::SectionColours(const VesDatabase& db, const SectionDisplay& display, UserDialogs& dialogs)
    : db_(db), display_(display), dialogs_(dialogs) {}

void SectionColours::addMenu(QMenu* display, std::function<void()> redraw) {
    redraw_ = std::move(redraw);
    QMenu* colour = display->addMenu("Colour");
    colour->setObjectName("Barva1");
    auto* group = new QActionGroup(colour);
    const struct {
        const char* name;
        const char* caption;
        ColourView view;
    } items[] = {{"Schematic1", "Schematic (as before)", ColourView::Schematic},
                 {"ResistivitySection1", "Resistivity section", ColourView::Resistivity},
                 {"PseudoSection1", "Apparent resistivity pseudo-section", ColourView::PseudoSection}};
    for (const auto& item : items) {
        QAction* action = colour->addAction(item.caption);
        action->setObjectName(item.name);
        action->setCheckable(true);
        action->setChecked(item.view == view_);
        group->addAction(action);
        const ColourView view = item.view;
        QObject::connect(action, &QAction::triggered, action, [this, view] {
            setView(view);
            if (redraw_) redraw_();
        });
        viewItems_.push_back(action);
    }
    colour->addSeparator();
    QAction* range = colour->addAction("Colour range...");
    range->setObjectName("ColourRange1");
    QObject::connect(range, &QAction::triggered, range, [this] {
        chooseRange();
        if (redraw_) redraw_();
    });
}

void SectionColours::setView(ColourView view) {
    view_ = view;
    for (std::size_t i = 0; i < viewItems_.size(); ++i) viewItems_[i]->setChecked(static_cast<int>(i) == static_cast<int>(view));
}

void SectionColours::chooseRange() {
    const std::string separator = decimalSeparator();
    const std::string now = resistivityLabel(std::pow(10.0, scale_.range().low), separator) + " to " +
                            resistivityLabel(std::pow(10.0, scale_.range().high), separator);
    // An empty answer is an answer too: the range of the profile again.
    const std::optional<std::optional<LogRange>> typed = askUntilRead<std::optional<LogRange>>(
        dialogs_, "Colour range", "Colours from and to, ohm\u00B7m (now " + now + "; empty: from the profile):",
        typedRange_ ? colourRangeText(*typedRange_, separator) : std::string(),
        "Enter two resistivities above zero, the lower first (for example 10 1000), "
        "or nothing for the range of the profile.",
        [&separator](const std::string& text) -> std::optional<std::optional<LogRange>> {
            if (text.find_first_not_of(" \t") == std::string::npos) return std::optional<LogRange>();
            if (const std::optional<LogRange> range = parseColourRange(text, separator)) return range;
            return std::nullopt;
        });
    if (typed) typedRange_ = *typed;
}

int SectionColours::extraHeight(const SectionGeometry& geometry) const {
    // A profile without points has nothing to colour, and no legend.
    if (view_ == ColourView::Schematic || shownPoints().empty()) return 0;
    return colourLegendHeight(geometry.textHeight);
}

int SectionColours::extraBoxHeight(const SectionGeometry& geometry) const {
    if (view_ != ColourView::PseudoSection) return 0;
    std::vector<std::optional<CurveColumn>> columns;
    for (const VesPoint* p : shownPoints()) columns.push_back(curveColumnOf(*p, geometry));
    const CurveSpan span = curveSpanOf(columns, geometry);
    if (!span.any) return 0;
    const double needed = (span.lastLog - span.firstLog) * fewestRowsPerDecade(geometry);
    return std::max(0, static_cast<int>(std::ceil(needed - (geometry.boxBottom - span.lowestTop))));
}

std::vector<const VesPoint*> SectionColours::shownPoints() const {
    std::vector<const VesPoint*> points;
    const Profile* profile = db_.activeProfile();
    if (profile == nullptr) return points;
    for (const VesPoint& p : profile->points) {
        if (p.profileChainage > display_.minChainage && p.profileChainage < display_.maxChainage) points.push_back(&p);
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const VesPoint* a, const VesPoint* b) { return a->profileChainage < b->profileChainage; });
    return points;
}

std::string SectionColours::noteThatFits(const Canvas& canvas, const std::string& lead, const std::string& what,
                                         const std::vector<std::string>& names, int width) {
    if (names.empty()) return lead;
    const std::string start = lead + (lead.empty() ? "" : "; ") + what;
    // As many names as fit, then how many are left.
    std::string note = start;
    for (std::size_t shown = names.size() + 1; shown-- > 0;) {
        note = start;
        for (std::size_t i = 0; i < shown; ++i) note += (i == 0 ? " " : ", ") + names[i];
        if (shown < names.size())
            note += (shown == 0 ? " " : " and ") + std::to_string(names.size() - shown) + (shown == 0 ? " points" : " more");
        if (canvas.textWidth(note) <= width) break;
    }
    return note;
}

void SectionColours::paint(Canvas& canvas, const SectionGeometry& g) {
    legend_ = {};
    depthLabels_.clear();
    depthAxes_ = false;
    labelsRight_ = 0;
    const std::vector<const VesPoint*> points = shownPoints();
    if (view_ == ColourView::Schematic || points.empty()) return;
    const bool models = view_ == ColourView::Resistivity;
    const std::vector<std::string> left =
        models ? paintResistivity(canvas, g, points) : paintPseudoSection(canvas, g, points);
    if (models) paintLabelPlates(canvas, g, points);
    else paintDepthAxes(canvas, g);
    const int stripTop = g.imageHeight - colourLegendHeight(g.textHeight);
    const std::string lead = models ? "" : depthAxes_ ? "depth: AB/2 in m below the first and the last point" : "";
    const std::string note = noteThatFits(canvas, lead, models ? "not coloured, no model:" : "not coloured, no curve:",
                                          left, g.imageWidth - g.boxLeft);
    legend_ = drawColourLegend(canvas, scale_, g.boxLeft, stripTop, g.imageWidth - g.boxLeft,
                               models ? "resistivity" : "apparent resistivity", note);
    labelsRight_ = std::max(labelsRight_, legend_.right);
}

std::vector<std::string> SectionColours::paintResistivity(Canvas& canvas, const SectionGeometry& g,
                                                          const std::vector<const VesPoint*>& points) {
    std::vector<std::optional<ModelColumn>> columns;
    std::vector<std::string> uncoloured;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    const auto row = [&g](double elevation) { return (g.elevationTop - elevation) * g.pixelsPerMetreZ; };
    for (const VesPoint* p : points) {
        if (!pointHasModel(*p)) {
            uncoloured.push_back(p->name);
            columns.emplace_back();
            continue;
        }
        ModelColumn column;
        column.x = g.px(p->profileChainage);
        column.top = row(p->z);
        for (int m = 0; m <= p->MDLmx; ++m) {
            const double logRho = logOf(p->resistivity[static_cast<std::size_t>(m)]);
            column.logRho.push_back(logRho);
            low = std::min(low, logRho);
            high = std::max(high, logRho);
            if (m < p->MDLmx)
                column.interfaces.push_back(row(static_cast<double>(p->z) - std::fabs(static_cast<double>(p->depth[static_cast<std::size_t>(m)]))));
        }
        columns.push_back(std::move(column));
    }
    scale_ = ColourScale(typedRange_ ? *typedRange_ : normalisedRange(low, high));
    ColourRaster raster = rasterInsideBox(canvas.pixelsForWriting(), g);
    for (std::vector<ModelColumn>& run : splitAtGaps(columns))
        if (!run.empty()) paintModelSection(std::move(run), g.boxBottom, scale_, raster);
    return uncoloured;
}

std::vector<std::string> SectionColours::paintPseudoSection(Canvas& canvas, const SectionGeometry& g,
                                                            const std::vector<const VesPoint*>& points) {
    std::vector<std::optional<CurveColumn>> columns;
    std::vector<std::string> uncoloured;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const VesPoint* p : points) {
        std::optional<CurveColumn> column = curveColumnOf(*p, g);
        if (!column) uncoloured.push_back(p->name);
        else {
            for (double logRho : column->logRho) {
                if (std::isnan(logRho)) continue;
                low = std::min(low, logRho);
                high = std::max(high, logRho);
            }
        }
        columns.push_back(std::move(column));
    }
    scale_ = ColourScale(typedRange_ ? *typedRange_ : normalisedRange(low, high));
    const CurveSpan span = curveSpanOf(columns, g);
    depthAxes_ = span.any;
    depthAxis_.logAtTop = span.firstLog;
    depthAxis_.pixelsPerDecade = span.pixelsPerDecade;
    depthAxisBottomLog_ = span.lastLog;
    leftAxisTop_ = span.leftTop;
    rightAxisTop_ = span.rightTop;
    ColourRaster raster = rasterInsideBox(canvas.pixelsForWriting(), g);
    for (std::vector<CurveColumn>& run : splitAtGaps(columns))
        if (!run.empty()) orma::paintPseudoSection(std::move(run), depthAxis_, scale_, raster);
    return uncoloured;
}

void SectionColours::paintLabelPlates(Canvas& canvas, const SectionGeometry& g,
                                      const std::vector<const VesPoint*>& points) {
    // Where the section writes each layer's resistivity: centred on the
    // point, halfway between the layer's top and bottom; and where it draws
    // each interface mark (in XOR: black on the white band, on any colour).
    const int s = SectionGeometry::kMarkerSize;
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenColour(kWhite);
    canvas.setClipRect(g.boxLeft + 1, g.boxTop + 1, g.boxRight - 1, g.boxBottom - 1);
    for (const VesPoint* p : points) {
        if (!pointHasModel(*p)) continue;
        const int x = g.px(p->profileChainage);
        int layerTop = g.py(p->z);
        for (int m = 0; m <= p->MDLmx; ++m) {
            const int layerBottom =
                m < p->MDLmx ? g.pyRounded(static_cast<double>(p->z) - std::fabs(static_cast<double>(p->depth[static_cast<std::size_t>(m)])))
                             : g.boxBottom;
            if (m < p->MDLmx) canvas.fillRect(x - s / 2 - 1, layerBottom - 1, s + 3, 3);
            const std::string text = fixedText(std::fabs(p->resistivity[static_cast<std::size_t>(m)]), 0);
            const int w = canvas.textWidth(text), h = canvas.textHeight(text);
            const int middle = (layerTop + layerBottom) / 2;
            canvas.fillRect(x - w / 2 - 1, middle - h / 2, w + 2, h);
            layerTop = layerBottom;
        }
    }
    canvas.clearClip();
}

void SectionColours::paintDepthAxes(Canvas& canvas, const SectionGeometry& g) {
    if (!depthAxes_) return;
    const int t = SectionGeometry::kTickLength;
    const double ppd = depthAxis_.pixelsPerDecade;
    // 1, 2 and 5 of every decade get a tick; the 2 and 5 a label too where
    // the labels stay a quarter of a line apart (they do at the fewest rows
    // per decade).
    const bool minorLabels = ppd * std::log10(2.0) >= 1.25 * g.textHeight;
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenWidth(1);
    canvas.setPenColour(kGrey);
    canvas.setTextOpaque(false);
    canvas.setFontColour(kBlack);
    const int firstDecade = static_cast<int>(std::floor(depthAxis_.logAtTop));
    const int lastDecade = static_cast<int>(std::floor(depthAxisBottomLog_));
    for (int decade = firstDecade; decade <= lastDecade; ++decade) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double logValue = decade + std::log10(factor);
            if (logValue < depthAxis_.logAtTop - 1e-9 || logValue > depthAxisBottomLog_ + 1e-9) continue;
            for (const bool right : {false, true}) {
                const double top = right ? rightAxisTop_ : leftAxisTop_;
                const int row = pixelPosition(top + (logValue - depthAxis_.logAtTop) * ppd);
                if (row <= g.boxTop || row >= g.boxBottom) continue;
                const int edge = right ? g.boxRight : g.boxLeft;
                const int out = right ? 1 : -1;
                canvas.moveTo(edge - out * t / 3, row);
                canvas.lineTo(edge + out * (factor == 1.0 ? t : t / 2 + 1), row);
                if (factor != 1.0 && !minorLabels) continue;
                const std::string text = ab2Label(logValue);
                const int w = canvas.textWidth(text), h = canvas.textHeight(text);
                // Beside the tick, so that four digits still fit the margin.
                const int x = right ? g.boxRight + t + 2 : g.boxLeft - t - 2 - w;
                canvas.textOut(x, row - h / 2, text);
                depthLabels_.push_back({std::pow(10.0, logValue), text, x, row - h / 2, row, right});
                if (right) labelsRight_ = std::max(labelsRight_, x + w);
            }
        }
    }
}

}  // namespace orma::ui
