// How close the program's fits come to the best model: for every sounding of
// a directory and every layer count, the standard unattended fit (the
// automatic start), the global fit, and an independent search from 1000
// random starts (IndependentSearch.h), all judged by the independent forward
// computation in double precision.
//
//   orma_globalfit_accuracy DIR [--layers 3,4,5] [--starts 1000] [--global N]
//                           [--accurate] [--threads T] [--check-forward]
//                           [--reference FILE]
//
// --reference FILE keeps the independent search's answers (sounding, layers,
// starts, SSQ, seconds, model): read when the file has them, written when it does not,
// so that trying another number of starts need not repeat the slow search.
//
// Times are CPU times of the calling thread (the global fit runs on one
// thread), so other work on the machine hardly moves them.

#include <time.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "IndependentSearch.h"
#include "core/AutomaticStart.h"
#include "core/BranchShift.h"
#include "core/GlobalFit.h"
#include "core/PointProcessing.h"
#include "io/GefReader.h"
#include "io/SheetReader.h"

namespace {

using namespace orma;
using namespace orma::accuracy;

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

std::unique_ptr<Sounding> load(const std::filesystem::path& path) {
    auto s = std::make_unique<Sounding>();
    std::vector<std::string> messages;
    s->gefPath = path.string();
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    const CurveFileOutcome result =
        extension == ".gef" ? readGefFile(*s, messages) : readSheetFile(*s, messages);
    if (!result) return nullptr;
    resetForNewCurve(*s);
    shiftBranches(*s, 2);
    return s;
}

/// The composite as the independent search sees it: exact grid spacings.
Curve curveOf(const Sounding& s) {
    Curve curve;
    for (int k = s.minGridIndex; k <= s.maxGridIndex; ++k) {
        if (!s.hasComposite(k)) continue;
        curve.spacing.push_back(std::pow(10.0, k / 8.876));
        curve.rhoA.push_back(s.composite(k));
    }
    return curve;
}

Earth earthOf(const LayerModel& m) {
    Earth e;
    for (int i = 0; i <= m.interfaceCount; ++i) e.rho.push_back(m.resistivity[static_cast<std::size_t>(i)]);
    for (int i = 0; i < m.interfaceCount; ++i) e.thickness.push_back(std::max(m.thickness(i), 1e-9));
    return e;
}

struct Case {
    std::string name;
    int layers = 0;
    std::shared_ptr<Sounding> sounding;
    Curve curve;
    double standardSsq = 0.0, standardOwn = 0.0, standardMs = 0.0;
    double globalSsq = 0.0, globalOwn = 0.0, globalMs = 0.0;
    int equivalent = 0;
    double independentSsq = 0.0, independentSeconds = 0.0;
    Earth independentBest, globalBest;
};

std::string describe(const Earth& e) {
    std::string text;
    char buffer[64];
    for (std::size_t i = 0; i < e.rho.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i + 1 < e.rho.size() ? "%.4g/%.4g " : "%.4g", e.rho[i],
                      i < e.thickness.size() ? e.thickness[i] : 0.0);
        text += buffer;
    }
    return text;
}

struct Known {
    double ssq = 0.0;
    double seconds = 0.0;
    Earth best;
};
using Reference = std::map<std::pair<std::string, int>, Known>;

Reference readReference(const std::string& path, int starts) {
    Reference reference;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        int layers = 0, searched = 0;
        Known known;
        if (!(fields >> name >> layers >> searched >> known.ssq >> known.seconds) || searched != starts) continue;
        double value = 0.0;
        for (int i = 0; i < layers && fields >> value; ++i) known.best.rho.push_back(value);
        for (int i = 0; i + 1 < layers && fields >> value; ++i) known.best.thickness.push_back(value);
        reference[{name, layers}] = known;
    }
    return reference;
}

std::vector<int> parseLayers(const char* text) {
    std::vector<int> layers;
    for (const char* p = text; *p != '\0';) {
        layers.push_back(std::atoi(p));
        p = std::strchr(p, ',');
        if (p == nullptr) break;
        ++p;
    }
    return layers;
}

/// The exact two-layer Schlumberger curve (image series).
double imageSeries(double rho1, double rho2, double h, double s) {
    const double k = (rho2 - rho1) / (rho2 + rho1);
    double sum = 0.0, kn = 1.0;
    for (long n = 1; n < 100000000 && std::fabs(kn) > 1e-18; ++n) {
        kn *= k;
        sum += kn * s * s * s / std::pow(s * s + 4.0 * n * n * h * h, 1.5);
    }
    return rho1 * (1.0 + 2.0 * sum);
}

void checkForward() {
    double worstTwoLayer = 0.0;
    for (const double contrast : {1e-3, 0.1, 10.0, 1e4}) {
        for (double s = 0.3; s <= 3000.0; s *= 2.5) {
            const Earth e{{100.0, 100.0 * contrast}, {2.0}};
            std::vector<double> filtered;
            logApparentResistivity(e, {s}, filtered);
            worstTwoLayer = std::max(worstTwoLayer, std::fabs(std::exp(filtered[0]) / imageSeries(100.0, 100.0 * contrast, 2.0, s) - 1.0));
        }
    }
    std::printf("independent forward: filter against the two-layer image series, largest relative difference %.2e\n",
                worstTwoLayer);
    // The filter against quadrature on contrasting models.
    const Earth models[] = {{{100, 10}, {5}}, {{10, 1000, 5}, {2, 20}}, {{50, 400, 30, 1000}, {2, 10, 60}},
                            {{1000, 1}, {1}}};
    double worst = 0.0;
    for (const Earth& e : models) {
        for (double s = 1.0; s <= 1000.0; s *= 3.0) {
            std::vector<double> filtered;
            logApparentResistivity(e, {s}, filtered);
            const double exact = quadratureApparentResistivity(e, s);
            worst = std::max(worst, std::fabs(std::exp(filtered[0]) / exact - 1.0));
        }
    }
    std::printf("independent forward: filter against quadrature, largest relative difference %.2e\n", worst);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orma_globalfit_accuracy DIR [--layers 3,4,5] [--starts 1000] [--global N] "
                             "[--accurate] [--threads T] [--check-forward]\n");
        return 2;
    }
    std::vector<int> layerCounts{3, 4, 5};
    int starts = 1000;
    unsigned threads = 2;
    std::string referencePath;
    bool verbose = false;
    GlobalFitOptions global;
    global.threads = 1;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--layers" && i + 1 < argc) layerCounts = parseLayers(argv[++i]);
        else if (arg == "--starts" && i + 1 < argc) starts = std::atoi(argv[++i]);
        else if (arg == "--global" && i + 1 < argc) global.starts = std::atoi(argv[++i]);
        else if (arg == "--threads" && i + 1 < argc) threads = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (arg == "--accurate") global.computation.accurateForward = true;
        else if (arg == "--hop-rounds" && i + 1 < argc) global.hopRounds = std::atoi(argv[++i]);
        else if (arg == "--hop-models" && i + 1 < argc) global.hopModels = std::atoi(argv[++i]);
        else if (arg == "--check-forward") checkForward();
        else if (arg == "--verbose") verbose = true;
        else if (arg == "--reference" && i + 1 < argc) referencePath = argv[++i];
    }

    std::vector<std::filesystem::path> files;
    std::error_code error;
    std::filesystem::directory_iterator listing(argv[1], error);
    if (error) {
        std::fprintf(stderr, "orma_globalfit_accuracy: %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    for (const auto& entry : listing) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
        if (entry.is_regular_file() && (extension == ".csv" || extension == ".gef" || extension == ".txt"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());

    std::vector<Case> cases;
    auto ws = std::make_unique<FitWorkspace>();
    for (const auto& path : files) {
        std::shared_ptr<Sounding> sounding = load(path);
        if (!sounding) {
            std::printf("# %s: does not read, left out\n", path.filename().string().c_str());
            continue;
        }
        for (int layers : layerCounts) {
            Case c;
            c.name = path.filename().string();
            c.layers = layers;
            c.sounding = sounding;
            c.curve = curveOf(*sounding);

            Sounding standard = *sounding;
            double t0 = threadSeconds();
            const AutomaticFit automatic = fitFromAutomaticStart(standard, *ws, layers, global.computation);
            c.standardMs = 1e3 * (threadSeconds() - t0);
            c.standardOwn = automatic.summary.ssq;
            c.standardSsq = curveSsq(c.curve, earthOf(standard.model));

            Sounding globally = *sounding;
            GlobalFitOptions options = global;
            options.layers = layers;
            t0 = threadSeconds();
            const GlobalFitSummary summary = fitGlobally(globally, options);
            c.globalMs = 1e3 * (threadSeconds() - t0);
            c.globalOwn = summary.best.ssq;
            c.globalSsq = curveSsq(c.curve, earthOf(globally.model));
            c.globalBest = earthOf(globally.model);
            c.equivalent = static_cast<int>(summary.equivalent.models.size());
            cases.push_back(std::move(c));
        }
    }

    const Reference known = referencePath.empty() ? Reference{} : readReference(referencePath, starts);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < cases.size(); i = next++) {
            const auto found = known.find({cases[i].name, cases[i].layers});
            if (found != known.end()) {
                cases[i].independentSsq = found->second.ssq;
                cases[i].independentSeconds = found->second.seconds;
                cases[i].independentBest = found->second.best;
                continue;
            }
            const double t0 = threadSeconds();
            const SearchResult best = independentSearch(cases[i].curve, cases[i].layers, starts, 20240601 + i);
            cases[i].independentSeconds = threadSeconds() - t0;
            cases[i].independentSsq = best.ssq;
            cases[i].independentBest = best.best;
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < std::max(threads, 1u); ++t) pool.emplace_back(work);
    for (std::thread& t : pool) t.join();
    if (!referencePath.empty()) {
        std::ofstream out(referencePath, std::ios::app);
        out.precision(17);
        for (const Case& c : cases) {
            if (known.count({c.name, c.layers}) != 0) continue;
            out << c.name << ' ' << c.layers << ' ' << starts << ' ' << c.independentSsq << ' ' << c.independentSeconds;
            for (double r : c.independentBest.rho) out << ' ' << r;
            for (double h : c.independentBest.thickness) out << ' ' << h;
            out << '\n';
        }
    }

    std::printf("%-30s %2s %4s %11s %11s %11s %8s %8s %8s %5s %8s\n", "sounding", "L", "rows", "automatic",
                "global", "independent", "auto/ind", "glob/ind", "glob ms", "equiv", "ind s");
    int within = 0, automaticWithin = 0;
    double slowest = 0.0;
    for (const Case& c : cases) {
        // Two exact fits are equal, whatever their rounding noise.
        const double floor = 1e-9;
        const double standardRatio = (c.standardSsq + floor) / (c.independentSsq + floor);
        const double globalRatio = (c.globalSsq + floor) / (c.independentSsq + floor);
        within += globalRatio <= 1.02 ? 1 : 0;
        automaticWithin += standardRatio <= 1.02 ? 1 : 0;
        slowest = std::max(slowest, c.globalMs);
        std::printf("%-30s %2d %4zu %11.6f %11.6f %11.6f %8.4f %8.4f %8.1f %5d %8.1f\n", c.name.c_str(), c.layers,
                    c.curve.spacing.size(), c.standardSsq, c.globalSsq, c.independentSsq, standardRatio, globalRatio,
                    c.globalMs, c.equivalent, c.independentSeconds);
        if (verbose)
            std::printf("    global (rho/h): %s\n    independent:    %s\n", describe(c.globalBest).c_str(),
                        describe(c.independentBest).c_str());
    }
    std::printf("within 2 %% of the independent best: global fit %d of %zu, automatic start %d; slowest global fit "
                "%.1f ms\n",
                within, cases.size(), automaticWithin, slowest);
    return 0;
}
