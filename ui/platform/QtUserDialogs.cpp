#include "ui/platform/QtUserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/platform/Canvas.h"
#include "ui/platform/InputBox.h"
#include "ui/platform/Printing.h"
#include "ui/platform/QtText.h"

namespace orma::ui {

namespace {

std::string s(const QString& text) { return text.toStdString(); }

QString title() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("ORMA") : name;
}

QString patternsOf(const QString& filterText) {
    QStringList patterns;
    for (const QString& raw : filterText.split(';', Qt::SkipEmptyParts)) {
        const QString pattern = raw.trimmed();
        for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
            if (!variant.isEmpty() && !patterns.contains(variant)) patterns << variant;
        }
    }
    return patterns.join(' ');
}

QString titleOf(const FileDialogOptions& options) {
    return options.title.empty() ? title() : toQString(options.title);
}

std::optional<std::string> chosen(const QString& name) {
    if (name.isEmpty()) return std::nullopt;
    return s(name);
}

}  // namespace

std::string toQtFileFilter(const std::string& filter) {
    const QStringList parts = toQString(filter).split('|');
    if (parts.size() < 2) return s(patternsOf(toQString(filter)));
    QStringList filters;
    QStringList seen;  // entries that differ only in the case of a pattern are one entry
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString entry = QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patternsOf(parts[i + 1]));
        const QString key = parts[i].trimmed() + '|' + parts[i + 1].trimmed().toLower();
        if (seen.contains(key)) continue;
        seen << key;
        filters << entry;
    }
    return s(filters.join(QStringLiteral(";;")));
}

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    QString ext = toQString(extension);
    while (ext.startsWith('.')) ext.remove(0, 1);
    if (ext.isEmpty() || path.empty()) return path;
    const QFileInfo info(toQString(path));
    if (!info.suffix().isEmpty()) return path;
    // "name." has an empty suffix too: do not double the dot.
    return path.back() == '.' ? path + s(ext) : path + "." + s(ext);
}

void QtUserDialogs::message(const std::string& text) { QMessageBox::information(parent_, title(), toQString(text)); }

std::optional<std::string> QtUserDialogs::inputQuery(const std::string& caption, const std::string& prompt,
                                                     const std::string& proposed) {
    return runInputBox(parent_, caption, prompt, proposed);
}

std::optional<std::string> QtUserDialogs::openFile(const FileDialogOptions& options) {
    const auto name =
        chosen(QFileDialog::getOpenFileName(parent_, titleOf(options), toQString(options.proposedName),
                                            toQString(toQtFileFilter(options.filter))));
    if (!name || QFileInfo::exists(toQString(*name))) return name;
    return withDefaultExtension(*name, options.defaultExtension);
}

std::optional<std::string> QtUserDialogs::saveFile(const FileDialogOptions& options) {
    const auto name = chosen(QFileDialog::getSaveFileName(
        parent_, titleOf(options), toQString(options.proposedName), toQString(toQtFileFilter(options.filter)),
        nullptr, QFileDialog::DontConfirmOverwrite));
    if (!name) return name;
    return withDefaultExtension(*name, options.defaultExtension);
}

bool QtUserDialogs::askYesNo(const std::string& text) {
    return QMessageBox::question(parent_, title(), toQString(text), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

SaveAnswer QtUserDialogs::askSaveDiscardCancel(const SaveQuestion& question) {
    QMessageBox box(QMessageBox::Question, title(), toQString(question.text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setObjectName("saveDiscardCancel");
    // A renamed button does not keep the platform's save or discard icon: it
    // would contradict its words (a floppy disk on "Open").
    const auto rename = [&box](QMessageBox::StandardButton which, const std::string& label) {
        if (label.empty()) return;
        box.button(which)->setText(toQString(label));
        box.button(which)->setIcon(QIcon());
    };
    rename(QMessageBox::Save, question.saveLabel);
    rename(QMessageBox::Discard, question.discardLabel);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == box.button(QMessageBox::Save)) return SaveAnswer::Save;
    if (clicked == box.button(QMessageBox::Discard)) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

void QtUserDialogs::messageWithList(const std::string& text, const std::vector<std::string>& lines) {
    QDialog dialog(parent_);
    dialog.setObjectName("messageWithList");
    dialog.setWindowTitle(title());
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(toQString(text), &dialog);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    auto* list = new QPlainTextEdit(&dialog);
    list->setObjectName("messageList");
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) entries << toQString(line);
    list->setPlainText(entries.join('\n'));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    // As tall as the list needs, up to two thirds of the screen; the rest scrolls.
    const QScreen* screen = parent_ != nullptr && parent_->screen() != nullptr ? parent_->screen()
                                                                               : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int lineHeight = list->fontMetrics().lineSpacing();
    const int wanted = lineHeight * static_cast<int>(std::min<std::size_t>(lines.size() + 1, 10000)) + 200;
    dialog.resize(std::min(available.width() * 2 / 3, 720), std::min(available.height() * 2 / 3, std::max(wanted, 240)));
    dialog.exec();
}

std::optional<std::uint32_t> QtUserDialogs::chooseColour(std::uint32_t initial) {
    const QColor colour = QColorDialog::getColor(toQColor(initial), parent_, title());
    if (!colour.isValid()) return std::nullopt;
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
           static_cast<std::uint32_t>(colour.blue()) << 16;
}

std::optional<FontChoice> QtUserDialogs::chooseFont(const FontChoice& initial) {
    QFont font(toQString(initial.family), initial.pointSize > 0 ? initial.pointSize : 8);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    bool ok = false;
    const QFont chosenFont = QFontDialog::getFont(&ok, font, parent_, title());
    if (!ok) return std::nullopt;
    FontChoice choice = initial;  // the colour is not part of Qt's font dialog
    choice.family = s(chosenFont.family());
    choice.pointSize = chosenFont.pointSize() > 0 ? chosenFont.pointSize() : initial.pointSize;
    choice.bold = chosenFont.bold();
    choice.italic = chosenFont.italic();
    return choice;
}

std::optional<PrinterChoice> QtUserDialogs::printerSetup(const PrinterChoice& current) {
    QPrinter printer(QPrinter::HighResolution);
    applyPrinterChoice(printer, current);
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QStringLiteral("Printer setting"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) button->setText(QStringLiteral("OK"));
        }
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return printerChoiceOf(printer);
}

}  // namespace orma::ui
