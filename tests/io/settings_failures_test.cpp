// Settings files that cannot be saved say why; orma.ini values the UCM
// export refuses are not taken; ormacli ucm refuses a settings file it
// cannot read whole.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "SoundingFiles.h"
#include "io/SectionSettingsFile.h"
#include "io/WindowSettingsFile.h"
#include "support/Unprivileged.h"

namespace orma {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::ScratchDir;
using test::writeBytes;

/// Runs `work` where it cannot create files in `folder`: the folder is made
/// read-only, and as root (which writes anywhere) `work` runs as "nobody".
std::string inReadOnlyFolder(const std::string& folder, const std::function<std::string()>& work) {
    ::chmod(folder.c_str(), 0555);
    const std::string answer = test::runUnprivileged(work);
    ::chmod(folder.c_str(), 0755);
    return answer;
}

TEST(SettingsSaving, AWritableFileInAReadOnlyFolderSaysWhyItCannotBeSaved) {
    ScratchDir dir("ini_readonly");
    const fs::path sectionIni = sectionSettingsPath(dir.file(""));
    const fs::path windowIni = windowSettingsPath(dir.file(""));
    writeBytes(sectionIni.string(), "the user's orma.ini");
    writeBytes(windowIni.string(), "the user's ormawin.ini");
    for (const fs::path& file : {sectionIni, windowIni}) ::chmod(file.c_str(), 0666);  // writable by anyone

    const std::string why = " (Permission denied).";
    EXPECT_EQ(inReadOnlyFolder(dir.file(""), [&] { return writeSectionSettings(sectionIni, UcmParameters{}).text(); }),
              "ini file saving error!\nNo new file can be made in the folder of " + sectionIni.string() + why);
    EXPECT_EQ(inReadOnlyFolder(dir.file(""), [&] { return writeWindowSettings(windowIni, DisplaySettings{}).text(); }),
              "Nemožno ukládat do ini souboru!\nNo new file can be made in the folder of " + windowIni.string() + why);
    EXPECT_EQ(readBytes(sectionIni.string()), "the user's orma.ini");
    EXPECT_EQ(readBytes(windowIni.string()), "the user's ormawin.ini");

    // A settings path under a regular file, and one that names a directory.
    writeBytes(dir.file("plain"), "x");
    const fs::path underFile = fs::path(dir.file("plain")) / "orma.ini";
    EXPECT_EQ(writeSectionSettings(underFile, UcmParameters{}).text(),
              "ini file saving error!\nNo new file can be made in the folder of " + underFile.string() +
                  " (Not a directory).");
    fs::create_directory(dir.file("folder.ini"));
    EXPECT_EQ(writeSectionSettings(dir.file("folder.ini"), UcmParameters{}).text(),
              "ini file saving error!\n" + dir.file("folder.ini") + " is a directory, not a file.");
}

TEST(SettingsReading, ValuesTheExportRefusesKeepTheirDefaultsAndAFileWithoutHeaderIsNotRead) {
    ScratchDir dir("ini_values");
    const fs::path path = sectionSettingsPath(dir.file(""));
    UcmParameters chosen;
    chosen.majorTextSize = 0.3f;
    chosen.zTickStep = 4;
    std::string text = formatSectionSettings(chosen);
    const auto replaceValue = [&text](const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
    };
    replaceValue("(float) 5.000000", "(float) 1e-30");   // exaggeration
    replaceValue("_VES_UCM_(float) 1.000000", "_VES_UCM_(float) -1");  // arrow width
    writeBytes(path.string(), text);

    UcmParameters read;
    const std::optional<std::string> message = readSectionSettings(path, read);
    ASSERT_TRUE(message);
    EXPECT_EQ(*message, path.string() +
                            ": Line 2 (převýšení_exportovaného_řezu_UCM_(float)): The distortion of scale Z/X must be "
                            "0.01 or more. Line 11 (šířka_šipky_nad_bodem_VES_UCM_(float)): The width of VES point "
                            "arrow must be 0 m or more. The default options are used there.");
    EXPECT_EQ(read.exaggeration, 5.0f);
    EXPECT_EQ(read.arrowWidth, 1.0f);
    EXPECT_EQ(read.majorTextSize, 0.3f) << "the other lines are read";
    EXPECT_EQ(read.zTickStep, 4);

    // The eleven value lines without the header line would each be read into
    // the field before theirs.
    std::string headless = formatSectionSettings(chosen);
    headless.erase(0, headless.find("\r\n") + 2);
    writeBytes(path.string(), headless);
    EXPECT_EQ(readSectionSettings(path, read).value_or(""),
              path.string() +
                  " has no header line (its first line holds a value) and is not read. Default options are loaded.");
    EXPECT_EQ(read, UcmParameters{});
}

class UcmSettingsCommandTest : public ::testing::Test {
protected:
    ScratchDir dir{"ucm_settings"};

    /// ormacli ucm of the sample profile with `--settings FILE`; its exit status.
    int exportWith(const std::string& settings) {
        const std::string command = std::string(ORMA_CLI_PATH) + " ucm '" + ORMA_SOURCE_DIR +
                                    "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb' --profile 0/0 '" +
                                    dir.file("P1.UCM") + "' --settings '" + settings + "' 2>'" +
                                    dir.file("err.txt") + "'";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::string errors() const { return readBytes(dir.file("err.txt")); }
};

TEST_F(UcmSettingsCommandTest, ANamedSettingsFileThatCannotBeReadWholeOrHoldsRefusedValuesStopsTheExport) {
    UcmParameters negative;
    negative.interfaceSignHeight = -0.5f;
    UcmParameters flat;
    flat.exaggeration = 1e-30f;
    std::string binary(600, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37);
    std::string headless = formatSectionSettings(UcmParameters{});
    headless.erase(0, headless.find("\r\n") + 2);
    writeBytes(dir.file("negative.ini"), formatSectionSettings(negative));
    writeBytes(dir.file("flat.ini"), formatSectionSettings(flat));
    writeBytes(dir.file("binary.ini"), binary);
    writeBytes(dir.file("headless.ini"), headless);
    fs::create_directory(dir.file("folder.ini"));

    const std::pair<const char*, const char*> cases[] = {
        {"missing.ini", "missing.ini: the settings file does not exist"},
        {"folder.ini", "folder.ini is a directory, not a file."},
        {"binary.ini", "No number on line 2"},
        {"headless.ini", "has no header line"},
        {"flat.ini", "The distortion of scale Z/X must be 0.01 or more."},
        {"negative.ini", "The height of VES interface sign must be 0 m or more."},
    };
    for (const auto& [name, said] : cases) {
        EXPECT_EQ(exportWith(dir.file(name)), 1) << name;
        EXPECT_NE(errors().find(said), std::string::npos) << name << ": " << errors();
        EXPECT_FALSE(fs::exists(dir.file("P1.UCM")) || fs::exists(dir.file("P1.UCM_b"))) << name;
    }

    // A good file exports, and its values are used.
    UcmParameters larger;
    larger.majorTextSize = 0.25f;
    writeBytes(dir.file("good.ini"), formatSectionSettings(larger));
    EXPECT_EQ(exportWith(dir.file("good.ini")), 0) << errors();
    EXPECT_NE(readBytes(dir.file("P1.UCM")).find("KEY 'ACTIVE TXW 0.25'"), std::string::npos);
}

}  // namespace
}  // namespace orma
