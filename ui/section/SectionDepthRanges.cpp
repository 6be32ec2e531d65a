#include "ui/section/SectionDepthRanges.h"

#include <algorithm>
#include <cmath>

namespace orma::ui {

void paintDepthRanges(Canvas& canvas, const SectionGeometry& g, const Profile& profile,
                      const SectionDisplay& display) {
    const int s = SectionGeometry::kMarkerSize;
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenWidth(1);
    canvas.setClipRect(g.boxLeft + 1, g.boxTop + 1, g.boxRight - 1, g.boxBottom - 1);
    for (const VesPoint& p : profile.points) {
        if (!(p.profileChainage > display.minChainage && p.profileChainage < display.maxChainage)) continue;
        const int x = g.px(p.profileChainage);
        const int interfaces = std::clamp(p.MDLmx, 0, kMaxPointLayers - 1);
        for (int i = 0; i < interfaces; ++i) {
            const DepthRange& range = p.depthRange[static_cast<std::size_t>(i)];
            if (!range.known()) continue;
            const int top = g.pyRounded(static_cast<double>(p.z) - range.min);
            const int bottom = std::max(g.pyRounded(static_cast<double>(p.z) - range.max), top);
            canvas.setPenColour(kDepthRangeFill);
            canvas.fillRect(x - s, top, 2 * s + 1, bottom - top + 1);
            canvas.setPenColour(kDepthRangeBar);
            canvas.moveTo(x + s, top);
            canvas.lineTo(x + s, bottom + 1);
            canvas.moveTo(x + s - s / 2, top);
            canvas.lineTo(x + s + s / 2 + 1, top);
            canvas.moveTo(x + s - s / 2, bottom);
            canvas.lineTo(x + s + s / 2 + 1, bottom);
        }
    }
    canvas.clearClip();
}

}  // namespace orma::ui
