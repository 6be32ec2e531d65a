#pragma once
// A fresh interpretation window in its own temporary working directory, with
// scripted dialogs, and the small sounding files the window tests open.

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "io/WindowSettingsFile.h"
#include "support/QtTestEnvironment.h"
#include "support/ScriptedDialogs.h"
#include "support/UnsavedWork.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"

namespace orma::ui::test {

namespace fs = std::filesystem;

/// "%f" without the locale (Qt switches the C locale to the user's).
inline std::string fixed6(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, end.ptr);
}

/// One GEF reading: rho at column 3, s at 6, AB/2 at 8, MN/2 at 10, branch at 12.
inline std::string gefReading(double ab2, double mn2, double rho, int branch, int s = 1) {
    std::string line = "1 0 " + fixed6(rho) + " 0 0 " + std::to_string(s) + " 0 " + fixed6(ab2) +
                       " 0 " + fixed6(mn2) + " 0 " + std::to_string(branch) + " 0\r\n";
    return line;
}

/// A three-branch K-type curve on grid 0..18: branch 2 lies 1.2 times and
/// branch 3 0.9 times as high as branch 1 would continue.
inline std::string threeBranchGef() {
    static const double ab2[] = {1.0, 1.3, 1.68, 2.18, 2.82, 3.66, 4.74, 6.15, 7.97, 10.3,
                                 13.4, 17.4, 22.5, 29.1, 37.8, 49.0, 63.5, 82.3, 107.0};
    static const double rho[] = {11.7, 13.5, 15.8, 18.7, 23.0, 28.0, 33.4, 39.0, 45.0, 51.3,
                                 54.0, 55.5, 54.9, 49.0, 41.0, 33.8, 28.0, 24.0, 21.8};
    std::string text = "TAMIR export\r\n2005-06-14 10:22\r\nprofile 1\r\ncolumns\r\n";
    for (int k = 0; k <= 8; ++k) text += gefReading(ab2[k], 0.5, rho[k], 1);
    for (int k = 7; k <= 15; ++k) text += gefReading(ab2[k], 5.0, 1.2 * rho[k], 2);
    for (int k = 14; k <= 18; ++k) text += gefReading(ab2[k], 20.0, 0.9 * rho[k], 3);
    return text;
}

/// Two records as the instrument writes them.
inline std::string twoRecordRst() {
    std::string text = "n Novak\r\nb 100\r\np 3\r\nl Hradek\r\nd 2005-07-01";
    static const double ab2[] = {1.0, 1.3, 1.68, 2.18, 2.82, 3.66, 4.74, 6.15, 7.97, 10.3};
    for (int k = 0; k <= 5; ++k) {
        text += "\r\nr " + fixed6(20.0 + 3 * k) + " s1 a" + fixed6(ab2[k]) + " m0.500000";
    }
    for (int k = 4; k <= 9; ++k) {
        text += "\r\nr " + fixed6(1.1 * (20.0 + 3 * k)) + " s1 a" + fixed6(ab2[k]) + " m2.000000";
    }
    text += "\r\nn Svoboda\r\nb 125\r\np 3\r\nl Hradek\r\nd 2005-07-02";
    for (int k = 0; k < 8; ++k) {
        text += "\r\nr " + fixed6(90.0 - 5 * k) + " s2 a" + fixed6(ab2[k]) + " m0.500000";
    }
    return text;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("orma_window_" + std::string(::testing::UnitTest::GetInstance()
                                                                             ->current_test_info()
                                                                             ->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (window_) {
            dialogs_.allowAnyMessages();
            window_.reset();
        }
        dialogs_.verifyDone();
        fs::remove_all(dir_);
    }

    /// The window over a settings file written from defaults (no message).
    Ttelmorwin& openWindow() {
        EXPECT_TRUE(writeWindowSettings(windowSettingsPath(dir_), DisplaySettings{}));
        return createWindow();
    }
    Ttelmorwin& createWindow() {
        window_ = std::make_unique<Ttelmorwin>(dialogs_, dir_);
        window_->image().resize(900, 700);
        window_->FormResize();
        return *window_;
    }

    std::string writeFile(const std::string& name, const std::string& bytes) const {
        const fs::path path = dir_ / name;
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        return path.string();
    }

    /// The question before the work on `curve` would go, answered Discard.
    void expectWorkDiscarded(const std::string& curve, const char* before = orma::test::kBeforeAnotherCurve) {
        dialogs_.expectSaveQuestion(orma::test::unsavedWorkQuestion(curve, before), SaveAnswer::Discard, "Transfer");
    }

    /// Opens the three-branch GEF file through "Open file *.GEF".
    std::string openGef(Ttelmorwin& window) {
        const std::string path = writeFile("VES12.GEF", threeBranchGef());
        dialogs_.expectOpen(path);
        window.openGefFile();
        return path;
    }

    orma::test::ScriptedDialogs dialogs_;
    fs::path dir_;
    std::unique_ptr<Ttelmorwin> window_;
};

}  // namespace orma::ui::test
