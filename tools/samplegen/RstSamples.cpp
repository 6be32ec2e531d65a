#include "RstSamples.h"

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "core/Sounding.h"
#include "io/GefReader.h"
#include "io/RstWriter.h"
#include "io/UserDialogs.h"

namespace orma::samplegen {

namespace {

/// Answers the writer's prompts as the interpreter of the sample profile would.
class SampleAnswers : public UserDialogs {
public:
    explicit SampleAnswers(std::string rstPath) : rstPath_(std::move(rstPath)) {}

    void message(const std::string& text) override { std::cerr << "orma_samplegen: " << text << '\n'; }
    std::optional<std::string> inputQuery(const std::string& caption, const std::string&,
                                          const std::string& proposed) override {
        if (caption == kOperatorCaption) return std::string("J. Novak");
        if (caption == kLocalityCaption) return std::string("Sample valley");
        if (caption == kPointCaption) return std::to_string(pointNumber);
        return proposed;
    }
    std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogOptions&) override { return rstPath_; }

    int pointNumber = 0;

private:
    std::string rstPath_;
};

int chainageFromName(const std::filesystem::path& gef) {
    return std::stoi(gef.stem().string().substr(3));  // "VES150" -> 150
}

}  // namespace

bool writeRstSamples(const std::vector<std::filesystem::path>& gefFiles, const std::filesystem::path& rstPath) {
    std::filesystem::remove(rstPath);  // the generator owns this file and writes it anew
    SampleAnswers answers(rstPath.string());
    RstOutputFile output;
    auto sounding = std::make_unique<Sounding>();
    bool first = true;
    for (const std::filesystem::path& gef : gefFiles) {
        std::vector<std::string> messages;
        if (openGefCurve(*sounding, gef.string(), messages) != CurveFileEnd::Done) {
            std::cerr << "orma_samplegen: cannot read back " << gef << '\n';
            return false;
        }
        answers.pointNumber = chainageFromName(gef);
        if (writeRstRecord(*sounding, output, answers, first) != CurveFileEnd::Done) return false;
        first = false;
    }
    closeRstOutput(*sounding, output, answers);
    return true;
}

}  // namespace orma::samplegen
