#pragma once
// Printing a window's picture on one page through QPrinter: to a printer of
// the system, or into a PDF file when that is what the printer setup chose
// (or when the system has no printer at all).

#include <optional>
#include <string>

#include "io/UserDialogs.h"

class QImage;
class QPrinter;

namespace orma::ui {

/// Printer name, PDF output file and orientation of `choice` onto `printer`.
void applyPrinterChoice(QPrinter& printer, const PrinterChoice& choice);
/// What `printer` is set to, in the port's terms.
PrinterChoice printerChoiceOf(const QPrinter& printer);

/// True when the system knows at least one printer.
bool systemHasPrinter();

/// Where a print goes: the printer setup's choice, or, on a system without a
/// printer, a PDF file the user names (asked before replacing one); nullopt
/// when the user cancels.
std::optional<PrinterChoice> choosePrintTarget(const PrinterChoice& chosenInSetup, UserDialogs& dialogs);

struct PrintOutcome {
    bool ok = false;
    std::string error;  ///< a sentence for the user when !ok
};

/// Prints `image` on one page, scaled proportionally to the page's printable
/// area (as large as fits, centred across, at the top). A PDF file is first
/// written beside its target under a temporary name and renamed into place
/// only when complete, so a failed print never leaves half a file nor
/// touches an existing one.
PrintOutcome printImage(const QImage& image, const PrinterChoice& choice, const std::string& documentName);

/// The status line after a print: "Printed into FILE" or "Printed on PRINTER"
/// (the system's default printer when none was chosen).
std::string printedStatus(const PrinterChoice& target);

}  // namespace orma::ui
