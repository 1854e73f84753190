// Big reports in the quick viewer. The special table has one row per
// centimetre of wire: 4001 rows for 40 m, 100001 rows (13 MB) for 1000 m.
// BM_LoadSpecialTable times what the user waits for: from the command until
// the window shows the report (the rest of a big one is read in while the
// window already answers); BM_LoadSpecialTableWhole times until all of it is
// in. Counters: file size, the peak of the resident memory while loading the
// whole text above what the process held before (and that as a multiple of
// the file size), and what stays resident with the document shown.
#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <cstdio>
#include <cstring>
#include <memory>

#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "windows/viewer/frmRTF.h"

using lorvant::frmRTF;

namespace {

std::unique_ptr<QTemporaryDir> folder;

long statusKb(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long value = 0;
  const size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, key, n) == 0) value = std::atol(line + n);
  std::fclose(f);
  return value;
}

// Starts a new peak of the resident memory (Linux 4.0 and later).
bool resetPeak() {
  FILE* f = std::fopen("/proc/self/clear_refs", "w");
  if (!f) return false;
  const bool ok = std::fputs("5", f) >= 0;
  return std::fclose(f) == 0 && ok;
}

// A special table as the run writes it: Windows-1252, 129 characters a row.
QString specialTable(int rows) {
  const QString path = folder->filePath(QStringLiteral("AntSpezi_%1.txt").arg(rows));
  if (QFile::exists(path)) return path;
  QByteArray out;
  out.reserve(static_cast<qsizetype>(rows + 20) * 131);
  out += "                        Lorvant \r\n" + QByteArray(115, '\x97') + "\r\n";
  out += "Antenne berechnet auf Basis  14,2 MHz f\xFCr  4  Halbwellen\r\n\r\nStromsummen:\r\n";
  out +=
      "Meter  \xD8Summe    50 MHz    28 MHz    24 MHz    21 MHz    18 MHz    14 MHz    10 MHz    7,0 MHz   "
      "5,3 MHz   3,5 MHz   1,8 MHz   \r\n";
  out += QByteArray(127, '\x97') + "\r\n";
  char row[160];
  for (int p = 0; p < rows; ++p) {
    int n = std::snprintf(row, sizeof row, "%5.2f", p / 100.0);
    for (int k = 0; k < 12; ++k)
      n += std::snprintf(row + n, sizeof row - n, "   %7.5f", ((p * 37 + k * 101) % 100000) / 100000.0);
    n += std::snprintf(row + n, sizeof row - n, "    \r\n");
    for (int i = 0; i < n; ++i)
      if (row[i] == '.') row[i] = ',';
    out.append(row, n);
  }
  out += "\r\nBerechnung am 01.01.2025 12:00:00 (c) Lorvant\r\n";
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size()) qFatal("cannot write %s", qPrintable(path));
  return path;
}

QString smallFile() {
  const QString path = folder->filePath(QStringLiteral("small.txt"));
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write("x\r\n");
  return path;
}

// Answers for the search and save benchmarks: one search text, one file.
struct BenchSeam : lorvant::UiSeam {
  QString searchText;
  QString saveTarget;
  BenchSeam() { lorvant::setSeam(this); }
  ~BenchSeam() override { lorvant::setSeam(nullptr); }
  lorvant::Answer message(QWidget*, const lorvant::MessageRequest&) override { return lorvant::Answer::Ok; }
  void beep() override {}
  void processEvents() override {}
  std::optional<QString> inputBox(QWidget*, const QString&, const QString&, const QString&) override {
    return searchText;
  }
  std::optional<lorvant::FileDialogResult> openFile(QWidget*, const lorvant::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<lorvant::FileDialogResult> saveFile(QWidget*, const lorvant::FileDialogRequest&) override {
    return lorvant::FileDialogResult{saveTarget, 2};
  }
  std::optional<QString> chooseFolder(QWidget*, const QString&, const QString&) override { return std::nullopt; }
  std::optional<lorvant::FontChoice> chooseFont(QWidget*, const lorvant::FontChoice&) override { return std::nullopt; }
  std::optional<lorvant::PrintChoice> choosePrinter(QWidget*, QPrinter&, const lorvant::PrintRequest&) override {
    return std::nullopt;
  }
  std::unique_ptr<lorvant::ProgressHandle> startProgress(QWidget*, const QString&) override { return nullptr; }
  void setBusy(bool) override {}
};

void load(frmRTF* v, const QString& path) {
  QString error;
  if (!v->loadDocument(path, &error)) qFatal("%s", qPrintable(error));
  v->showViewer();
  QApplication::processEvents();  // the visible part laid out and painted
}

// The rest of the text read in as the event loop does it.
void loadRest(frmRTF* v) {
  while (v->isLoading()) QApplication::processEvents();
}

void loadWhole(frmRTF* v, const QString& path) {
  load(v, path);
  loadRest(v);
}

void loadSpecialTable(benchmark::State& state, bool whole) {
  const int rows = static_cast<int>(state.range(0));
  const QString path = specialTable(rows);
  const double fileMb = QFileInfo(path).size() / 1048576.0;
  frmRTF* v = frmRTF::instance();
  double peakMb = 0;
  double residentMb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    loadWhole(v, smallFile());  // the previous table gone before measuring
    const long before = statusKb("VmRSS:");
    const bool fresh = resetPeak();
    state.ResumeTiming();

    if (whole)
      loadWhole(v, path);
    else
      load(v, path);

    state.PauseTiming();
    loadRest(v);
    if (fresh) peakMb = std::max(peakMb, (statusKb("VmHWM:") - before) / 1024.0);
    residentMb = (statusKb("VmRSS:") - before) / 1024.0;
    state.ResumeTiming();
  }
  state.counters["file_MB"] = fileMb;
  state.counters["peak_MB"] = peakMb;
  state.counters["peak_x_file"] = peakMb / fileMb;
  state.counters["resident_MB"] = residentMb;
}

void BM_LoadSpecialTable(benchmark::State& state) { loadSpecialTable(state, false); }
BENCHMARK(BM_LoadSpecialTable)->Arg(4001)->Arg(100001)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadSpecialTableWhole(benchmark::State& state) { loadSpecialTable(state, true); }
BENCHMARK(BM_LoadSpecialTableWhole)->Arg(100001)->Unit(benchmark::kMillisecond)->Iterations(5);

// Search for the closing line from the top: the whole text is scanned.
void BM_SearchSpecialTable(benchmark::State& state) {
  frmRTF* v = frmRTF::instance();
  loadWhole(v, specialTable(static_cast<int>(state.range(0))));
  BenchSeam seam;
  const QString search = QStringLiteral("Berechnung am");
  seam.searchText = search;
  for (auto _ : state) {
    QTextCursor c = v->textCursor();
    c.setPosition(0);
    v->setTextCursor(c);
    v->search();
    if (v->textCursor().selectedText() != search) state.SkipWithError("not found");
  }
}
BENCHMARK(BM_SearchSpecialTable)->Arg(100001)->Unit(benchmark::kMillisecond);

// Saving the big table again as plain text: the same bytes.
void BM_SaveSpecialTable(benchmark::State& state) {
  frmRTF* v = frmRTF::instance();
  const QString path = specialTable(static_cast<int>(state.range(0)));
  loadWhole(v, path);
  BenchSeam seam;
  const QString target = folder->filePath(QStringLiteral("saved.txt"));
  seam.saveTarget = target;
  for (auto _ : state)
    if (!v->save()) state.SkipWithError("not saved");
  QFile a(path), b(target);
  if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.readAll() != b.readAll())
    state.SkipWithError("saved bytes differ");
}
BENCHMARK(BM_SaveSpecialTable)->Arg(100001)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  folder = std::make_unique<QTemporaryDir>();
  lorvant::Module1::state().resultsFolder = folder->path() + '/';
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  frmRTF::unload();
  folder.reset();
  return 0;
}
