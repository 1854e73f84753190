#include "shell/Printout.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>

#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "text/bilingual.h"

namespace lorvant::Printout {
namespace {

QString systemPrinter() { return QPrinterInfo::defaultPrinterName(); }

}  // namespace

std::function<QString()>& defaultPrinter() {
  static std::function<QString()> printer = systemPrinter;
  return printer;
}

void resetDefaultPrinter() { defaultPrinter() = systemPrinter; }

QString toPrinterOrPdf(QPrinter& printer, const QString& pdfName) {
  const QString name = defaultPrinter() ? defaultPrinter()() : QString();
  if (!name.isEmpty()) {
    printer.setPrinterName(name);
    return QString();
  }
  const QString path = Module1::state().resultsFolder + pdfName;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  return path;
}

void tellPdf(QWidget* parent, const QString& pdfPath) {
  showMessage(parent, say(Text::WindowPrintedToPdf) + Module1::state().lineBreak + QDir::toNativeSeparators(pdfPath),
              say(Text::WindowPrintingTitle), Icon::Information);
}

}  // namespace lorvant::Printout
