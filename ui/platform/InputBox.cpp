#include "ui/platform/InputBox.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/platform/QtText.h"

namespace orma::ui {

namespace {

/// The title bar's icon, buttons and margins: room the caption cannot use.
constexpr int kTitleBarReserve = 160;
constexpr int kNarrowestBox = 320;

QRect availableScreen(const QWidget* parent) {
    const QScreen* screen = parent != nullptr && parent->screen() != nullptr
                                ? parent->screen()
                                : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

/// How wide a title bar draws `caption`: window managers use a bold face of
/// about the desktop's size, so the application font in bold stands in.
int titleWidth(const QString& caption) {
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) + kTitleBarReserve;
}

QLabel* wrappedLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

std::optional<std::string> runInputBox(QWidget* parent, const std::string& caption, const std::string& prompt,
                                       const std::string& proposed) {
    QDialog box(parent);
    box.setObjectName("inputBox");
    const QString captionText = toQString(caption);
    box.setWindowTitle(captionText);
    auto* layout = new QVBoxLayout(&box);
    if (box.fontMetrics().horizontalAdvance(captionText) > kCaptionInBoxWidth) {
        QLabel* inBox = wrappedLabel(captionText, "inputCaption", &box);
        QFont bold = inBox->font();
        bold.setBold(true);
        inBox->setFont(bold);
        layout->addWidget(inBox);
    }
    layout->addWidget(wrappedLabel(toQString(prompt), "inputPrompt", &box));
    auto* edit = new QLineEdit(toQString(proposed), &box);
    edit->setObjectName("inputText");
    edit->selectAll();
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);

    // As wide as the title needs, never beyond nine tenths of the screen;
    // the wrapped labels then take the height they need.
    const QRect screen = availableScreen(parent);
    const int widest = std::max(kNarrowestBox, screen.width() * 9 / 10);
    const int width = std::clamp(titleWidth(captionText), kNarrowestBox, widest);
    box.setMinimumWidth(width);
    box.setMaximumWidth(std::max(width, widest));
    box.resize(width,
               layout->heightForWidth(width) > 0 ? layout->heightForWidth(width) : box.sizeHint().height());
    edit->setFocus();
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text().toStdString();
}

}  // namespace orma::ui
