#pragma once
// The section window wired to an interpretation window as the program wires
// them, in a temporary working directory, with scripted dialogs; and a
// database of made-up points whose curves the interpretation window can
// process.

#include <gtest/gtest.h>

#include <QScrollArea>

#include <filesystem>
#include <memory>
#include <string>

#include "io/WindowSettingsFile.h"
#include "support/QtTestEnvironment.h"
#include "support/ScriptedDialogs.h"
#include "support/UnsavedWork.h"
#include "support/VesDatabaseBuilders.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/section/SectionView.h"
#include "ui/section/TSection.h"
#include "ui/section/TVESparametryEdit.h"

namespace orma::ui::test {

namespace fs = std::filesystem;

class SectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orma_section_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        EXPECT_TRUE(writeWindowSettings(windowSettingsPath(dir_), DisplaySettings{}));
        window_ = std::make_unique<Ttelmorwin>(dialogs_, dir_);
        window_->image().resize(900, 700);
        window_->FormResize();
        section_ = std::make_unique<TSection>(dialogs_, dir_);
        parameters_ = std::make_unique<TVESparametryEdit>(dialogs_, section_.get());
        section_->setParametersDialog(parameters_.get());
        InterpretationLink link;
        link.sounding = &window_->sounding();
        link.reopenStoredPoint = [this](const std::vector<std::string>& messages) {
            window_->reopenStoredPoint(messages);
        };
        link.setOpenStoredPoint = [this](std::optional<StoredPointRef> point) { window_->setOpenStoredPoint(point); };
        link.showsStoredPoint = [this] { return window_->showsStoredPoint(); };
        link.showSectionOnce = [this] { window_->showSectionOnce(); };
        link.closeProgram = [this] { ++programClosed_; };
        link.interpretationFrame = [this] { return window_->frameGeometry(); };
        link.settleInterpretation = [this](bool ending) {
            return window_->settleUnsavedInterpretation(ending ? Ttelmorwin::LeavingFor::End
                                                               : Ttelmorwin::LeavingFor::StoredPoint);
        };
        link.offerInterpretationRecovery = [this] { window_->offerInterpretationRecovery(); };
        link.depthRanges = [this] { return window_->depthRangesOfModel(); };
        link.computation = [this] { return window_->computation(); };
        section_->setInterpretationLink(link);
        window_->appendToProfile = [this](const Sounding& s, float chainage) {
            return section_->appendSounding(s, chainage);
        };
        window_->storedPointModelEdited = [this] { section_->storeReinterpretedPoint(); };
        window_->mayEnd = [this] { return section_->mayEndProgram(); };
        section_->runParametersDialog = [this](TVESparametryEdit& dialog) {
            ++dialogRuns_;
            if (answerDialog_) answerDialog_(dialog);
            dialog.acceptIfValid();
        };
        section_->canvas().resize(1600, 1200);
    }

    void TearDown() override {
        dialogs_.allowAnyMessages();
        parameters_.reset();
        section_.reset();
        window_.reset();
        dialogs_.verifyDone();
        fs::remove_all(dir_);
    }

    /// Puts `db` into the section window as an opened file would, and draws it.
    void showDatabase(const VesDatabase& db) {
        VesDatabase& held = section_->database();
        held = db;
        held.currentLocality = 0;
        held.currentProfile = 0;
        held.currentPoint = held.activePointCount() > 0 ? 0 : -1;
        section_->display().resetAfterOpen();
        section_->redrawSection();
    }

    /// A profile of `points` points 10 m apart at scales that spread them out.
    static VesDatabase spreadProfile(int points, int layers = 3) {
        VesDatabase db = orma::test::makeDatabase(1, 1, points, 12, layers);
        db.localities[0].profiles[0].xScale = 2e-3f;  // 28 pixels per metre
        db.localities[0].profiles[0].zScale = 2e-3f;
        return db;
    }

    /// A left click on the column of point k.
    void clickPoint(int k) {
        MouseInput in;
        in.button = MouseButton::Left;
        in.x = section_->view().geometry().px(section_->database().activeProfile()->points[k].profileChainage);
        in.y = 100;
        section_->imgRezMouseDown(in);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    orma::test::ScriptedDialogs dialogs_;
    fs::path dir_;
    std::unique_ptr<Ttelmorwin> window_;
    std::unique_ptr<TSection> section_;
    std::unique_ptr<TVESparametryEdit> parameters_;
    std::function<void(TVESparametryEdit&)> answerDialog_;
    int dialogRuns_ = 0;
    int programClosed_ = 0;
};

}  // namespace orma::ui::test
