#pragma once
// Include from any GUI test: a GoogleTest global environment that creates the
// one QApplication the test program needs (offscreen unless a platform was
// chosen), before the first test runs and after the tests are listed; and a
// state folder of its own for every test (XDG_STATE_HOME), so that recovery
// copies never reach the user's folder and no test finds another's.

#include <QApplication>
#include <QByteArray>
#include <QLocale>

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace orma::testing {

class QtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance() != nullptr) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        app_ = new QApplication(argc_, argv_);
        // Numbers on screen follow the desktop's locale: the tests expect the
        // decimal point whatever LANG the machine has (tests of a comma
        // locale set theirs and put this one back).
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    inline static int argc_ = 1;
    inline static char name_[] = "orma_tests";
    inline static char* argv_[] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

/// Points XDG_STATE_HOME at a new empty folder for each test and removes it
/// after the test.
class StateFolderPerTest : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        std::string pattern = (std::filesystem::temp_directory_path() / "orma_state_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        folder_ = pattern;
        ::setenv("XDG_STATE_HOME", folder_.c_str(), 1);
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        if (folder_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }

private:
    std::string folder_;
};

/// Registered once per program, however many test files include this header.
inline ::testing::Environment* const qtTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);
inline const bool stateFolderPerTest =
    (::testing::UnitTest::GetInstance()->listeners().Append(new StateFolderPerTest), true);

}  // namespace orma::testing
