#include "ui/WindowLink.h"

#include <filesystem>
#include <string>
#include <vector>

#include "ui/interpretation/Ttelmorwin.h"
#include "ui/section/TSection.h"

namespace orma::ui {

void connectWindows(Ttelmorwin& telmorwin, TSection& section) {
    InterpretationLink link;
    link.sounding = &telmorwin.sounding();
    link.reopenStoredPoint = [&telmorwin](const std::vector<std::string>& messages) {
        telmorwin.reopenStoredPoint(messages);
    };
    link.setOpenStoredPoint = [&telmorwin](std::optional<StoredPointRef> point) {
        telmorwin.setOpenStoredPoint(point);
    };
    link.showsStoredPoint = [&telmorwin] { return telmorwin.showsStoredPoint(); };
    link.showSectionOnce = [&telmorwin] { telmorwin.showSectionOnce(); };
    link.closeProgram = [&telmorwin] { telmorwin.close(); };
    link.interpretationFrame = [&telmorwin] { return telmorwin.frameGeometry(); };
    link.profileChosen = [&telmorwin] { telmorwin.profileChosenInSection(); };
    link.settleInterpretation = [&telmorwin](bool ending) {
        return telmorwin.settleUnsavedInterpretation(ending ? Ttelmorwin::LeavingFor::End
                                                            : Ttelmorwin::LeavingFor::StoredPoint);
    };
    link.offerInterpretationRecovery = [&telmorwin] { telmorwin.offerInterpretationRecovery(); };
    link.depthRanges = [&telmorwin] { return telmorwin.depthRangesOfModel(); };
    link.computation = [&telmorwin] { return telmorwin.computation(); };
    section.setInterpretationLink(link);

    section.display().labels = telmorwin.sectionSwitches();
    telmorwin.sectionOptionsChanged = [&telmorwin, &section] {
        section.display().labels = telmorwin.sectionSwitches();
        section.redrawSection();
    };
    telmorwin.appendToProfile = [&section](const Sounding& sounding, float proposedChainage) {
        return section.appendSounding(sounding, proposedChainage);
    };
    telmorwin.importIntoProfile = [&section](const std::vector<std::filesystem::path>& files) {
        section.importFiles(files);
    };
    telmorwin.storedPointModelEdited = [&section] { section.storeReinterpretedPoint(); };
    telmorwin.activeProfileNameSource = [&section] {
        const Profile* profile = section.database().activeProfile();
        return profile != nullptr ? profile->name : std::string();
    };
    telmorwin.mayEnd = [&section] { return section.mayEndProgram(); };
}

}  // namespace orma::ui
