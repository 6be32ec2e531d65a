// Where the two windows stand: frames (title bars included) inside the
// screen's available area, side by side without overlap, on the screens
// users have, with the frame sizes window managers give.

#include <gtest/gtest.h>

#include <QMainWindow>

#include "support/QtTestEnvironment.h"
#include "ui/platform/WindowPlacement.h"

namespace orma::ui {
namespace {

struct ScreenCase {
    QRect available;
    QMargins frame;  // left border, title bar, right border, bottom border
};

// Full HD and the common laptop screen; a bare window manager (openbox:
// 1, 20, 1, 5), a thick-bordered one, and a panel at the top or the left.
const ScreenCase kCases[] = {
    {QRect(0, 0, 1920, 1080), QMargins(1, 20, 1, 5)}, {QRect(0, 0, 1366, 768), QMargins(1, 20, 1, 5)},
    {QRect(0, 0, 1920, 1080), QMargins(4, 30, 4, 4)}, {QRect(0, 0, 1366, 768), QMargins(4, 30, 4, 4)},
    {QRect(0, 28, 1366, 740), QMargins(1, 20, 1, 5)}, {QRect(48, 0, 1872, 1080), QMargins(4, 30, 4, 4)},
};

TEST(WindowPlacement, BothFramesAndTitleBarsStayInsideTheAvailableAreaSideBySide) {
    for (const ScreenCase& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.available.width() << "x" << c.available.height() << "+"
                                          << c.available.left() << "+" << c.available.top());
        const DockedFrames frames = dockedFrames(c.available);
        for (const QRect& frame : {frames.section, frames.interpretation}) {
            EXPECT_TRUE(c.available.contains(frame))
                << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
            EXPECT_EQ(frame.height(), c.available.height());
            // The client sits below the title bar, which is on the screen.
            const QRect client = clientInside(frame, c.frame);
            EXPECT_EQ(client.top() - c.frame.top(), c.available.top());
            EXPECT_TRUE(frame.contains(client));
            EXPECT_EQ(client.bottom() + c.frame.bottom(), c.available.bottom());
        }
        EXPECT_EQ(frames.section.left(), c.available.left());
        EXPECT_EQ(frames.interpretation.right(), c.available.right());
        // They meet: no gap, no overlap.
        EXPECT_EQ(frames.section.right() + 1, frames.interpretation.left());
        EXPECT_FALSE(frames.section.intersects(frames.interpretation));
        EXPECT_EQ(frames.interpretation.width(), c.available.width() * 7 / 10);
    }
}

TEST(WindowPlacement, FiguresOnTheTwoCommonScreens) {
    const QMargins openbox(1, 20, 1, 5);
    DockedFrames full = dockedFrames(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(full.interpretation, QRect(576, 0, 1344, 1080));
    EXPECT_EQ(full.section, QRect(0, 0, 576, 1080));
    EXPECT_EQ(clientInside(full.interpretation, openbox), QRect(577, 20, 1342, 1055));
    DockedFrames laptop = dockedFrames(QRect(0, 0, 1366, 768));
    EXPECT_EQ(laptop.interpretation, QRect(410, 0, 956, 768));
    EXPECT_EQ(laptop.section, QRect(0, 0, 410, 768));
    EXPECT_EQ(clientInside(laptop.section, openbox), QRect(1, 20, 408, 743));
}

TEST(WindowPlacement, TheSectionFillsWhatTheInterpretationWindowLeavesButNeverVanishes) {
    const QRect screen(0, 0, 1366, 768);
    EXPECT_EQ(sectionFrameOn(screen, 700), QRect(0, 0, 700, 768));
    // An interpretation window dragged to the left edge leaves no room.
    EXPECT_EQ(sectionFrameOn(screen, 0).width(), 200);
}

TEST(WindowPlacement, AWindowWithoutAFrameIsPlacedByItsClientArea) {
    // Offscreen (as without a window manager) the frame is the client.
    QMainWindow window;
    keepFrameAt(window, [] { return QRect(40, 30, 500, 400); });
    EXPECT_EQ(frameMarginsOf(window), QMargins());
    EXPECT_EQ(window.frameGeometry(), QRect(40, 30, 500, 400));
    window.show();
    EXPECT_EQ(window.frameGeometry(), QRect(40, 30, 500, 400));
    // The user's own move is not undone.
    window.move(100, 60);
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(100, 60));
}

}  // namespace
}  // namespace orma::ui
