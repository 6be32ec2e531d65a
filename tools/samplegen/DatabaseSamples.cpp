#include "DatabaseSamples.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "FieldSurvey.h"
#include "core/BranchShift.h"
#include "core/Fit.h"
#include "core/FitWorkspace.h"
#include "core/PointProcessing.h"
#include "core/VesDatabase.h"
#include "io/Cp1250Text.h"
#include "io/GefReader.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"

namespace orma::samplegen {

namespace {

/// Where a profile lies: its start in national grid coordinates, its bearing,
/// the terrain along it and the scales it is shown at.
struct ProfileLayout {
    std::string name;
    double startX, startY;  ///< m, chainage 0
    double bearing;         ///< radians from the X axis
    double baseElevation;   ///< m at chainage 0
    double slope;           ///< m per m
    double waveHeight;      ///< m, a gentle undulation of the valley floor
    double waveLength;      ///< m
    float xScale, zScale;   ///< display scales (1/N)
};

double elevation(const ProfileLayout& layout, double chainage) {
    return layout.baseElevation + layout.slope * chainage +
           layout.waveHeight * std::sin(6.283185307179586 * chainage / layout.waveLength);
}

/// Chainage measured along the ground from chainage 0 (1 m steps).
double terrainChainage(const ProfileLayout& layout, double chainage) {
    double length = 0.0;
    const int steps = static_cast<int>(std::ceil(chainage));
    for (int i = 0; i < steps; ++i) {
        const double a = chainage * i / steps;
        const double b = chainage * (i + 1) / steps;
        const double rise = elevation(layout, b) - elevation(layout, a);
        length += std::sqrt((b - a) * (b - a) + rise * rise);
    }
    return length;
}

/// What the interpreter first draws: the layers of the ground truth, but
/// resistivities and depths off by a quarter or so.
void drawFirstGuess(const EarthModel& earth, LayerModel& model) {
    static constexpr float kRhoFactor[] = {1.3f, 0.75f, 1.25f, 0.8f, 1.2f};
    static constexpr float kDepthFactor[] = {0.8f, 1.25f, 0.85f, 1.2f};
    model.interfaceCount = static_cast<int>(earth.depth.size());
    for (std::size_t i = 0; i < earth.resistivity.size(); ++i) model.resistivity[i] = earth.resistivity[i] * kRhoFactor[i];
    for (std::size_t i = 0; i < earth.depth.size(); ++i) model.depth[i] = earth.depth[i] * kDepthFactor[i];
    model.depth[model.interfaceCount] = kHalfSpaceDepth;
    model.resistivityFixed.fill(0);
    model.depthFixed.fill(0);
    model.thicknessFixed.fill(0);
}

struct PointText {
    std::string operatorName;
    std::string comment;
    std::string fixedComment;  ///< for points whose bedrock resistivity was held
};

/// Reads, shifts and fits one sounding and places it on the profile.
std::optional<VesPoint> interpret(const std::string& gefText, const SoundingPlan& plan, const ProfileLayout& layout,
                                  bool holdBedrock, const PointText& text, FitWorkspace& workspace) {
    auto sounding = std::make_unique<Sounding>();
    std::vector<std::string> messages;
    if (readGefText(*sounding, gefText, messages) != CurveFileEnd::Done) return std::nullopt;
    resetForNewCurve(*sounding);
    shiftBranches(*sounding, 2);

    drawFirstGuess(plan.earth, sounding->model);
    if (holdBedrock) {
        // The bedrock resistivity is known from a borehole: held at its value.
        const int last = sounding->model.interfaceCount;
        sounding->model.resistivity[last] = plan.earth.resistivity.back();
        sounding->model.resistivityFixed[last] = 1;
    }
    const FitSummary summary = fitModel(*sounding, workspace);
    if (summary.refused()) return std::nullopt;

    VesPoint point;
    storeSoundingInPoint(*sounding, point);
    point.name = "VES " + std::to_string(plan.pointNumber);
    point.date = sounding->date;
    point.operatorName = text.operatorName;
    point.comment = holdBedrock ? text.fixedComment : text.comment;
    const double chainage = plan.pointNumber;
    point.profileChainage = static_cast<float>(chainage);
    point.terrainChainage = static_cast<float>(std::round(terrainChainage(layout, chainage) * 10.0) / 10.0);
    point.x = static_cast<float>(layout.startX + chainage * std::cos(layout.bearing));
    point.y = static_cast<float>(layout.startY + chainage * std::sin(layout.bearing));
    point.z = static_cast<float>(std::round(elevation(layout, chainage) * 100.0) / 100.0);
    return point;
}

/// Surveys and interprets a whole profile from its plans (GEF texts made here).
bool addSurveyedProfile(Locality& locality, const std::vector<SoundingPlan>& plans, const ProfileLayout& layout,
                        int firstDay, std::uint32_t seedBase, const PointText& text, FitWorkspace& workspace) {
    Profile profile;
    profile.name = layout.name;
    profile.xScale = layout.xScale;
    profile.zScale = layout.zScale;
    int index = 0;
    for (const SoundingPlan& plan : plans) {
        const FieldSounding field =
            surveySounding(plan, firstDay + index / 4, seedBase + static_cast<std::uint32_t>(plan.pointNumber));
        const auto point = interpret(gefFileText(field), plan, layout, index % 3 == 2, text, workspace);
        if (!point) {
            std::cerr << "orma_samplegen: cannot interpret sounding " << plan.pointNumber << " of " << layout.name
                      << '\n';
            return false;
        }
        profile.points.push_back(*point);
        ++index;
    }
    locality.profiles.push_back(std::move(profile));
    return true;
}

// Scales chosen so that a profile reads well in the section window beside the
// interpretation window on a 1280-pixel screen.
const ProfileLayout kValleyMain{"P1", -742310.0, -1046520.0, 0.52, 312.0, 0.018, 3.5, 420.0, 5.4e-5f, 1.15e-3f};
const ProfileLayout kValleyParallel{"P2", -742390.0, -1046455.0, 0.52, 309.5, 0.021, 2.5, 380.0, 5.4e-5f, 1.15e-3f};
const ProfileLayout kQuarry{"S1", -598740.0, -1163880.0, -0.35, 418.0, -0.045, 1.2, 150.0, 1.1e-4f, 2.8e-3f};

}  // namespace

bool writeSampleDatabase(const std::vector<std::filesystem::path>& profileGef,
                         const std::vector<SoundingPlan>& profilePlans, const std::filesystem::path& outDir) {
    auto workspace = std::make_unique<FitWorkspace>();
    VesDatabase db;
    db.localities.clear();

    Locality valley;
    valley.name = "Údolí u Hrádku";
    valley.country = "Česká republika";
    valley.region = "Kraj Vysočina";
    const PointText valleyText{"J. Novák", "Interpretace ORMA, model dofitován",
                               "Rezistivita podloží převzata z vrtu HV-2"};

    // The sample profile: the checked-in GEF files, read back as the program reads them.
    Profile main;
    main.name = kValleyMain.name;
    main.xScale = kValleyMain.xScale;
    main.zScale = kValleyMain.zScale;
    for (std::size_t i = 0; i < profileGef.size(); ++i) {
        const std::optional<std::string> text = readCp1250File(profileGef[i].string());
        const auto point = text ? interpret(*text, profilePlans[i], kValleyMain, i % 3 == 2, valleyText, *workspace)
                                : std::nullopt;
        if (!point) {
            std::cerr << "orma_samplegen: cannot interpret " << profileGef[i] << '\n';
            return false;
        }
        main.points.push_back(*point);
    }
    valley.profiles.push_back(std::move(main));
    if (!addSurveyedProfile(valley, parallelProfile(), kValleyParallel, 5, 20260611u, valleyText, *workspace)) {
        return false;
    }
    db.localities.push_back(std::move(valley));

    Locality quarry;
    quarry.name = "Lom Skalka";
    quarry.country = "Česká republika";
    quarry.region = "Jihomoravský kraj";
    const PointText quarryText{"P. Dvořák", "Zvětralý vápenec, interpretace ORMA",
                               "Rezistivita vápence převzata z karotáže"};
    if (!addSurveyedProfile(quarry, quarryProfile(), kQuarry, 12, 20260711u, quarryText, *workspace)) return false;
    db.localities.push_back(std::move(quarry));

    const std::filesystem::path path = outDir / kSampleDatabase;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    // The name line carries the name below the sample folder, so that the file
    // is the same wherever it is generated.
    out << formatVdb(db, kSampleDatabase);
    if (!out) {
        std::cerr << "orma_samplegen: cannot write " << path << '\n';
        return false;
    }
    return true;
}

}  // namespace orma::samplegen
