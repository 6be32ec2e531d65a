// The point parameters dialog: the checks of the position fields with their
// messages, the unique chainage on the profile, "Original values", and what
// is taken over into the database.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "support/QtTestEnvironment.h"
#include "support/ScriptedDialogs.h"
#include "support/VesDatabaseBuilders.h"
#include "ui/section/TVESparametryEdit.h"

namespace orma::ui {
namespace {

class PointDialogTest : public ::testing::Test {
protected:
    PointDialogTest() : db(orma::test::makeDatabase(1, 1, 3)), dialog(dialogs) {
        db.currentPoint = 1;  // chainage on the profile 15, the others 5 and 25
        dialog.prepareFromSection(db);
    }
    void TearDown() override { dialogs.verifyDone(); }
    VesPoint& point() { return db.localities[0].profiles[0].points[1]; }

    orma::test::ScriptedDialogs dialogs;
    VesDatabase db;
    TVESparametryEdit dialog;
};

TEST_F(PointDialogTest, EditsShowTheStoredValues) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Parametry bodu VES");
    EXPECT_EQ(dialog.eZeme->text().toStdString(), "country 0");
    EXPECT_EQ(dialog.eKraj->text().toStdString(), "region 0");
    EXPECT_EQ(dialog.eLokalita->text().toStdString(), "L0");
    EXPECT_EQ(dialog.eNazevPf->text().toStdString(), "P0.0");
    EXPECT_EQ(dialog.eNazevBoduVES->text().toStdString(), "VES 101");
    EXPECT_EQ(dialog.eDatumZm->text().toStdString(), "2024-06-11");
    EXPECT_EQ(dialog.eOperator->text().toStdString(), "operator 1");
    EXPECT_EQ(dialog.ePoznamka->text().toStdString(), "comment of point 1");
    EXPECT_EQ(dialog.eMetraz->text().toStdString(), "15.5");
    EXPECT_EQ(dialog.eX->text().toStdString(), "1001");
    EXPECT_EQ(dialog.eY->text().toStdString(), "-2001");
    EXPECT_EQ(dialog.eZ->text().toStdString(), "301");
    EXPECT_EQ(dialog.eMetrazPf->text().toStdString(), "15");
    EXPECT_EQ(dialog.OKbutton->text().toStdString(), "OK");
    EXPECT_EQ(dialog.ESCape->text().toStdString(), "Original values");
}

TEST_F(PointDialogTest, PositionsFromMinusToPlusTenMillionPassOthersAreRefused) {
    struct Field {
        QLineEdit* edit;
        bool (TVESparametryEdit::*exit)();
        const char* message;
        const char* reset;
    };
    const Field fields[] = {
        {dialog.eMetraz, &TVESparametryEdit::eMetrazExit,
         "Metráž podél povrchu terénu aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do "
         "10000000.",
         "15.5"},
        {dialog.eX, &TVESparametryEdit::eXExit,
         "Souřadnici X aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.", "1001"},
        {dialog.eY, &TVESparametryEdit::eYExit,
         "Souřadnici Y aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.", "-2001"},
        {dialog.eZ, &TVESparametryEdit::eZExit,
         "Souřadnici Z aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.", "301"},
        {dialog.eMetrazPf, &TVESparametryEdit::eMetrazPfExit,
         "Metráž aktuálního bodu VES na akt. pf zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.", "15"},
    };
    for (const Field& f : fields) {
        for (const char* good : {"10000000", "-10000000", "-10000000.0", " 12.5 ", "+7"}) {
            f.edit->setText(good);
            EXPECT_TRUE((dialog.*f.exit)()) << good;
            EXPECT_EQ(f.edit->text().toStdString(), good);
        }
        for (const char* bad : {"10000000.1", "-10000001", "abc", "", "1e9", "12 m", "12,5"}) {
            f.edit->setText(bad);
            dialogs.expectMessage(f.message);
            EXPECT_FALSE((dialog.*f.exit)()) << bad;
            EXPECT_EQ(f.edit->text().toStdString(), f.reset) << "back to the stored value after " << bad;
        }
    }
}

TEST_F(PointDialogTest, AChainageTakenByAnotherPointKeepsTheDialogOpen) {
    dialog.eMetrazPf->setText("25");
    dialogs.expectMessage("Existuje bod se stejnou metráží pro zobrazení na aktuálním profilu a to nejde. ");
    dialog.acceptIfValid();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(point().profileChainage, 25.0f) << "the entry is stored as soon as it passed its check";

    dialog.eMetrazPf->setText("25.1");
    dialog.acceptIfValid();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(point().profileChainage, 25.1f);
}

TEST_F(PointDialogTest, OkChecksEveryPositionCancelAndTheCloseBoxStoreNothing) {
    dialog.eY->setText("north");
    dialogs.expectMessage(
        "Souřadnici Y aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.");
    dialog.acceptIfValid();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.eY->text().toStdString(), "-2001");

    // A taken chainage keeps OK refusing; Cancel leaves, and the chainage
    // already written into the point on leaving its field goes back.
    dialog.eMetrazPf->setText("25");
    dialogs.expectMessage("Existuje bod se stejnou metráží pro zobrazení na aktuálním profilu a to nejde. ");
    dialog.acceptIfValid();
    ASSERT_EQ(point().profileChainage, 25.0f);
    EXPECT_EQ(dialog.Cancelbutton->text().toStdString(), "Cancel");
    dialog.Cancelbutton->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(point().profileChainage, 15.0f);

    for (const bool closeBox : {true, false}) {
        dialog.prepareFromSection(db);
        dialog.show();
        dialog.eMetrazPf->setText("5");
        ASSERT_TRUE(dialog.eMetrazPfExit());
        if (closeBox) {
            dialog.close();
        } else {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &escape);
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(point().profileChainage, 15.0f) << (closeBox ? "close box" : "Escape");
    }
}

TEST_F(PointDialogTest, OriginalValuesBringBackTheTextsButNotAnAcceptedChainage) {
    dialog.eNazevBoduVES->setText("changed");
    dialog.eX->setText("5");
    dialog.eMetrazPf->setText("17");
    ASSERT_TRUE(dialog.eMetrazPfExit());
    dialog.restoreOriginalValues();
    EXPECT_EQ(dialog.eNazevBoduVES->text().toStdString(), "VES 101");
    EXPECT_EQ(dialog.eX->text().toStdString(), "1001");
    EXPECT_EQ(dialog.eMetrazPf->text().toStdString(), "17");
}

TEST_F(PointDialogTest, TheEditsAreTakenOverCutToTheirFields) {
    dialog.eNazevBoduVES->setText(QString(250, QChar(0x17E)));  // ž
    dialog.ePoznamka->setText(QString::fromUtf8("pod lesem, 2 m od cesty"));
    dialog.eLokalita->setText(QString::fromUtf8("Horní Dolní"));
    dialog.eZ->setText("312.25");
    dialog.acceptIfValid();
    dialog.applyToDatabase();
    std::string cut;
    for (int i = 0; i < 199; ++i) cut += "ž";
    EXPECT_EQ(point().name, cut);
    EXPECT_EQ(point().comment, "pod lesem, 2 m od cesty");
    EXPECT_EQ(db.localities[0].name, "Horní Dolní");
    EXPECT_EQ(point().z, 312.25f);
    EXPECT_EQ(db.localities[0].profiles[0].points[0].name, "VES 100") << "only the current point";
}

TEST_F(PointDialogTest, WithoutACurrentPointOnlyTheNamesAreTaken) {
    db.currentPoint = -1;
    dialog.prepareFromSection(db);
    EXPECT_FALSE(dialog.eMetrazPf->isEnabled());
    EXPECT_TRUE(dialog.eMetrazPf->text().isEmpty());
    dialog.eNazevPf->setText("PF 7");
    dialog.acceptIfValid();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.applyToDatabase();
    EXPECT_EQ(db.localities[0].profiles[0].name, "PF 7");
    EXPECT_EQ(point().name, "VES 101");
}

}  // namespace
}  // namespace orma::ui
