// Pictures of the program's windows for the manuals, made by the program
// itself at build time (so that they show the windows as they are):
//
//   lorvant_shots --out <folder>   (writes <folder>/de/*.png and <folder>/en/*.png)
//
// Runs without a display (QT_QPA_PLATFORM=offscreen). Every question the
// program would ask is answered with its first button, unless a picture
// needs the other answer; a message box the program shows is drawn as the
// desktop would show it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "app/HelpInfo.h"
#include "app/MDIForm1.h"
#include "engine/sweep/model_sweep.h"
#include "io/staged_files.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "text/reports/sheet.h"
#include "tools/fake_engine/FakeNecEngine.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/NecAirPage.h"
#include "windows/nec/NecMeasuredPage.h"
#include "windows/nec/frmNec.h"
#include "windows/viewer/frmRTF.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;
namespace M1 = lorvant::Module1;

namespace {

// Answers for the program; keeps the last message it was to show.
class Answers final : public UiSeam {
 public:
  MessageRequest last;
  Answer yes = Answer::Yes;  // the answer to a Yes/No question
  Answer message(QWidget*, const MessageRequest& r) override {
    last = r;
    switch (r.buttons) {
      case Buttons::YesNo:
      case Buttons::YesNoCancel:
        return yes;
      case Buttons::AbortRetryIgnore:
        return Answer::Ignore;
      default:
        return Answer::Ok;
    }
  }
  void beep() override {}
  void processEvents() override { QApplication::processEvents(); }
  std::optional<QString> inputBox(QWidget*, const QString&, const QString&, const QString& d) override { return d; }
  std::optional<FileDialogResult> opened;  // what the open-file dialog answers
  std::optional<FileDialogResult> openFile(QWidget*, const FileDialogRequest&) override { return opened; }
  std::optional<FileDialogResult> saveFile(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> chooseFolder(QWidget*, const QString&, const QString&) override { return std::nullopt; }
  std::optional<FontChoice> chooseFont(QWidget*, const FontChoice&) override { return std::nullopt; }
  std::optional<PrintChoice> choosePrinter(QWidget*, QPrinter&, const PrintRequest&) override { return std::nullopt; }
  std::unique_ptr<ProgressHandle> startProgress(QWidget*, const QString&) override {
    struct Never final : ProgressHandle {
      bool update(double) override { return true; }
    };
    return std::make_unique<Never>();
  }
  void setBusy(bool) override {}
};

class Camera {
 public:
  explicit Camera(const QString& folder) : folder_(folder) { QDir().mkpath(folder); }
  bool ok = true;

  void take(const QString& name, QWidget* w) {
    QTest::qWait(20);
    QWidget* frame = qobject_cast<QMdiSubWindow*>(w->parentWidget()) ? w->parentWidget() : w;
    save(name, frame->grab());
  }
  // A message box as the desktop shows it.
  void takeMessage(const QString& name, const MessageRequest& r, QWidget* parent) {
    QMessageBox box(r.icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning, r.title, r.text,
                    QMessageBox::Ok, parent);
    box.show();
    QTest::qWait(20);
    save(name, box.grab());
  }
  void takeImage(const QString& name, const QImage& image) { save(name, QPixmap::fromImage(image)); }
  // A picture that is text (SVG).
  void takeText(const QString& fileName, const std::string& text) {
    QFile file(QDir(folder_).filePath(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
      std::fprintf(stderr, "lorvant_shots: cannot write %s\n", qPrintable(file.fileName()));
      ok = false;
    }
  }

 private:
  void save(const QString& name, const QPixmap& picture) {
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (picture.isNull() || !picture.save(path)) {
      std::fprintf(stderr, "lorvant_shots: cannot write %s\n", qPrintable(path));
      ok = false;
    }
  }
  QString folder_;
};

void set(QLineEdit* field, const QString& text) { field->setText(text); }

// A number as the user types it: with the decimal separator of the shot.
QString typed(const char* number) {
  return QString::fromLatin1(number).replace(QLatin1Char('.'), QLatin1Char(M1::decimalSeparator()));
}

// The worked example flat again with its far field: the page on the air
// and the 7 MHz pictures beside the SWR picture.
void shootNecAir(frmNec* w, Camera& camera, bool real) {
  if (!real) frmNec::setEngineFactory([] { return std::make_unique<test::FakeNecEngine>(); });
  w->shapeList->setCurrentIndex(0);
  set(w->heightField, typed("10"));
  w->airInputs->patternBox->setChecked(true);
  QSignalSpy finished(w, &frmNec::checkFinished);
  w->onCheck();
  if (!finished.wait(300000)) std::fprintf(stderr, "lorvant_shots: the NEC-2 check on the air did not end\n");
  if (!real) {
    w->hintLabel->setText(say(Text::WindowNecShotNote));
    frmNec::setEngineFactory({});
  }
  w->inputPages->setCurrentWidget(w->airInputs);
  QTest::qWait(50);  // the pictures scrolled into sight
  camera.take(QStringLiteral("necair"), w);
  camera.takeImage(QStringLiteral("necair-elevation"), PaintSwrPicture(w->airView->elevationPicture()));
  camera.takeImage(QStringLiteral("necair-azimuth"), PaintSwrPicture(w->airView->azimuthPicture()));
}

// The NEC-2 check of the manuals' worked example: a 40 m-10 m OCF (one
// half-wave at 7.1 MHz; 7, 14 and 28 MHz) fed at 7.06 m, 10 m over average
// ground. With nec2c the numbers are the engine's; a build without it gets
// the test engine's made-up numbers, and the pictures say so.
void shootNec(MDIForm1& main, Camera& camera) {
  const bool real = !nec::FindEngine().empty();
  if (!real) {
    std::fprintf(stderr, "lorvant_shots: nec2c not found; the NEC-2 pictures show made-up numbers\n");
    frmNec::setEngineFactory([] { return std::make_unique<test::FakeNecEngine>(); });
  }
  frmHauptform* f = main.mainForm();
  set(f->Text1, typed("7.1"));
  set(f->Text2, "1");
  for (int band = 0; band < kBandCount; ++band)
    f->setBandValue(band, band == 3 || band == 5 || band == 9 ? BandState::Counted : BandState::Off);
  f->runCalculation();
  main.action("mnuBerNec")->trigger();
  frmNec* w = frmNec::loaded();
  const int feed = w->feedPointList->findText(typed("7.06"));
  if (feed >= 0) w->feedPointList->setCurrentIndex(feed);
  QSignalSpy finished(w, &frmNec::checkFinished);
  w->onCheck();
  if (!finished.wait(120000)) std::fprintf(stderr, "lorvant_shots: the NEC-2 check did not end\n");
  nec::SwrPicture picture = w->picture();
  if (!real) {
    const QString note = say(Text::WindowNecShotNote);
    w->hintLabel->setText(note);
    picture.texts.push_back(
        {{8, picture.height - 6}, note.toStdString(), nec::TextAnchor::Start, 11, {200, 0, 0}, true});
    frmNec::setEngineFactory({});
  }
  camera.take(QStringLiteral("nec"), w);
  // The same wire as an inverted-V, ends at 4 m under a 10 m apex at the
  // feed point: the hanging page and the drawing beside the table.
  w->shapeList->setCurrentIndex(2);
  set(w->heightField, typed("4"));
  set(w->endHeightField, typed("4"));
  set(w->apexHeightField, typed("10"));
  w->inputPages->setCurrentIndex(1);
  camera.take(QStringLiteral("nechang"), w);
  camera.takeImage(QStringLiteral("necswr"), PaintSwrPicture(picture));
  camera.takeText(QStringLiteral("necswr.svg"), nec::SwrPictureSvg(picture));
  shootNecAir(w, camera, real);
}

// The flat OCF of shootNec again with an analyser's sweep of it opened: a
// sweep made from the model's own with every frequency 2 % lower, as a
// wire 2 % longer would show it. The window's measurement page after the
// check (the dashed curves, the note, the fitted length) and the build
// sheet's page as the printer gets it.
void shootMeasured(frmNec* w, Camera& camera, Answers& answers) {
  w->shapeList->setCurrentIndex(0);
  set(w->heightField, typed("10"));
  // The "analyser" sweeps finer than the check: 21 points a band. Without
  // nec2c the test engine's made-up numbers, as in shootNec.
  set(w->pointsField, QStringLiteral("21"));
  if (nec::FindEngine().empty()) frmNec::setEngineFactory([] { return std::make_unique<test::FakeNecEngine>(); });
  QSignalSpy fine(w, &frmNec::checkFinished);
  w->onCheck();
  if (!fine.wait(300000)) std::fprintf(stderr, "lorvant_shots: the NEC-2 check did not end\n");
  set(w->pointsField, QStringLiteral("5"));
  const std::optional<report::NecCheckReport> checked = w->measuredPage->shownReport();
  if (!checked) {
    std::fprintf(stderr, "lorvant_shots: no NEC-2 check for the measurement\n");
    camera.ok = false;
    return;
  }
  std::vector<sweep::ModelPoint> longer = sweep::ModelSweep(checked->result);
  for (sweep::ModelPoint& p : longer) p.frequency /= 1.02;
  const QString file = M1::resultFile(QStringLiteral("analyser.s1p"));
  files::WriteFileAtomically(M1::nativePath(file), sweep::WriteTouchstone(longer));
  answers.opened = FileDialogResult{file, 1};
  w->measuredPage->onOpen();
  answers.opened.reset();
  QSignalSpy finished(w, &frmNec::checkFinished);
  w->onCheck();
  if (!finished.wait(300000)) std::fprintf(stderr, "lorvant_shots: the NEC-2 check did not end\n");
  frmNec::setEngineFactory({});
  w->inputPages->setCurrentWidget(w->measuredPage);
  camera.take(QStringLiteral("necmeasured"), w);
  if (const std::optional<report::NecCheckReport> r = w->measuredPage->shownReport()) {
    const pdf::Page page = report::SheetPage({*r, report::kDefaultAllowance});
    // 96 dpi: the page as wide as a window picture of 794 pixels.
    const double scale = 96.0 / 72;
    QImage image(int(page.width() * scale), int(page.height() * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintSheetPage(painter, page, scale);
    painter.end();
    camera.takeImage(QStringLiteral("necsheet"), image);
  }
}

bool shoot(Language language, char separator, const QString& folder) {
  QTemporaryDir results;
  M1::resetState();
  M1::setDecimalSeparator(separator);
  M1::state().resultsFolder = results.path() + '/';
  Answers answers;
  setSeam(&answers);
  Camera camera(folder);
  {
    MDIForm1 main;
    main.switchLanguage(language);
    main.show();
    // Offscreen windows are exposed at once; should one not be, the
    // pictures show what there is and the manual check judges them.
    if (!QTest::qWaitForWindowExposed(&main)) std::fprintf(stderr, "lorvant_shots: main window not exposed\n");
    frmHauptform* f = main.mainForm();
    for (int band : {1, 3, 5}) f->setBandValue(band, BandState::Counted);
    camera.take(QStringLiteral("start"), &main);
    camera.take(QStringLiteral("form"), f);
    main.menu("mnuBer")->adjustSize();
    camera.take(QStringLiteral("menu"), main.menu("mnuBer"));

    f->runCalculation();
    camera.take(QStringLiteral("main"), &main);
    camera.take(QStringLiteral("run"), f);
    camera.take(QStringLiteral("curves"), f->Bild1);

    frmSpeisePkt* all = frmSpeisePkt::openAllBands();
    all->cmdRechnen_Click();
    camera.take(QStringLiteral("allbands"), all);
    frmSpeisePkt* scan = frmSpeisePkt::openScan();
    set(scan->Text1, typed("6.5"));
    set(scan->Text2, typed("7.5"));
    set(scan->Text3, typed("0.05"));
    scan->cmdRechnen_Click();
    camera.take(QStringLiteral("scan"), scan);
    // A wire too short for its lowest band only warns. The length is kept
    // as typed: fitted to the resonance frequency it would not be short.
    frmSpeisePkt* shortWire = frmSpeisePkt::openAllBands();
    set(shortWire->Text1, "10");
    set(shortWire->Text3, "3");
    answers.yes = Answer::No;
    shortWire->cmdRechnen_Click();
    answers.yes = Answer::Yes;
    camera.takeMessage(QStringLiteral("tooshort"), answers.last, &main);

    frmVk::mnuVk();
    frmVk* vk = frmVk::loaded();
    vk->Command1_Click();
    camera.take(QStringLiteral("vk"), vk);
    vk->close();
    frmVk::mnuPruning();
    vk = frmVk::loaded();
    set(vk->Text1, "20");
    set(vk->Text2, typed("7.0"));
    vk->Combo1->setEditText(typed("7.05"));
    vk->Command1_Click();
    camera.take(QStringLiteral("pruning"), vk);

    ZusatzDipol::mnuBerZusDipol();
    ZusatzDipol* dipole = ZusatzDipol::loaded();
    set(dipole->Text1, typed("14.2"));
    dipole->Command1_Click();
    camera.take(QStringLiteral("dipole"), dipole);

    HelpInfo::mnuInfo(&main);
    camera.takeMessage(QStringLiteral("info"), answers.last, &main);

    M1::showFile(M1::state().reportPath);
    camera.take(QStringLiteral("viewer"), frmRTF::loaded());
    M1::showFile(M1::resultFile(QStringLiteral("SpeisePkt.txt")));
    camera.take(QStringLiteral("report"), frmRTF::loaded());

    shootNec(main, camera);
    shootMeasured(frmNec::loaded(), camera, answers);
    frmRTF::unload();
    Forms::unloadAll();
  }
  setSeam(nullptr);
  return camera.ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lorvant"));
  QCommandLineParser parser;
  const QCommandLineOption outOpt("out", "folder for de/ and en/", "folder");
  parser.addOption(outOpt);
  parser.process(app);
  if (!parser.isSet(outOpt)) {
    std::fprintf(stderr, "lorvant_shots: --out is required\n");
    return 2;
  }
  // Settings of a real user stay untouched.
  QTemporaryDir config;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
  const QDir out(parser.value(outOpt));
  const bool ok = shoot(Language::German, ',', out.filePath(QStringLiteral("de"))) &&
                  shoot(Language::English, '.', out.filePath(QStringLiteral("en")));
  return ok ? 0 : 1;
}
