// The NEC-2 window's page for what follows a check out in the field: an
// antenna analyser's sweep of the built wire (drawn dashed over the model's
// SWR, its resonances beside the model's in the note, the wire length that
// fits it searched with the next check), the hand-over of a measured
// resonance to the pruning calculator, the model's sweep saved as
// Touchstone, and the build sheet saved as PDF or printed.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "io/engine_runner.h"
#include "session/measured.h"
#include "session/nec_check.h"
#include "text/reports/measured_check.h"
#include "text/reports/neccheck.h"

class QComboBox;
class QLabel;
class QPainter;
class QLineEdit;
class QPushButton;

namespace lorvant {
namespace pdf {
class Page;
}

// The build sheet's page as the PDF writer lays it out, painted with
// `scale` device pixels to the point (the printer, the manual's picture).
void PaintSheetPage(QPainter& painter, const pdf::Page& page, double scale);

class NecMeasuredPage : public QWidget {
  Q_OBJECT
 public:
  explicit NecMeasuredPage(QWidget* parent);
  void applyCaptions();

  // The sweep loaded (nullptr: none); the picture draws it dashed.
  const sweep::Sweep* sweepShown() const { return measured_ ? &measured_->sweep : nullptr; }
  // What a check starting now compares with its model and fits the length
  // to; both empty without a sweep.
  std::shared_ptr<const sweep::MeasuredFile> measured() const { return measured_; }
  const std::string& measuredName() const { return measuredName_; }

  // The comparison and the fit, in the check's thread: `output` is the
  // engine's for the check of `design`; none when it cannot be read (the
  // window says why when it evaluates it).
  static std::optional<report::MeasuredCheck> CompareInBackground(const sweep::MeasuredFile& m, const std::string& name,
                                                                  const nec::Design& design,
                                                                  const nec::Settings& settings, const nec::Plan& plan,
                                                                  const std::string& output, nec::Engine& engine,
                                                                  const nec::EngineProgress& progress);

  // A completed check and its comparison (none without a sweep).
  void takeCheck(const nec::Design& design, const nec::Settings& settings, const nec::Plan& plan,
                 const nec::Result& result, const std::string& dateText, std::optional<report::MeasuredCheck> compared);
  // The check no longer belongs to the design; the sweep stays.
  void clearCheck();
  // The comparison of the check shown: the check's own, or, for a sweep
  // opened after it, its bands without the fit.
  const std::optional<report::MeasuredCheck>& compared() const { return compared_; }
  // The note's lines about the sweep (each after a line break), in the
  // language of the moment; empty without a sweep or check.
  QString noteLines() const;
  // Closed while a check runs.
  void enable(bool idle);
  // The allowance per end in m; none after a refusal (said).
  std::optional<double> allowance();
  // The check's report in the language of the moment (without a check the
  // page offers no sheet).
  std::optional<report::NecCheckReport> shownReport() const;

  void onOpen();
  void onDrop();
  void onSaveTouchstone();
  void onSaveSheet();
  void onPrintSheet();
  void onTakeOverPruning();

  QPushButton* openButton = nullptr;
  QPushButton* dropButton = nullptr;
  QLabel* fileLabel = nullptr;  // the sweep's name and bands
  QLabel* allowanceLabel = nullptr;
  QLineEdit* allowanceField = nullptr;  // cm at each end of each leg
  QPushButton* sheetButton = nullptr;
  QPushButton* printButton = nullptr;
  QPushButton* touchstoneButton = nullptr;
  QComboBox* bandList = nullptr;  // the bands with a measured resonance, by band
  QPushButton* pruneButton = nullptr;

 signals:
  // A sweep was opened or dropped: the picture and the note follow.
  void sweepChanged();

 private:
  void showFile();
  void fillBands();
  // The sweep's bands beside the check's model, without the fit.
  void compareBands();
  // Saves `bytes` under a name the user chooses; says a failure.
  void saveAs(const QString& title, const QString& proposedName, const QString& suffix, const QString& filter,
              const std::string& bytes);

  std::shared_ptr<const sweep::MeasuredFile> measured_;
  std::string measuredName_;
  struct Check {
    nec::Design design;
    nec::Settings settings;
    nec::Plan plan;
    nec::Result result;
    std::string dateText;
  };
  std::optional<Check> check_;
  std::optional<report::MeasuredCheck> compared_;
  bool fitted_ = false;  // compared_ holds the check's fit
  bool idle_ = true;
};

}  // namespace lorvant
