#include "core/UcmParameters.h"

namespace orma {

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

std::optional<std::string> ucmParametersProblem(const UcmParameters& p) {
    if (!(p.exaggeration > 0.0f)) return "The distortion of scale Z/X must be greater than 0.";
    if (p.zLabelStep > 0 && p.zTickStep <= 0) return "The Z axes tic step must be 1 m or more.";
    if (p.xLabelStep == 0) return "The X axes label step must not be 0.";
    return std::nullopt;
}

}  // namespace orma
