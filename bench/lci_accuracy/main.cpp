// How well the laterally constrained inversion recovers interface depths,
// against independent fits of the same soundings. Generated profiles of 40
// points 20 m apart (30 composite rows each, 3 % noise from a fixed seed):
// three layers whose resistivities vary along the profile, interface 1
// dipping smoothly, interface 2 stepping in the middle. Each sounding is
// first fitted on its own from the automatic start (as `ormacli interpret`
// does), then the profile is fitted jointly from those models with the
// default options. Prints, per profile and interface, the median and 90th
// percentile of |fitted - true| / true depth of both, their ratio, and the
// total SSQ of both; then each earth's figures over all its seeds.
//
//     orma_lci_accuracy [RESISTIVITY_FACTOR DEPTH_FACTOR [DATA_ERROR [ROBUST_BEYOND [DEPTH_BEND_FACTOR]]]]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/SyntheticProfiles.h"

namespace {

using namespace orma;

constexpr int kSeeds = 5;

/// Depth errors (per interface) and total SSQ of one way of fitting.
struct Fitted {
    std::vector<std::vector<double>> errors;
    double ssq = 0.0;

    void add(const test::ProfileScenario& sc, const std::vector<LciSounding>& soundings, int interfaces) {
        errors.resize(static_cast<std::size_t>(interfaces));
        for (int b = 0; b < interfaces; ++b) {
            const std::vector<double> e = test::relativeDepthErrors(sc, soundings, b);
            errors[b].insert(errors[b].end(), e.begin(), e.end());
        }
        ssq += test::totalSsq(soundings);
    }
};

void printRows(const std::string& name, const Fitted& independent, const Fitted& joint, double seconds) {
    for (std::size_t b = 0; b < independent.errors.size(); ++b) {
        const auto ind = test::errorFigures(independent.errors[b]);
        const auto lci = test::errorFigures(joint.errors[b]);
        std::printf("%-24s %-8s %7.2f %7.2f %6.2f  %7.2f %7.2f %6.2f", b == 0 ? name.c_str() : "",
                    b == 0 ? "dipping" : "step", 100 * ind.median, 100 * lci.median,
                    ind.median > 0 ? lci.median / ind.median : 0.0, 100 * ind.p90, 100 * lci.p90,
                    ind.p90 > 0 ? lci.p90 / ind.p90 : 0.0);
        if (b == 0)
            std::printf("  %8.4f %8.4f %5.2f", independent.ssq, joint.ssq, joint.ssq / independent.ssq);
        if (b == 0 && seconds > 0.0) std::printf(" %6.2f", seconds);
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    LateralInversionOptions options;
    if (argc >= 3) {
        options.resistivityFactor = std::atof(argv[1]);
        options.depthFactor = std::atof(argv[2]);
    }
    if (argc >= 4) options.dataError = std::atof(argv[3]);
    if (argc >= 5) options.robustBeyond = std::atof(argv[4]);
    if (argc >= 6) options.depthBendFactor = std::atof(argv[5]);
    std::printf("lateral factors per 100 m: resistivity %.3g, depth %.3g, depth bend %.3g, robust beyond %.3g; "
                "data error %s\n",
                options.resistivityFactor, options.depthFactor, options.depthBendFactor, options.robustBeyond,
                options.dataError > 0.0 ? std::to_string(options.dataError).c_str() : "estimated");
    std::printf("relative depth error in %%: median and 90th percentile, independent fits vs LCI\n");
    std::printf("%-24s %-8s %7s %7s %6s  %7s %7s %6s  %8s %8s %5s %6s\n", "profile", "boundary", "med ind",
                "med LCI", "ratio", "p90 ind", "p90 LCI", "ratio", "SSQ ind", "SSQ LCI", "ratio", "LCI s");

    const struct {
        const char* name;
        std::vector<double> resistivity;
    } earths[] = {{"H 100/20/300", {100.0, 20.0, 300.0}},
                  {"K 50/400/20", {50.0, 400.0, 20.0}},
                  {"A 20/100/1000", {20.0, 100.0, 1000.0}},
                  {"Q 300/60/10", {300.0, 60.0, 10.0}}};
    std::vector<std::pair<std::string, std::pair<Fitted, Fitted>>> pooled;
    for (const auto& earth : earths) {
        Fitted allIndependent, allJoint;
        for (int seed = 1; seed <= kSeeds; ++seed) {
            test::ProfileScenario sc;
            sc.resistivity = earth.resistivity;
            sc.seed = static_cast<unsigned>(seed);
            const int layers = static_cast<int>(sc.resistivity.size());
            std::vector<LciSounding> independent = test::scenarioSoundings(sc);
            test::fitIndependently(independent, layers);
            std::vector<LciSounding> joint = test::copySoundings(independent);
            LateralInversionSummary summary;
            const auto start = std::chrono::steady_clock::now();
            const Outcome run = runLateralInversion(joint, layers, options, summary);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const std::string name = std::string(earth.name) + ", seed " + std::to_string(seed);
            if (!run) {
                std::printf("%-24s joint fit refused: %s\n", name.c_str(), run.text().c_str());
                continue;
            }
            Fitted one, oneJoint;
            one.add(sc, independent, layers - 1);
            oneJoint.add(sc, joint, layers - 1);
            allIndependent.add(sc, independent, layers - 1);
            allJoint.add(sc, joint, layers - 1);
            printRows(name, one, oneJoint, seconds);
        }
        pooled.push_back({std::string(earth.name) + ", all seeds", {allIndependent, allJoint}});
    }
    std::printf("\n");
    for (const auto& [name, fits] : pooled) printRows(name, fits.first, fits.second, 0.0);
    return 0;
}
