// libFuzzer target: any bytes through the RTF reader. What it reads must
// come back unchanged through the writer and the reader again.
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "windows/viewer/rtf/Rtf.h"

namespace {
QGuiApplication* app = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  app = new QGuiApplication(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTextDocument doc;
  if (!lorvant::rtf::read(bytes, &doc).ok()) return 0;

  const QByteArray written = lorvant::rtf::write(&doc);
  QTextDocument again;
  if (!lorvant::rtf::read(written, &again).ok()) {
    std::fprintf(stderr, "the writer's output was refused\n");
    std::abort();
  }
  if (again.toRawText() != doc.toRawText()) {
    std::fprintf(stderr, "text changed through writer and reader:\n%s\n---\n%s\n", doc.toRawText().toUtf8().constData(),
                 again.toRawText().toUtf8().constData());
    std::abort();
  }
  return 0;
}
