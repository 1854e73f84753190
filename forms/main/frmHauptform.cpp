#include "forms/main/frmHauptform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "calc/bandplan.h"
#include "calc/checked.h"
#include "calc/curves.h"
#include "calc/mainform.h"
#include "calc/picture/ImageCanvas.h"
#include "calc/reports/text.h"
#include "calc/run.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"

namespace lorvant {
namespace {

QPointer<frmHauptform> theForm;
frmHauptform::CalculatorProvider calculatorProvider = nullptr;

// A band box: three states, but a click only switches between off and
// ticked. A click on a grey box clears it: every marked box (ticked or
// grey) turns off, an empty one becomes ticked.
//
// After a run the captions carry the colours of their curves. Those that
// vanish on the window (yellow, light green, light cyan on a light one) are
// written on a chip of their own; the others stay on the window.
class BandBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

  QSize sizeHint() const override { return QCheckBox::sizeHint() + QSize(2 * kChipPad, 0); }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void nextCheckState() override { setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked); }

  void paintEvent(QPaintEvent* event) override {
    const QColor ink = palette().color(QPalette::WindowText);
    const QColor ground = palette().color(QPalette::Window);
    if (!isEnabled() || contrast(ink, ground) >= 3.0) {
      QCheckBox::paintEvent(event);
      return;
    }
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();  // the style draws the box (and focus), the chip is ours
    p.drawControl(QStyle::CE_CheckBox, opt);
    opt.text = caption;
    const QRect contents = style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, this);
    const QString shown = QString(caption).remove(QLatin1Char('&'));
    const int textWidth = fontMetrics().horizontalAdvance(shown);
    const int textHeight = fontMetrics().height();
    const QRect chip(contents.left(), contents.center().y() - textHeight / 2 - 1, textWidth + 2 * kChipPad,
                     textHeight + 2);
    const QColor dark(48, 48, 48), light(248, 248, 248);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(contrast(ink, dark) >= contrast(ink, light) ? dark : light);
    p.drawRoundedRect(chip, 3, 3);
    p.restore();
    p.setPen(ink);
    p.drawText(chip, Qt::AlignCenter, shown);
    if (opt.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      focus.rect = chip.adjusted(-1, -1, 1, 1);
      p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
  }

 private:
  static constexpr int kChipPad = 3;

  // Contrast ratio of two colours as readability guidelines define it
  // (1 = none, 21 = black on white).
  static double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
      const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
      return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
  }
};

// Info: the notes of the form, in the form's own type. Its room is set by
// the layout, not by the text, so that a long note never pushes the picture
// about. A note longer than the room scrolls; a new note opens at its
// beginning, where the run writes the antenna length, so that this line is
// always in sight.
class NotesLabel : public QLabel {
 public:
  explicit NotesLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
};

class NotesArea : public QScrollArea {
 public:
  NotesArea(QLabel* notes, QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("InfoArea"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    setWidget(notes);
    viewport()->setAutoFillBackground(false);
    notes->setAutoFillBackground(false);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { verticalScrollBar()->setValue(0); });
  }

  QSize sizeHint() const override { return minimumSizeHint(); }
  // Four lines at least.
  QSize minimumSizeHint() const override {
    return QSize(fontMetrics().averageCharWidth() * 12, 4 * fontMetrics().lineSpacing() + 2);
  }
};

// Bild1: the current-curve picture, kept in its own pixel size (the size
// of AntKurve.BMP) and shown scaled to the room the form has, aspect kept,
// never beyond its own size so that its one-pixel lines and small labels
// stay sharp. An empty picture shows as a white box of the same shape.
class PictureBox : public QLabel {
 public:
  PictureBox(QSize pictureSize, QWidget* parent) : QLabel(parent), picture_(pictureSize) {
    setFrameShape(QFrame::Box);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }

  QSize sizeHint() const override { return picture_ + frameExtra(); }
  // Half size still shows the scale and the legend legibly enough to see
  // where the curves run.
  QSize minimumSizeHint() const override { return picture_ / 2 + frameExtra(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect room = contentsRect();
    const QSize shown = picture_.scaled(room.size().boundedTo(picture_), Qt::KeepAspectRatio);
    const QRect target(QPoint(room.left() + (room.width() - shown.width()) / 2, room.top()), shown);
    p.fillRect(target, Qt::white);
    const QPixmap source = pixmap();
    if (!source.isNull()) p.drawPixmap(target.topLeft(), scaledFor(source, shown));
    // The frame runs round the picture, not round the room around it.
    const int w = frameWidth();
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(target.adjusted(-w, -w, w - 1, w - 1));
  }

 private:
  QSize frameExtra() const { return QSize(2 * frameWidth(), 2 * frameWidth()); }

  // Smooth scaling at the screen's own pixel density, kept until the
  // picture or the room changes.
  const QPixmap& scaledFor(const QPixmap& source, QSize shown) {
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(shown) * ratio).toSize();
    if (source.cacheKey() != sourceKey_ || scaled_.size() != device) {
      scaled_ = device == source.size() ? source
                                        : source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      scaled_.setDevicePixelRatio(ratio);
      sourceKey_ = source.cacheKey();
    }
    return scaled_;
  }

  QSize picture_;
  QPixmap scaled_;
  qint64 sourceKey_ = 0;
};

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Colours of the 16-colour basic palette that the form uses itself.
const QColor kBlack(0, 0, 0);
const QColor kLightRed(255, 0, 0);  // colour 12

}  // namespace

frmHauptform* frmHauptform::instance() {
  if (!theForm) {
    auto* form = new frmHauptform;
    theForm = form;
    Forms::adopt(form);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) {
      // The form follows the size of the main window's area (see fitToArea).
      sub->installEventFilter(form);
      if (QMdiArea* area = sub->mdiArea()) area->installEventFilter(form);
      QObject::connect(sub, &QMdiSubWindow::windowStateChanged, form,
                       [form](Qt::WindowStates before, Qt::WindowStates now) {
                         if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) form->activate();
                       });
    }
    form->load();
  }
  return theForm;
}

frmHauptform* frmHauptform::loaded() { return theForm; }

void frmHauptform::setCalculatorProvider(CalculatorProvider provider) { calculatorProvider = provider; }

CalculatorState frmHauptform::calculatorState() {
  return calculatorProvider ? calculatorProvider() : CalculatorState{};
}

frmHauptform::frmHauptform(QWidget* parent) : QWidget(parent) {
  setObjectName("frmHauptform");
  buildControls();
  connectHandlers();
}

frmHauptform::~frmHauptform() = default;

QString frmHauptform::general(float value) { return qs(report::FormatGeneral(value, Module1::decimalSeparator())); }

QString frmHauptform::picture(float value, const char* pic) {
  return qs(report::FormatPicture(value, pic, Module1::decimalSeparator()));
}

void frmHauptform::buildControls() {
  auto named = [](QWidget* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
  };
  auto edit = [&](const char* name, int maxLength) {
    auto* e = new QLineEdit(this);
    named(e, name);
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
  };
  auto label = [&](const char* name) {
    auto* l = new QLabel(this);
    named(l, name);
    return l;
  };

  Text1 = edit("Text1", 7);
  Text2 = edit("Text2", 4);
  Text2->setText(kDefaultHalfWaves);
  Text3 = edit("Text3", 5);
  Text4 = edit("Text4", 7);
  Text4->setText(kDefaultShorteningFactor);
  Text5 = edit("Text5", 0);
  Text5->setText(kDefaultTolerance);
  Text5->setEnabled(false);
  Text6 = edit("Text6", 5);
  Text6->setEnabled(false);
  Text8 = edit("Text8", 0);
  Combo1 = new QComboBox(this);
  named(Combo1, "Combo1");
  Fields::keepTypedText(Combo1);
  Combo2 = new QComboBox(this);
  named(Combo2, "Combo2");
  Fields::keepTypedText(Combo2);
  Combo2->setEnabled(false);

  VkSteller = new QScrollBar(Qt::Vertical, this);
  named(VkSteller, "VkSteller");
  VkSteller->setRange(0, 1000);
  VkSteller->setSingleStep(1);
  VkSteller->setPageStep(1);
  VkSteller->setFocusPolicy(Qt::StrongFocus);
  VkSteller->setFixedHeight(Text4->sizeHint().height() + 4);

  Label1 = label("Label1");
  Label2 = label("Label2");
  Label2->setWordWrap(true);
  Label3 = label("Label3");
  Label3->setEnabled(false);
  Label4 = label("Label4");
  Label4->setEnabled(false);
  Label6 = label("Label6");
  Label7 = label("Label7");
  Label8 = label("Label8");
  Label9 = label("Label9");
  Label9->setText("mm");
  Label9->setEnabled(false);
  Label10 = label("Label10");
  Label10->setEnabled(false);
  Label11 = label("Label11");
  Label11->setEnabled(false);
  Label12 = label("Label12");
  Label1->setBuddy(Text1);
  Label2->setBuddy(Text2);
  Label6->setBuddy(Text3);
  Label7->setBuddy(Text4);
  Label8->setBuddy(Combo1);

  for (int i = 0; i < kBandCount; ++i) {
    auto* box = new BandBox(QString::fromLatin1(BandCaption(i)), this);
    box->setObjectName(QStringLiteral("Check1_%1").arg(i));
    box->setTristate(true);
    box->setToolTip(QString::fromLatin1(BandTip(i)));
    Check1[i] = box;
  }
  Check10 = new QCheckBox(this);
  named(Check10, "Check10");
  Check10->setToolTip("6 - 160 m");
  Check2 = new QCheckBox(this);
  named(Check2, "Check2");
  Check11 = new QCheckBox(this);
  named(Check11, "Check11");

  for (int i = 0; i < 3; ++i) {
    Option1[i] = new QRadioButton(this);
    Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
    Option2[i] = new QRadioButton(this);
    Option2[i]->setObjectName(QStringLiteral("Option2_%1").arg(i));
  }
  Option3 = new QRadioButton(this);
  named(Option3, "Option3");
  Option4 = new QRadioButton(this);
  named(Option4, "Option4");

  Command1 = new QPushButton(this);
  named(Command1, "Command1");
  Command2 = new QPushButton(this);
  named(Command2, "Command2");
  Command2->setEnabled(false);

  Info = new NotesLabel(this);
  named(Info, "Info");
  Info->setText(QString::fromUtf8("Hinweis: "));
  Info->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Bild1 = new PictureBox(QSize(kPictureWidth, kPictureHeight), this);
  named(Bild1, "Bild1");

  // Compact frames: the form has to fit the main window at its default
  // size with the picture below.
  const auto framed = [](QLayout* l) {
    l->setContentsMargins(8, 2, 8, 6);
    l->setSpacing(4);
  };
  // The fields of a column share one width, wide enough for what they take.
  const int fieldWidth = Text1->fontMetrics().horizontalAdvance(QStringLiteral("0000,000")) + 12;

  Frame3 = new QGroupBox(this);
  named(Frame3, "Frame3");
  {
    auto* g = new QGridLayout(Frame3);
    framed(g);
    // Label1 and Label6 keep to one line and so set the least width of the
    // column; the long Label2 wraps into the two lines it always gets.
    Label2->setMinimumHeight(2 * Label2->fontMetrics().lineSpacing());
    g->addWidget(Label1, 0, 0);
    g->addWidget(Text1, 0, 1, Qt::AlignLeft);
    g->addWidget(Label2, 1, 0);
    g->addWidget(Text2, 1, 1, Qt::AlignLeft);
    g->addWidget(Label6, 2, 0);
    g->addWidget(Text3, 2, 1, Qt::AlignLeft);
    g->addWidget(Label7, 3, 0);
    auto* vk = new QHBoxLayout;
    vk->setSpacing(2);
    vk->addWidget(Text4);
    vk->addWidget(VkSteller);
    vk->addStretch(1);
    g->addLayout(vk, 3, 1);
    g->setColumnStretch(0, 1);
    for (QLineEdit* e : {Text1, Text2, Text3}) e->setFixedWidth(fieldWidth);
    Text4->setFixedWidth(fieldWidth - VkSteller->sizeHint().width() - 2);
  }
  Frame4 = new QGroupBox(this);
  named(Frame4, "Frame4");
  {
    // The three modes side by side; the tolerance belongs to the middle one
    // and stands under it.
    auto* g = new QGridLayout(Frame4);
    framed(g);
    g->setHorizontalSpacing(10);
    g->addWidget(Option2[0], 0, 0);
    g->addWidget(Option2[1], 0, 1);
    g->addWidget(Option2[2], 0, 2);
    auto* tol = new QHBoxLayout;
    tol->setSpacing(4);
    tol->setContentsMargins(Option2[1]->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + 4, 0, 0, 0);
    tol->addWidget(Label4);
    tol->addWidget(Text5);
    tol->addWidget(Label3);
    tol->addStretch(1);
    g->addLayout(tol, 1, 1, 1, 2);
    g->setColumnStretch(2, 1);
    Text5->setFixedWidth(Text5->fontMetrics().horizontalAdvance(QStringLiteral("000,0")) + 12);
  }
  Frame5 = new QGroupBox(this);
  named(Frame5, "Frame5");
  {
    auto* g = new QGridLayout(Frame5);
    framed(g);
    g->addWidget(Label8, 0, 0);
    g->addWidget(Combo1, 0, 1);
    g->addWidget(Label11, 1, 0);
    g->addWidget(Combo2, 1, 1);
    g->addWidget(Label10, 2, 0);
    auto* diameter = new QHBoxLayout;
    diameter->setSpacing(4);
    Text6->setFixedWidth(fieldWidth);
    diameter->addWidget(Text6);
    diameter->addWidget(Label9);
    diameter->addStretch(1);
    g->addLayout(diameter, 2, 1);
    g->setColumnStretch(1, 1);
    // The lists hold long entries that must not widen the column; the
    // open list is as wide as its entries.
    for (QComboBox* c : {Combo1, Combo2}) {
      c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
      c->setMinimumContentsLength(12);
    }
  }
  Frame2 = new QGroupBox(this);
  named(Frame2, "Frame2");
  {
    // Six columns of two rows, the same width each: the captions are the
    // colour legend of the picture and must be read at a glance.
    auto* g = new QGridLayout(Frame2);
    framed(g);
    g->setHorizontalSpacing(6);
    for (int i = 0; i < kBandCount; ++i) g->addWidget(Check1[i], i / 6, i % 6);
    g->addWidget(Check10, 1, 5);
    for (int c = 0; c < 6; ++c) g->setColumnStretch(c, 1);
  }
  Frame1 = new QGroupBox(this);
  named(Frame1, "Frame1");
  {
    auto* h = new QHBoxLayout(Frame1);
    framed(h);
    for (auto* o : Option1) h->addWidget(o);
    h->addStretch(1);
  }
  Frame6 = new QGroupBox(this);
  named(Frame6, "Frame6");
  {
    auto* h = new QHBoxLayout(Frame6);
    framed(h);
    h->addWidget(Option3);
    h->addWidget(Option4);
    h->addStretch(1);
  }

  auto* left = new QVBoxLayout;
  left->setSpacing(4);
  left->addWidget(Frame3);
  left->addWidget(Frame4);
  left->addWidget(Frame5);
  left->addStretch(1);

  auto* right = new QVBoxLayout;
  right->setSpacing(4);
  right->addWidget(Frame2);
  right->addWidget(Frame1);
  right->addWidget(Frame6);
  // Minimum and switches on the left, the two commands stacked on the
  // right, as in a dialog.
  auto* settings = new QGridLayout;
  settings->setVerticalSpacing(4);
  auto* minimum = new QHBoxLayout;
  minimum->setSpacing(4);
  minimum->addWidget(Label12);
  Text8->setFixedWidth(fieldWidth);
  minimum->addWidget(Text8);
  minimum->addStretch(1);
  settings->addLayout(minimum, 0, 0);
  settings->addWidget(Check2, 1, 0);
  settings->addWidget(Check11, 2, 0);
  settings->addWidget(Command1, 0, 1);
  settings->addWidget(Command2, 1, 1);
  settings->setColumnStretch(0, 1);
  settings->setColumnMinimumWidth(1, 14 * Command1->fontMetrics().averageCharWidth());
  right->addLayout(settings);
  right->addWidget(new NotesArea(Info, this), 1);

  auto* top = new QHBoxLayout;
  top->setSpacing(8);
  // The band grid sets the width of the right column; the long captions
  // of the left column take the rest.
  top->addLayout(left, 1);
  top->addLayout(right, 0);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 6, 6, 6);
  outer->setSpacing(6);
  outer->addLayout(top);
  outer->addWidget(Bild1, 1);

  Option1[2]->setChecked(true);
  Option2[0]->setChecked(true);
  Option3->setChecked(true);

  // Tab walks the form as it reads: length, mode, insulation, bands,
  // segment, feed point, minimum, switches, commands.
  QList<QWidget*> order = {Text1, Text2, Text3, Text4, VkSteller, Option2[0], Option2[1], Option2[2], Text5,
                           Combo1, Combo2, Text6};
  for (QCheckBox* box : Check1) order << box;
  order << Check10 << Option1[0] << Option1[1] << Option1[2] << Option3 << Option4 << Text8 << Check2 << Check11
        << Command1 << Command2;
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmHauptform::load() {
  HauptForm_Sprache();
  fillMaterialList();
  fillConductorList();
  const RunInput loaded = LoadedFormInput(Module1::language(), Module1::decimalSeparator());
  Text1->setText(qs(loaded.preferredFrequency));
  Text6->setText(qs(loaded.outerDiameter));
  Combo2->setEditText(qs(loaded.conductorDiameter));
  Text8->setText(qs(loaded.minimumSum));
  VkSteller->setValue(50);
}

void frmHauptform::fillMaterialList() {
  const QSignalBlocker quiet(Combo1);
  const QString typed = Combo1->currentText();
  const bool refill = Combo1->count() > 0;
  Combo1->clear();
  for (const std::string& item : MaterialList(Module1::language(), Module1::decimalSeparator())) Combo1->addItem(qs(item));
  Combo1->setCurrentIndex(-1);
  // At load the air entry is the text; a language switch renames the list
  // and keeps what the field holds.
  Combo1->setEditText(refill ? typed : qs(AirEntry(Module1::language(), Module1::decimalSeparator())));
}

void frmHauptform::fillConductorList() {
  const QSignalBlocker quiet(Combo2);
  Combo2->clear();
  for (const std::string& item : ConductorList(Module1::decimalSeparator())) Combo2->addItem(qs(item));
  Combo2->setCurrentIndex(-1);
}

void frmHauptform::HauptForm_Sprache() {
  const auto t = [](const char* de, const char* en) { return Module1::tr(de, en); };
  setWindowTitle(t("Berechnung einer Stromsummenantenne  ", "Calculation of a current sum antenna  "));
  Info->setText(t("Hinweis:", "Note:"));
  Frame3->setTitle(t("Antennen&länge:", "Antenna &length:"));
  Label1->setText(qs(FrequencyLabel(Module1::language())));
  Label2->setText(t("geplante Antennenlänge in Anzahl &Halbwellen des bevorzugten Bandes:",
                    "Planned antenna length in number of &half-waves of the preferred Band:"));
  Frame4->setTitle(t(" &Optimieren für Band:", " &Optimize for band:"));
  Option2[0]->setText(t("bevorzugtes", "preferred"));
  Option2[1]->setText(t("höchstes und tiefstes", "highest and deepest"));
  Option2[2]->setText(t("alle", "all"));
  Check10->setText(t("alle", "all"));
  Label4->setText(t("bei max", "at max"));
  Label3->setText(t("% Toleranz", "% tolerance"));
  Label6->setText(t("oder  maximal  mögliche  Drahtlän&ge  [m]:", "or maximum possible wire length [m]:"));
  Label7->setText(t("&Verkürzungs - Faktor Vk:  ", "Shortening factor &Vk:  "));
  Frame5->setTitle(t("Draht&isolierung", "Wire &insulation"));
  Label8->setText(t("relative Di&elektrizitätszahl :", "relative di&electric constant :"));
  Label10->setText(t("Außendurchmesser:", "Outer diameter:"));
  Label11->setText(t("Leiterdurchmesser:", "Conductor diameter:"));
  Frame2->setTitle(t("Antenne berechnen für Ba&nd [MHz]:", "Calculate antenna for &band [MHz]:"));
  Frame1->setTitle(t("Stroms&ummen im Band für:", "Current sums in the Band for:"));
  Option1[0]->setText(t("&CW-Bereich", "CW - &area"));
  Option1[1]->setText(t("&SSB-Bereich", "&SSB - area"));
  Option1[2]->setText(t("Band&mitte", "Band center"));
  Label12->setText(t("Stroms. -  Minimum: ", "Currents.-  minimum: "));
  Check2->setText(t("klassische &WINDOM berechnen", "Calculate classic &WINDOM"));
  Check11->setText(t("Spezial - &Tabelle erstellen", "Create special - &table"));
  Frame6->setTitle(t("Speise&punkt optimieren für:", "Optimize feed &point for:"));
  Option3->setText(t("maximale Stromsumme", "Maximum current sum"));
  Option4->setText(t("gleiche Impedanzen", "equal Impedances"));
  Command1->setText(t("&Rechnen", "Calc&ulate"));
  Command2->setText(t("&Anzeigen", "&Displays"));
  Command2->setToolTip(t(" Ergebnisse anzeigen ", " show results "));
  Command1->setToolTip(t(" Berechnung durchführen  ", " Perform calculation  "));
  Text4->setToolTip(t(" aus Schlankheitsgrad u. Antennenhöhe ", " from slimness degree and antenna height "));
  Combo1->setToolTip(t(" Isolier-Material ", " Isulation-material "));
  Text6->setToolTip(t(" Gesamtdurchmesser ", " Total diameter "));
  Combo2->setToolTip(t("Drahtdurchmesser", " Wire diameter "));
  Bild1->setToolTip(
      t("Ströme der einzelnen Frequenzen auf der Antenne", " Currents of the individual frequencies on the antenna "));
  Frame5->setToolTip(t("für zusätzlichen Verkürzungsfaktor bei isoliertem Draht",
                       " for an additional shortening factor for insulated wire "));
  if (Combo1->count() > 0) fillMaterialList();
}

void frmHauptform::connectHandlers() {
  const std::array<QObject*, 11> watched = {Text1,  Text2,  Text3,     Text4,   Text5, Text6,
                                            Text8, Combo1, Combo2, VkSteller, Command2};
  for (QObject* w : watched) w->installEventFilter(this);
  for (QCheckBox* box : Check1) box->installEventFilter(this);
  // Combo2 takes any text: its list entries name the cross-section.
  Fields::filterNumbers(Text2, kWholeKeys);
  for (QLineEdit* e : {Text1, Text3, Text4, Text5, Text6, Text8}) Fields::filterNumbers(e, kDecimalKeys);
  Fields::filterNumbers(Combo1, kDecimalKeys);

  for (int i = 0; i < kBandCount; ++i)
    connect(Check1[i], &QCheckBox::clicked, this, [this, i] { bandClicked(i); });
  connect(Check10, &QCheckBox::toggled, this, &frmHauptform::allBandsToggled);
  connect(Check2, &QCheckBox::toggled, this, &frmHauptform::windomToggled);
  connect(Option3, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Check2->setChecked(false);
  });
  for (int i = 0; i < 3; ++i) {
    connect(Option1[i], &QRadioButton::clicked, this, [this, i] { segmentClicked(i); });
    connect(Option2[i], &QRadioButton::toggled, this, [this](bool on) {
      if (on) lengthModeChanged();
    });
  }
  connect(Text1, &QLineEdit::textChanged, this, [this] { deriveHalfWaves(false); });
  connect(Text4, &QLineEdit::textChanged, this, &frmHauptform::vkChanged);
  connect(VkSteller, &QScrollBar::valueChanged, this, &frmHauptform::spinnerChanged);
  connect(Combo1, &QComboBox::activated, this, &frmHauptform::materialChosen);
  connect(Combo2, &QComboBox::editTextChanged, this, &frmHauptform::conductorCheck);
  connect(Combo2, &QComboBox::activated, this, &frmHauptform::conductorCheck);
  connect(Command1, &QPushButton::clicked, this, &frmHauptform::runCalculation);
  connect(Command2, &QPushButton::clicked, this, &frmHauptform::showReport);
}

// ---- band boxes -----------------------------------------------------------

void frmHauptform::allBandsToggled(bool on) {
  if (!on) return;
  seam().processEvents();
  for (int i = 0; i < kBandCount; ++i) setBandValue(i, kBandCounted);
}

void frmHauptform::bandClicked(int) { Check10->setChecked(false); }

bool frmHauptform::bandKey(int index, int key, Qt::KeyboardModifiers mods) {
  if (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier)) return false;
  const int before = bandValue(index);
  if (key == Qt::Key_0) {
    if (before == kBandCounted) setBandValue(index, kBandGrey);
  } else if (key == Qt::Key_1) {
    setBandValue(index, kBandCounted);
  } else {
    return false;
  }
  // A box changed by key is a change by the user as much as a click.
  if (bandValue(index) != before) Check10->setChecked(false);
  return true;
}

void frmHauptform::windomToggled(bool on) {
  if (!on) return;
  Option4->setChecked(true);
  const WindomPreset preset = WindomPresetFor(bandValues());
  for (int i = 0; i < kBandCount; ++i) setBandValue(i, preset.bands[i]);
  Text1->setText(general(kDefaultPreferredFrequency));
  Text2->setText(qs(preset.halfWaves));
}

void frmHauptform::colourBandBoxes() {
  for (int i = 0; i < kBandCount; ++i) {
    const Rgb c = PaletteColour(BandCheckColour(i, bandValue(i)));
    QPalette pal = Check1[i]->palette();
    pal.setColor(QPalette::WindowText, QColor(c.r, c.g, c.b));
    Check1[i]->setPalette(pal);
  }
}

// ---- length, segment, half-waves ------------------------------------------

void frmHauptform::lengthModeChanged() {
  const bool tolerance = Option2[1]->isChecked();
  Text5->setEnabled(tolerance);
  Label3->setEnabled(tolerance);
  Label4->setEnabled(tolerance);
  Text3->setEnabled(!tolerance);
  Label6->setEnabled(!tolerance);
}

void frmHauptform::toleranceLeft() {
  const float v = Module1::parse(Text5->text());
  if (v == 0 || v >= 100) {
    seam().beep();
    Text5->setText(kDefaultTolerance);
    seam().processEvents();
  }
  Option2[1]->setToolTip(Module1::german() ? "bei max " + Text5->text() + "% Abweichung"
                                           : "with maximum " + Text5->text() + "% deviation");
}

void frmHauptform::segmentClicked(int index) {
  const float f = Module1::parse(Text1->text());
  const float r = SegmentFrequenz(index + 1, f);
  if (r > 0) Text1->setText(picture(r, "##0.0##"));
}

void frmHauptform::halfWavesKeyReleased() {
  if (!Text2->text().isEmpty() && Module1::parse(Text2->text()) > 0) Text3->clear();
}

void frmHauptform::wireLengthKeyReleased() {
  if (!Text3->text().isEmpty() && Module1::parse(Text3->text()) > 0) Text2->clear();
}

namespace {
// One step of the half-wave derivation: a step whose result is not a
// number of single precision (or does not fit a whole count) leaves its
// target alone.
using checked::step;
using checked::whole16;
using checked::withinSingle;
double quotient(double a, double b) { return withinSingle(checked::div(a, b)); }
}  // namespace

void frmHauptform::deriveHalfWaves(bool fromHalfWaveFocus) {
  float H = Module1::parse(Text2->text());
  const float L = Module1::parse(Text3->text());
  const float F = Module1::parse(Text1->text());
  const float V = Module1::parse(Text4->text());
  if (H == 0 && L == 0) return;
  if (H == 0 && L > 0) {
    double w = 0;
    float n = 0;
    float k = 0;
    float length = 0;
    step(w, [&] { return quotient(150.0, F); });
    step(n, [&] { return sng(withinSingle(quotient(quotient(L, V), w))); });
    step(k, [&] { return whole16(n); });
    step(length, [&] {
      float count = k;
      float f0 = F;
      return AntennenLaenge(count, V, Module1::state().insulation, f0, lengthContext());
    });
    if (length > L) step(n, [&] { return sng(withinSingle(double(n) - 1.0)); });
    step(H, [&] { return whole16(n); });
    Text2->setText(general(H));
  }
  float B = 0;
  for (int i = 0; i < kBandCount; ++i)
    if (bandValue(i) == kBandCounted) {
      B = BandNennFrequenz(i);
      break;
    }
  float ratio = 0;
  if (H != 0) step(ratio, [&] { return sng(quotient(F, H)); });
  if (ratio != B) {
    float m = 0;
    step(m, [&] { return whole16(quotient(F, B)); });
    if (m > H) {
      if (fromHalfWaveFocus) seam().beep();
      Text2->setText(general(m));
    }
  }
}

// ---- shortening factor and spinner ----------------------------------------

namespace {
// (1 - v) * 1000 as a whole spinner position, halves to even.
int spinnerPosition(float v) { return toInt32(sng((1.0 - v) * 1000.0)).value_or(0); }
}  // namespace

void frmHauptform::vkChanged() {
  const bool low = Module1::parse(Text4->text()) < 0.8;
  QPalette pal = Text4->palette();
  pal.setColor(QPalette::Text, low ? kLightRed : kBlack);
  Text4->setPalette(pal);
}

void frmHauptform::vkLeft() {
  const float v = Module1::parse(Text4->text());
  if (!(v > 0 && v <= 1)) {
    Info->setText(Module1::tr(" Bitte einen Verkürzungsfaktor von 0 - 1,0 (typisch 0,946) eintragen!",
                              " Please enter a shortening factor of 0 - 1,0 (typically 0,946)!"));
    Text4->setText(kTypicalShorteningFactorText);
    seam().beep();
    seam().processEvents();
  } else if (v == 1) {
    Combo1->setEditText("1,0");
    setInsulationEnabled(false, true);
    seam().beep();
    seam().processEvents();
  } else {
    VkSteller->setValue(spinnerPosition(v));
  }
}

void frmHauptform::spinnerFocused() {
  VkSteller->setValue(spinnerPosition(Module1::parse(Text4->text())));
  seam().processEvents();
}

void frmHauptform::spinnerChanged(int a) {
  const int d = spinnerPosition(Module1::parse(Text4->text()));
  if (!spinnerAdjusting_ && (a < d - 1 || a > d + 1)) {
    // The field was edited since the spinner last moved: the step the user
    // just made applies to the edited value. The corrected position is
    // final; judging it again against the old previous value would walk
    // the spinner to the end of its range.
    const int g = (a - spinnerPrevious_) + d;
    if (VkSteller->value() != g) {
      spinnerAdjusting_ = true;
      VkSteller->setValue(g);
      spinnerAdjusting_ = false;
    }
  }
  spinnerPrevious_ = VkSteller->value();
  Text4->setText(picture(sng(1.0 - VkSteller->value() / 1000.0), "0.00##"));
}

void frmHauptform::syncSpinnerFromVk() {
  const float v = Module1::parse(Text4->text());
  VkSteller->setValue(1000 - toInt32(sng(v * 1000.0)).value_or(0));
}

// ---- insulation -------------------------------------------------------------

void frmHauptform::setInsulationEnabled(bool on, bool withMmLabel) {
  Text6->setEnabled(on);
  Combo2->setEnabled(on);
  Label10->setEnabled(on);
  Label11->setEnabled(on);
  if (withMmLabel) Label9->setEnabled(on);
}

void frmHauptform::materialChosen(int index) { setInsulationEnabled(index >= kFirstInsulatingMaterial, false); }

void frmHauptform::materialKeyReleased() { setInsulationEnabled(IsInsulated(Module1::parse(Combo1->currentText())), true); }

void frmHauptform::conductorCheck() {
  const float c = Module1::parse(Combo2->currentText());
  const float o = Module1::parse(Text6->text());
  if (!(o > c)) Text6->setText(picture(sng(c + 1.0), "##0.0"));
  emit conductorChanged(Combo2->currentText());
}

// ---- minimum current sum, commands, activation ------------------------------

void frmHauptform::minimumLeft() {
  const float v = Module1::parse(Text8->text());
  if (!(v > 0) || v > 1) {
    Info->setText(Module1::tr("Hinweis: Bitte min. Stromsumme 0,01 - 1,0 (typisch 0,1 - 0,8) eintragen !",
                              "Note: Please enter minimum current sum 0.01 - 1,0 (typisch 0,1 - 0,8) !"));
    seam().processEvents();
    Text8->setText(general(kDefaultMinimumSum));
    seam().beep();
  }
}

void frmHauptform::showReportLeft() {
  Command2->setEnabled(false);
  Forms::setStatus(activeStatus());
}

QString frmHauptform::activeStatus() {
  return Module1::tr("Status: Berechnung einer Stromsummenantenne", "Status: Calculate a current-sum antenna");
}

void frmHauptform::activate() {
  Forms::setStatus(activeStatus());
  Text3->clear();
  syncSpinnerFromVk();
}

void frmHauptform::showReport() { Module1::showFile(Module1::state().reportPath); }

// ---- the run ----------------------------------------------------------------

namespace {

// The run's questions as message boxes, its beeps, its progress display
// (shown by the seam once the run lasts longer than about half a second)
// and the picture of Bild1.
class FormRunHost final : public RunHost {
 public:
  FormRunHost(QWidget* parent, Canvas& canvas) : parent_(parent), canvas_(canvas) {}
  Answer ask(const Question& q) override { return lorvant::ask(parent_, q); }
  void beep() override { seam().beep(); }
  bool progress(double fraction) override {
    // Started with the scan, not before: a question box of the run must
    // not have a progress display come up behind it.
    if (!progress_)
      progress_ = seam().startProgress(parent_, Module1::tr("Stromsummen werden berechnet ...",
                                                            "Calculating the current sums ..."));
    return progress_->update(fraction);
  }
  Answer errorHandler(const Question& q) override { return lorvant::ask(parent_, q); }
  Canvas& canvas() override { return canvas_; }

 private:
  QWidget* parent_;
  Canvas& canvas_;
  std::unique_ptr<ProgressHandle> progress_;
};

std::string utf8(const QString& s) { return s.toStdString(); }

struct BusyPointer {
  BusyPointer() { seam().setBusy(true); }
  ~BusyPointer() { seam().setBusy(false); }
};

}  // namespace

RunInput frmHauptform::runInput() const {
  RunInput in;
  in.preferredFrequency = utf8(Text1->text());
  in.halfWaves = utf8(Text2->text());
  in.maxWireLength = utf8(Text3->text());
  in.shorteningFactor = utf8(Text4->text());
  in.tolerance = utf8(Text5->text());
  in.outerDiameter = utf8(Text6->text());
  in.minimumSum = utf8(Text8->text());
  in.dielectric = utf8(Combo1->currentText());
  in.conductorDiameter = utf8(Combo2->currentText());
  in.bands = bandValues();
  in.windom = Check2->isChecked();
  in.specialTable = Check11->isChecked();
  in.segmentIndex = segment() - 1;
  in.lengthMode = lengthMode();
  in.equalImpedances = Option4->isChecked();
  in.calculator = calculatorState();
  in.language = Module1::language();
  in.decimalSeparator = Module1::decimalSeparator();
  in.resultsFolder = Module1::nativePath(Module1::state().resultsFolder);
  in.programFolder = Module1::nativePath(Module1::pictureFolderBesideProgram(QCoreApplication::applicationDirPath()));
  in.dateText = utf8(Module1::generalDateTime());
  return in;
}

MainFormValues frmHauptform::values() const {
  MainFormValues v;
  v.preferredFrequency = utf8(Text1->text());
  v.halfWaves = utf8(Text2->text());
  v.shorteningFactor = utf8(Text4->text());
  v.minimumSum = utf8(Text8->text());
  v.conductorDiameter = utf8(Combo2->currentText());
  v.bands = bandValues();
  v.segmentIndex = -1;
  for (int i = 0; i < 3; ++i)
    if (Option1[i]->isChecked()) v.segmentIndex = i;
  v.lengthMode = lengthMode();
  v.tolerancePercent = Module1::parse(Text5->text());
  v.note = utf8(Info->text());
  const Module1::State& s = Module1::state();
  v.run.length = s.antennaLength;
  v.run.insulation = s.insulation;
  v.run.extraBand = s.extraBandOn;
  v.run.extraFrequency = s.extraBandFrequency;
  v.run.candidates = lastCandidates_;
  v.run.conductorDiameter = lastRun_.conductorDiameter;
  v.run.report = lastRun_.report;
  v.calculator = calculatorState();
  return v;
}

void frmHauptform::runCalculation() {
  // A folder that takes no files is said before the work, not after it.
  if (!Module1::ensureWritableResultsFolder(this)) return;
  if (!canvas_) canvas_ = std::make_unique<ImageCanvas>(kPictureWidth, kPictureHeight);
  RunOutput out;
  {
    const BusyPointer busy;
    FormRunHost host(this, *canvas_);
    const RunInput in = runInput();
    out = RunOptimisation(in, host);
    lastRun_.conductorDiameter = in.conductorDiameter;
  }
  applyRunOutput(out);
  emit runFinished(out.outcome == RunOutcome::Completed || out.outcome == RunOutcome::FilesMissing);
}

void frmHauptform::showCancelled() {
  QString note = Module1::tr("Berechnung abgebrochen.", "Calculation cancelled.");
  if (!Module1::state().reportPath.isEmpty())
    note += Module1::tr(" Die Dateien der letzten vollständigen Berechnung bleiben erhalten.",
                        " The files of the last complete calculation are kept.");
  Info->setText(note);
  clearResults();
  Forms::setStatus(activeStatus());
}

void frmHauptform::clearResults() {
  // Nothing of a run that stopped early was written: neither a picture
  // (half-drawn, or the one of the run before) nor the display command nor
  // the band colours of that picture's legend may suggest otherwise.
  canvas_->clear();
  Bild1->setPixmap(QPixmap::fromImage(canvas_->image()));
  Command2->setEnabled(false);
  for (QCheckBox* box : Check1) box->setPalette(QPalette());
}

void frmHauptform::applyRunOutput(const RunOutput& out) {
  // Text1 first: its change derives the half-waves from the old count,
  // which the run's own count then replaces.
  if (out.preferredFrequency) Text1->setText(qs(*out.preferredFrequency));
  if (out.halfWaves) Text2->setText(qs(*out.halfWaves));
  if (out.segmentIndex && *out.segmentIndex >= 0 && *out.segmentIndex < 3)
    Option1[*out.segmentIndex]->setChecked(true);
  if (out.equalImpedances) Option4->setChecked(true);
  for (int i = 0; i < kBandCount; ++i)
    if (bandValue(i) != out.bands[i]) setBandValue(i, out.bands[i]);
  Info->setText(qs(out.info));
  Bild1->setPixmap(QPixmap::fromImage(canvas_->image()));
  if (out.pictureLabelled) colourBandBoxes();

  Module1::State& shared = Module1::state();
  shared.insulation = out.insulation;
  shared.extraBandOn = out.extraBand;
  shared.extraBandFrequency = out.extraFrequency;
  if (out.preferredFrequency) shared.antennaLength = out.length;
  lastCandidates_ = out.candidates;
  lastRun_.report = out.reportData;
  if (!out.reportPath.empty()) shared.reportPath = Module1::fromNativePath(out.reportPath);

  const bool ranThrough = out.outcome == RunOutcome::Completed || out.outcome == RunOutcome::FilesMissing;
  if (out.outcome == RunOutcome::Cancelled)
    showCancelled();
  else if (!ranThrough)
    clearResults();
  // "Anzeigen" shows this run's report; after a run that could not write it
  // there is nothing of this run to show.
  if (ranThrough) Command2->setEnabled(!out.reportPath.empty());
  if (!out.status.empty()) Forms::setStatus(qs(out.status));
  if (out.focus == RunFocus::Dielectric)
    Combo1->setFocus();
  else if (out.focus == RunFocus::ConductorDiameter)
    Combo2->setFocus();
}
int frmHauptform::bandValue(int index) const {
  switch (Check1[index]->checkState()) {
    case Qt::Checked: return kBandCounted;
    case Qt::PartiallyChecked: return kBandGrey;
    default: return kBandOff;
  }
}

void frmHauptform::setBandValue(int index, int value) {
  Check1[index]->setCheckState(value == kBandCounted ? Qt::Checked
                               : value == kBandGrey  ? Qt::PartiallyChecked
                                                     : Qt::Unchecked);
}

BandValues frmHauptform::bandValues() const {
  BandValues v{};
  for (int i = 0; i < kBandCount; ++i) v[i] = bandValue(i);
  return v;
}

int frmHauptform::segment() const {
  for (int i = 0; i < 3; ++i)
    if (Option1[i]->isChecked()) return i + 1;
  return kSegmentCentre;
}

int frmHauptform::lengthMode() const {
  for (int i = 0; i < 3; ++i)
    if (Option2[i]->isChecked()) return i;
  return kLengthPreferred;
}

LengthContext frmHauptform::lengthContext() const {
  LengthContext ctx;
  ctx.bands = bandValues();
  ctx.segment = segment();
  ctx.lengthMode = lengthMode();
  ctx.tolerancePercent = Module1::parse(Text5->text());
  ctx.extraBand = Module1::state().extraBandOn;
  ctx.extraFrequency = Module1::state().extraBandFrequency;
  ctx.calc = calculatorState();
  return ctx;
}

namespace {
// Focus that leaves because another window or a popup came up is no
// "leaving the field": the user has not moved on.
bool leftField(QEvent* event) {
  const auto reason = static_cast<QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
}  // namespace

void frmHauptform::fitToArea() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  QMdiArea* area = sub ? sub->mdiArea() : nullptr;
  if (!area || sub->isMaximized() || sub->isMinimized()) return;
  // Once the user has sized the window himself, his size stands.
  if (fittedSize_.isValid() && sub->size() != fittedSize_) return;
  // As large as the area allows, up to the size at which the picture is
  // shown in its own pixels; never below what keeps every field usable
  // (the area scrolls then).
  const QSize room = area->contentsRect().size();
  fittedSize_ = sub->sizeHint().boundedTo(room).expandedTo(sub->minimumSizeHint());
  sub->resize(fittedSize_);
}

bool frmHauptform::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == parentWidget() && event->type() == QEvent::Show) ||
      (event->type() == QEvent::Resize && qobject_cast<QMdiArea*>(watched))) {
    fitToArea();
    return false;
  }
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      for (int i = 0; i < kBandCount; ++i)
        if (watched == Check1[i]) return bandKey(i, key->key(), key->modifiers());
      break;
    }
    case QEvent::KeyRelease:
      if (watched == Text2)
        halfWavesKeyReleased();
      else if (watched == Text3)
        wireLengthKeyReleased();
      else if (watched == Combo1)
        materialKeyReleased();
      break;
    case QEvent::FocusOut:
      if (!leftField(event)) break;
      if (watched == Text2)
        deriveHalfWaves(true);
      else if (watched == Text4)
        vkLeft();
      else if (watched == Text5)
        toleranceLeft();
      else if (watched == Text8)
        minimumLeft();
      else if (watched == Combo2)
        conductorCheck();
      else if (watched == Command2)
        showReportLeft();
      break;
    case QEvent::FocusIn:
      if (watched == VkSteller) spinnerFocused();
      break;
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}

bool frmHauptform::event(QEvent* event) {
  // A top-level form (no main window around it) learns of its activation
  // here; inside the main window the sub-window tells.
  if (event->type() == QEvent::WindowActivate && !qobject_cast<QMdiSubWindow*>(parentWidget())) activate();
  return QWidget::event(event);
}

void frmHauptform::closeEvent(QCloseEvent* event) {
  if (Forms::unloading()) {
    event->accept();
    return;
  }
  event->ignore();
  Forms::setStatus(Module1::tr("Status: Bereit für Antennen-Berechnungen", "Status: Ready for antenna-calculations"));
  Forms::hide(this);
}

}  // namespace lorvant
