// D (the next file of the folder) among files that are no soundings: the walk
// passes over them and names them, and a folder with nothing more to read
// leaves the window exactly as it was.

#include <QPushButton>

#include "window_fixture.h"

namespace orma::ui::test {
namespace {

constexpr const char* kWalkedSheet =
    "AB/2;MN/2;rhoa\r\n1;0,5;40\r\n1,3;0,5;44\r\n2,18;0,5;52\r\n3,66;0,5;70\r\n3,66;2;84\r\n6,15;2;101\r\n"
    "10,3;2;120\r\n10,3;10;150\r\n17,4;10;180\r\n29,1;10;210\r\n49;10;230\r\n";
constexpr const char* kWalkedTerrainList = "0 231.5\r\n50 233.0\r\n100 236.2\r\n";
constexpr const char* kPassedOverText = "Passed over: these files of the folder do not read as a sounding.";

/// What a user sees of the window: caption, curve, model and the editing.
struct SeenWindow {
    std::string caption, gefPath;
    int readings = 0, interfaces = 0;
    float firstResistivity = 0.0f;
    bool drawn = false, modelShown = false;
    bool operator==(const SeenWindow&) const = default;
};

SeenWindow seenWindow(Ttelmorwin& window) {
    const Sounding& s = window.sounding();
    return {window.windowTitle().toStdString(), s.gefPath, s.points.pointCount, s.model.interfaceCount,
            s.model.resistivity[0], window.plot().plotDrawn, window.plot().modelShown};
}

TEST_F(WindowTest, DPassesOverFilesThatAreNoSoundingsAndNamesThem) {
    Ttelmorwin& window = openWindow();
    const std::string first = writeFile("VES 10.csv", kWalkedSheet);
    writeFile("VES 20 terrain.txt", kWalkedTerrainList);
    writeFile("VES 25 note.txt", "measured in rain\r\n");
    const std::string next = writeFile("VES 30.csv", kWalkedSheet);
    dialogs_.expectOpen(first);
    window.openSheet();
    window.loadKTypeModel();
    dialogs_.verifyDone();
    // A model in no database: asked about once the next sheet has been read;
    // Cancel keeps it.
    const SeenWindow before = seenWindow(window);
    dialogs_.expectSaveQuestion(orma::test::unsavedWorkQuestion(first, orma::test::kBeforeAnotherCurve),
                                SaveAnswer::Cancel, "Transfer");
    window.loadNextGef();
    dialogs_.verifyDone();
    EXPECT_TRUE(seenWindow(window) == before);

    expectWorkDiscarded(first);
    dialogs_.expectMessageWithList(kPassedOverText);
    window.loadNextGef();
    dialogs_.verifyDone();
    const std::vector<std::string> named = dialogs_.lists().back();
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(named[0].rfind("VES 20 terrain.txt: The sheet cannot be read", 0), 0u) << named[0];
    EXPECT_EQ(named[1].rfind("VES 25 note.txt: The sheet cannot be read", 0), 0u) << named[1];
    EXPECT_EQ(window.sounding().gefPath, next);
    EXPECT_EQ(window.windowTitle().toStdString(), "ORMA-programme is reading file: " + next);
    EXPECT_EQ(window.sounding().points.pointCount, 11);
    EXPECT_EQ(window.proposedChainage(), 30.0f);
}

TEST_F(WindowTest, DWithNothingMoreToReadLeavesCurveModelCaptionAndEditingAsTheyWere) {
    Ttelmorwin& window = openWindow();
    const std::string gef = openGef(window);  // VES12.GEF
    writeFile("VES13.GEF", "#GEF damaged\r\nnothing of a sounding\r\n");
    window.loadKTypeModel();
    const SeenWindow before = seenWindow(window);
    const bool fitButtonHidden = window.spustit->isHidden();
    ASSERT_EQ(before.interfaces, 2);

    // Nothing took the model's place, so nothing was asked.
    dialogs_.expectMessageWithList("import error");
    window.loadNextGef();
    dialogs_.verifyDone();
    ASSERT_EQ(dialogs_.lists().back().size(), 1u);
    EXPECT_EQ(dialogs_.lists().back()[0].rfind("VES13.GEF", 0), 0u);
    EXPECT_TRUE(seenWindow(window) == before);
    EXPECT_EQ(window.spustit->isHidden(), fitButtonHidden);
    EXPECT_TRUE(window.hasUnsavedInterpretation()) << "the model is still the work to keep";
}

TEST_F(WindowTest, DAtTheLastFileSaysNothingAndChangesNothing) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    const SeenWindow before = seenWindow(window);
    window.loadNextGef();
    dialogs_.verifyDone();
    EXPECT_TRUE(seenWindow(window) == before);
}

}  // namespace
}  // namespace orma::ui::test
