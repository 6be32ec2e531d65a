// Failures the windows report with their cause after the fixed text (RST
// output, ormawin.ini, orma.ini), and the UCM options dialog following the
// export's one rule for acceptable values.

#include <QLineEdit>

#include "SectionFixture.h"
#include "io/SectionSettingsFile.h"
#include "support/FileBytes.h"
#include "ui/section/TparUCM.h"
#include "window_fixture.h"

namespace orma::ui::test {
namespace {

using orma::test::writeBytes;

TEST_F(WindowTest, AnRstFileThatCannotBeCreatedAndAnUnsavableOrmawinIniSayWhy) {
    // ormawin.ini is a directory: read as defaults at start, not written at End.
    fs::create_directory(windowSettingsPath(dir_));
    const std::string ini = windowSettingsPath(dir_).string();
    dialogs_.expectMessage(ini + " is a directory, not a file." + kSettingsUnreadableTail);
    Ttelmorwin& window = createWindow();
    openGef(window);

    writeBytes((dir_ / "plain").string(), "a file, not a folder");
    const std::string rst = (dir_ / "plain" / "out.RST").string();
    dialogs_.expectSave(rst);
    dialogs_.expectMessage("Unpossible create file RST !\nNo new file can be made in the folder of " + rst +
                           " (Not a directory).");
    window.appendRstToOpenFile();
    dialogs_.verifyDone();
    EXPECT_FALSE(window.rstOutputOpen());

    dialogs_.expectMessage("Nemožno ukládat do ini souboru!\n" + ini + " is a directory, not a file.");
    window.FormClose();
    dialogs_.verifyDone();
    EXPECT_TRUE(fs::is_directory(ini));
}

TEST_F(SectionTest, AnUnsavableOrmaIniSaysWhy) {
    const fs::path ini = sectionSettingsPath(dir_);
    fs::create_directory(ini);
    dialogs_.expectMessage("ini file saving error!\n" + ini.string() + " is a directory, not a file.");
    section_->writeSettingsFile();
    dialogs_.verifyDone();
    EXPECT_TRUE(fs::is_directory(ini));
}

TEST_F(SectionTest, UcmOptionsDialogRefusesWhatTheExportRefuses) {
    showDatabase(spreadProfile(3));
    TparUCM dialog;
    section_->setUcmDialog(&dialog);
    section_->runUcmDialog = [this](TparUCM& d) {
        d.prevyseni->setText("1e-30");
        dialogs_.expectMessage("The distortion of scale Z/X must be 0.01 or more.");
        d.acceptIfValid();
        EXPECT_FALSE(d.edited());
        d.prevyseni->setText("4");
        d.sirkasipky->setText("-1");
        dialogs_.expectMessage("The width of VES point arrow must be 0 m or more.");
        d.acceptIfValid();
        EXPECT_FALSE(d.edited());
        d.sirkasipky->setText("0.5");
        d.krokticx->setText("0");  // no chainage axis: taken
        d.acceptIfValid();
    };
    section_->editUcmOptions();
    dialogs_.verifyDone();
    EXPECT_EQ(section_->ucmParameters().exaggeration, 4.0f);
    EXPECT_EQ(section_->ucmParameters().arrowWidth, 0.5f);
    EXPECT_EQ(section_->ucmParameters().xTickStep, 0);
}

}  // namespace
}  // namespace orma::ui::test
