#pragma once
// Include from any GUI test: a GoogleTest global environment that creates the
// one QApplication the test program needs (offscreen unless a platform was
// chosen), before the first test runs and after the tests are listed.

#include <QApplication>
#include <QByteArray>
#include <QLocale>

#include <gtest/gtest.h>

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

/// Registered once per program, however many test files include this header.
inline ::testing::Environment* const qtTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace orma::testing
