// Hostile files within the size limits: each must be refused (or read) in
// bounded memory and time. Peak memory is measured apart (/usr/bin/time -v
// of ormacli on such files: a 16 MB sheet of one line of commas 53 MB, one
// of 2.8 million bad lines 36 MB, a 512 MiB database of one line 4 MB).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/Sounding.h"
#include "io/SheetReader.h"
#include "io/VdbFile.h"

namespace orma {
namespace {

void readSheet(benchmark::State& state, const std::string& bytes) {
    auto sounding = std::make_unique<Sounding>();
    std::vector<std::string> messages;
    for (auto _ : state) {
        messages.clear();
        benchmark::DoNotOptimize(readSheetBytes(*sounding, bytes, messages));
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_SheetOfOneLineOfCommas(benchmark::State& state) {
    static const std::string bytes = std::string(16u << 20, ',') + "\n";
    readSheet(state, bytes);
}
BENCHMARK(BM_SheetOfOneLineOfCommas)->Unit(benchmark::kMillisecond);

void BM_SheetOfBadLines(benchmark::State& state) {
    static const std::string bytes = [] {
        std::string text = "AB/2,MN/2,rhoa\n";
        while (text.size() < (16u << 20) - 8) text += "x,1,1\n";
        return text;
    }();
    readSheet(state, bytes);
}
BENCHMARK(BM_SheetOfBadLines)->Unit(benchmark::kMillisecond);

void BM_VdbOfOneLongLine(benchmark::State& state) {
    static const std::string bytes(64u << 20, 'a');
    auto db = std::make_unique<VesDatabase>();
    for (auto _ : state) {
        if (parseVdb(bytes, *db).ok) state.SkipWithError("a line of 64 MiB was taken");
    }
}
BENCHMARK(BM_VdbOfOneLongLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orma
