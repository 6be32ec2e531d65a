#include "ui/platform/Printing.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <filesystem>
#include <system_error>

#include "ui/platform/QtText.h"

namespace orma::ui {

namespace {

/// A name in the target's directory that no other file has.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    for (int attempt = 0;; ++attempt) {
        std::filesystem::path candidate = target;
        candidate += ".part" + std::to_string(attempt);
        std::error_code ec;
        if (!std::filesystem::exists(candidate, ec)) return candidate;
    }
}

PrintOutcome paint(QPrinter& printer, const QImage& image) {
    QPainter painter;
    if (!painter.begin(&printer)) return {false, {}};
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = std::min(static_cast<double>(page.width()) / image.width(),
                                  static_cast<double>(page.height()) / image.height());
    const int width = static_cast<int>(image.width() * scale);
    const int height = static_cast<int>(image.height() * scale);
    // The painter's origin is the top-left corner of the printable area.
    painter.drawImage(QRect((page.width() - width) / 2, 0, width, height), image);
    return {painter.end(), {}};
}

}  // namespace

void applyPrinterChoice(QPrinter& printer, const PrinterChoice& choice) {
    if (!choice.outputFile.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(toQString(choice.outputFile));
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        if (!choice.printerName.empty()) printer.setPrinterName(toQString(choice.printerName));
    }
    printer.setPageOrientation(choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

PrinterChoice printerChoiceOf(const QPrinter& printer) {
    PrinterChoice choice;
    if (printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty()) {
        choice.outputFile = printer.outputFileName().toStdString();
    } else {
        choice.printerName = printer.printerName().toStdString();
    }
    choice.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    return choice;
}

bool systemHasPrinter() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

PrintOutcome printImage(const QImage& image, const PrinterChoice& choice, const std::string& documentName) {
    if (image.isNull()) return {false, "There is nothing to print."};
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQString(documentName));
    applyPrinterChoice(printer, choice);
    if (choice.outputFile.empty()) {
        const PrintOutcome outcome = paint(printer, image);
        if (outcome.ok) return outcome;
        const QString name = printer.printerName();
        return {false, "Cannot print on the printer " + (name.isEmpty() ? std::string("(none)") : name.toStdString()) +
                           "."};
    }

    const std::filesystem::path target(choice.outputFile);
    const std::filesystem::path part = temporaryBeside(target);
    printer.setOutputFileName(toQString(part.string()));
    const std::string failure = "Cannot write the print file " + choice.outputFile + ".";
    PrintOutcome outcome = paint(printer, image);
    std::error_code ec;
    if (!outcome.ok || !QFileInfo(toQString(part.string())).isFile() || QFileInfo(toQString(part.string())).size() == 0) {
        std::filesystem::remove(part, ec);
        return {false, failure};
    }
    std::filesystem::rename(part, target, ec);
    if (ec) {
        std::filesystem::remove(part, ec);
        return {false, failure};
    }
    return {true, {}};
}

std::string printedStatus(const PrinterChoice& target) {
    if (!target.outputFile.empty()) return "Printed into " + target.outputFile;
    if (!target.printerName.empty()) return "Printed on " + target.printerName;
    return "Printed on the system's default printer";
}

std::optional<PrinterChoice> choosePrintTarget(const PrinterChoice& chosenInSetup, UserDialogs& dialogs) {
    PrinterChoice target = chosenInSetup;
    if (!target.outputFile.empty() || !target.printerName.empty() || systemHasPrinter()) return target;
    // No printer on this system: the page goes into a PDF file.
    FileDialogOptions options;
    options.filter = "PDF|*.pdf";
    options.defaultExtension = "pdf";
    options.title = "Print into a PDF file (no printer on this system)";
    const std::optional<std::string> chosen = dialogs.saveFile(options);
    if (!chosen) return std::nullopt;
    std::error_code ec;
    if (std::filesystem::exists(*chosen, ec) &&
        !dialogs.askYesNo("The file " + *chosen + " exists. Replace it with the printout?")) {
        return std::nullopt;
    }
    target.outputFile = *chosen;
    return target;
}

}  // namespace orma::ui
