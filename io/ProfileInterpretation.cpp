#include "io/ProfileInterpretation.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "core/PointNumber.h"
#include "io/Cp1250Text.h"
#include "io/CsvCells.h"
#include "io/DirectoryListing.h"
#include "io/GefReader.h"
#include "io/SheetReader.h"
#include "io/VdbCommands.h"

namespace orma {

namespace {

constexpr double kDotsPerMetre = 360.0 * 39.37007874;  ///< the section window's paper resolution
constexpr double kProfileWidthPixels = 800.0;
constexpr double kSectionDepthPixels = 500.0;

/// The reader's words about a file that could not be read (the shift's
/// messages after "reading error" concern the empty curve, not the file).
std::string readFailure(const std::vector<std::string>& messages) {
    std::string reason;
    for (const std::string& text : messages) {
        if (text == kReadingError) break;
        reason += (reason.empty() ? "" : " ") + text;
    }
    return reason.empty() ? std::string(kReadingError) : reason;
}

GlobalFitOptions globalFitOptions(const ProfileInterpretationOptions& options, int layers) {
    GlobalFitOptions global;
    global.layers = layers;
    global.starts = options.globalStarts.value_or(kDefaultInterpretGlobalStarts);
    global.seed = options.seed;
    global.threads = 1;  // the soundings share the cores
    global.computation = options.computation;
    return global;
}

/// The global fit of the sounding (see the header): layer by layer from one
/// layer up, each level's best split into the starts of the next. False
/// (with the reason) when the fit is refused.
bool fitSoundingGlobally(Sounding& sounding, const ProfileInterpretationOptions& options,
                         InterpretedSounding& result) {
    const double deepest = abGridValue(std::clamp(sounding.maxGridIndex, 0, kGridPoints - 1));
    std::vector<LayerModel> splits;
    auto level = std::make_unique<Sounding>(sounding);
    for (int layers = 1; layers < options.layers; ++layers) {
        GlobalFitOptions fewer = globalFitOptions(options, layers);
        fewer.extraStarts = std::move(splits);
        splits.clear();
        level->model = LayerModel{};
        if (fitGlobally(*level, fewer).outcome) splits = sameEarthSplits(level->model, deepest);
    }
    GlobalFitOptions global = globalFitOptions(options, options.layers);
    global.extraStarts = std::move(splits);
    const GlobalFitSummary found = fitGlobally(sounding, global);
    if (!found.outcome) {
        result.reason = "not fitted: " + found.outcome.text();
        return false;
    }
    result.fit.summary = found.best;
    result.fit.fitsRun = found.startsRun;
    result.equivalentModels = static_cast<int>(found.equivalent.models.size());
    result.equivalentSpans = found.equivalent.depth;
    return true;
}

/// Each interface's depth span over the equivalent models, as the point keeps it.
void storeDepthRanges(const std::array<ValueSpan, kMaxLayers>& spans, InterpretedSounding& result) {
    VesPoint& point = result.point;
    point.depthRange.fill(DepthRange{});
    for (int i = 0; i < point.MDLmx && i < kMaxLayers; ++i) {
        const ValueSpan& span = spans[static_cast<std::size_t>(i)];
        const DepthRange range{static_cast<float>(span.min), static_cast<float>(span.max)};
        if (range.min > 0.0f && range.min <= range.max && std::isfinite(range.max)) {
            point.depthRange[static_cast<std::size_t>(i)] = range;
        }
    }
}

void interpretOne(InterpretedSounding& result, const ProfileInterpretationOptions& options,
                  FitWorkspace& workspace) {
    result.fileName = std::filesystem::path(result.path).filename().string();
    const PointNumberResult number = pointNumberFromFileName(result.path, CurveSource::Gef, 0);
    if (!number.number) {
        result.reason = "no point number in the file name: " + number.error;
        return;
    }
    result.chainage = *number.number;

    auto sounding = std::make_unique<Sounding>();
    const CurveFileOutcome read = isSheetFileName(result.path)
                                      ? openSheetCurve(*sounding, result.path, result.messages)
                                      : openGefCurve(*sounding, result.path, result.messages);
    if (!read) {
        result.reason = readFailure(result.messages);
        return;
    }
    if (options.globalStarts) {
        if (!fitSoundingGlobally(*sounding, options, result)) return;
    } else {
        result.fit = fitFromAutomaticStart(*sounding, workspace, options.layers, options.computation);
        if (result.fit.summary.refused()) {
            result.reason = "not fitted: " + result.fit.summary.outcome.message;
            return;
        }
    }
    storeSoundingInPoint(*sounding, result.point);
    if (options.globalStarts) storeDepthRanges(result.equivalentSpans, result);
    const std::string stem = std::filesystem::path(result.fileName).stem().string();
    result.point.name = cutToCharacters(stem, kNameFieldLength);
    result.point.date = cutToCharacters(sounding->date, kDateFieldLength);
    result.point.comment = "automatic interpretation, " + std::to_string(options.layers) + " layers";
    const auto chainage = static_cast<float>(result.chainage);
    result.point.profileChainage = chainage;
    result.point.terrainChainage = chainage;
    result.point.x = chainage;
    result.interpreted = true;
}

/// 1, 2, 2.5 or 5 times a power of ten, at least `n`: a scale 1:N that reads well.
double roundScaleDenominator(double n) {
    if (!(n > 1.0) || !std::isfinite(n)) return 1.0;
    const double decade = std::pow(10.0, std::floor(std::log10(n)));
    for (double step : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (step * decade >= n) return step * decade;
    }
    return 10.0 * decade;
}

/// `base` for the first, then `base`-2, `base`-3 ..., within the name field.
std::string numberedName(const std::string& base, int number) {
    if (number <= 1) return cutToCharacters(base, kNameFieldLength);
    const std::string suffix = "-" + std::to_string(number);
    return cutToCharacters(base, kNameFieldLength - suffix.size()) + suffix;
}

/// Scales that show the profile about 800 pixels wide and its interfaces, as
/// deep as the curves see, about 500 pixels high.
void fitScales(Profile& profile) {
    const double span = std::max(1.0, static_cast<double>(profile.points.back().profileChainage -
                                                          profile.points.front().profileChainage));
    double deepest = 1.0;
    for (const VesPoint& p : profile.points) {
        const double reach = abGridValue(p.ABmx);  // deeper interfaces are not seen by the curve
        for (int i = 0; i < p.MDLmx; ++i)
            deepest = std::max(deepest, std::min<double>(std::fabs(p.depth[static_cast<std::size_t>(i)]), reach));
    }
    profile.xScale = static_cast<float>(1.0 / roundScaleDenominator(span * kDotsPerMetre / kProfileWidthPixels));
    profile.zScale = static_cast<float>(1.0 / roundScaleDenominator(deepest * kDotsPerMetre / kSectionDepthPixels));
}

}  // namespace

std::vector<InterpretedSounding> interpretSoundingFiles(const std::vector<std::string>& files,
                                                        const ProfileInterpretationOptions& options,
                                                        const InterpretationProgress& progress) {
    std::vector<InterpretedSounding> results(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) results[i].path = files[i];
    unsigned threads = options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(files.size(), 1)));

    std::atomic<std::size_t> next{0};
    std::size_t done = 0;
    std::mutex reporting;
    const auto work = [&] {
        auto workspace = std::make_unique<FitWorkspace>();
        for (std::size_t i = next++; i < results.size(); i = next++) {
            try {
                interpretOne(results[i], options, *workspace);
            } catch (const std::exception& error) {
                // One file's trouble (memory, say) must not end the whole run.
                results[i].interpreted = false;
                results[i].reason = error.what();
            }
            const std::lock_guard<std::mutex> lock(reporting);
            ++done;
            if (progress) progress(done, results.size(), results[i]);
        }
    };
    if (threads <= 1) {
        work();
        return results;
    }
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work);
    for (std::thread& worker : workers) worker.join();
    return results;
}

VesDatabase profileDatabase(std::vector<InterpretedSounding>& results, const std::string& profileName) {
    std::vector<InterpretedSounding*> placed;
    for (InterpretedSounding& r : results) {
        r.notStored.clear();
        r.storedLocality = r.storedProfile = r.storedPoint = -1;
        if (r.interpreted) placed.push_back(&r);
    }
    std::stable_sort(placed.begin(), placed.end(), [](const InterpretedSounding* a, const InterpretedSounding* b) {
        if (a->chainage != b->chainage) return a->chainage < b->chainage;
        return naturalLess(a->fileName, b->fileName);
    });

    VesDatabase db;
    db.localities.clear();
    int profileCount = 0;
    Profile* profile = nullptr;
    const InterpretedSounding* previous = nullptr;
    for (InterpretedSounding* r : placed) {
        if (previous != nullptr && previous->chainage == r->chainage) {
            r->notStored = "chainage " + std::to_string(r->chainage) + " m is taken by " + previous->fileName;
            continue;
        }
        if (profile == nullptr || static_cast<int>(profile->points.size()) == kMaxVesPoints) {
            if (profileCount == kMaxLocalities * kMaxProfiles) {
                r->notStored = "the database is full (5 localities of 20 profiles of 200 points)";
                continue;
            }
            if (profileCount % kMaxProfiles == 0) {
                db.localities.emplace_back();
                db.localities.back().name = numberedName(profileName, profileCount / kMaxProfiles + 1);
            }
            ++profileCount;
            db.localities.back().profiles.emplace_back();
            profile = &db.localities.back().profiles.back();
            profile->name = numberedName(profileName, profileCount);
        }
        profile->points.push_back(r->point);
        r->storedLocality = static_cast<int>(db.localities.size()) - 1;
        r->storedProfile = static_cast<int>(db.localities.back().profiles.size()) - 1;
        r->storedPoint = static_cast<int>(profile->points.size()) - 1;
        previous = r;
    }
    if (db.localities.empty()) {
        db = VesDatabase{};
        db.localities.front().name = db.localities.front().profiles.front().name = numberedName(profileName, 1);
        return db;
    }
    for (Locality& locality : db.localities) {
        for (Profile& p : locality.profiles) fitScales(p);
    }
    db.currentPoint = 0;
    return db;
}

std::string interpretationSummaryCsv(const std::vector<InterpretedSounding>& results, int layers,
                                     SummaryColumns columns) {
    std::string out = "file,chainage (m),layers";
    for (int i = 1; i <= layers; ++i) out += ",rho" + std::to_string(i) + " (ohm.m)";
    for (int i = 1; i < layers; ++i) out += ",depth" + std::to_string(i) + " (m)";
    out += ",SSQ,linearisations";
    if (columns.depthRanges) {
        out += ",equivalent models";
        for (int i = 1; i < layers; ++i)
            out += ",depth" + std::to_string(i) + " min (m),depth" + std::to_string(i) + " max (m)";
    }
    if (columns.joint) out += ",SSQ alone";
    out += "\r\n";
    for (const InterpretedSounding& r : results) {
        if (!r.interpreted) continue;
        const VesPoint& p = r.point;
        out += csvCell(r.fileName) + "," + std::to_string(r.chainage) + "," + std::to_string(p.MDLmx + 1);
        for (int i = 0; i <= p.MDLmx; ++i) out += "," + shortestNumberText(std::fabs(p.resistivity[static_cast<std::size_t>(i)]));
        for (int i = 0; i < p.MDLmx; ++i) out += "," + shortestNumberText(std::fabs(p.depth[static_cast<std::size_t>(i)]));
        const double ssq = r.joint ? static_cast<double>(p.ssq) : r.fit.summary.ssq;
        out += "," + shortestNumberText(ssq) + "," + std::to_string(r.fit.summary.linearisations);
        if (columns.depthRanges) {
            out += "," + std::to_string(r.equivalentModels);
            for (int i = 0; i + 1 < layers; ++i) {
                const DepthRange& range = p.depthRange[static_cast<std::size_t>(i)];
                out += i < p.MDLmx && range.known()
                           ? "," + shortestNumberText(range.min) + "," + shortestNumberText(range.max)
                           : std::string(",,");
            }
        }
        if (columns.joint) out += "," + shortestNumberText(r.fit.summary.ssq);
        out += "\r\n";
    }
    for (const InterpretedSounding& r : results) {
        if (!r.interpreted) out += "# skipped," + csvCell(r.fileName) + "," + csvCell(r.reason) + "\r\n";
    }
    for (const InterpretedSounding& r : results) {
        if (r.interpreted && !r.notStored.empty())
            out += "# not in the database," + csvCell(r.fileName) + "," + csvCell(r.notStored) + "\r\n";
    }
    for (const InterpretedSounding& r : results) {
        if (r.interpreted && !r.notJoint.empty())
            out += "# not fitted jointly," + csvCell(r.fileName) + "," + csvCell(r.notJoint) + "\r\n";
    }
    return out;
}

std::optional<std::string> freeDatabaseName(const std::string& path) {
    if (!nameTaken(path)) return path;
    return freeNumberedCopyName(path);
}

}  // namespace orma
