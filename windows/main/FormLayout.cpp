#include "windows/main/frmHauptform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "session/mainform.h"
#include "shell/Fields.h"

// The form's controls and how they stand: the length column on the left,
// bands and switches on the right, the picture below.

namespace lorvant {
namespace {

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
// of AntKurve.BMP) and shown scaled to the room the form has, aspect kept:
// smaller on a small form, larger on a maximised one. An empty picture
// shows as a white box of the same shape.
class PictureBox : public QLabel {
 public:
  PictureBox(QSize pictureSize, QWidget* parent) : QLabel(parent), picture_(pictureSize) {
    setFrameShape(QFrame::Box);
    // As tall as its width shows the picture: height beyond that would
    // stay empty, and goes to the notes instead.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
  }

  QSize sizeHint() const override { return picture_ + frameExtra(); }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override {
    const int inner = std::max(0, width - frameExtra().width());
    return std::max(minimumSizeHint().height(), inner * picture_.height() / picture_.width() + frameExtra().height());
  }
  // Half size still shows the scale and the legend legibly enough to see
  // where the curves run.
  QSize minimumSizeHint() const override { return picture_ / 2 + frameExtra(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect room = contentsRect();
    const QSize shown = picture_.scaled(room.size(), Qt::KeepAspectRatio);
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
      scaled_ =
          device == source.size() ? source : source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      scaled_.setDevicePixelRatio(ratio);
      sourceKey_ = source.cacheKey();
    }
    return scaled_;
  }

  QSize picture_;
  QPixmap scaled_;
  qint64 sourceKey_ = 0;
};
// Gives a control the name the form's code and tests know it by.
template <class W>
W* named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

// Compact frames: the form has to fit the main window at its default size
// with the picture below.
void framed(QLayout* l) {
  l->setContentsMargins(8, 2, 8, 6);
  l->setSpacing(4);
}

}  // namespace

void frmHauptform::buildControls() {
  createFields();
  createChoices();
  // The fields of a column share one width, wide enough for what they take.
  const int fieldWidth = Text1->fontMetrics().horizontalAdvance(QStringLiteral("0000,000")) + 12;
  Frame3 = lengthFrame(fieldWidth);
  Frame4 = lengthModeFrame();
  Frame5 = insulationFrame(fieldWidth);
  bandFrames();
  arrange(fieldWidth);
  setDefaultsAndTabOrder();
}

void frmHauptform::createFields() {
  auto edit = [&](const char* name, int maxLength) {
    auto* e = named(new QLineEdit(this), name);
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
  };
  auto label = [&](const char* name) { return named(new QLabel(this), name); };

  Text1 = edit("Text1", kFrequencyFieldLength);
  Text2 = edit("Text2", 4);
  Text2->setText(kDefaultHalfWaves);
  Text3 = edit("Text3", 5);
  Text4 = edit("Text4", kShorteningFieldLength);
  Text4->setText(kDefaultShorteningFactor);
  Text5 = edit("Text5", 0);
  Text5->setText(kDefaultTolerance);
  Text5->setEnabled(false);
  Text6 = edit("Text6", kOuterDiameterFieldLength);
  Text6->setEnabled(false);
  Text8 = edit("Text8", 0);
  Combo1 = named(new QComboBox(this), "Combo1");
  Fields::keepTypedText(Combo1);
  Combo2 = named(new QComboBox(this), "Combo2");
  Fields::keepTypedText(Combo2);
  Combo2->setEnabled(false);

  VkSteller = named(new QScrollBar(Qt::Vertical, this), "VkSteller");
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
}

void frmHauptform::createChoices() {
  for (int i = 0; i < kBandCount; ++i) {
    auto* box = new BandBox(QString::fromLatin1(BandCaption(i)), this);
    box->setObjectName(QStringLiteral("Check1_%1").arg(i));
    box->setTristate(true);
    box->setToolTip(QString::fromLatin1(BandTip(i)));
    Check1[i] = box;
  }
  Check10 = named(new QCheckBox(this), "Check10");
  Check10->setToolTip("6 - 160 m");
  Check2 = named(new QCheckBox(this), "Check2");
  Check11 = named(new QCheckBox(this), "Check11");

  for (int i = 0; i < 3; ++i) {
    Option1[i] = new QRadioButton(this);
    Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
    Option2[i] = new QRadioButton(this);
    Option2[i]->setObjectName(QStringLiteral("Option2_%1").arg(i));
  }
  Option3 = named(new QRadioButton(this), "Option3");
  Option4 = named(new QRadioButton(this), "Option4");

  Command1 = named(new QPushButton(this), "Command1");
  Command2 = named(new QPushButton(this), "Command2");
  Command2->setEnabled(false);

  Info = named(new NotesLabel(this), "Info");
  Info->setText(QString::fromUtf8("Hinweis: "));
  Info->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Bild1 = named(new PictureBox(QSize(kPictureWidth, kPictureHeight), this), "Bild1");
}

QGroupBox* frmHauptform::lengthFrame(int fieldWidth) {
  auto* frame = named(new QGroupBox(this), "Frame3");
  auto* g = new QGridLayout(frame);
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
  // Room the frame gains stays after the fields, which keep beside their
  // captions.
  g->setColumnStretch(2, 1);
  for (QLineEdit* e : {Text1, Text2, Text3}) e->setFixedWidth(fieldWidth);
  Text4->setFixedWidth(fieldWidth - VkSteller->sizeHint().width() - 2);
  return frame;
}

QGroupBox* frmHauptform::lengthModeFrame() {
  auto* frame = named(new QGroupBox(this), "Frame4");
  // The three modes side by side; the tolerance belongs to the middle one
  // and stands under it.
  auto* g = new QGridLayout(frame);
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
  return frame;
}

QGroupBox* frmHauptform::insulationFrame(int fieldWidth) {
  auto* frame = named(new QGroupBox(this), "Frame5");
  auto* g = new QGridLayout(frame);
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
  return frame;
}

void frmHauptform::bandFrames() {
  Frame2 = named(new QGroupBox(this), "Frame2");
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
  Frame1 = named(new QGroupBox(this), "Frame1");
  {
    auto* h = new QHBoxLayout(Frame1);
    framed(h);
    for (auto* o : Option1) h->addWidget(o);
    h->addStretch(1);
  }
  Frame6 = named(new QGroupBox(this), "Frame6");
  {
    auto* h = new QHBoxLayout(Frame6);
    framed(h);
    h->addWidget(Option3);
    h->addWidget(Option4);
    h->addStretch(1);
  }
}

void frmHauptform::arrange(int fieldWidth) {
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
  // The long captions of the left column set its width; room the form
  // gains goes to the right column, where the notes take it.
  top->addLayout(left, 0);
  top->addLayout(right, 1);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 6, 6, 6);
  outer->setSpacing(6);
  // Height the form gains goes to the picture as far as its width shows
  // it, the rest to the notes.
  outer->addLayout(top, 1);
  outer->addWidget(Bild1, 0);
}

void frmHauptform::setDefaultsAndTabOrder() {
  Option1[2]->setChecked(true);
  Option2[0]->setChecked(true);
  Option3->setChecked(true);

  // Tab walks the form as it reads: length, mode, insulation, bands,
  // segment, feed point, minimum, switches, commands.
  QList<QWidget*> order = {Text1,      Text2,      Text3, Text4,  VkSteller, Option2[0],
                           Option2[1], Option2[2], Text5, Combo1, Combo2,    Text6};
  for (QCheckBox* box : Check1) order << box;
  order << Check10 << Option1[0] << Option1[1] << Option1[2] << Option3 << Option4 << Text8 << Check2 << Check11
        << Command1 << Command2;
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace lorvant
