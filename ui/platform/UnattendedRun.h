#pragma once
// A run of the whole program without anybody at the screen, for the tests of
// an installed package: started with the environment variable
// ORMA_UNATTENDED_TEST_MS=N (and QT_QPA_PLATFORM=offscreen on a machine
// without a display). Every N ms the modal window on top is answered (a
// message box by its default button, any other dialog accepted) after its
// title and text are printed on standard output; once two looks in a row find
// none, the captions of the windows on screen are printed and `end` runs (End
// of the interpretation window). A run that has not ended after a minute is
// cut off with exit status 3.

#include <functional>

namespace orma::ui {

/// The interval of ORMA_UNATTENDED_TEST_MS, or 0 when it is not set to a
/// number from 1 to 10000.
int unattendedTestInterval();

/// Starts the answering timer; needs the application object.
void startUnattendedRun(int intervalMs, std::function<void()> end);

}  // namespace orma::ui
