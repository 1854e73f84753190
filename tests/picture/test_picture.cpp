// The current-curve picture drawn into an image and saved as a bitmap.
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <random>
#include <vector>

#include "picture/LabelFont.h"
#include "picture/qt/ImageCanvas.h"
#include "session/question.h"
#include "session/run.h"
#include "tests/session/run_support.h"
#include "tools/fonts/LabelFontQt.h"

using namespace lorvant;

namespace {

QRgb Palette(int colour) {
  const Rgb c = PaletteColour(colour);
  return qRgb(c.r, c.g, c.b);
}

// Counts the pixels of a colour in a rectangle of pixels.
int Count(const QImage& img, QRgb colour, QRect r = {}) {
  if (r.isNull()) r = img.rect();
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

class Host : public RunHost {
 public:
  ImageCanvas image;
  Answer ask(const Question&) override { return Answer::No; }
  Answer errorHandler(const Question&) override { return Answer::Abort; }
  Canvas& canvas() override { return image; }
};

RunInput Typical(const QString& folder) { return test::TypicalInput(folder.toStdString() + "/"); }

}  // namespace

class PictureTest : public QObject {
  Q_OBJECT

 private slots:
  void coordinatesMapOntoThePixels() {
    ImageCanvas canvas;
    QCOMPARE(canvas.image().width(), kPicturePixelWidth);
    QCOMPARE(canvas.image().height(), kPicturePixelHeight);
    // x from -10 to 1330, y from 0 to 209.
    QCOMPARE(canvas.pixelX(-10), 0);
    QCOMPARE(canvas.pixelX(0), 6);
    QCOMPARE(canvas.pixelX(1280), 774);
    QCOMPARE(canvas.pixelY(150), 150);

    canvas.setup();
    canvas.point(0, 150, 0);
    canvas.point(1280, 70, 12);
    canvas.point(-50, 10, 4);     // outside: dropped
    canvas.point(100, 1e300, 4);  // outside: dropped
    QCOMPARE(canvas.image().pixel(6, 150) & 0xFFFFFF, Palette(0) & 0xFFFFFF);
    QCOMPARE(canvas.image().pixel(774, 70) & 0xFFFFFF, Palette(12) & 0xFFFFFF);
    QCOMPARE(Count(canvas.image(), Palette(15)), canvas.image().width() * canvas.image().height() - 2);

    // A text draws in its colour near its top-left corner; its width grows
    // with its length.
    canvas.text(100, 160, "Gesamtlänge", 0);
    QVERIFY(Count(canvas.image(), Palette(0), QRect(canvas.pixelX(100), 160, 60, 14)) > 10);
    QVERIFY(canvas.textWidth("Gesamtlänge 41,725 m") > canvas.textWidth("Gesamtlänge"));
    QVERIFY(canvas.textWidth("X") > 0);

    canvas.setup();  // a second run starts from a clean picture
    QCOMPARE(Count(canvas.image(), Palette(15)), canvas.image().width() * canvas.image().height());
  }

  // The built-in label font draws what Qt draws with DejaVu Sans at 8 pt:
  // the texts the picture prints, in both languages and with both
  // separators, and random texts of their characters, at positions with any
  // fraction of a pixel, left of and above the picture too; its widths are
  // Qt's to the 1/64 pixel.
  void labelFontDrawsAsQtDoes() {
    const QFont font = labelfont::QtFont();
    QCOMPARE(QFontInfo(font).family(), QString(labelfont::kFamily));
    const QStringList texts = {" 0",
                               " 10",
                               " 120",
                               " 4000",
                               "m",
                               "|",
                               "X",
                               " Stromsummen:",
                               " Current sums:",
                               QString::fromUtf8("\u2014 Zusatzband 3,65 MHz"),
                               QString::fromUtf8("\u2014 Additional band 13.95 MHz"),
                               "Anfang",
                               "Start",
                               "Mitte 20,863 m",
                               "Center 501.5 m",
                               QString::fromUtf8("Gesamtlänge 41,725 m"),
                               "Total length 1003.05 m"};
    const QString characters = texts.join("");
    constexpr int kWidth = 240, kHeight = 40;
    std::mt19937 random(13);
    std::uniform_real_distribution<double> across(-20, 200), down(-6, 30);
    for (int i = 0; i < 600; ++i) {
      QString text;
      if (i < texts.size()) {
        text = texts[i];
      } else {
        for (int n = 1 + static_cast<int>(random() % 14); n > 0; --n)
          text += characters[static_cast<qsizetype>(random() % static_cast<unsigned>(characters.size()))];
        // Qt joins these into ligatures, which the picture's texts never
        // hold.
        if (text.contains(QRegularExpression("f[fil]"))) continue;
      }
      const double x = across(random), top = down(random);

      QImage qt = labelfont::QtSurface(kWidth, kHeight);
      const QFontMetricsF metrics(font, &qt);
      {
        QPainter painter(&qt);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, top + metrics.ascent()), text);
      }
      std::vector<std::uint8_t> ours(kWidth * kHeight, 0);
      labelfont::Draw(ours.data(), kWidth, kHeight, x, top + labelfont::Ascent(), text.toStdString(), 1);
      int differing = 0;
      for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px) {
          const bool set = ours[static_cast<std::size_t>(py * kWidth + px)] != 0;
          differing += qt.pixel(px, py) != (set ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
      QVERIFY2(differing == 0, qPrintable(QString("'%1' at (%2, %3): %4 pixels differ")
                                              .arg(text)
                                              .arg(x, 0, 'f', 6)
                                              .arg(top, 0, 'f', 6)
                                              .arg(differing)));
      QCOMPARE(labelfont::Width(text.toStdString()), metrics.horizontalAdvance(text));
      QCOMPARE(labelfont::Ascent(), metrics.ascent());
    }
  }

  void runDrawsCurvesScaleAndSavesTheBitmap() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Host host;
    const RunOutput out = RunOptimisation(Typical(dir.path()), host);
    QCOMPARE(out.outcome, RunOutcome::Completed);
    const QImage img = host.image.image();

    // The base line runs from the start to the end of the wire.
    const int end = host.image.pixelX(1280);
    QCOMPARE(img.pixel(host.image.pixelX(0), 150) & 0xFFFFFF, Palette(0) & 0xFFFFFF);
    QCOMPARE(img.pixel(end, 150) & 0xFFFFFF, Palette(0) & 0xFFFFFF);
    QCOMPARE(img.pixel(end + 3, 150) & 0xFFFFFF, Palette(15) & 0xFFFFFF);
    // The longest tick at 0 m reaches down to y = 161, a 1-metre tick to 156.
    QCOMPARE(img.pixel(host.image.pixelX(0), 161) & 0xFFFFFF, Palette(0) & 0xFFFFFF);
    const int metre = host.image.pixelX(100 / (out.length * 100 / 1280));
    QCOMPARE(img.pixel(metre, 156) & 0xFFFFFF, Palette(0) & 0xFFFFFF);
    QCOMPARE(img.pixel(metre, 158) & 0xFFFFFF, Palette(15) & 0xFFFFFF);
    // Every counted band's curve and the sum curve are there, in the band
    // area above the base line; bands that are off are not.
    const QRect curves(0, 60, img.width(), 90);
    for (int colour : {4, 3, 14, 5, 6})
      QVERIFY2(Count(img, Palette(colour), curves) > 100, qPrintable(QString::number(colour)));
    for (int colour : {11, 10, 9, 8, 2, 1}) QCOMPARE(Count(img, Palette(colour), curves), 0);
    QVERIFY(Count(img, Palette(12)) > 300);
    // The legend mark of the sum curve at y = 10.
    QCOMPARE(img.pixel(host.image.pixelX(555), 10) & 0xFFFFFF, Palette(12) & 0xFFFFFF);

    // Saved with the reports, and it loads as the same picture.
    QCOMPARE(QString::fromStdString(out.picturePath), dir.path() + "/AntKurve.BMP");
    QFile file(dir.path() + "/AntKurve.BMP");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    file.close();
    QImage loaded(dir.path() + "/AntKurve.BMP");
    QVERIFY(!loaded.isNull());
    QCOMPARE(loaded.size(), img.size());
    for (QPoint p : {QPoint(6, 150), QPoint(end, 150), QPoint(host.image.pixelX(555), 10), QPoint(500, 30)})
      QCOMPARE(loaded.pixel(p) & 0xFFFFFF, img.pixel(p) & 0xFFFFFF);
    // Nothing but the files and the folder's lock is left.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
  }
};

QTEST_MAIN(PictureTest)
#include "test_picture.moc"
