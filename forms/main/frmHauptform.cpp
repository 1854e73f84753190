#include "forms/main/frmHauptform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "calc/reports/text.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/ui/Forms.h"

namespace lorvant {
namespace {

QPointer<frmHauptform> theForm;
frmHauptform::CalculatorProvider calculatorProvider = nullptr;

// A band box: three states, but a click only switches between off and
// ticked. A click on a grey box clears it: every marked box (ticked or
// grey) turns off, an empty one becomes ticked.
class BandBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override { setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked); }
};

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

frmHauptform* frmHauptform::instance() {
  if (!theForm) {
    auto* form = new frmHauptform;
    theForm = form;
    Forms::adopt(form);
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
  Text2->setText("4");
  Text3 = edit("Text3", 5);
  Text4 = edit("Text4", 7);
  Text4->setText("0,95");
  Text5 = edit("Text5", 0);
  Text5->setText("5");
  Text5->setEnabled(false);
  Text6 = edit("Text6", 5);
  Text6->setEnabled(false);
  Text8 = edit("Text8", 0);
  Combo1 = new QComboBox(this);
  named(Combo1, "Combo1");
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo2 = new QComboBox(this);
  named(Combo2, "Combo2");
  Combo2->setEditable(true);
  Combo2->setInsertPolicy(QComboBox::NoInsert);
  Combo2->setEnabled(false);

  VkSteller = new QScrollBar(Qt::Vertical, this);
  named(VkSteller, "VkSteller");
  VkSteller->setRange(0, 1000);
  VkSteller->setSingleStep(1);
  VkSteller->setPageStep(10);
  VkSteller->setFocusPolicy(Qt::StrongFocus);
  VkSteller->setFixedHeight(Text4->sizeHint().height() + 8);

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

  static const char* const bandCaptions[kBandCount] = {"1.8", "3.5", "5.3", "7.0", "10", "14",
                                                       "18",  "21",  "24",  "28",  "50"};
  static const char* const bandTips[kBandCount] = {"160 m", "80 m", "60 m", "40 m", "30 m", "20 m",
                                                   "17 m",  "15 m", "12 m", "10 m", "6 m"};
  for (int i = 0; i < kBandCount; ++i) {
    auto* box = new BandBox(QString::fromLatin1(bandCaptions[i]), this);
    box->setObjectName(QStringLiteral("Check1_%1").arg(i));
    box->setTristate(true);
    box->setToolTip(QString::fromLatin1(bandTips[i]));
    Check1[i] = box;
  }
  Check10 = new QCheckBox("all", this);
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

  Info = label("Info");
  Info->setText(QString::fromUtf8("Hinweis: "));
  Info->setWordWrap(true);
  Info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Info->setMinimumHeight(3 * Info->fontMetrics().lineSpacing());
  Info->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Bild1 = label("Bild1");
  Bild1->setFixedSize(kPictureWidth, kPictureHeight);
  Bild1->setFrameShape(QFrame::Box);
  Bild1->setAutoFillBackground(true);
  QPalette pal = Bild1->palette();
  pal.setColor(QPalette::Window, Qt::white);
  Bild1->setPalette(pal);

  // Frames.
  Frame3 = new QGroupBox(this);
  named(Frame3, "Frame3");
  {
    auto* g = new QGridLayout(Frame3);
    g->addWidget(Label1, 0, 0);
    g->addWidget(Text1, 0, 1);
    g->addWidget(Label2, 1, 0);
    g->addWidget(Text2, 1, 1);
    g->addWidget(Label6, 2, 0);
    g->addWidget(Text3, 2, 1);
    g->addWidget(Label7, 3, 0);
    auto* vk = new QHBoxLayout;
    vk->addWidget(Text4);
    vk->addWidget(VkSteller);
    g->addLayout(vk, 3, 1);
    g->setColumnStretch(0, 1);
  }
  Frame4 = new QGroupBox(this);
  named(Frame4, "Frame4");
  {
    auto* g = new QGridLayout(Frame4);
    g->addWidget(Option2[0], 0, 0);
    g->addWidget(Option2[1], 1, 0);
    g->addWidget(Option2[2], 2, 0);
    auto* tol = new QHBoxLayout;
    tol->addWidget(Label4);
    tol->addWidget(Text5);
    tol->addWidget(Label3);
    g->addLayout(tol, 1, 1);
    Text5->setMaximumWidth(50);
  }
  Frame5 = new QGroupBox(this);
  named(Frame5, "Frame5");
  {
    auto* g = new QGridLayout(Frame5);
    g->addWidget(Label8, 0, 0);
    g->addWidget(Combo1, 0, 1, 1, 2);
    g->addWidget(Label11, 1, 0);
    g->addWidget(Combo2, 1, 1, 1, 2);
    g->addWidget(Label10, 2, 0);
    g->addWidget(Text6, 2, 1);
    g->addWidget(Label9, 2, 2);
    g->setColumnStretch(1, 1);
  }
  Frame2 = new QGroupBox(this);
  named(Frame2, "Frame2");
  {
    auto* g = new QGridLayout(Frame2);
    for (int i = 0; i < kBandCount; ++i) g->addWidget(Check1[i], i / 6, i % 6);
    g->addWidget(Check10, 1, 5);
  }
  Frame1 = new QGroupBox(this);
  named(Frame1, "Frame1");
  {
    auto* h = new QHBoxLayout(Frame1);
    for (auto* o : Option1) h->addWidget(o);
  }
  Frame6 = new QGroupBox(this);
  named(Frame6, "Frame6");
  {
    auto* h = new QHBoxLayout(Frame6);
    h->addWidget(Option3);
    h->addWidget(Option4);
  }

  auto* left = new QVBoxLayout;
  left->addWidget(Frame3);
  left->addWidget(Frame4);
  left->addWidget(Frame5);
  left->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(Frame2);
  right->addWidget(Frame1);
  right->addWidget(Frame6);
  auto* minimum = new QHBoxLayout;
  minimum->addWidget(Label12);
  minimum->addWidget(Text8);
  minimum->addStretch(1);
  right->addLayout(minimum);
  right->addWidget(Check2);
  right->addWidget(Check11);
  auto* commands = new QHBoxLayout;
  commands->addWidget(Command1);
  commands->addWidget(Command2);
  right->addLayout(commands);
  right->addWidget(Info, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(left, 1);
  top->addLayout(right, 1);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(top);
  outer->addWidget(Bild1, 0, Qt::AlignHCenter);

  Option1[2]->setChecked(true);
  Option2[0]->setChecked(true);
  Option3->setChecked(true);
}

void frmHauptform::load() {
  HauptForm_Sprache();
  fillMaterialList();
  fillConductorList();
  Text1->setText(general(14.2f));
  Text6->setText(general(2.1f));
  Combo2->setEditText(general(1.4f));
  Text8->setText(picture(0.4f, "0.0"));
  VkSteller->setValue(50);
}

void frmHauptform::fillMaterialList() {
  struct Material {
    const char* de;
    const char* en;
    float er;
    const char* pic;
  };
  static const Material materials[] = {
      {"   Vakuum", "   Vacuum", 1.0f, "#0.0#"},
      {" Luft", " Air", 1.00059f, "#0.0####"},
      {"   Papier", "   Paper", 2.0f, "#0.0#"},
      {" Öl", " Oil", 2.35f, "#0.0#"},
      {"   Gummi", "   Rubber", 2.7f, "#0.0#"},
      {"   Holz", "   Wood", 3.2f, "#0.0#"},
      {"   FEP Ethylenpropylen", nullptr, 2.04f, "#0.0#"},
      {"   PTFE", nullptr, 2.04f, "#0.0#"},
      {"   PTFE GY", nullptr, 2.2f, "#0.0#"},
      {"   PE Polyethylen", nullptr, 2.3f, "#0.0#"},
      {" PTFE GX", nullptr, 2.48f, "#0.0#"},
      {"   Polystyrol", nullptr, 2.6f, "#0.0#"},
      {"   SIR Silikon", nullptr, 2.8f, "#0.0#"},
      {"   Plexiglas", nullptr, 3.5f, "#0.0#"},
      {"   PA Polyamid", nullptr, 3.7f, "#0.0#"},
      {nullptr, nullptr, 4.0f, "#0.0#"},  // PVC, a range
      {"   FR4 Epoxyd", nullptr, 4.5f, "#0.0#"},
      {"   Cevausit", nullptr, 4.5f, "#0.0#"},
      {"   Pertinax", nullptr, 5.0f, "#0.0#"},
      {"   Igelit", nullptr, 5.0f, "#0.0#"},
      {"   Vinidur", nullptr, 5.0f, "#0.0#"},
      {"   Porzellan", nullptr, 5.5f, "#0.0#"},
      {"   Glas", nullptr, 6.0f, "#0.0#"},
      {" PTFE 3006", nullptr, 6.15f, "#0.0#"},
      {"   Calit", nullptr, 6.5f, "#0.0#"},
      {"   Glimmer", nullptr, 7.0f, "#0.0#"},
  };
  const bool de = Module1::german();
  Combo1->clear();
  Combo1->addItem(QString(8, QLatin1Char(' ')));
  for (const Material& m : materials) {
    QString name;
    if (!m.de)
      name = "   PVC (" + general(3.5f) + "..." + general(4.5f) + ")";
    else
      name = QString::fromUtf8(de || !m.en ? m.de : m.en);
    Combo1->addItem(picture(m.er, m.pic) + name);
  }
  Combo1->setCurrentIndex(-1);
  Combo1->setEditText(general(1.00059f) + Module1::tr(" Luft", " Air"));
}

void frmHauptform::fillConductorList() {
  struct Conductor {
    float d;
    float area;
    const char* areaPic;  // nullptr: general format
  };
  static const Conductor conductors[] = {
      {0.977f, 0.75f, "0.0#"}, {1.128f, 1.0f, nullptr}, {1.382f, 1.5f, "0.0"}, {1.596f, 2.0f, nullptr},
      {1.784f, 2.5f, "0.0"},   {2.257f, 4.0f, nullptr}, {2.523f, 5.0f, nullptr}, {2.764f, 6.0f, nullptr},
      {2.985f, 7.0f, nullptr}, {3.568f, 10.0f, nullptr},
  };
  Combo2->clear();
  for (const Conductor& c : conductors) {
    const QString area = c.areaPic ? picture(c.area, c.areaPic) : general(c.area);
    Combo2->addItem(picture(c.d, "0.0##") + " (" + area + QString::fromUtf8(" mm²)"));
  }
  Combo2->setCurrentIndex(-1);
}

void frmHauptform::HauptForm_Sprache() {
  const auto t = [](const char* de, const char* en) { return Module1::tr(de, en); };
  setWindowTitle(t("Berechnung einer Stromsummenantenne  ", "Calculation of a current sum antenna  "));
  Info->setText(t("Hinweis:", "Note:"));
  Frame3->setTitle(t("Antennen&länge:", "Antenna &length:"));
  Label1->setText(t("Resonanz&frequenz für bevorzugtes Band [MHz]:", "Resonance &frequency for preferred Band [MHz]:"));
  Label2->setText(t("geplante Antennenlänge in Anzahl &Halbwellen des bevorzugten Bandes:",
                    "Planned antenna length in number of &half-waves of the preferred Band:"));
  Frame4->setTitle(t(" &Optimieren für Band:", " &Optimize for band:"));
  Option2[0]->setText(t("bevorzugtes", "preferred"));
  Option2[1]->setText(t("höchstes und tiefstes", "highest and deepest"));
  Option2[2]->setText(t("alle", "all"));
  Label4->setText(t("bei max", "at max"));
  Label3->setText(t("% Toleranz", "% tolerance"));
  Label6->setText(t("oder  maximal  mögliche  &Drahtlänge  [m]:", "or maximum possible wire length [m]:"));
  Label7->setText(t("&Verkürzungs - Faktor Vk:  ", "Shortening factor &Vk:  "));
  Frame5->setTitle(t("Draht&isolierung", "Wire &insulation"));
  Label8->setText(t("relative &Dielektrizitätszahl :", "relative &dielectric constant :"));
  Label10->setText(t("Außendurchmesser:", "Outer diameter:"));
  Label11->setText(t("Leiterdurchmesser:", "Conductor diameter:"));
  Frame2->setTitle(t("Antenne berechnen für &Band [MHz]:", "Calculate antenna for &band [MHz]:"));
  Frame1->setTitle(t("&Stromsummen im Band für:", "Current sums in the Band for:"));
  Option1[0]->setText(t("&CW-Bereich", "&CW - area"));
  Option1[1]->setText(t("&SSB-Bereich", "&SSB - area"));
  Option1[2]->setText(t("Band&mitte", "Band center"));
  Label12->setText(t("Stroms. -  Minimum: ", "Currents.-  minimum: "));
  Check2->setText(t("klassische &WINDOM berechnen", "Calculate classic &WINDOM"));
  Check11->setText(t("Spezial - &Tabelle erstellen", "Create special - &table"));
  Frame6->setTitle(t("Speise&punkt optimieren für:", "Optimize feed &point for:"));
  Option3->setText(t("maximale Stromsumme", "Maximum current sum"));
  Option4->setText(t("gleiche Impedanzen", "equal Impedances"));
  Command1->setText(t("&Rechnen", "&Calculate"));
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
}

void frmHauptform::syncSpinnerFromVk() {}
void frmHauptform::runCalculation() {}
void frmHauptform::showReport() {}
void frmHauptform::activate() {}

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

bool frmHauptform::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }

bool frmHauptform::event(QEvent* event) { return QWidget::event(event); }

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
