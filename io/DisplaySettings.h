#pragma once
// Display settings and default input mode of the interpretation window,
// kept in ormawin.ini. Colours are 24-bit values 0x00BBGGRR.

#include <array>
#include <cstdint>

namespace orma {

enum class InputMode : int {
    ManualMeasuredAndShifted = 0,
    ManualByBranch = 1,
    ManualByMouse = 2,
    GefFile = 3,
    RstFile = 4,
};

struct DisplaySettings {
    bool averageOverlaps = true;
    int inputMode = static_cast<int>(InputMode::GefFile);
    bool smoothingOn = true;
    int smoothingOrder = 3;
    int smoothingResolution = 128;
    int measuredLineWidth = 1;
    int compositeLineWidth = 2;
    int computedLineWidth = 2;  ///< stored and edited only
    int activeModelLineWidth = 4;
    int modelLineWidth = 2;
    std::uint32_t compositeColour = 0;
    std::uint32_t computedColour = 16776960;  ///< stored and edited only
    std::uint32_t fixedValueColour = 65535;
    std::uint32_t modelColour = 65280;
    std::array<std::uint32_t, 5> branchColour{8388608, 32768, 255, 8388736, 65535};
    /// Not stored in the file: keep the plot ranges between soundings.
    bool scaleLocked = false;
};

/// The two switches of the section window's point labels that the display
/// options offer. Not stored in ormawin.ini.
struct SectionLabelSwitches {
    bool profileNamePrefix = false;    ///< "name pf is the prefix to point "
    bool chainageAlongTerrain = true;  ///< "chainage along the terrain "
};

/// What the display options accept: what the curve drawer and the plot can
/// use, and what the settings file reads back.
struct IntRange {
    int lo;
    int hi;
    bool holds(long long value) const { return value >= lo && value <= hi; }
};
inline constexpr IntRange kSmoothingOrderRange{1, 99};
inline constexpr IntRange kSmoothingResolutionRange{2, 400};
inline constexpr IntRange kLineWidthRange{1, 100};

/// The settings after "implicit values" in the display options: smoothing on
/// with 110 points, the default widths and colours; averaging and the input
/// mode stay as they are in `current`.
inline DisplaySettings implicitDisplaySettings(const DisplaySettings& current) {
    DisplaySettings implicit;
    implicit.smoothingResolution = 110;
    implicit.averageOverlaps = current.averageOverlaps;
    implicit.inputMode = current.inputMode;
    implicit.scaleLocked = current.scaleLocked;
    return implicit;
}

}  // namespace orma
