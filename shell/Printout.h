// Where a printout goes: to the system's default printer, or, on a system
// without one, into a PDF file in the results folder, and the user is told
// which file that is.
#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace lorvant::Printout {

// The name of the system's default printer, empty when none is set up.
// Tests replace it; resetDefaultPrinter() brings back the system's.
std::function<QString()>& defaultPrinter();
void resetDefaultPrinter();

// Aims `printer` at the default printer, or, when there is none, at the PDF
// file `pdfName` in the results folder. Returns the PDF's path, empty when a
// printer prints.
QString toPrinterOrPdf(QPrinter& printer, const QString& pdfName);

// Tells the user that there is no printer and which PDF file holds the
// printout.
void tellPdf(QWidget* parent, const QString& pdfPath);

}  // namespace lorvant::Printout
