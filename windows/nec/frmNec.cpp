#include "windows/nec/frmNec.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <limits>
#include <sstream>
#include <thread>

#include "engine/nec/deck.h"
#include "engine/nec/swr.h"
#include "engine/numparse.h"
#include "io/staged_files.h"
#include "picture/SwrRaster.h"
#include "session/design.h"
#include "session/design_words.h"
#include "session/feedpoint.h"
#include "session/mainform.h"
#include "session/messages.h"
#include "session/nec_tune_report.h"
#include "session/question.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck.h"
#include "text/reports/neccheck_air.h"
#include "text/reports/nectune.h"
#include "windows/main/MainForm.h"
#include "windows/nec/NecAirPage.h"
#include "windows/nec/NecMeasuredPage.h"

namespace lorvant {
namespace {

QPointer<frmNec> current;
frmNec::EngineFactory engineFactory;

QString q(const std::string& s) { return QString::fromStdString(s); }

constexpr nec::Ground kGrounds[] = {nec::Ground::FreeSpace, nec::Ground::Perfect, nec::Ground::Poor,
                                    nec::Ground::Average, nec::Ground::Good};
constexpr int kAverageGround = 3;
// How often the window looks at a running check.
constexpr int kPollMs = 50;
// The drawing of the hanging wire beside the inputs, pixels.
constexpr int kHangingWidth = 420, kHangingHeight = 120;

constexpr nec::Shape kShapes[] = {nec::Shape::Flat, nec::Shape::Sloper, nec::Shape::InvertedV};
constexpr nec::Material kConductors[] = {nec::Material::Copper, nec::Material::Aluminium, nec::Material::Lossless};
constexpr nec::Region kRegions[] = {nec::Region::One, nec::Region::Two, nec::Region::Three};

QString MessageTitle() { return QStringLiteral(" NEC-2"); }

// The list's entry, kept within the choices.
template <class T, std::size_t N>
T Chosen(const QComboBox* list, const T (&choices)[N]) {
  return choices[std::clamp(list->currentIndex(), 0, static_cast<int>(N) - 1)];
}

template <class T, std::size_t N>
int IndexOf(T value, const T (&choices)[N]) {
  return static_cast<int>(std::find(std::begin(choices), std::end(choices), value) - std::begin(choices));
}

// Fills a list with entries in the language of the moment, keeping the
// chosen one (`initial` the first time) and telling no one about it.
void Recaption(QComboBox* list, const QStringList& entries, int initial = 0) {
  const QSignalBlocker quiet(list);
  const int chosen = list->count() ? list->currentIndex() : initial;
  list->clear();
  list->addItems(entries);
  list->setCurrentIndex(chosen);
}

QColor Colour(const nec::PlotColour& c) { return QColor(c.r, c.g, c.b); }

// The drawing of the hanging wire, painted as its geometry says; without a
// wire the reason stands in its place.
void PaintHanging(QPainter& painter, const nec::HangingPicture& p, const QString& reason) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(QRectF(0, 0, p.width, p.height), Qt::white);
  painter.setPen(QPen(Colour(p.ground.colour), p.ground.width));
  painter.drawLine(QPointF(p.ground.from.x, p.ground.from.y), QPointF(p.ground.to.x, p.ground.to.y));
  for (const nec::HangingView* view : {&p.side, &p.top}) {
    QPolygonF wire;
    for (const nec::PlotPoint& c : view->wire) wire << QPointF(c.x, c.y);
    painter.setPen(QPen(QColor(0, 70, 200), 2));
    painter.drawPolyline(wire);
    if (view->wire.empty()) continue;
    painter.setPen(Qt::NoPen);
    if (view->apex) {
      painter.setBrush(QColor(60, 60, 60));
      painter.drawEllipse(QPointF(view->apex->x, view->apex->y), 3.5, 3.5);
    }
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(QPointF(view->feed.x, view->feed.y), 4.5, 4.5);
    painter.setBrush(Qt::NoBrush);
  }
  for (const nec::PlotText& t : p.texts) {
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(t.size));
    font.setBold(t.bold);
    painter.setFont(font);
    painter.setPen(Colour(t.colour));
    const QString text = QString::fromStdString(t.text);
    const double advance = QFontMetricsF(font).horizontalAdvance(text);
    const double x = t.anchor == nec::TextAnchor::Start ? t.at.x
                     : t.anchor == nec::TextAnchor::End ? t.at.x - advance
                                                        : t.at.x - advance / 2;
    painter.drawText(QPointF(std::clamp(x, 0.0, std::max(0.0, p.width - advance)), t.at.y), text);
  }
  if (!reason.isEmpty()) {
    painter.setPen(QColor(160, 0, 0));
    painter.drawText(QRectF(12, 20, p.width - 24, p.height - 40), Qt::AlignCenter | Qt::TextWordWrap, reason);
  }
}

// Paints the window's drawing of the hanging wire.
class HangingCanvas : public QWidget {
 public:
  HangingCanvas(const frmNec* window, QWidget* parent) : QWidget(parent), window_(window) {
    setFixedSize(kHangingWidth, kHangingHeight);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintHanging(painter, window_->hangingPicture(), window_->hangingReason());
  }

 private:
  const frmNec* window_;
};

}  // namespace

// A check running in its own thread; the window polls it.
struct frmNec::Job {
  std::unique_ptr<nec::Engine> engine;
  nec::Design design;
  nec::Settings settings;
  nec::Plan plan;
  Language language = Language::German;
  char sep = ',';
  std::string dateText;
  std::string deckPath, reportPath;
  files::FolderLock lock;  // held from the start until the files are in place
  bool writeFiles = true;  // false after Ignore to a busy folder

  std::atomic<int> solved{0};
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  nec::EngineResult result;  // read after `done`
  std::thread thread;
  // On the air: asked for, and what came of it (read after `done`).
  nec::AirSettings air;
  std::optional<nec::AirResult> airResult;
  std::optional<nec::OutputError> airError;
  // An analyser's sweep: compared with the model and the wire length fitted
  // to it in this thread, after the check's own run (read after `done`).
  std::shared_ptr<const sweep::MeasuredFile> measured;
  std::string measuredName;
  std::optional<report::MeasuredCheck> compared;

  void run() {
    const nec::EngineProgress progress = [this](int n) {
      solved = n;
      return !cancel.load();
    };
    result = engine->run(plan.deck, progress);
    // The choke's search runs the engine again, here rather than in the window.
    if (air.any() && result.status == nec::EngineResult::Status::Completed) {
      try {
        airResult = nec::CheckAir(plan, air, result.output, *engine, [this](int) { return !cancel.load(); });
      } catch (const nec::OutputError& e) {
        airError = e;
      }
    }
    if (measured && result.status == nec::EngineResult::Status::Completed) {
      compared = NecMeasuredPage::CompareInBackground(*measured, measuredName, design, settings, plan, result.output,
                                                      *engine, [this](int) { return !cancel.load(); });
      // Cancelled during the fit: nothing of the check is shown or written.
      if (cancel) result.status = nec::EngineResult::Status::Cancelled;
    }
    done = true;
  }
};

// A tuning running in its own thread; the window polls how far it has come.
struct frmNec::TuneJob {
  nec::EngineMaker makeEngine;
  nec::Design design;
  nec::Settings settings;
  nec::TuneRequest request;
  int jobs = 1;  // engine processes
  Language language = Language::German;
  char sep = ',';
  std::string dateText;
  std::string deckPath, reportPath;
  files::FolderLock lock;  // held from the start until the files are in place
  bool writeFiles = true;

  std::atomic<int> evaluations{0};
  std::atomic<double> bestSwr{std::numeric_limits<double>::infinity()};
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  // Read after `done`: the outcome, or whether it was cancelled, or what
  // went wrong in a language.
  std::optional<nec::TunedDesign> tuned;
  bool cancelled = false;
  std::function<std::string(Language)> failure;
  std::thread thread;

  void run() {
    // Called in this thread: the window reads the figures when it polls.
    request.progress = [this](int n, const nec::TuneScore& best, const nec::TunePoint&) {
      bestSwr = best.valid ? best.worstSwr : std::numeric_limits<double>::infinity();
      evaluations = n;
    };
    try {
      tuned = nec::TuneDesign(design, settings, request, makeEngine, [this] { return !cancel.load(); });
    } catch (const nec::TuneEngineError& e) {
      cancelled = e.result.status == nec::EngineResult::Status::Cancelled;
      failure = [r = e.result](Language l) { return nec::EngineTroubleText(l, r, std::string()); };
    } catch (const nec::OutputError& e) {
      failure = [e](Language l) { return nec::OutputErrorText(e, l); };
    } catch (const nec::ImpedanceError& e) {
      failure = [e, sep = sep](Language l) { return nec::ImpedanceErrorText(e, l, sep); };
    } catch (const nec::ModelError& e) {
      failure = [e, sep = sep](Language l) { return nec::ModelErrorText(e, l, sep); };
    } catch (const nec::HangError& e) {
      // A candidate's length the hanging cannot take.
      failure = [e, sep = sep](Language l) { return nec::HangErrorText(e, l, sep); };
    } catch (const std::exception& e) {
      // Nothing may leave the thread; what went wrong is said as it stands.
      failure = [what = std::string(e.what())](Language) { return what; };
    }
    done = true;
  }
};

frmNec* frmNec::instance() {
  if (!current) {
    current = new frmNec();
    Forms::adopt(current);
    // Room for the table and three bands' pictures side by side.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(current->parentWidget())) sub->resize(860, 760);
  }
  return current;
}

frmNec* frmNec::loaded() { return current.data(); }

void frmNec::setEngineFactory(EngineFactory factory) { engineFactory = std::move(factory); }

void frmNec::mnuBerNec() {
  frmNec* w = instance();
  w->applyCaptions();
  // A running check keeps the design it started with.
  if (!w->running()) w->takeDesign(mainForm::values());
  Forms::show(w);
}

frmNec::frmNec(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
  setObjectName("frmNec");
  auto* outer = new QVBoxLayout(this);

  lengthLabel = new QLabel(this);
  outer->addWidget(lengthLabel);

  auto* grid = new QGridLayout();
  feedPointLabel = new QLabel(this);
  feedPointList = new QComboBox(this);
  Fields::keepTypedText(feedPointList);
  Fields::filterNumbers(feedPointList, kDecimalKeys);
  shapeLabel = new QLabel(this);
  shapeList = new QComboBox(this);
  const auto numberField = [this](QLabel*& label, QLineEdit*& field) {
    label = new QLabel(this);
    field = new QLineEdit(this);
    Fields::filterNumbers(field, kDecimalKeys);
  };
  numberField(heightLabel, heightField);
  numberField(endHeightLabel, endHeightField);
  numberField(apexHeightLabel, apexHeightField);
  numberField(apexAtLabel, apexAtField);
  numberField(planAngleLabel, planAngleField);
  groundLabel = new QLabel(this);
  groundList = new QComboBox(this);
  conductorLabel = new QLabel(this);
  conductorList = new QComboBox(this);
  numberField(conductivityLabel, conductivityField);
  regionLabel = new QLabel(this);
  regionList = new QComboBox(this);
  balunLabel = new QLabel(this);
  balunList = new QComboBox(this);
  pointsLabel = new QLabel(this);
  pointsField = new QLineEdit(this);
  Fields::filterNumbers(pointsField, kWholeKeys);
  pointsField->setMaxLength(3);
  timeoutLabel = new QLabel(this);
  timeoutEdit = new QLineEdit(this);
  Fields::filterNumbers(timeoutEdit, kWholeKeys);
  timeoutEdit->setMaxLength(5);
  // Three pages of at most three rows in two columns, so that the window
  // fits the main window's area with room for the table and the picture:
  // where it is fed and how it is checked, how it hangs, what it is made of.
  using Row = std::pair<QLabel*, QWidget*>;
  const std::vector<Row> pages[] = {
      {{feedPointLabel, feedPointList},
       {groundLabel, groundList},
       {balunLabel, balunList},
       {pointsLabel, pointsField},
       {timeoutLabel, timeoutEdit}},
      {{shapeLabel, shapeList},
       {heightLabel, heightField},
       {endHeightLabel, endHeightField},
       {apexHeightLabel, apexHeightField},
       {apexAtLabel, apexAtField},
       {planAngleLabel, planAngleField}},
      {{conductorLabel, conductorList}, {conductivityLabel, conductivityField}, {regionLabel, regionList}}};
  inputPages = new QTabWidget(this);
  for (const std::vector<Row>& rows : pages) {
    auto* page = new QWidget(inputPages);
    auto* grid = new QGridLayout(page);
    int index = 0;
    for (const auto& [label, field] : rows) {
      const int row = index % 3, column = 2 * (index / 3);
      label->setBuddy(field);
      grid->addWidget(label, row, column);
      grid->addWidget(field, row, column + 1);
      ++index;
    }
    grid->setHorizontalSpacing(12);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(3, 1);
    inputPages->addTab(page, QString());
  }
  airInputs = new NecAirInputs(inputPages);
  inputPages->addTab(airInputs, QString());
  measuredPage = new NecMeasuredPage(inputPages);
  inputPages->addTab(measuredPage, QString());
  outer->addWidget(inputPages);

  auto* buttons = new QHBoxLayout();
  checkButton = new QPushButton(this);
  tuneButton = new QPushButton(this);
  cancelButton = new QPushButton(this);
  progressBar = new QProgressBar(this);
  progressBar->setFormat(QStringLiteral("%v / %m"));
  buttons->addWidget(checkButton);
  buttons->addWidget(tuneButton);
  buttons->addWidget(cancelButton);
  buttons->addWidget(progressBar, 1);
  outer->addLayout(buttons);

  resultTable = new QTableWidget(0, 6, this);
  resultTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  resultTable->verticalHeader()->hide();
  resultTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  resultTable->setMinimumHeight(120);
  // The drawing of the wire beside the table, in sight on every page.
  auto* tableRow = new QHBoxLayout();
  tableRow->addWidget(resultTable, 1);
  // The start and the tuned design: length, feed point, balun, usable
  // bands, worst SWR.
  tuneTable = new QTableWidget(5, 2, this);
  tuneTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tuneTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tuneTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Beside the band table, taking its room from it: the window needs no
  // more width or height than the check's own.
  tuneTable->setMinimumWidth(1);
  tableRow->addWidget(tuneTable, 1);
  hangingView = new HangingCanvas(this, this);
  tableRow->addWidget(hangingView, 0, Qt::AlignTop);
  outer->addLayout(tableRow);

  hintLabel = new QLabel(this);
  hintLabel->setWordWrap(true);
  // Room for the note's lines in either language, so that the window keeps
  // its size when the language or the result changes.
  hintLabel->setMinimumHeight(4 * hintLabel->fontMetrics().lineSpacing());
  hintLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  outer->addWidget(hintLabel);

  // The picture is as wide as four bands; a smaller window scrolls it.
  pictureScroll = new QScrollArea(this);
  // Under the SWR picture, in the same scrolled room, the pictures on the
  // air: the window keeps its least size.
  auto* pictures = new QWidget(pictureScroll);
  auto* pictureColumn = new QVBoxLayout(pictures);
  pictureColumn->setContentsMargins(0, 0, 0, 0);
  pictureView = new QLabel(pictures);
  pictureView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pictureColumn->addWidget(pictureView);
  airView = new NecAirView(pictures);
  pictureColumn->addWidget(airView);
  pictureColumn->addStretch();
  pictureScroll->setWidget(pictures);
  pictureScroll->setWidgetResizable(true);
  pictureScroll->setMinimumHeight(200);
  outer->addWidget(pictureScroll, 1);
  auto* pictureRow = new QHBoxLayout();
  pictureButton = new QPushButton(this);
  pictureRow->addWidget(pictureButton);
  takeVkButton = new QPushButton(this);
  pictureRow->addWidget(takeVkButton);
  takeTunedButton = new QPushButton(this);
  pictureRow->addWidget(takeTunedButton);
  pictureRow->addStretch();
  outer->addLayout(pictureRow);

  heightField->setText(q(report::FormatGeneral(nec::kDefaultHeight, Module1::decimalSeparator())));
  endHeightField->setText(heightField->text());
  planAngleField->setText(q(report::FormatGeneral(nec::kStraightPlanAngle, Module1::decimalSeparator())));
  pointsField->setText(QString::number(nec::kDefaultSweepPoints));
  timeoutEdit->setText(QString::number(nec::kDefaultEngineTimeout));
  applyCaptions();
  setRunning(false);
  pictureButton->setEnabled(false);

  connect(checkButton, &QPushButton::clicked, this, &frmNec::onCheck);
  connect(tuneButton, &QPushButton::clicked, this, &frmNec::onTune);
  connect(cancelButton, &QPushButton::clicked, this, &frmNec::onCancel);
  connect(takeTunedButton, &QPushButton::clicked, this, &frmNec::onTakeTuned);
  connect(pictureButton, &QPushButton::clicked, this, &frmNec::onSavePicture);
  connect(takeVkButton, &QPushButton::clicked, this, &frmNec::onTakeVk);
  for (QLineEdit* field : {heightField, endHeightField, apexHeightField, apexAtField, planAngleField})
    connect(field, &QLineEdit::textChanged, this, &frmNec::drawHanging);
  connect(feedPointList, &QComboBox::currentTextChanged, this, &frmNec::drawHanging);
  for (QComboBox* list : {shapeList, conductorList})
    connect(list, &QComboBox::currentIndexChanged, this, [this] {
      enableInputs();
      drawHanging();
    });
  connect(timer_, &QTimer::timeout, this, &frmNec::poll);
  connect(measuredPage, &NecMeasuredPage::sweepChanged, this, [this] {
    drawPicture();
    hintLabel->setText(note_());
  });
  resize(840, 720);
}

frmNec::~frmNec() {
  if (job_) {
    job_->cancel = true;
    job_->thread.join();
  }
  if (tuneJob_) {
    tuneJob_->cancel = true;
    tuneJob_->thread.join();
  }
}

void frmNec::applyCaptions() {
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  setWindowTitle(say(Text::WindowNecTitle));
  const Text pageNames[] = {Text::HangPageCheck, Text::HangPageHanging, Text::HangPageConductor};
  for (int i = 0; i < static_cast<int>(std::size(pageNames)); ++i) inputPages->setTabText(i, say(pageNames[i]));
  inputPages->setTabText(inputPages->indexOf(airInputs), say(Text::AirWindowTab));
  airInputs->applyCaptions();
  airView->applyCaptions();
  inputPages->setTabText(inputPages->indexOf(measuredPage), say(Text::WindowMeasuredPage));
  measuredPage->applyCaptions();
  feedPointLabel->setText(say(Text::WindowNecFeedPoint));
  shapeLabel->setText(say(Text::HangShape));
  endHeightLabel->setText(say(Text::HangEndHeight));
  apexHeightLabel->setText(say(Text::HangApexHeight));
  apexAtLabel->setText(say(Text::HangApexAt));
  apexAtField->setPlaceholderText(say(Text::HangApexAtFeed));
  planAngleLabel->setText(say(Text::HangPlanAngle));
  groundLabel->setText(say(Text::WindowNecGround));
  conductorLabel->setText(say(Text::HangConductor));
  conductivityLabel->setText(say(Text::HangConductivity));
  conductivityField->setPlaceholderText(say(Text::HangConductivityOwn));
  regionLabel->setText(say(Text::HangRegion));
  balunLabel->setText(say(Text::WindowNecBalun));
  pointsLabel->setText(say(Text::WindowNecSweepPoints));
  timeoutLabel->setText(say(Text::WindowNecTimeout));
  checkButton->setText(say(Text::WindowNecCheckButton));
  tuneButton->setText(say(Text::WindowNecTuneButton));
  takeTunedButton->setText(say(Text::WindowNecTuneTakeButton));
  tuneTable->setHorizontalHeaderLabels({say(Text::TuneStart), say(Text::TuneTuned)});
  tuneTable->setVerticalHeaderLabels({say(Text::TuneLength), say(Text::TuneFeedPoint), say(Text::WindowNecTuneBalun),
                                      say(Text::TuneUsableBands), say(Text::TuneWorstSwr)});
  cancelButton->setText(say(Text::WindowNecCancelButton));
  pictureButton->setText(say(Text::WindowNecPictureButton));
  takeVkButton->setText(say(Text::HangTakeVkButton));
  resultTable->setHorizontalHeaderLabels({QStringLiteral("Band"), QStringLiteral("MHz"), QStringLiteral("R [Ohm]"),
                                          QStringLiteral("X [Ohm]"), say(Text::ReportSwr), say(Text::ReportModelOhm)});

  const int ground = groundList->count() ? groundList->currentIndex() : kAverageGround;
  groundList->clear();
  for (nec::Ground g : kGrounds) groundList->addItem(q(nec::GroundName(g, lang)));
  groundList->setCurrentIndex(ground);

  const int balun = balunList->count() ? balunList->currentIndex() : 0;
  balunList->clear();
  balunList->addItem(say(Text::WindowNecBalunAutomatic));
  for (double ratio : nec::kBalunRatios) balunList->addItem(q(nec::BalunText(ratio, sep)), ratio);
  balunList->setCurrentIndex(balun);

  Recaption(shapeList, {say(Text::HangShapeFlat), say(Text::HangShapeSloper), say(Text::HangShapeInvertedV)});
  Recaption(conductorList, {say(Text::HangCopper), say(Text::HangAluminium), say(Text::HangLossless)});
  QStringList regions;
  for (nec::Region r : kRegions) regions << say(Text::HangRegionName) + QString::number(static_cast<int>(r));
  Recaption(regionList, regions, IndexOf(nec::kDefaultRegion, kRegions));

  if (!lengthLabel->text().isEmpty()) showLength();
  enableInputs();
  drawHanging();
  drawPicture();
  if (!note_) note_ = [] { return say(Text::WindowNecChooseHint); };
  hintLabel->setText(note_());
}

void frmNec::showLength() {
  lengthLabel->setText(say(Text::WindowNecAntennaLength) +
                       q(report::FormatPicture(design_.length, "###0.0##", Module1::decimalSeparator())) + " m");
}

void frmNec::setNote(std::function<QString()> text) {
  note_ = std::move(text);
  hintLabel->setText(note_());
}

void frmNec::takeDesign(const MainFormValues& v) {
  nec::Design d;
  d.length = v.run.length;
  d.conductorDiameter = nec::TypedDecimal(ParseNumber(v.run.conductorDiameter));
  d.segment = v.run.report.segment;
  d.bands = v.run.report.bands;
  d.extraBand = v.run.extraBand;
  d.extraFrequency = v.run.extraFrequency;
  d.reportData = v.run.report;
  d.proposedFeeds = v.run.candidates;
  d.shorteningFactor = ParseNumber(v.run.shorteningFactor);
  d.insulation = nec::InsulationOf(v.run.dielectric, v.run.outerDiameter);

  const char sep = Module1::decimalSeparator();
  // Opened again after the same run, the window keeps what was typed.
  const auto sameFeeds = [](const std::vector<FeedCandidate>& a, const std::vector<FeedCandidate>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FeedCandidate& x, const FeedCandidate& y) { return x.x == y.x; });
  };
  const bool same = d.length == design_.length && d.conductorDiameter == design_.conductorDiameter &&
                    d.bands == design_.bands && d.segment == design_.segment &&
                    d.reportData.f0 == design_.reportData.f0 && d.reportData.n == design_.reportData.n &&
                    d.reportData.vk == design_.reportData.vk && d.insulation == design_.insulation &&
                    sameFeeds(d.proposedFeeds, design_.proposedFeeds);
  design_ = std::move(d);
  showLength();
  if (!same) {
    clearResults();
    const QSignalBlocker quiet(feedPointList);
    feedPointList->clear();
    for (const FeedCandidate& c : design_.proposedFeeds)
      feedPointList->addItem(q(report::FormatPicture(c.x, "0.00", sep)), c.x);
    if (feedPointList->count() > 0) feedPointList->setCurrentIndex(0);
  }
  drawHanging();
}

std::optional<double> frmNec::typedFeedPoint() const {
  const QString text = feedPointList->currentText().trimmed();
  const int index = feedPointList->currentIndex();
  // A chosen proposal keeps all its digits; a typed distance is read as typed.
  if (index >= 0 && text == feedPointList->itemText(index)) return feedPointList->itemData(index).toDouble();
  const double feed = nec::TypedDecimal(Module1::parse(text));
  const double length = nec::TypedDecimal(design_.length);
  if (feed > 0 && feed < length) return feed;
  return std::nullopt;
}

std::optional<double> frmNec::feedPoint() {
  if (const std::optional<double> feed = typedFeedPoint()) return feed;
  showMessage(this, q(feedpoint::OffWireText(Module1::language(), design_.length, Module1::decimalSeparator())),
              MessageTitle(), Icon::Exclamation);
  focusField(feedPointList);
  return std::nullopt;
}

std::optional<frmNec::CheckStart> frmNec::readCheck() {
  if (!(design_.length > 0)) {
    showMessage(this, say(Text::WindowNecNoAntenna), MessageTitle(), Icon::Exclamation);
    return std::nullopt;
  }
  const std::optional<double> feed = feedPoint();
  if (!feed) return std::nullopt;
  CheckStart start;
  nec::Settings& settings = start.settings;
  settings.feed = *feed;
  for (const std::optional<Refusal>& refusal : {readHanging(settings.hanging), readConductor(settings)})
    if (refusal) {
      showMessage(this, refusal->text, MessageTitle(), Icon::Exclamation);
      focusField(refusal->field);
      return std::nullopt;
    }
  settings.sweepPoints = pointsField->text().isEmpty() ? -1 : pointsField->text().toInt();
  if (settings.sweepPoints != 0 && (settings.sweepPoints < 2 || settings.sweepPoints > nec::kMaxSweepPoints)) {
    showMessage(this, say(Text::WindowNecPointsRefused), MessageTitle(), Icon::Exclamation);
    focusField(pointsField);
    return std::nullopt;
  }
  start.timeout = timeoutEdit->text().isEmpty() ? 0 : timeoutEdit->text().toInt();
  if (start.timeout < 1 || start.timeout > 86400) {
    showMessage(this, say(Text::WindowNecTimeoutRefused), MessageTitle(), Icon::Exclamation);
    focusField(timeoutEdit);
    return std::nullopt;
  }
  settings.ground = kGrounds[std::max(0, groundList->currentIndex())];
  settings.region = Chosen(regionList, kRegions);
  if (balunList->currentIndex() > 0) settings.balunRatio = balunList->currentData().toDouble();

  try {
    start.plan = nec::PrepareCheck(design_, settings);
  } catch (const nec::ModelError& e) {
    showMessage(this, q(nec::ModelErrorText(e, Module1::language(), Module1::decimalSeparator())), MessageTitle(),
                Icon::Exclamation);
    if (e.hang())
      if (QWidget* field = hangField(e.hang()->value)) focusField(field);
    return std::nullopt;
  } catch (const nec::HangError& e) {
    showMessage(this, hangRefusal(e), MessageTitle(), Icon::Exclamation);
    if (QWidget* field = hangField(e.value)) focusField(field);
    return std::nullopt;
  }
  return start;
}

void frmNec::onCheck() {
  if (running()) return;
  std::optional<CheckStart> start = readCheck();
  if (!start) return;
  auto job = std::make_shared<Job>();
  job->plan = std::move(start->plan);
  if (!readAir(job->plan, job->air)) return;
  checkedSettings_ = start->settings;
  if (!Module1::ensureWritableResultsFolder(this)) return;
  if (!lockResultsFolder(job->lock, job->writeFiles)) return;
  job->engine = engineFactory ? engineFactory() : std::make_unique<nec::Nec2cEngine>(std::string(), start->timeout);
  job->design = design_;
  job->settings = start->settings;
  job->language = Module1::language();
  job->sep = Module1::decimalSeparator();
  job->dateText = Module1::generalDateTime().toStdString();
  job->deckPath = Module1::nativePath(Module1::resultFile(QString::fromLatin1(nec::kDeckFileName)));
  job->reportPath = Module1::nativePath(Module1::resultFile(QString::fromLatin1(report::kNecCheckFileName)));
  job->measured = measuredPage->measured();
  job->measuredName = measuredPage->measuredName();

  job_ = job;
  progressBar->setRange(0, job->plan.frequencies.count());
  clearResults();
  progressBar->setValue(0);
  setNote([] { return say(Text::WindowNecWorking); });
  setRunning(true);
  job->thread = std::thread([job] { job->run(); });
  timer_->start(kPollMs);
}

void frmNec::onTune() {
  if (running()) return;
  std::optional<CheckStart> start = readCheck();
  if (!start) return;
  auto job = std::make_shared<TuneJob>();
  checkedSettings_ = start->settings;
  if (!Module1::ensureWritableResultsFolder(this)) return;
  if (!lockResultsFolder(job->lock, job->writeFiles)) return;
  // One engine process per core: the candidates of a batch share them.
  job->jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  if (engineFactory)
    job->makeEngine = engineFactory;
  else
    job->makeEngine = [timeout = start->timeout, jobs = job->jobs] {
      return std::make_unique<nec::Nec2cEngine>(std::string(), timeout, jobs);
    };
  job->design = design_;
  job->settings = start->settings;
  job->request.feed = start->settings.feed;
  job->language = Module1::language();
  job->sep = Module1::decimalSeparator();
  job->dateText = Module1::generalDateTime().toStdString();
  job->deckPath = Module1::nativePath(Module1::resultFile(QString::fromLatin1(nec::kDeckFileName)));
  job->reportPath = Module1::nativePath(Module1::resultFile(QString::fromLatin1(report::kNecTuneFileName)));

  tuneJob_ = job;
  clearResults();
  // How many candidates the search scores is known only at its end.
  progressBar->setRange(0, 0);
  setNote([] { return say(Text::WindowNecTuneWorking); });
  setRunning(true);
  job->thread = std::thread([job] { job->run(); });
  timer_->start(kPollMs);
}

bool frmNec::lockResultsFolder(files::FolderLock& lock, bool& writeFiles) {
  const Language lang = Module1::language();
  const std::string folder = Module1::nativePath(Module1::state().resultsFolder);
  for (;;) {
    Question question;
    try {
      if (lock.tryLock(folder)) return true;
      question = nec::FolderBusyQuestion(lang, folder);
    } catch (const files::FileError& e) {
      question = nec::FolderBusyQuestion(lang, folder);
      question.text = files::FileErrorText(lang, e.error(), e.path());
    }
    switch (ask(this, question)) {
      case Answer::Retry:
        continue;
      case Answer::Ignore:
        writeFiles = false;
        return true;
      default:
        return false;
    }
  }
}

void frmNec::onCancel() {
  if (job_) job_->cancel = true;
  if (tuneJob_) tuneJob_->cancel = true;
}

// A window put away takes its check with it: its result or a message
// turning up later, out of nowhere, would only puzzle.
void frmNec::closeEvent(QCloseEvent* event) {
  onCancel();
  QWidget::closeEvent(event);
}

void frmNec::setRunning(bool on) {
  enableInputs();
  if (!on) progressBar->reset();
}

void frmNec::enableInputs() {
  const bool idle = !running();
  const nec::Shape shape = Chosen(shapeList, kShapes);
  const auto open = [](QLabel* label, QWidget* field, bool on) {
    label->setEnabled(on);
    field->setEnabled(on);
  };
  for (const auto& [label, field] :
       std::initializer_list<std::pair<QLabel*, QWidget*>>{{feedPointLabel, feedPointList},
                                                           {shapeLabel, shapeList},
                                                           {heightLabel, heightField},
                                                           {planAngleLabel, planAngleField},
                                                           {groundLabel, groundList},
                                                           {conductorLabel, conductorList},
                                                           {regionLabel, regionList},
                                                           {balunLabel, balunList},
                                                           {pointsLabel, pointsField},
                                                           {timeoutLabel, timeoutEdit}})
    open(label, field, idle);
  open(endHeightLabel, endHeightField, idle && shape != nec::Shape::Flat);
  open(apexHeightLabel, apexHeightField, idle && shape == nec::Shape::InvertedV);
  open(apexAtLabel, apexAtField, idle && shape == nec::Shape::InvertedV);
  open(conductivityLabel, conductivityField, idle && Chosen(conductorList, kConductors) != nec::Material::Lossless);
  // One height for a flat wire; the start's of the others.
  heightLabel->setText(say(shape == nec::Shape::Flat ? Text::WindowNecHeight : Text::HangStartHeight));
  airInputs->enable(idle);
  checkButton->setEnabled(idle);
  tuneButton->setEnabled(idle);
  cancelButton->setEnabled(!idle);
  takeVkButton->setEnabled(idle && shown_ && shown_->resonance);
  takeTunedButton->setEnabled(idle && tuned_);
  measuredPage->enable(idle);
}

std::optional<frmNec::Refusal> frmNec::readHanging(nec::Hanging& h) const {
  const auto number = [](const QLineEdit* field) { return nec::TypedDecimal(Module1::parse(field->text())); };
  const nec::Shape shape = Chosen(shapeList, kShapes);
  h = {};
  h.startHeight = h.endHeight = number(heightField);
  if (!(h.startHeight > 0)) return Refusal{heightField, say(Text::WindowNecHeightRefused)};
  if (shape != nec::Shape::Flat) {
    h.endHeight = number(endHeightField);
    if (!(h.endHeight > 0)) return Refusal{endHeightField, say(Text::HangEndHeightRefused)};
  }
  if (shape == nec::Shape::InvertedV) {
    nec::Apex apex;
    apex.height = number(apexHeightField);
    if (!(apex.height > 0)) return Refusal{apexHeightField, say(Text::HangApexHeightRefused)};
    if (!apexAtField->text().trimmed().isEmpty()) {
      apex.at = number(apexAtField);
      if (!(*apex.at > 0)) return Refusal{apexAtField, say(Text::HangApexAtRefused)};
    }
    h.apex = apex;
  }
  h.planAngle = number(planAngleField);
  if (!(h.planAngle > 0)) return Refusal{planAngleField, say(Text::HangPlanAngleRefused)};
  return std::nullopt;
}

std::optional<frmNec::Refusal> frmNec::readConductor(nec::Settings& settings) const {
  settings.material = Chosen(conductorList, kConductors);
  settings.conductivity.reset();
  // A lossless wire has no conductivity to replace.
  if (settings.material == nec::Material::Lossless || conductivityField->text().trimmed().isEmpty())
    return std::nullopt;
  const double conductivity = nec::TypedDecimal(Module1::parse(conductivityField->text()));
  if (!(conductivity > 0)) return Refusal{conductivityField, say(Text::HangConductivityRefused)};
  settings.conductivity = conductivity;
  return std::nullopt;
}

void frmNec::focusField(QWidget* field) {
  for (int i = 0; i < inputPages->count(); ++i)
    if (inputPages->widget(i)->isAncestorOf(field)) inputPages->setCurrentIndex(i);
  field->setFocus();
}

QWidget* frmNec::hangField(nec::HangError::Value value) const {
  using V = nec::HangError::Value;
  switch (value) {
    case V::StartHeight:
      return heightField;
    case V::EndHeight:
      return endHeightField;
    case V::ApexHeight:
      return apexHeightField;
    case V::ApexAt:
      return apexAtField;
    case V::PlanAngle:
      return planAngleField;
  }
  return nullptr;
}

// The engine's refusal of a hanging, worded for the user.
QString frmNec::hangRefusal(const nec::HangError& e) const {
  return q(nec::HangErrorText(e, Module1::language(), Module1::decimalSeparator()));
}

void frmNec::drawHanging() {
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  nec::Hanging hanging;
  std::vector<nec::Point> corners;
  nec::Point feedAt;
  QString reason;
  std::optional<double> feed;
  if (!(design_.length > 0)) {
    reason = say(Text::WindowNecNoAntenna);
  } else if (const std::optional<Refusal> refusal = readHanging(hanging)) {
    reason = refusal->text;
  } else if (!(feed = typedFeedPoint())) {
    reason = q(feedpoint::OffWireText(lang, design_.length, sep));
  } else {
    try {
      corners = nec::HangingPoints(hanging, nec::TypedDecimal(design_.length), *feed,
                                   Chosen(groundList, kGrounds) != nec::Ground::FreeSpace);
      feedAt = nec::PointAlong(corners, *feed);
    } catch (const nec::HangError& e) {
      corners.clear();
      reason = hangRefusal(e);
    }
  }
  hanging_ = nec::MakeHangingPicture(hanging, corners, feedAt, kHangingWidth, kHangingHeight, lang, sep);
  hangingReason_ = reason;
  hangingView->update();
}

void frmNec::poll() {
  if (tuneJob_) {
    if (const int n = tuneJob_->evaluations.load(); n > 0) {
      const double swr = tuneJob_->bestSwr.load();
      setNote([n, swr] {
        return say(Text::WindowNecTuneBest) + q(report::SwrText(swr, Module1::decimalSeparator())) +
               say(Text::WindowNecTuneAfter) + QString::number(n) + say(Text::WindowNecTuneDesigns);
      });
    }
    if (tuneJob_->done) finishTune();
    return;
  }
  if (!job_) return;
  progressBar->setValue(std::min(job_->solved.load(), progressBar->maximum()));
  if (job_->done) finish();
}

void frmNec::failed(std::function<std::string(Language)> text) {
  setNote([text] { return q(text(Module1::language())); });
  showMessage(this, hintLabel->text(), MessageTitle(), Icon::Exclamation);
}

void frmNec::finish() {
  timer_->stop();
  std::shared_ptr<Job> job = std::move(job_);
  job->thread.join();
  setRunning(false);
  const Language lang = job->language;

  using Status = nec::EngineResult::Status;
  if (job->result.status == Status::Cancelled) {
    // Nothing of this check is written: the earlier deck and report stay.
    setNote([] { return say(Text::WindowNecCancelled); });
    emit checkFinished();
    return;
  }

  std::optional<nec::Result> result;
  // What went wrong, in the language of the moment: the note follows a
  // language switch.
  std::function<std::string(Language)> failure;
  if (job->result.status == Status::Completed) {
    try {
      result = nec::Evaluate(job->design, job->settings, job->plan, job->result.output);
      if (job->airError) throw *job->airError;
    } catch (const nec::OutputError& e) {
      result.reset();
      failure = [e](Language l) { return nec::OutputErrorText(e, l); };
    } catch (const nec::ImpedanceError& e) {
      failure = [e, sep = job->sep](Language l) { return nec::ImpedanceErrorText(e, l, sep); };
    }
  } else {
    failure = [r = job->result, deck = job->writeFiles ? job->deckPath : std::string()](Language l) {
      return nec::EngineTroubleText(l, r, deck);
    };
  }

  try {
    if (!result) {
      // A failed check leaves the earlier deck and report as they were;
      // without an engine the deck still serves for a run by hand, and the
      // earlier report goes with the earlier deck.
      if (job->result.status == Status::Missing && job->writeFiles &&
          nec::CommitDeckAlone(job->deckPath, job->plan.deck, job->reportPath))
        failure = [first = failure, report = job->reportPath](Language l) {
          return first(l) + "\n" + nec::EarlierReportRemovedText(l, report);
        };
      failed(failure);
      emit checkFinished();
      return;
    }
    report::NecCheckReport data =
        report::MakeNecCheckReport(job->design, job->plan, *result, lang, job->sep, job->dateText);
    data.air = job->airResult;
    data.measured = job->compared;
    std::ostringstream bytes;
    report::WriteNecCheckReport(bytes, data);
    // Deck and report are one set: both new or both as they were.
    if (job->writeFiles) nec::CommitCheckFiles({{job->deckPath, job->plan.deck}, {job->reportPath, bytes.str()}});
    measuredPage->takeCheck(job->design, job->settings, job->plan, *result, job->dateText, job->compared);
    showResult(job->design, job->plan, *result);
    showAir(*job, *result);
    // The balun advice from the check's results, in the language of the
    // moment (the report keeps the language it was written in).
    setNote([design = job->design, plan = job->plan, checked = *result, sep = job->sep, date = job->dateText,
             path = job->reportPath, written = job->writeFiles, page = measuredPage] {
      const report::NecCheckReport shown =
          report::MakeNecCheckReport(design, plan, checked, Module1::language(), sep, date);
      return CheckNote(shown, written, path) + page->noteLines();
    });
  } catch (const files::FileError& e) {
    failed([error = e.error(), path = e.path()](Language l) { return files::FileErrorText(l, error, path); });
  }
  emit checkFinished();
}

void frmNec::finishTune() {
  timer_->stop();
  std::shared_ptr<TuneJob> job = std::move(tuneJob_);
  job->thread.join();
  setRunning(false);
  if (job->cancelled) {
    // Nothing of this tuning is written: the earlier deck and report stay.
    setNote([] { return say(Text::WindowNecCancelled); });
    emit checkFinished();
    return;
  }
  if (!job->tuned) {
    failed(job->failure);
    emit checkFinished();
    return;
  }
  const nec::TunedDesign& t = *job->tuned;
  try {
    const report::NecTuneReport data =
        nec::MakeTuneReport(t, job->settings, job->request.weights, job->jobs, job->language, job->sep, job->dateText);
    std::ostringstream bytes;
    report::WriteNecTuneReport(bytes, data);
    // The tuned design's deck and its report are one set, as the check's.
    if (job->writeFiles) nec::CommitCheckFiles({{job->deckPath, t.tuned.plan.deck}, {job->reportPath, bytes.str()}});
  } catch (const files::FileError& e) {
    failed([error = e.error(), path = e.path()](Language l) { return files::FileErrorText(l, error, path); });
    emit checkFinished();
    return;
  }
  // The tuned design's bands and picture where the check shows its own,
  // the start's curves dashed over the tuned design's.
  tuned_ = t;
  showResult(t.tuned.candidate.design, t.tuned.plan, t.tuned.result);
  showTuned(t);
  enableInputs();
  setNote([n = t.evaluations, written = job->writeFiles, path = job->reportPath] {
    return say(Text::WindowNecTuneDone) + QString::number(n) + say(Text::WindowNecTuneDesigns) + '\n' +
           (written ? say(Text::WindowNecWritten) + Module1::fromNativePath(path) : say(Text::WindowNecNotWritten));
  });
  emit checkFinished();
}

void frmNec::showTuned(const nec::TunedDesign& t) {
  const char sep = Module1::decimalSeparator();
  const nec::CheckedCandidate* sides[] = {&t.start, &t.tuned};
  for (int col = 0; col < 2; ++col) {
    const nec::CheckedCandidate& c = *sides[col];
    const std::string cells[] = {
        report::FormatPicture(nec::TypedDecimal(c.candidate.design.length), "0.000", sep) + " m",
        report::FormatPicture(c.candidate.settings.feed, "0.000", sep) + " m", nec::BalunText(c.result.balunRatio, sep),
        std::to_string(c.score.usableBands), c.score.valid ? report::SwrText(c.score.worstSwr, sep) : "-"};
    for (int row = 0; row < 5; ++row) {
      auto* item = new QTableWidgetItem(q(cells[row]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      tuneTable->setItem(row, col, item);
    }
  }
}

void frmNec::onTakeTuned() {
  if (running() || !tuned_) return;
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  const double vk = nec::TunedShorteningFactor(tuned_->start.candidate.design,
                                               nec::TypedDecimal(tuned_->tuned.candidate.design.length));
  const std::string vkText = report::FormatPicture(vk, "0.00##", sep);
  // The feed point belongs to the tuned length: a Vk the main form refuses
  // takes neither over.
  const std::string refusal = TakeOverRefusal(FormField::ShorteningFactor, vkText, lang, sep);
  if (!refusal.empty()) {
    showMessage(this, q(refusal), MessageTitle(), Icon::Exclamation);
    return;
  }
  mainForm::takeOverVk(q(vkText));
  const QString feed = q(report::FormatPicture(tuned_->tuned.candidate.settings.feed, "0.000", sep));
  feedPointList->setEditText(feed);
  mainForm::takeOverFeedPoint(feed);
}

// The one place the note after a check is put together.
QString frmNec::CheckNote(const report::NecCheckReport& shown, bool written, const std::string& reportPath) {
  QStringList lines{q(report::BalunAdvice(shown)), q(report::ResonanceText(shown))};
  if (const std::string loss = report::LossLine(shown); !loss.empty()) lines << q(loss);
  lines << (written ? say(Text::WindowNecWritten) + Module1::fromNativePath(reportPath)
                    : say(Text::WindowNecNotWritten));
  return lines.join('\n');
}

void frmNec::showResult(const nec::Design& design, const nec::Plan&, const nec::Result& result) {
  const char sep = Module1::decimalSeparator();
  resultTable->setRowCount(static_cast<int>(result.bands.size()));
  int row = 0;
  for (const nec::BandCheck& b : result.bands) {
    const nec::SolvedFrequency& s = b.solved;
    const std::string cells[] = {report::NecBandName(s.band, design.extraFrequency, sep),
                                 report::FormatPicture(s.frequency, "#0.000#", sep),
                                 report::FormatPicture(s.impedance.real(), "0.0", sep),
                                 report::FormatPicture(s.impedance.imag(), "0.0", sep),
                                 report::SwrText(s.swr, sep),
                                 b.model ? b.model->cell : std::string("-")};
    for (int col = 0; col < 6; ++col) {
      auto* item = new QTableWidgetItem(q(cells[col]));
      if (col > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      resultTable->setItem(row, col, item);
    }
    ++row;
  }
  shown_ = result;
  shownExtraFrequency_ = design.extraFrequency;
  drawPicture();
  pictureButton->setEnabled(true);
  enableInputs();
}

void frmNec::clearResults() {
  measuredPage->clearCheck();
  resultTable->setRowCount(0);
  tuned_.reset();
  tuneTable->clearContents();
  shown_.reset();
  picture_ = {};
  image_ = QImage();
  pictureView->clear();
  pictureButton->setEnabled(false);
  airView->clear();
  enableInputs();
  setNote([] { return say(Text::WindowNecChooseHint); });
}

void frmNec::onTakeVk() {
  if (running() || !shown_ || !shown_->resonance) return;
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  // As the shortening-factor calculator hands its Vk over: the digits the
  // main form's field keeps, or a word why not.
  const std::string vk = report::FormatPicture(shown_->resonance->vk, "0.00##", sep);
  const std::string refusal = TakeOverRefusal(FormField::ShorteningFactor, vk, lang, sep);
  if (!refusal.empty()) {
    showMessage(this, q(refusal), MessageTitle(), Icon::Exclamation);
    return;
  }
  mainForm::takeOverVk(q(vk));
}

void frmNec::drawPicture() {
  if (!shown_) return;
  // After a tuning its start is drawn dashed; after a check, an opened
  // analyser's sweep.
  picture_ = tuned_ ? nec::MakeSwrPicture(*shown_, shownExtraFrequency_, Module1::language(),
                                          Module1::decimalSeparator(), nec::TuningStartOverlay(tuned_->start.result))
                    : nec::MakeSwrPicture(*shown_, shownExtraFrequency_, Module1::language(),
                                          Module1::decimalSeparator(), measuredPage->sweepShown());
  image_ = PaintSwrPicture(picture_);
  pictureView->setPixmap(QPixmap::fromImage(image_));
}

void frmNec::onSavePicture() {
  if (image_.isNull()) return;
  const std::optional<QString> path =
      AskPictureFile(this, say(Text::WindowNecSavePictureTitle), QStringLiteral("NecSWR"), false);
  if (!path) return;
  // The batch tool's bytes: the same picture from the same renderer.
  const std::string bytes = QFileInfo(*path).suffix().toLower() == QLatin1String("svg") ? nec::SwrPictureSvg(picture_)
                                                                                        : nec::SwrPicturePng(picture_);
  try {
    files::WriteFileAtomically(Module1::nativePath(*path), bytes);
  } catch (const files::FileError& e) {
    showMessage(this, q(files::FileErrorText(Module1::language(), e.error(), e.path())), MessageTitle(),
                Icon::Exclamation);
  }
}

std::optional<QString> AskPictureFile(QWidget* parent, const QString& title, const QString& proposedName,
                                      bool svgFirst) {
  FileDialogRequest request;
  request.title = title;
  request.initialFolder = Module1::state().resultsFolder;
  request.proposedName = proposedName;
  request.filter = svgFirst ? QStringLiteral("SVG (*.svg)|*.svg|PNG (*.png)|*.png")
                            : QStringLiteral("PNG (*.png)|*.png|SVG (*.svg)|*.svg");
  request.overwritePrompt = true;
  const std::optional<FileDialogResult> chosen = seam().saveFile(parent, request);
  if (!chosen || chosen->path.isEmpty()) return std::nullopt;
  const QString suffix = QFileInfo(chosen->path).suffix().toLower();
  if (suffix == QLatin1String("svg") || suffix == QLatin1String("png")) return chosen->path;
  const bool svg = svgFirst == (chosen->filterIndex != 2);
  return chosen->path + (svg ? ".svg" : ".png");
}

QImage PaintSwrPicture(const nec::SwrPicture& p) {
  // The plain renderer's pixels, so that the display is the saved file.
  const nec::RgbImage rgb = nec::RasteriseSwrPicture(p);
  return QImage(rgb.rgb.data(), rgb.width, rgb.height, rgb.width * 3, QImage::Format_RGB888)
      .convertToFormat(QImage::Format_RGB32);
}

// ---- designs ----

void frmNec::giveInputs(design::NecInputs& d) const {
  using design::Stored;
  d.feedPoint = Stored(feedPointList->currentText().toStdString());
  d.height = Stored(heightField->text().toStdString());
  d.shape = design::kShapeWords[IndexOf(Chosen(shapeList, kShapes), kShapes)];
  d.endHeight = Stored(endHeightField->text().toStdString());
  d.apexHeight = Stored(apexHeightField->text().toStdString());
  d.apexAt = Stored(apexAtField->text().toStdString());
  d.planAngle = Stored(planAngleField->text().toStdString());
  d.ground =
      nec::GroundWord(kGrounds[std::clamp(groundList->currentIndex(), 0, static_cast<int>(std::size(kGrounds)) - 1)]);
  d.conductor = design::kConductorWords[IndexOf(Chosen(conductorList, kConductors), kConductors)];
  d.conductivity = Stored(conductivityField->text().toStdString());
  d.region = design::kRegionWords[IndexOf(Chosen(regionList, kRegions), kRegions)];
  d.balun = balunList->currentIndex() > 0 ? report::FormatGeneral(balunList->currentData().toDouble(), '.') : "auto";
  d.points = Stored(pointsField->text().toStdString());
  airInputs->give(d);
}

void frmNec::takeInputs(const design::NecInputs& d) {
  const char sep = Module1::decimalSeparator();
  const QString feed = q(design::Shown(d.feedPoint, sep));
  // A proposed feed point is chosen from the list; another one is typed.
  const int index = feedPointList->findText(feed);
  if (index >= 0)
    feedPointList->setCurrentIndex(index);
  else
    feedPointList->setEditText(feed);
  heightField->setText(q(design::Shown(d.height, sep)));
  shapeList->setCurrentIndex(std::max(0, design::IndexOf(design::kShapeWords, d.shape)));
  endHeightField->setText(q(design::Shown(d.endHeight, sep)));
  apexHeightField->setText(q(design::Shown(d.apexHeight, sep)));
  apexAtField->setText(q(design::Shown(d.apexAt, sep)));
  planAngleField->setText(q(design::Shown(d.planAngle, sep)));
  conductorList->setCurrentIndex(std::max(0, design::IndexOf(design::kConductorWords, d.conductor)));
  conductivityField->setText(q(design::Shown(d.conductivity, sep)));
  regionList->setCurrentIndex(std::max(0, design::IndexOf(design::kRegionWords, d.region)));
  if (const std::optional<nec::Ground> g = nec::GroundFromWord(d.ground))
    for (std::size_t i = 0; i < std::size(kGrounds); ++i)
      if (kGrounds[i] == *g) groundList->setCurrentIndex(static_cast<int>(i));
  const std::optional<double> ratio = nec::BalunFromText(d.balun);
  balunList->setCurrentIndex(ratio ? std::max(0, balunList->findData(*ratio)) : 0);
  pointsField->setText(q(d.points));
  airInputs->take(d);
}

// ---- on the air ----

bool frmNec::readAir(nec::Plan& plan, nec::AirSettings& air) {
  if (const std::optional<NecAirInputs::Refusal> refusal = airInputs->read(air)) {
    showMessage(this, refusal->text, MessageTitle(), Icon::Exclamation);
    focusField(refusal->field);
    return false;
  }
  if (!air.any()) return true;
  try {
    nec::PrepareAir(plan, air);
  } catch (const nec::ModelError& e) {
    showMessage(this, q(nec::ModelErrorText(e, Module1::language(), Module1::decimalSeparator())), MessageTitle(),
                Icon::Exclamation);
    focusField(airInputs->feedlineBox);
    return false;
  }
  return true;
}

void frmNec::showAir(const Job& job, const nec::Result& result) {
  if (!job.airResult) return;
  // The report's lines on the air in the language of the moment.
  airView->show(*job.airResult, job.design.extraFrequency,
                [design = job.design, plan = job.plan, result, air = *job.airResult, date = job.dateText](Language lang,
                                                                                                          char sep) {
                  report::NecCheckReport r = report::MakeNecCheckReport(design, plan, result, lang, sep, date);
                  r.air = air;
                  return report::AirLines(r);
                });
  // The pictures are what was asked for: in sight at once, once the
  // scrolled room has laid them out.
  if (job.airResult->patterns)
    QTimer::singleShot(0, this, [this] {
      pictureScroll->horizontalScrollBar()->setValue(0);
      pictureScroll->verticalScrollBar()->setValue(airView->y());
    });
}

}  // namespace lorvant
