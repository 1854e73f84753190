// The current-curve picture drawn into an image and saved as a bitmap.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "calc/picture/ImageCanvas.h"
#include "calc/run.h"

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

RunInput Typical(const QString& folder) {
  RunInput in;
  in.preferredFrequency = "14,2";
  in.halfWaves = "4";
  in.shorteningFactor = "0,95";
  in.tolerance = "5";
  in.outerDiameter = "2,1";
  in.minimumSum = "0,4";
  in.dielectric = "1,00059 Luft";
  in.conductorDiameter = "1,4";
  in.bands = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0};
  in.resultsFolder = folder.toStdString() + "/";
  in.programFolder = in.resultsFolder;
  in.dateText = "08.12.2026 15:44:35";
  return in;
}

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
    QCOMPARE(canvas.pixelX(0), 8);
    QCOMPARE(canvas.pixelX(1280), 1032);
    QCOMPARE(canvas.pixelY(150), 150);

    canvas.setup();
    canvas.point(0, 150, 0);
    canvas.point(1280, 70, 12);
    canvas.point(-50, 10, 4);      // outside: dropped
    canvas.point(100, 1e300, 4);   // outside: dropped
    QCOMPARE(canvas.image().pixel(8, 150) & 0xFFFFFF, Palette(0) & 0xFFFFFF);
    QCOMPARE(canvas.image().pixel(1032, 70) & 0xFFFFFF, Palette(12) & 0xFFFFFF);
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

  void runDrawsCurvesScaleAndSavesTheBitmap() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Host host;
    const RunOutput out = RunOptimisation(Typical(dir.path()), host);
    QCOMPARE(out.outcome, RunOutcome::Completed);
    const QImage& img = host.image.image();

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
    for (int colour : {4, 3, 14, 5, 6}) QVERIFY2(Count(img, Palette(colour), curves) > 100, qPrintable(QString::number(colour)));
    for (int colour : {11, 10, 9, 8, 2, 1}) QCOMPARE(Count(img, Palette(colour), curves), 0);
    QVERIFY(Count(img, Palette(12)) > 300);
    // The legend mark of the sum curve at y = 10.
    QCOMPARE(img.pixel(host.image.pixelX(555), 10) & 0xFFFFFF, Palette(12) & 0xFFFFFF);

    // Saved beside the program, and it loads as the same picture.
    QCOMPARE(QString::fromStdString(out.picturePath), dir.path() + "/AntKurve.BMP");
    QFile file(dir.path() + "/AntKurve.BMP");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    file.close();
    QImage loaded(dir.path() + "/AntKurve.BMP");
    QVERIFY(!loaded.isNull());
    QCOMPARE(loaded.size(), img.size());
    for (QPoint p : {QPoint(8, 150), QPoint(end, 150), QPoint(host.image.pixelX(555), 10), QPoint(500, 30)})
      QCOMPARE(loaded.pixel(p) & 0xFFFFFF, img.pixel(p) & 0xFFFFFF);
    // Nothing but the files and the folder's lock is left.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
  }

  void unwritableProgramFolderFallsBackToTheResults() {
    QTemporaryDir dir;
    Host host;
    RunInput in = Typical(dir.path());
    in.programFolder = dir.path().toStdString() + "/no such folder/";
    const RunOutput out = RunOptimisation(in, host);
    QCOMPARE(out.outcome, RunOutcome::Completed);
    QCOMPARE(QString::fromStdString(out.picturePath), dir.path() + "/AntKurve.BMP");
    QVERIFY(!QImage(dir.path() + "/AntKurve.BMP").isNull());
    QVERIFY(QString::fromStdString(out.info).endsWith("Kurve liegt als '" + dir.path() + "/AntKurve.BMP' vor. "));
  }
};

QTEST_MAIN(PictureTest)
#include "test_picture.moc"
