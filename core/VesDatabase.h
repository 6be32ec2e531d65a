#pragma once
// The profile database of interpreted soundings: localities, each with
// profiles, each with VES points. A point keeps what the section needs to draw
// it and what the interpretation window needs to re-open it: names, position,
// measured samples, composite curve, model with fix flags, fit error.
//
// The limits are those of the file format (5 localities, 20 profiles, 200
// points, 150 samples, 30 layers). Levels are bounded vectors rather than
// fixed arrays: a full database of fixed arrays would hold ~90 MB whether the
// user has ten points or twenty thousand, and reading a file builds a second
// one before it replaces the first.
//
// Texts are UTF-8 in memory; a field holds at most its file length in
// characters (the file is single-byte Windows-1250).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Outcome.h"
#include "core/Sounding.h"

namespace orma {

inline constexpr int kMaxLocalities = 5;
inline constexpr int kMaxProfiles = 20;
inline constexpr int kMaxVesPoints = 200;
inline constexpr int kMaxPointSamples = 150;  ///< measured samples and composite slots of a point
inline constexpr int kMaxPointLayers = kMaxLayers;

/// Characters a text field holds (its char array size minus one).
inline constexpr std::size_t kNameFieldLength = 199;      ///< names of locality, country, region, profile, point
inline constexpr std::size_t kDateFieldLength = 99;       ///< date of measurement
inline constexpr std::size_t kOperatorFieldLength = 99;   ///< operator
inline constexpr std::size_t kCommentFieldLength = 399;   ///< comment

/// Display scales (1/N of a scale 1:N).
inline constexpr float kInitialXScale = 1e-5f;   ///< profiles of a new database and of a new locality
inline constexpr float kInitialZScale = 5e-5f;
inline constexpr float kNewProfileXScale = 1e-4f;
inline constexpr float kNewProfileZScale = 5e-4f;
inline constexpr float kOldFileXScale = 4e-5f;   ///< files written before profiles kept their scales
inline constexpr float kOldFileZScale = 3e-4f;

/// How deep an interface may lie: the least and the greatest depth it takes
/// over the equivalent models of a global fit (m, 0 < min <= max). {0, 0}:
/// none known. A range belongs to the model it was found with; whoever
/// stores another model into the point drops it.
struct DepthRange {
    float min = 0.0f;
    float max = 0.0f;
    bool known() const { return max > 0.0f; }
    bool operator==(const DepthRange&) const = default;
};

struct VesPoint {
    std::string name;          ///< název_bodu_VES
    std::string date;          ///< datum_měření_bodu
    std::string operatorName;  ///< operátor_bodu
    std::string comment;       ///< poznámka_k_bodu
    float terrainChainage = 0.0f;  ///< m, measured along the terrain surface
    float x = 0.0f, y = 0.0f;      ///< m, coordinates
    float z = 0.0f;                ///< m, elevation: top of the model column
    float profileChainage = 0.0f;  ///< m, abscissa in the section; unique within a profile
    float ssq = 0.0f;              ///< fit error of the interpretation
    int ABmx = 0;   ///< highest AB/2 grid index of the composite curve
    int nABmn = 0;  ///< lowest AB/2 grid index of the composite curve
    int MNmx = 0;   ///< number of branches
    int MDLmx = 0;  ///< number of interfaces (layers - 1)
    int Mermx = 0;  ///< number of measured samples
    std::array<float, kMaxPointSamples> ab2{};
    std::array<float, kMaxPointSamples> mn2{};
    std::array<float, kMaxPointSamples> rhoA{};
    std::array<int, kMaxPointSamples> branch{};
    std::array<float, kMaxPointSamples> composite{};  ///< by AB/2 grid index; meaningful nABmn..ABmx
    std::array<float, kMaxPointLayers> resistivity{};  ///< negative = fixed; magnitude is the value
    std::array<float, kMaxPointLayers> depth{};        ///< layer bottom; negative = fixed
    /// Of interface i (i < MDLmx); in the file as two more numbers on the
    /// interface's model line, which readers of the two-number lines skip.
    std::array<DepthRange, kMaxPointLayers> depthRange{};

    /// The composite curve spans at most one grid index: nothing was interpreted.
    bool hasNoCurve() const { return ABmx - nABmn <= 0; }
    int layerCount() const { return MDLmx + 1; }
    /// Some interface has a depth range.
    bool hasDepthRanges() const;
    /// The same layer count, resistivities and interface depths; whether a
    /// value is held does not count.
    bool sameModelValuesAs(const VesPoint& other) const;

    bool operator==(const VesPoint&) const = default;
};

struct Profile {
    std::string name;  ///< název_profilu
    float xScale = kInitialXScale;
    float zScale = kInitialZScale;
    std::vector<VesPoint> points;  ///< in insertion order, at most kMaxVesPoints

    int mxindex_bodu() const { return static_cast<int>(points.size()) - 1; }
};

struct Locality {
    std::string name;     ///< název_lokality
    std::string country;  ///< jméno_země
    std::string region;   ///< jméno_kraje
    std::vector<Profile> profiles;  ///< at most kMaxProfiles

    int mxindex_profilu() const { return static_cast<int>(profiles.size()) - 1; }
};

struct VesDatabase {
    /// The state of a fresh section window: one locality with one empty profile.
    VesDatabase();

    std::vector<Locality> localities;  ///< at most kMaxLocalities
    int currentLocality = 0;
    int currentProfile = 0;
    int currentPoint = -1;  ///< -1 = no point selected
    std::string fileName;      ///< the file last opened or last written
    std::string saveBaseName;  ///< new file names are derived from this one

    int mxindex_lokalit() const { return static_cast<int>(localities.size()) - 1; }

    /// The active locality, profile and selected point; null where the
    /// current index names none (e.g. a file with fewer profiles was opened).
    Locality* activeLocality();
    const Locality* activeLocality() const;
    Profile* activeProfile();
    const Profile* activeProfile() const;
    VesPoint* selectedPoint();
    const VesPoint* selectedPoint() const;

    /// Points of the active profile (0 when there is no active profile).
    int activePointCount() const;

    /// Counts the changes of the contents: localities, profiles, points with
    /// their models, names and positions, and the profiles' scales (they are
    /// saved with the database). Whoever changes the contents calls
    /// markChanged(); a window that remembers the revision it opened or saved
    /// knows with one comparison whether there is anything to save. Choosing
    /// another locality, profile or point is no change.
    std::uint64_t revision() const { return revision_; }
    void markChanged() { ++revision_; }

private:
    std::uint64_t revision_ = 0;
};

/// The database commands below fail without changing anything; the failure's
/// message, when not empty, is shown.
inline constexpr const char* kTooManyLocalities = "Too much localities in db - create new database";
inline constexpr const char* kTooManyProfiles = "Too much profiles in locality - create new profile or database";
inline constexpr const char* kLastPointUndeletable = "Last point is undeletable.";

/// New locality: appended and made current, with one empty profile (the
/// initial scales); no point selected. Refused at the limit.
Outcome addLocality(VesDatabase& db);

/// New profile in the active locality: appended and made current, empty,
/// scales 1:10000 and 1:2000; no point selected. Refused at the limit.
Outcome addProfile(VesDatabase& db);

/// Deletes the selected point; later points move down. The last point of a
/// profile is never deleted. The selection stays at the same position, or
/// moves to the new last point when the deleted one was last.
Outcome deleteSelectedPoint(VesDatabase& db);

/// After a file was read into `db`: the current locality and profile stay
/// when the new contents have them and fall back to 0 otherwise; the first
/// point is selected when there is one.
void settleSelectionAfterOpen(VesDatabase& db, int previousLocality, int previousProfile);

/// Fills the interpretation window's sounding from a stored point: model with
/// fix flags, measured samples, composite curve on every branch column, grid
/// range, branch count, fit error; the curve counts as loaded with its
/// composite built and the point name becomes the curve name; its readings
/// are then processed again in memory (reprocessReadings). Grid rows outside the
/// point's composite range are cleared so nothing of the previous curve shows
/// through. A sounding holds 99 readings: a point with more loads the first
/// 99 and the returned message names the readings left out.
std::vector<std::string> loadPointIntoSounding(const VesPoint& point, Sounding& sounding);

/// Copies an interpreted sounding into a point: model with fix flags as signs,
/// samples, composite curve on grid rows 0..maxGridIndex (gaps included),
/// grid range, branch count and fit error. Names and position are left alone;
/// the depth ranges stay only when the model stays the same.
void storeSoundingInPoint(const Sounding& sounding, VesPoint& point);

}  // namespace orma
