#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "io/WindowSettingsFile.h"
#include "support/Unprivileged.h"

namespace orma {
namespace {

namespace fs = std::filesystem;

class WindowSettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orma_winini_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path path() const { return windowSettingsPath(dir_); }
    void writeRaw(const std::string& bytes) const {
        std::ofstream out(path(), std::ios::binary);
        out << bytes;
    }
    std::string readRaw() const {
        std::ifstream in(path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir_;
};

DisplaySettings nonDefaultSettings() {
    DisplaySettings s;
    s.inputMode = 1;
    s.smoothingOn = false;
    s.smoothingOrder = 4;
    s.smoothingResolution = 110;
    s.measuredLineWidth = 3;
    s.compositeLineWidth = 5;
    s.computedLineWidth = 6;
    s.activeModelLineWidth = 7;
    s.modelLineWidth = 8;
    s.compositeColour = 0x123456;
    s.computedColour = 0x000001;
    s.fixedValueColour = 0xABCDEF;
    s.modelColour = 0xFFFFFF;
    s.branchColour = {1, 2, 3, 4, 0x00FF00};
    return s;
}

void expectSameStoredSettings(const DisplaySettings& a, const DisplaySettings& b) {
    EXPECT_EQ(a.inputMode, b.inputMode);
    EXPECT_EQ(a.smoothingOn, b.smoothingOn);
    EXPECT_EQ(a.smoothingOrder, b.smoothingOrder);
    EXPECT_EQ(a.smoothingResolution, b.smoothingResolution);
    EXPECT_EQ(a.measuredLineWidth, b.measuredLineWidth);
    EXPECT_EQ(a.compositeLineWidth, b.compositeLineWidth);
    EXPECT_EQ(a.computedLineWidth, b.computedLineWidth);
    EXPECT_EQ(a.activeModelLineWidth, b.activeModelLineWidth);
    EXPECT_EQ(a.modelLineWidth, b.modelLineWidth);
    EXPECT_EQ(a.compositeColour, b.compositeColour);
    EXPECT_EQ(a.computedColour, b.computedColour);
    EXPECT_EQ(a.fixedValueColour, b.fixedValueColour);
    EXPECT_EQ(a.modelColour, b.modelColour);
    EXPECT_EQ(a.branchColour, b.branchColour);
}

TEST_F(WindowSettingsFileTest, MissingFileLoadsDefaultsWithItsMessage) {
    DisplaySettings settings = nonDefaultSettings();
    const auto messages = readWindowSettings(path(), settings);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "ini file not found! default parametres loaded\n" + path().string());
    expectSameStoredSettings(settings, DisplaySettings{});
    EXPECT_EQ(settings.smoothingResolution, 128);
}

TEST_F(WindowSettingsFileTest, WrittenFileReadsBackToTheSameSettings) {
    const DisplaySettings written = nonDefaultSettings();
    EXPECT_TRUE(writeWindowSettings(path(), written));
    DisplaySettings read;
    EXPECT_TRUE(readWindowSettings(path(), read).empty());
    expectSameStoredSettings(read, written);
}

TEST_F(WindowSettingsFileTest, AveragingIsGluedToItsKeyAndNeverReadBack) {
    DisplaySettings written;
    written.averageOverlaps = false;
    ASSERT_TRUE(writeWindowSettings(path(), written));
    const std::string bytes = readRaw();
    EXPECT_NE(bytes.find("false)_0\r\n"), std::string::npos);
    DisplaySettings read;
    read.averageOverlaps = true;
    readWindowSettings(path(), read);
    EXPECT_TRUE(read.averageOverlaps);
}

TEST_F(WindowSettingsFileTest, FileIsWindows1250WithCrLfInFixedLineOrder) {
    const std::string bytes = formatWindowSettings(DisplaySettings{});
    // Line 1 and line 3 in Windows-1250 (í = ED, č = E8, ů = F9, ó = F3).
    EXPECT_EQ(bytes.rfind("soubor nastaven\xED" " a inicializa\xE8n\xED" "ch parametr\xF9 programu ORMA\r\n", 0), 0u);
    EXPECT_NE(bytes.find("\r\nimplicitn\xED_m\xF3" "d_vstupu_dat(0-RST_nebo_GEFatd,1-ru\xE8n\xED) 3\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("\r\nrozli\x9A" "en\xED-bsplajnu_(bsplineresolution=128_implicitn\xEC) 128\r\n"),
              std::string::npos);
    const std::string lastLine = "\r\nbarva_cary_vetve[5]_(clYellow_implicitn\xEC) 65535\r\n";
    EXPECT_EQ(bytes.substr(bytes.size() - lastLine.size()), lastLine);
    std::size_t lines = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            EXPECT_EQ(bytes[i + 1], '\n');
            ++lines;
        }
    }
    EXPECT_EQ(lines, 20u);
}

TEST_F(WindowSettingsFileTest, BadShortOrForeignLinesLeaveTheirSettingsAlone) {
    // LF line ends, unparseable and out-of-range values, only 9 lines.
    writeRaw("title\n"
             "avg_1\n"
             "mode 9\n"            // no input mode 9
             "spline 0\n"          // smoothing off: taken
             "order abc\n"         // not a number
             "resolution 5000\n"   // beyond the curve drawer
             "measured 0\n"        // a line must be at least 1 px
             "shifted 7\n"         // taken
             "computed -3\n");
    DisplaySettings settings;
    EXPECT_TRUE(readWindowSettings(path(), settings).empty());
    const DisplaySettings defaults;
    EXPECT_EQ(settings.inputMode, defaults.inputMode);
    EXPECT_FALSE(settings.smoothingOn);
    EXPECT_EQ(settings.smoothingOrder, defaults.smoothingOrder);
    EXPECT_EQ(settings.smoothingResolution, defaults.smoothingResolution);
    EXPECT_EQ(settings.measuredLineWidth, defaults.measuredLineWidth);
    EXPECT_EQ(settings.compositeLineWidth, 7);
    EXPECT_EQ(settings.computedLineWidth, defaults.computedLineWidth);
    EXPECT_EQ(settings.branchColour, defaults.branchColour);
}

TEST_F(WindowSettingsFileTest, UnwritableFileGivesItsMessage) {
    const fs::path inMissingDir = dir_ / "no-such-dir" / kWindowSettingsFileName;
    const Outcome saved = writeWindowSettings(inMissingDir, DisplaySettings{});
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.message, "Nemožno ukládat do ini souboru!");
    EXPECT_NE(saved.cause.find("No such file or directory"), std::string::npos) << saved.cause;
    EXPECT_EQ(saved.text(), saved.message + "\n" + saved.cause) << "the fixed text, then the reason";
}

TEST_F(WindowSettingsFileTest, AFileThatCannotBeReadKeepsItsContentAndHangsNothing) {
    // A pipe would block a plain open for ever; a directory cannot be read.
    ASSERT_EQ(::mkfifo(path().c_str(), 0600), 0);
    DisplaySettings settings = nonDefaultSettings();
    std::vector<std::string> messages = readWindowSettings(path(), settings);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], path().string() +
                               " is not a regular file (it is a device, pipe or socket)."
                               " Default parameters are loaded, and the file will not be written over at End.");
    expectSameStoredSettings(settings, DisplaySettings{});
    const Outcome saved = writeWindowSettings(path(), settings);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.message, "Nemožno ukládat do ini souboru!");
    EXPECT_TRUE(fs::is_fifo(path())) << "the pipe was not replaced";
    fs::remove(path());

    fs::create_directory(path());
    EXPECT_NE(readWindowSettings(path(), settings).at(0).find("is a directory"), std::string::npos);
    EXPECT_FALSE(writeWindowSettings(path(), settings));
    EXPECT_TRUE(fs::is_directory(path()));
}

TEST_F(WindowSettingsFileTest, AFileWithoutReadPermissionIsNotOverwrittenWithDefaults) {
    // As root every file reads: reading and saving run as an unprivileged user.
    ASSERT_TRUE(writeWindowSettings(path(), nonDefaultSettings()));
    const std::string before = readRaw();
    orma::test::makeWriteOnlyForUnprivileged(path());
    const std::string said = orma::test::runUnprivileged([&]() -> std::string {
        DisplaySettings settings;
        const std::vector<std::string> messages = readWindowSettings(path(), settings);
        if (messages.size() != 1) return "reading gave " + std::to_string(messages.size()) + " messages";
        if (messages[0].find("cannot be read") == std::string::npos) return "reading said: " + messages[0];
        if (messages[0] == "ini file not found! default parametres loaded") return "the file was taken for missing";
        const Outcome saved = writeWindowSettings(path(), settings);
        if (saved || saved.message != "Nemožno ukládat do ini souboru!")
            return "saving the defaults did not refuse: " + (saved ? std::string("no message") : saved.message);
        return {};
    });
    EXPECT_EQ(said, "");
    fs::permissions(path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readRaw(), before);
}

TEST_F(WindowSettingsFileTest, SavingReplacesTheFileWhole) {
    writeRaw("old content that is longer than nothing");
    EXPECT_TRUE(writeWindowSettings(path(), nonDefaultSettings()));
    EXPECT_EQ(readRaw(), formatWindowSettings(nonDefaultSettings()));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left";
}

}  // namespace
}  // namespace orma
