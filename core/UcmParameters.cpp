#include "core/UcmParameters.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <iterator>

namespace orma {

namespace {

struct FieldRule {
    const char* name;  ///< as the dialog labels it
    const char* unit;  ///< after a value, with its blank
    UcmFieldRange range;
};

// Indexed by UcmField.
constexpr FieldRule kRules[] = {
    {"distortion of scale Z/X", "", {0.01, 1000.0, false}},
    {"minor characters size", " pxl", {0.01, 100.0, false}},
    {"major characters size", " pxl", {0.01, 100.0, false}},
    {"X axes label step", " m", {1.0, 100000.0, true}},
    {"X axes tic step", " m", {0.0, 100000.0, true}},
    {"Z axes label step", " m", {0.0, 100000.0, true}},
    {"Z axes tic step", " m", {1.0, 100000.0, true}},
    {"width of VES interface sign", " m", {0.0, 1000.0, false}},
    {"height of VES interface sign", " m", {0.0, 1000.0, false}},
    {"width of VES point arrow", " m", {0.0, 1000.0, false}},
    {"height of VES point arrow", " m", {0.0, 1000.0, false}},
};
static_assert(std::size(kRules) == static_cast<std::size_t>(UcmField::arrowHeight) + 1);

/// The shortest text of a bound, with a point whatever the locale.
std::string boundText(double value) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, written.ptr);
}

double fieldValue(const UcmParameters& p, UcmField field) {
    switch (field) {
        case UcmField::exaggeration: return p.exaggeration;
        case UcmField::minorTextSize: return p.minorTextSize;
        case UcmField::majorTextSize: return p.majorTextSize;
        case UcmField::xLabelStep: return p.xLabelStep;
        case UcmField::xTickStep: return p.xTickStep;
        case UcmField::zLabelStep: return p.zLabelStep;
        case UcmField::zTickStep: return p.zTickStep;
        case UcmField::interfaceSignWidth: return p.interfaceSignWidth;
        case UcmField::interfaceSignHeight: return p.interfaceSignHeight;
        case UcmField::arrowWidth: return p.arrowWidth;
        case UcmField::arrowHeight: return p.arrowHeight;
    }
    return 0.0;
}

}  // namespace

void adjustUcmSteps(UcmParameters& p, double xSpan, double zSpan) {
    if (zSpan >= 50.0) p.zLabelStep = 5;
    if (zSpan >= 100.0) {
        p.zTickStep = 2;
        p.zLabelStep = 10;
    }
    if (xSpan > 100.0) p.xLabelStep = 20;
    if (xSpan > 200.0) p.xLabelStep = 25;
    if (xSpan > 250.0) {
        p.xTickStep = 10;
        p.xLabelStep = 50;
    }
}

UcmFieldRange ucmFieldRange(UcmField field) { return kRules[static_cast<std::size_t>(field)].range; }

std::optional<std::string> ucmValueProblem(UcmField field, double value) {
    const FieldRule& rule = kRules[static_cast<std::size_t>(field)];
    const UcmFieldRange& range = rule.range;
    const std::string the = std::string("The ") + rule.name + " must be ";
    if (range.whole && std::isfinite(value) && value != std::trunc(value)) return the + "a whole number.";
    // A real field holds a float: 0.01 typed is the float just below 0.01, and is taken.
    const auto stored = [&](double v) {
        if (range.whole || !(std::fabs(v) <= static_cast<double>(FLT_MAX))) return v;
        return static_cast<double>(static_cast<float>(v));
    };
    if (!(stored(value) >= stored(range.lowest))) return the + boundText(range.lowest) + rule.unit + " or more.";
    if (!(stored(value) <= stored(range.highest))) return the + boundText(range.highest) + rule.unit + " or less.";
    return std::nullopt;
}

std::optional<UcmParametersProblem> ucmParametersProblem(const UcmParameters& p) {
    for (std::size_t i = 0; i < std::size(kRules); ++i) {
        const auto field = static_cast<UcmField>(i);
        if (std::optional<std::string> problem = ucmValueProblem(field, fieldValue(p, field))) {
            return UcmParametersProblem{field, std::move(*problem)};
        }
    }
    return std::nullopt;
}

}  // namespace orma
