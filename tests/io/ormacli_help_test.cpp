// ormacli's help, version and completion words: all from the commands' option
// tables, which also drive the parsers; the man page and the usage lines,
// written by hand, are held to the same tables here.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/CliRun.h"

namespace orma {
namespace {

std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::vector<std::string> commands() { return textLines(test::runCli("--completion-words").out); }

/// The options of a command: the first word of each completion line.
std::vector<std::string> optionsOf(const std::string& command) {
    std::vector<std::string> options;
    for (const std::string& line : textLines(test::runCli("--completion-words " + command).out))
        options.push_back(line.substr(0, line.find(' ')));
    return options;
}

TEST(OrmacliHelp, EveryCommandListsEveryOptionOfItsTableOnALineOfItsOwn) {
    const std::vector<std::string> all = commands();
    ASSERT_GE(all.size(), 10u);  // eight commands, --help, --version
    for (const std::string& command : all) {
        if (command.rfind("--", 0) == 0) continue;
        const test::CliRun help = test::runCli(command + " --help");
        EXPECT_EQ(help.status, 0) << command;
        const std::vector<std::string> options = optionsOf(command);
        ASSERT_GE(options.size(), 2u) << command;
        // The synopsis at the top names every option (the help is what a user types from).
        const std::string synopsis = help.out.substr(0, help.out.find("\n\n"));
        for (const std::string& option : options) {
            if (option == "--help") continue;
            EXPECT_NE(synopsis.find(option), std::string::npos) << command << " synopsis lacks " << option;
            bool ownLine = false;
            for (const std::string& line : textLines(help.out))
                ownLine = ownLine || line.rfind("  " + option + " ", 0) == 0 || line.rfind("  " + option, 0) == 0;
            EXPECT_TRUE(ownLine) << command << " --help lacks " << option;
        }
    }
}

TEST(OrmacliHelp, HelpIsAskedWhereAnOptionMayStandNotAsAnOptionsValue) {
    EXPECT_EQ(test::runCli("fit -h").status, 0);
    EXPECT_EQ(test::runCli("show a.GEF --json --help").status, 0);
    // "--help" as the file name of --csv: no help, and no FILE either.
    EXPECT_EQ(test::runCli("show --csv --help").status, 2);
    EXPECT_EQ(test::runCli("show --nonsense").status, 2);
    const test::CliRun tool = test::runCli("--help");
    EXPECT_EQ(tool.status, 0);
    EXPECT_NE(tool.out.find("interpret"), std::string::npos);
    EXPECT_EQ(test::runCli("help lci").out, test::runCli("lci --help").out);
    EXPECT_EQ(test::runCli("--completion-words nosuchcommand").status, 2);
}

TEST(OrmacliHelp, TheVersionIsTheProjects) {
    const test::CliRun version = test::runCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "ormacli " ORMA_VERSION "\n");
}

TEST(OrmacliHelp, TheManPageDescribesEveryOptionUnderItsCommand) {
    std::ifstream in(std::string(ORMA_SOURCE_DIR) + "/packaging/ormacli.1.scd");
    ASSERT_TRUE(in) << "packaging/ormacli.1.scd";
    std::stringstream page;
    page << in.rdbuf();
    const std::string text = page.str();
    for (const std::string& command : commands()) {
        if (command.rfind("--", 0) == 0) continue;
        const std::size_t start = text.find("\n## " + command + "\n");
        ASSERT_NE(start, std::string::npos) << "no section for " << command;
        const std::size_t end = text.find("\n#", start + 4);
        const std::string section = text.substr(start, end - start);
        for (const std::string& option : optionsOf(command)) {
            if (option == "--help") continue;
            EXPECT_NE(section.find("*" + option + "*"), std::string::npos) << "man page, " << command << ": " << option;
        }
    }
}

}  // namespace
}  // namespace orma
