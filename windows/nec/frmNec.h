// The NEC-2 check window: the last run's wire with one of its feed points
// (or a typed one) at a height over a ground, run through nec2c in the
// background; the table of every counted band, the SWR picture and the
// balun to use. Writes Lorvant.nec and NecCheck.txt into the results
// folder, as the batch tool does.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "io/engine_runner.h"
#include "picture/swr_picture.h"
#include "session/nec_check.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace lorvant {
struct MainFormValues;
namespace design {
struct NecInputs;
}

class frmNec : public QWidget {
  Q_OBJECT
 public:
  static frmNec* instance();  // loads it on first use
  static frmNec* loaded();    // nullptr while not loaded
  // mnuBerNec: the window with the last run's design.
  static void mnuBerNec();
  // Every caption in the current language (the main window calls it after
  // a language switch).
  void applyCaptions();

  // The engine of the next checks; empty: nec2c on PATH. Tests put a fake
  // engine here.
  using EngineFactory = std::function<std::unique_ptr<nec::Engine>()>;
  static void setEngineFactory(EngineFactory factory);

  // Takes the last run's length and feed points from the main form.
  void takeDesign(const MainFormValues& values);

  void onCheck();        // starts the check
  void onCancel();       // stops a running check
  void onSavePicture();  // saves the picture as PNG or SVG
  bool running() const { return job_ != nullptr; }

  // A design's part of this window: feed point, height, ground, balun and
  // sweep points.
  void giveInputs(design::NecInputs& d) const;
  void takeInputs(const design::NecInputs& d);

  // The picture of the last completed check (empty before).
  const nec::SwrPicture& picture() const { return picture_; }

  QLabel* lengthLabel = nullptr;  // the wire's length
  QLabel* feedPointLabel = nullptr;
  QComboBox* feedPointList = nullptr;  // proposed feed points; a distance may be typed
  QLabel* heightLabel = nullptr;
  QLineEdit* heightField = nullptr;
  QLabel* groundLabel = nullptr;
  QComboBox* groundList = nullptr;
  QLabel* balunLabel = nullptr;
  QComboBox* balunList = nullptr;
  QLabel* pointsLabel = nullptr;
  QLineEdit* pointsField = nullptr;
  QLabel* timeoutLabel = nullptr;
  QLineEdit* timeoutEdit = nullptr;  // seconds the engine may take for a frequency
  QPushButton* checkButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QProgressBar* progressBar = nullptr;
  QTableWidget* resultTable = nullptr;
  QLabel* hintLabel = nullptr;    // the balun to use, or what went wrong
  QLabel* pictureView = nullptr;  // the SWR picture
  QPushButton* pictureButton = nullptr;

 signals:
  // A check ended (completed, failed or cancelled).
  void checkFinished();

 protected:
  explicit frmNec(QWidget* parent = nullptr);
  ~frmNec() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Job;
  void setRunning(bool on);
  void poll();
  void finish();
  // The typed or chosen feed point; nullopt after a refusal (said).
  std::optional<double> feedPoint();
  // The results folder's lock for the job, asked about as the run asks;
  // false on Abort. Ignore lets the check run without writing its files.
  bool lockResultsFolder(Job& job);
  void showResult(const nec::Design& design, const nec::Plan& plan, const nec::Result& result);
  // A failure as note and message; `text` renders it in a language.
  void failed(std::function<std::string(Language)> text);
  // The note under the table, rendered again after a language switch.
  void setNote(std::function<QString()> text);
  void showLength();
  void drawPicture();
  // Takes away the table, note and picture of a check that no longer
  // belongs to the design or is being replaced.
  void clearResults();

  nec::Design design_;
  // The shown check's result and the extra band's frequency, kept so the
  // picture can be drawn again in another language.
  std::optional<nec::Result> shown_;
  float shownExtraFrequency_ = 0;
  nec::SwrPicture picture_;
  QImage image_;
  std::function<QString()> note_;
  std::shared_ptr<Job> job_;
  QTimer* timer_ = nullptr;
};

// The picture painted into an image (the window and the PNG file).
QImage PaintSwrPicture(const nec::SwrPicture& picture);

}  // namespace lorvant
