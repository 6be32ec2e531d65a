// The toolkit layer under the plot: the image widget's events and painting,
// and the file-dialog filter and extension rules.

#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

#include "support/QtTestEnvironment.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/QtUserDialogs.h"

namespace orma::ui {
namespace {

void send(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
          Qt::KeyboardModifiers modifiers, QPoint at) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(&widget, &event);
}

TEST(ImageView, ReportsButtonsModifiersAndPositionInImagePixels) {
    Canvas canvas(200, 100);
    ImageView view(canvas);
    view.resize(200, 100);
    std::vector<std::string> log;
    MouseInput last;
    view.onMouseDown = [&](const MouseInput& in) { log.push_back("down"); last = in; };
    view.onMouseMove = [&](const MouseInput& in) { log.push_back("move"); last = in; };
    view.onMouseUp = [&](const MouseInput& in) { log.push_back("up"); last = in; };
    view.onDoubleClick = [&](const MouseInput&) { log.push_back("double"); };

    send(view, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier,
         {12, 34});
    EXPECT_EQ(last.button, MouseButton::Right);
    EXPECT_TRUE(last.shift && last.ctrl && last.rightHeld);
    EXPECT_EQ(last.x, 12);
    EXPECT_EQ(last.y, 34);
    send(view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, {50, 60});
    EXPECT_EQ(last.button, MouseButton::None);
    EXPECT_TRUE(last.leftHeld);
    EXPECT_FALSE(last.shift);
    send(view, QEvent::MouseButtonDblClick, Qt::MiddleButton, Qt::MiddleButton, Qt::NoModifier, {5, 5});
    send(view, QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, Qt::NoModifier, {5, 5});
    EXPECT_EQ(last.button, MouseButton::Middle);
    // The second press of a double click is also a press.
    EXPECT_EQ(log, (std::vector<std::string>{"down", "move", "double", "down", "up"}));
}

TEST(ImageView, ShowsTheCanvasAndReportsResizes) {
    Canvas canvas(120, 80);
    canvas.fill(0x0000FF);
    ImageView view(canvas);
    int resizes = 0;
    view.onResize = [&] { ++resizes; };
    view.resize(120, 80);
    view.show();
    EXPECT_GE(resizes, 1);
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixel(60, 40) & 0xFFFFFF, 0xFF0000u);
}

/// Runs `act` on the modal dialog as soon as it is up, then lets `show` run it.
void whenModalIsUp(const std::function<void(QWidget&)>& act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr) << "no modal dialog is up";
        act(*modal);
    });
}

TEST(QtDialogs, ALongListScrollsInABoxNoTallerThanTheScreen) {
    QtUserDialogs dialogs;
    std::vector<std::string> lines;
    for (int n = 0; n < 1800; ++n) lines.push_back("VES" + std::to_string(n) + ".GEF: the profile already holds 200 VES points");
    int screenHeight = 0, boxHeight = 0, listed = 0;
    whenModalIsUp([&](QWidget& box) {
        screenHeight = box.screen()->availableGeometry().height();
        boxHeight = box.frameGeometry().height();
        if (auto* list = box.findChild<QPlainTextEdit*>("messageList")) listed = list->blockCount();
        static_cast<QDialog&>(box).accept();
    });
    dialogs.messageWithList("Quick import: 200 of 2000 GEF files imported.\n1800 files were skipped:", lines);
    EXPECT_EQ(listed, 1800);
    EXPECT_GT(boxHeight, 0);
    EXPECT_LE(boxHeight, screenHeight);
}

TEST(QtDialogs, SaveDiscardCancelAnswersAndRenamesItsFirstTwoButtons) {
    QtUserDialogs dialogs;
    for (const auto& [button, expected] : {std::pair{QMessageBox::Save, SaveAnswer::Save},
                                           std::pair{QMessageBox::Discard, SaveAnswer::Discard},
                                           std::pair{QMessageBox::Cancel, SaveAnswer::Cancel}}) {
        whenModalIsUp([button = button](QWidget& box) { static_cast<QMessageBox&>(box).button(button)->click(); });
        EXPECT_EQ(dialogs.askSaveDiscardCancel({"Unsaved changes.", {}, {}}), expected);
    }
    QString labels;
    whenModalIsUp([&](QWidget& box) {
        auto& question = static_cast<QMessageBox&>(box);
        labels = question.button(QMessageBox::Save)->text() + "|" + question.button(QMessageBox::Discard)->text();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
    });
    EXPECT_EQ(dialogs.askSaveDiscardCancel({"A recovery copy.", "Open", "Throw away"}), SaveAnswer::Cancel)
        << "Escape is Cancel";
    EXPECT_EQ(labels.toStdString(), "Open|Throw away");
}

TEST(QtDialogs, AnInputBoxIsAsWideAsItsCaptionAndWritesALongOneInsideIt) {
    QtUserDialogs dialogs;
    // The omitted-points caption carries the AB/2 list the user answers from.
    const std::string longCaption =
        "Number of omitted AB/2(measured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ";
    for (const std::string& caption : {longCaption, std::string("Enter profile number:")}) {
        int boxWidth = 0, screenWidth = 0, captionWidth = 0;
        QString title, inside, prompt;
        whenModalIsUp([&](QWidget& box) {
            boxWidth = box.width();
            screenWidth = box.screen()->availableGeometry().width();
            QFont bold = QApplication::font();
            bold.setBold(true);
            captionWidth = QFontMetrics(bold).horizontalAdvance(box.windowTitle());
            title = box.windowTitle();
            if (auto* label = box.findChild<QLabel*>("inputCaption")) inside = label->text();
            prompt = box.findChild<QLabel*>("inputPrompt")->text();
            auto* edit = box.findChild<QLineEdit*>("inputText");
            EXPECT_EQ(edit->text().toStdString(), "3");
            edit->setText("2");
            static_cast<QDialog&>(box).accept();
        });
        EXPECT_EQ(dialogs.inputQuery(caption, "number of omitted points: ", "3"),
                  std::optional<std::string>("2"));
        EXPECT_EQ(title.toStdString(), caption);
        EXPECT_EQ(prompt.toStdString(), "number of omitted points: ");
        EXPECT_GE(boxWidth, std::min(captionWidth + 100, screenWidth * 9 / 10)) << caption;
        EXPECT_LE(boxWidth, screenWidth);
        // A short caption reads well in the title bar alone; a long one is also in the box.
        EXPECT_EQ(inside.toStdString(), caption == longCaption ? caption : "");
    }
    whenModalIsUp([](QWidget& box) { static_cast<QDialog&>(box).reject(); });
    EXPECT_EQ(dialogs.inputQuery("Enter profile number:", " profile number:", "1"), std::nullopt);
}

TEST(FileDialogFilter, PatternsMatchInAnyCaseAndRepeatedEntriesMerge) {
    EXPECT_EQ(toQtFileFilter("soubor ap.KELDOR|*.RST"), "soubor ap.KELDOR (*.RST *.rst)");
    EXPECT_EQ(toQtFileFilter("souboryJPG|*.jpg|souboryJPG|*.JPG"), "souboryJPG (*.jpg *.JPG)");
    EXPECT_EQ(toQtFileFilter("GEF|*.GEF|all|*.*"), "GEF (*.GEF *.gef);;all (*.*)");
    EXPECT_EQ(toQtFileFilter("data|*.txt;*.dat"), "data (*.txt *.TXT *.dat *.DAT)");
    EXPECT_EQ(toQtFileFilter("*.vdb"), "*.vdb *.VDB");
}

TEST(FileDialogFilter, DefaultExtensionOnlyForNamesWithout) {
    EXPECT_EQ(withDefaultExtension("/data/ves12", "RST"), "/data/ves12.RST");
    EXPECT_EQ(withDefaultExtension("/data/ves12.rst", "RST"), "/data/ves12.rst");
    EXPECT_EQ(withDefaultExtension("/data/ves12.", "jpg"), "/data/ves12.jpg");
    EXPECT_EQ(withDefaultExtension("/data.old/ves12", ".jpg"), "/data.old/ves12.jpg");
    EXPECT_EQ(withDefaultExtension("/data/ves12", ""), "/data/ves12");
    EXPECT_EQ(withDefaultExtension("", "RST"), "");
}

}  // namespace
}  // namespace orma::ui
