// The display and input options dialogs, driven through the window.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "ui/interpretation/ColourShape.h"
#include "ui/interpretation/Tparzobr.h"
#include "ui/interpretation/Tpreferenceuzivatele.h"
#include "window_fixture.h"

namespace orma::ui::test {
namespace {

TEST_F(WindowTest, DisplayOptionsShowTheSettingsAndImplicitValuesGiveResolution110) {
    Ttelmorwin& window = openWindow();
    window.runModalDialog = [&](QDialog& dialog) {
        auto& options = dynamic_cast<Tparzobr&>(dialog);
        EXPECT_EQ(options.windowTitle(), "Display options");
        EXPECT_EQ(options.pocetbodubs->text(), "128");
        EXPECT_EQ(options.silaaktmod->text(), "4");
        EXPECT_TRUE(options.delatbs->isChecked());
        EXPECT_TRUE(options.metrazpodlepovrchujepopis->isChecked());
        EXPECT_EQ(options.shapes[2]->colour(), 255u);  // branch 3 red
        options.applyImplicitValues();
        EXPECT_EQ(options.pocetbodubs->text(), "110");
        options.accept();
    };
    window.editDisplayOptions();
    EXPECT_EQ(window.settings().smoothingResolution, 110);
    EXPECT_EQ(window.settings().inputMode, 3);  // untouched by "implicit values"
}

TEST_F(WindowTest, OriginalValuesDiscardTypingButKeepAChosenColour) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.runModalDialog = [&](QDialog& dialog) {
        auto& options = dynamic_cast<Tparzobr&>(dialog);
        dialogs_.expectColour(0x123456u, 0x00FF00u);
        options.shapes[7]->pressed();  // the model colour
        EXPECT_EQ(window.settings().modelColour, 0x123456u);  // taken at once
        EXPECT_EQ(options.shapes[7]->colour(), 0x123456u);
        dialogs_.expectColour(std::nullopt);  // cancelled: unchanged
        options.shapes[0]->pressed();
        options.silamodel->setText("7");
        options.delatbs->setChecked(false);
        options.restoreOriginalValues();
        EXPECT_EQ(options.silamodel->text(), "2");
        EXPECT_TRUE(options.delatbs->isChecked());
        options.accept();
    };
    window.editDisplayOptions();
    dialogs_.verifyDone();
    EXPECT_EQ(window.settings().modelColour, 0x123456u);
    EXPECT_EQ(window.settings().branchColour[0], 0x800000u);
    EXPECT_EQ(window.settings().modelLineWidth, 2);
}

TEST_F(WindowTest, AnUnsoundBoxIsNamedAndNothingIsTakenUntilItIsMended) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    int redraws = 0;
    window.sectionOptionsChanged = [&] { ++redraws; };
    window.runModalDialog = [&](QDialog& dialog) {
        auto& options = dynamic_cast<Tparzobr&>(dialog);
        options.silanam->setText("3");
        options.blokmeritkakrivekves->setChecked(true);
        for (const char* typed : {"0", "x", "401"}) {
            QLineEdit* box = std::string(typed) == "401" ? options.pocetbodubs : options.silamodel;
            box->setText(typed);
            dialogs_.allowAnyMessages();
            const std::size_t shown = dialogs_.messages().size();
            options.accept();
            ASSERT_EQ(dialogs_.messages().size(), shown + 1) << typed;
            const std::string& text = dialogs_.messages().back();
            EXPECT_NE(text.find(box == options.silamodel ? "model: line thickness" : "number of B-spline points"),
                      std::string::npos)
                << text;
            EXPECT_EQ(options.result(), QDialog::Rejected);  // still open
            EXPECT_EQ(window.settings().measuredLineWidth, 1);  // nothing half applied
            EXPECT_FALSE(window.settings().scaleLocked);
            box->setText(box == options.silamodel ? "2" : "128");
        }
        options.pocetbodubs->setText(" 200 ");
        options.accept();
        EXPECT_EQ(options.result(), QDialog::Accepted);
    };
    window.editDisplayOptions();
    EXPECT_EQ(window.settings().measuredLineWidth, 3);
    EXPECT_EQ(window.settings().smoothingResolution, 200);
    EXPECT_TRUE(window.settings().scaleLocked);
    EXPECT_EQ(redraws, 1);

    // A fixed scale keeps the ranges for the next sounding.
    const float rMin = window.plot().geometry().rMin;
    openGef(window);
    EXPECT_FLOAT_EQ(window.plot().geometry().rMin, rMin);
}

TEST_F(WindowTest, OptionsSurviveEndAndARestart) {
    Ttelmorwin& window = openWindow();
    window.runModalDialog = [&](QDialog& dialog) {
        if (auto* options = dynamic_cast<Tparzobr*>(&dialog)) {
            options->stupenbs->setText("4");
            options->silavyp->setText("5");
            options->accept();
        } else {
            auto& input = dynamic_cast<Tpreferenceuzivatele&>(dialog);
            EXPECT_EQ(input.windowTitle(), "User options");
            EXPECT_TRUE(input.modeButtons[3]->isChecked());  // the current mode
            EXPECT_EQ(input.modeButtons[2]->text(), "Manual input of measured curves VES - drowing by mouse");
            input.modeButtons[1]->setChecked(true);
            input.accept();
        }
    };
    window.editDisplayOptions();
    window.editInputOptions();
    EXPECT_EQ(window.settings().inputMode, 1);
    window.endProgram();
    window_.reset();

    Ttelmorwin& again = createWindow();
    EXPECT_EQ(again.settings().smoothingOrder, 4);
    EXPECT_EQ(again.settings().computedLineWidth, 5);
    EXPECT_EQ(again.settings().inputMode, 1);
}

}  // namespace
}  // namespace orma::ui::test
