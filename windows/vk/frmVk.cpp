#include "windows/vk/frmVk.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <iterator>
#include <optional>
#include <thread>

#include "session/calculators/vk.h"
#include "session/design.h"
#include "session/mainform.h"
#include "session/question.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Forms.h"
#include "shell/ui/Look.h"
#include "shell/ui/TextColour.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "windows/main/MainForm.h"

namespace lorvant {
namespace {

QPointer<frmVk> current;
frmVk::EngineFactory engineFactory;
// How often the window looks at a running NEC-2 step.
constexpr int kPollMs = 50;

}  // namespace

// A NEC-2 step running in its own thread; the window polls it.
struct frmVk::Job {
  std::unique_ptr<nec::Engine> engine;
  vk::NecVkStep step;
  QStringList inputs;  // the window's inputs it was started with
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  nec::EngineResult result;  // read after `done`
  std::thread thread;

  void run() {
    result = engine->run(step.plan.deck, [this](int) { return !cancel.load(); });
    done = true;
  }
};

void frmVk::setEngineFactory(EngineFactory factory) { engineFactory = std::move(factory); }

frmVk* frmVk::instance() {
  if (!current) {
    current = new frmVk();
    Forms::adopt(current);
    // From now on the main form's calculations ask this window.
    mainForm::installCalculator({&frmVk::calculatorState, &frmVk::diameterText});
    frmVk* w = current;
    mainForm::onConductorChanged(w, [w](const QString& text) { w->conductorChanged(text); });
  }
  return current;
}

void frmVk::conductorChanged(const QString& text) {
  // An active calculator follows the main form's conductor and calculates
  // again. In the pruning layout the field holds the desired frequency, and
  // a wire diameter is not written over it.
  if (!active_ || Combo1->currentText() == text) return;
  if (layout_ != Layout::Calculator) return;
  Combo1->setEditText(text);
  Command1_Click();
}

frmVk* frmVk::loaded() { return current.data(); }

frmVk::frmVk(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
  setObjectName("frmVk");
  auto* outer = new QVBoxLayout(this);
  menuBar = new QMenuBar(this);
  outer->setMenuBar(menuBar);
  mnuOpt = menuBar->addMenu(QString());
  mnuVkUebernehmen = mnuOpt->addAction(QString());
  mnuVkUebernehmen->setCheckable(true);
  mnuErdbodenKor = mnuOpt->addAction(QString());
  mnuErdbodenKor->setCheckable(true);
  mnuNecVkUebernehmen = mnuOpt->addAction(QString());

  auto* grid = new QGridLayout();
  outer->addLayout(grid);
  Label1 = new QLabel(this);
  Text1 = new QLineEdit(this);
  Label2 = new QLabel(this);
  Text2 = new QLineEdit(this);
  Label3 = new QLabel(this);
  Combo1 = new QComboBox(this);
  Fields::keepTypedText(Combo1);
  Label1->setBuddy(Text1);
  Label2->setBuddy(Text2);
  Label3->setBuddy(Combo1);
  Look::addRows(grid, {{Label1, Text1}, {Label2, Text2}, {Label3, Combo1}});
  Command1 = new QPushButton(this);
  grid->addWidget(Command1, 3, 1);
  Label10 = new QLabel(this);
  Combo2 = new QComboBox(this);
  Label10->setBuddy(Combo2);
  grid->addWidget(Label10, 4, 0);
  grid->addWidget(Combo2, 4, 1);
  Command2 = new QPushButton(this);
  grid->addWidget(Command2, 5, 1);

  Frame1 = new QGroupBox(this);
  auto* frameGrid = new QGridLayout(Frame1);
  Label6 = new QLabel(Frame1);
  Label7 = new QLabel(Frame1);
  Label4 = new QLabel(Frame1);
  Label5 = new QLabel(Frame1);
  Look::addRows(frameGrid, {{Label6, Label7}, {Label4, Label5}});
  outer->addWidget(Frame1);

  auto* resultRow = new QGridLayout();
  Label8 = new QLabel(this);
  Label9 = new QLabel(this);
  Label11 = new QLabel(this);
  Label12 = new QLabel(this);
  Look::addRows(resultRow, {{Label8, Label9}, {Label11, Label12}});
  outer->addLayout(resultRow);
  outer->addStretch();
  Look::showAsResults({Label7, Label5, Label9, Label12});
  Label9->installEventFilter(this);
  Label12->installEventFilter(this);

  // Load: captions, tag, the main form's frequency and conductor diameter.
  applyCalculatorCaptions();
  setActive(false);
  const MainFormValues main = mainForm::values();
  Text1->setText(qs(main.preferredFrequency));
  Text2->setText(qs(vk::DefaultHeightText(Module1::decimalSeparator())));
  Combo1->setEditText(qs(main.conductorDiameter));
  clearResults();
  mnuErdbodenKor->setChecked(false);

  connect(Command1, &QPushButton::clicked, this, &frmVk::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmVk::Command2_Click);
  connect(mnuNecVkUebernehmen, &QAction::triggered, this, &frmVk::takeOverNec);
  connect(timer_, &QTimer::timeout, this, &frmVk::pollNec);
  connect(mnuVkUebernehmen, &QAction::triggered, this, [this](bool checked) {
    if (checked) takeOver();
  });
}

frmVk::~frmVk() {
  // Unloaded: nothing reads this window as the active calculator any more.
  Tag.clear();
  active_ = false;
  if (job_) {
    job_->cancel = true;
    job_->thread.join();
  }
}

void frmVk::applyCalculatorCaptions() {
  const vk::CalculatorTexts t = vk::CalculatorCaptions(Module1::language());
  setWindowTitle(qs(t.title));
  mnuOpt->setTitle(qs(t.optionsMenu));
  mnuVkUebernehmen->setText(qs(t.takeOverVk));
  mnuErdbodenKor->setText(qs(t.groundCorrection));
  Label1->setText(qs(t.frequency));
  Label2->setText(qs(t.height));
  Label3->setText(qs(t.diameter));
  Label4->setText(qs(t.heightShortening));
  Label6->setText(qs(t.slenderness));
  Label8->setText(qs(t.expectedVk));
  Command1->setText(qs(t.calculate));
  Frame1->setTitle(qs(t.shortening));
  Text1->setToolTip(qs(t.frequencyTip));
  Text2->setToolTip(qs(t.heightTip));
  Command1->setToolTip(qs(t.calculateTip));
  Label6->setToolTip(qs(t.slendernessTip));
  Label4->setToolTip(qs(t.heightShorteningTip));
  Label7->setToolTip(QString::fromUtf8(vk::kPercentTip));
  Label5->setToolTip(QString::fromUtf8(vk::kPercentTip));
  Label9->setToolTip(QString::fromUtf8(vk::kVkResultTip));
  Label8->setToolTip(QString::fromUtf8(vk::kExpectedVkTip));
  applyNecCaptions();
}

void frmVk::applyNecCaptions() {
  const vk::NecVkTexts t = vk::NecVkCaptions(Module1::language());
  Label10->setText(qs(t.ground));
  const int ground = Combo2->count() ? Combo2->currentIndex() : vk::kDefaultNecGround;
  Combo2->clear();
  for (const std::string& g : t.grounds) Combo2->addItem(qs(g));
  Combo2->setCurrentIndex(ground);
  Command2->setText(qs(job_ ? t.cancel : t.compute));
  Command2->setToolTip(qs(t.computeTip));
  Label11->setText(qs(t.result));
  Label12->setToolTip(qs(t.resultTip));
  mnuNecVkUebernehmen->setText(qs(t.takeOver));
  if (job_) Label12->setText(qs(t.running));
}

void frmVk::showNecStep(bool shown) {
  for (QWidget* w : std::initializer_list<QWidget*>{Label10, Combo2, Command2, Label11, Label12}) w->setVisible(shown);
  mnuNecVkUebernehmen->setVisible(shown);
}

void frmVk::mnuVk() {
  const bool fresh = loaded() == nullptr;
  frmVk* w = instance();
  // Chosen again, the calculator comes back as it was; after the pruning
  // layout it comes back as freshly loaded, whole in its own layout.
  if (fresh || w->layout_ != Layout::Calculator) w->setUpCalculatorLayout();
  Forms::show(w);
}

void frmVk::setUpCalculatorLayout() {
  layout_ = Layout::Calculator;
  applyCalculatorCaptions();
  QFont plain = Label1->font();
  plain.setBold(false);
  Label1->setFont(plain);
  mnuOpt->menuAction()->setVisible(true);
  showNecStep(true);
  Combo1->setToolTip(QString());
  Combo1->clear();
  for (const std::string& item : CompactConductorList(Module1::decimalSeparator())) Combo1->addItem(qs(item));
  const MainFormValues main = mainForm::values();
  Text1->setText(qs(main.preferredFrequency));
  Text2->setText(qs(vk::DefaultHeightText(Module1::decimalSeparator())));
  Combo1->setEditText(qs(main.conductorDiameter));
  clearResults();
  setActive(false);
}

void frmVk::mnuPruning() {
  frmVk* w = instance();
  // Chosen again, the pruning layout comes back with what was measured.
  if (w->layout_ == Layout::Pruning) {
    Forms::show(w);
    return;
  }
  // A NEC-2 Vk turning up in the pruning layout would belong to nothing shown.
  w->cancelNec();
  w->showNecStep(false);
  w->layout_ = Layout::Pruning;
  const char sep = Module1::decimalSeparator();
  w->setWindowTitle(qs(vk::PruningCaptions(Module1::language()).title));
  w->clearResults();
  w->Combo1->clear();
  for (const std::string& item : vk::PruningFrequencyList(sep)) w->Combo1->addItem(qs(item));
  w->Text2->clear();
  w->Combo1->setEditText(QString());
  QFont bold = w->Label1->font();
  bold.setBold(true);
  w->Label1->setFont(bold);
  w->mnuOpt->menuAction()->setVisible(false);
  w->applyPruningCaptions();
  w->Text1->setText(qs(vk::PruningLengthText(Module1::state().antennaLength, sep)));
  Forms::show(w);
}

void frmVk::takeOverMeasured(const QString& length, const QString& frequency) {
  mnuPruning();
  frmVk* w = instance();
  w->Text1->setText(length);
  w->Text2->setText(frequency);
  // The result shown belongs to the values before.
  w->clearResults();
  // What is left to type: the resonance wanted.
  w->Combo1->setFocus();
}

void frmVk::applyCaptions() {
  if (layout_ == Layout::Calculator)
    applyCalculatorCaptions();
  else
    applyPruningCaptions();
}

void frmVk::applyPruningCaptions() {
  const vk::PruningTexts t = vk::PruningCaptions(Module1::language());
  setWindowTitle(qs(t.title));
  // The calculate button and the hidden options menu keep the calculator's
  // captions, in the language of the moment.
  const vk::CalculatorTexts c = vk::CalculatorCaptions(Module1::language());
  Command1->setText(qs(c.calculate));
  mnuOpt->setTitle(qs(c.optionsMenu));
  mnuVkUebernehmen->setText(qs(c.takeOverVk));
  mnuErdbodenKor->setText(qs(c.groundCorrection));
  Text1->setToolTip(qs(t.measuredLengthTip));
  Text2->setToolTip(qs(t.measuredFrequencyTip));
  Combo1->setToolTip(qs(t.desiredFrequencyTip));
  Frame1->setTitle(qs(t.newValues));
  Label6->setText(qs(t.newLength));
  Label4->setText(qs(t.totalVk));
  Label1->setText(qs(t.measuredLength));
  Label8->setText(qs(t.change));
  Label2->setText(qs(t.measuredFrequency));
  Label3->setText(qs(t.desiredFrequency));
  Label7->setToolTip(qs(t.newLengthTip));
  Label5->setToolTip(qs(t.totalVkTip));
  Label9->setToolTip(qs(t.changeTip));
  Command1->setToolTip(qs(t.calculateTip));
  Label6->setToolTip(qs(c.slendernessTip));
  Label4->setToolTip(qs(c.heightShorteningTip));
  // Hidden here, but in the language of the moment when the calculator returns.
  applyNecCaptions();
}

QString frmVk::diameterText() {
  const frmVk* w = loaded();
  return w ? w->Combo1->currentText() : QString();
}

CalculatorState frmVk::calculatorState() {
  CalculatorState st;
  frmVk* w = loaded();
  if (!w || !w->active_) return st;
  // In the pruning layout the fields hold a measured frequency and a
  // target frequency: no height and no wire diameter to hand on.
  if (w->layout_ != Layout::Calculator) return st;
  st.active = true;
  st.height = Module1::parse(w->Text2->text());
  st.diameter = Module1::parse(w->Combo1->currentText());
  st.groundCorrection = w->mnuErdbodenKor->isChecked();
  st.heightText = utf8(w->Text2->text());
  return st;
}

void frmVk::Command1_Click() {
  if (layout_ == Layout::Calculator)
    calculateVk();
  else
    calculatePruning();
}

void frmVk::calculateVk() {
  const vk::CalculatorInputs in{utf8(Text1->text()), utf8(Text2->text()), utf8(Combo1->currentText()),
                                mnuErdbodenKor->isChecked()};
  const vk::CalculatorOutcome out = vk::CalculateVk(in, Module1::decimalSeparator());
  if (out.beeps > 0) refuse(out.reason);
  if (out.height) Text2->setText(qs(*out.height));
  if (!out.computed) {
    clearResults();
    (out.focus == vk::Field::Height ? Text2 : Text1)->setFocus();
    return;
  }
  if (out.diameter) Combo1->setEditText(qs(*out.diameter));
  ui::setTextColour(Combo1, out.diameterColour);
  ui::setTextColour(Label7, out.slendernessColour);
  Label7->setText(qs(out.slendernessText));
  ui::setTextColour(Label5, out.heightShorteningColour);
  Label5->setText(qs(out.heightShorteningText));
  lastVk_ = out.vk;
  Label9->setText(qs(out.vkText));
  resultInputs_ = inputs();
  // A NEC-2 Vk of other inputs no longer stands beside this one.
  if (!job_ && necInputs() != necResultInputs_) clearNecResult();
  if (mnuVkUebernehmen->isChecked()) takeOver();
  takeOverConductor();
  setActive(true);
}

void frmVk::calculatePruning() {
  const vk::PruningInputs in{utf8(Text1->text()), utf8(Text2->text()), utf8(Combo1->currentText())};
  const vk::PruningOutcome out = vk::CalculatePruning(in, Module1::decimalSeparator());
  if (out.beeps > 0) refuse(out.reason);
  if (!out.computed) {
    clearResults();
    switch (out.focus) {
      case vk::Field::MeasuredFrequency:
        Text2->setFocus();
        break;
      case vk::Field::DesiredFrequency:
        Combo1->setFocus();
        break;
      default:
        Text1->setFocus();
        break;
    }
    return;
  }
  ui::setTextColour(Label5, out.vkColour);
  Label5->setText(qs(out.vkText));
  Label7->setText(qs(out.newLengthText));
  Label9->setText(qs(out.changeText));
}

void frmVk::clearResults() {
  Label5->clear();
  Label7->clear();
  Label9->clear();
  // With its result gone the Vk behind it is gone too: a double-click on
  // the empty box must not hand the main form a value no longer shown.
  lastVk_ = 0;
  resultInputs_.clear();
  if (!job_) clearNecResult();
}

void frmVk::clearNecResult() {
  Label12->clear();
  lastNecVk_ = 0;
  necResultInputs_.clear();
}

int frmVk::necGroundIndex() const {
  const int index = Combo2->currentIndex();
  return index < 0 || index >= static_cast<int>(std::size(vk::kNecGrounds)) ? vk::kDefaultNecGround : index;
}

void frmVk::setNecGround(const std::string& word) {
  // A file read before the ground was kept, or one naming a ground this
  // list lacks, leaves the default.
  const std::optional<nec::Ground> g = nec::GroundFromWord(word);
  int index = vk::kDefaultNecGround;
  for (int i = 0; g && i < static_cast<int>(std::size(vk::kNecGrounds)); ++i)
    if (vk::kNecGrounds[i] == *g) index = i;
  Combo2->setCurrentIndex(index);
}

QStringList frmVk::necInputs() const { return inputs() << QString::number(Combo2->currentIndex()); }

void frmVk::Command2_Click() {
  if (job_) {
    cancelNec();
    return;
  }
  if (layout_ != Layout::Calculator) return;
  // The closed-form Vk first: its refusals and corrections as ever, and
  // the wire is cut to it.
  calculateVk();
  if (!(lastVk_ > 0)) return;
  const char sep = Module1::decimalSeparator();
  const Language lang = Module1::language();
  const vk::NecVkInputs in{
      {utf8(Text1->text()), utf8(Text2->text()), utf8(Combo1->currentText()), mnuErdbodenKor->isChecked()},
      nec::GroundWord(vk::kNecGrounds[necGroundIndex()])};
  auto job = std::make_shared<Job>();
  job->step = vk::PrepareNecVk(in, sep);
  if (!job->step.ready) {
    clearNecResult();
    showMessage(this, qs(job->step.refusal.in(lang)), qs(vk::NecVkCaptions(lang).title), Icon::Exclamation);
    return;
  }
  job->inputs = necInputs();
  job->engine = engineFactory ? engineFactory() : std::make_unique<nec::Nec2cEngine>();
  clearNecResult();
  job_ = job;
  Combo2->setEnabled(false);
  applyNecCaptions();
  job->thread = std::thread([job] { job->run(); });
  timer_->start(kPollMs);
}

void frmVk::cancelNec() {
  if (job_) job_->cancel = true;
}

void frmVk::pollNec() {
  if (job_ && job_->done) finishNec();
}

void frmVk::finishNec() {
  timer_->stop();
  std::shared_ptr<Job> job = std::move(job_);
  job->thread.join();
  Combo2->setEnabled(true);
  applyNecCaptions();
  Label12->clear();
  // Cancelled, or the window has moved on to the pruning layout: nothing to show.
  if (job->cancel || layout_ != Layout::Calculator) {
    emit necFinished();
    return;
  }
  const vk::NecVkOutcome out = vk::EvaluateNecVk(job->step, job->result, Module1::decimalSeparator());
  if (out.computed) {
    lastNecVk_ = out.vk;
    necResultInputs_ = job->inputs;
    Label12->setText(qs(out.vkText));
  } else if (!out.cancelled) {
    const Language lang = Module1::language();
    showMessage(this, qs(out.failure.in(lang)), qs(vk::NecVkCaptions(lang).title), Icon::Exclamation);
  }
  emit necFinished();
}

QStringList frmVk::inputs() const {
  return {Text1->text(), Text2->text(), Combo1->currentText(), mnuErdbodenKor->isChecked() ? "1" : "0"};
}

void frmVk::refuseTakeOver(const QString& reason) {
  showMessage(this, reason, qs(vk::TakeOverTitle(Module1::language())), Icon::Exclamation);
}

void frmVk::takeOverConductor() {
  // A change of the main form's conductor diameter is handled there like a
  // typed one (it may raise the outer diameter); one its field would not
  // keep stays out, and with it the outer diameter raised from it.
  const QString diameter = Combo1->currentText();
  if (diameter == qs(mainForm::values().conductorDiameter)) return;
  const std::string refusal =
      TakeOverRefusal(FormField::ConductorDiameter, utf8(diameter), Module1::language(), Module1::decimalSeparator());
  if (!refusal.empty()) {
    refuseTakeOver(qs(refusal));
    return;
  }
  mainForm::takeOverConductor(diameter);
}

void frmVk::takeOver() { takeOverValue(lastVk_, resultInputs_, inputs()); }

void frmVk::takeOverNec() { takeOverValue(lastNecVk_, necResultInputs_, necInputs()); }

void frmVk::takeOverValue(float vk, const QStringList& from, const QStringList& now) {
  // The pruning layout's result box holds a length change, not a Vk.
  const bool calculator = layout_ == Layout::Calculator;
  const vk::TakeOver t =
      calculator ? vk::TakeOverVk(vk, utf8(Text1->text()), Module1::decimalSeparator()) : vk::TakeOver{};
  if (!t.vk) {
    refuse(calculator ? say(Text::WindowVkNothingToTakeOver) : say(Text::WindowVkPruningTakesNothing));
    return;
  }
  // Inputs typed since the result are not what the Vk was computed for.
  const Language lang = Module1::language();
  if (now != from) {
    refuseTakeOver(qs(vk::StaleResultText(lang)));
    return;
  }
  // The Vk and its frequency go together or not at all, so that the main
  // form derives nothing from a value it did not get.
  std::string refusal = TakeOverRefusal(FormField::ShorteningFactor, *t.vk, lang, Module1::decimalSeparator());
  if (refusal.empty() && t.frequency)
    refusal = TakeOverRefusal(FormField::PreferredFrequency, *t.frequency, lang, Module1::decimalSeparator());
  if (!refusal.empty()) {
    refuseTakeOver(qs(refusal));
    return;
  }
  // The main form passes the Vk on to whoever follows it (the additional
  // dipole).
  mainForm::takeOverVk(qs(*t.vk));
  if (t.frequency) mainForm::takeOverFrequency(qs(*t.frequency));
}

void frmVk::unload() {
  Tag.clear();
  active_ = false;
  QWidget* victim = this;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) victim = sub;
  current = nullptr;
  victim->hide();
  victim->deleteLater();
}

void frmVk::closeEvent(QCloseEvent* event) {
  // Closing unloads this window: its next opening starts in the calculator
  // layout, and the calculator is inactive until it calculates again. A
  // running NEC-2 step goes with it.
  cancelNec();
  QWidget::closeEvent(event);
  if (!Forms::unloading()) unload();
}

bool frmVk::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label9 && event->type() == QEvent::MouseButtonDblClick) {
    takeOver();
    return true;
  }
  if (watched == Label12 && event->type() == QEvent::MouseButtonDblClick) {
    takeOverNec();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---- designs ----

bool frmVk::calculatorLayout() const { return layout_ == Layout::Calculator; }

void frmVk::setActive(bool active) {
  // The tag stays on screen for whoever reads it; the code asks the flag.
  active_ = active;
  Tag = QString::fromLatin1(active ? vk::kTagActive : vk::kTagLoaded);
}

void frmVk::giveInputs(design::Design& d) const {
  using design::Stored;
  if (calculatorLayout()) {
    design::CalculatorInputs& c = d.calculator ? *d.calculator : d.calculator.emplace();
    c.active = active_;
    c.frequency = Stored(utf8(Text1->text()));
    c.height = Stored(utf8(Text2->text()));
    c.diameter = Stored(utf8(Combo1->currentText()));
    c.groundCorrection = mnuErdbodenKor->isChecked();
    c.necGround = nec::GroundWord(vk::kNecGrounds[necGroundIndex()]);
  } else {
    design::PruningInputs& p = d.pruning ? *d.pruning : d.pruning.emplace();
    p.measuredLength = Stored(utf8(Text1->text()));
    p.measuredFrequency = Stored(utf8(Text2->text()));
    p.desiredFrequency = Stored(utf8(Combo1->currentText()));
  }
}

bool frmVk::takeInputs(const design::Design& d) {
  const char sep = Module1::decimalSeparator();
  const auto shown = [sep](const std::string& s) { return qs(design::Shown(s, sep)); };
  clearResults();
  if (calculatorLayout()) {
    if (!d.calculator) return false;
    Text1->setText(shown(d.calculator->frequency));
    Text2->setText(shown(d.calculator->height));
    Combo1->setEditText(shown(d.calculator->diameter));
    mnuErdbodenKor->setChecked(d.calculator->groundCorrection);
    setNecGround(d.calculator->necGround);
    // Active as it was: the next run takes height, diameter and ground
    // correction from here, as after a calculation.
    setActive(d.calculator->active);
    return true;
  }
  if (!d.pruning) return false;
  Text1->setText(shown(d.pruning->measuredLength));
  Text2->setText(shown(d.pruning->measuredFrequency));
  Combo1->setEditText(shown(d.pruning->desiredFrequency));
  return true;
}

}  // namespace lorvant
