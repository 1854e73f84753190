// Turns the manual's HTML chapters into one PDF with a title page, a table
// of contents with page numbers and a footer on every page.
//
//   lorvant_manual --out Lorvant.pdf --dir manual/de --css manual/manual.css
//                  --title "Lorvant – Handbuch" --contents "Inhalt" --version "$PROJECT_VERSION"
//                  --images shots/de
//
// Chapters name the pictures of the windows as "@SHOTS@/name.png"; every
// chapter after the title page shows at least one. Every page must be at
// least a third full, except the last page of a chapter. A manual that
// breaks either rule is refused (exit status 3), with the chapters or
// pages named.
//
// Runs without a display (QT_QPA_PLATFORM=offscreen).
#include <QAbstractTextDocumentLayout>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextDocument>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

struct Heading {
  int level = 1;
  QString text;
  int page = 0;
};

QString readUtf8(const QString& path, bool* ok) {
  QFile file(path);
  *ok = file.open(QIODevice::ReadOnly);
  return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

// How far down each page its text reaches (0 to 1), by the lines laid out
// on it; and which pages start a chapter (a heading of level 1).
struct PageUse {
  QList<qreal> filled;
  QSet<int> chapterStarts;
};

PageUse pageUse(QTextDocument& doc, qreal pageHeight) {
  PageUse use;
  use.filled.fill(0, doc.pageCount());
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QRectF block = doc.documentLayout()->blockBoundingRect(b);
    if (b.blockFormat().headingLevel() == 1) use.chapterStarts.insert(int(block.top() / pageHeight));
    const QTextLayout* layout = b.layout();
    for (int i = 0; layout && i < layout->lineCount(); ++i) {
      const QRectF line = layout->lineAt(i).rect().translated(block.topLeft());
      const int page = int(line.top() / pageHeight);
      if (page < 0 || page >= use.filled.size()) continue;
      use.filled[page] = std::max(use.filled[page], std::min(1.0, (line.bottom() - page * pageHeight) / pageHeight));
    }
  }
  return use;
}

// Window pictures at the size the window has on a screen of 96 dpi (a
// little smaller), never wider than the column.
void scaleImages(QTextDocument& doc, qreal columnWidth, qreal dotsPerInch) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isImageFormat()) continue;
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      const QSize natural = QImage(image.name()).size();
      if (natural.isEmpty()) continue;
      const qreal scale = std::min(0.85 * dotsPerInch / 96, columnWidth / natural.width());
      image.setWidth(natural.width() * scale);
      image.setHeight(natural.height() * scale);
      QTextCursor cursor(&doc);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(image);
    }
  }
}

// Headings of levels 1 and 2 with the page their block starts on.
QList<Heading> headings(QTextDocument& doc, qreal pageHeight) {
  QList<Heading> list;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const int level = b.blockFormat().headingLevel();
    if (level < 1 || level > 2) continue;
    const QRectF r = doc.documentLayout()->blockBoundingRect(b);
    list.append({level, b.text().trimmed(), static_cast<int>(r.top() / pageHeight) + 1});
  }
  return list;
}

QString contentsHtml(const QString& caption, const QList<Heading>& list) {
  QString html = QStringLiteral("<h1 class=\"contents\">%1</h1><table class=\"toc\" width=\"100%\">").arg(caption.toHtmlEscaped());
  for (const Heading& h : list) {
    html += QStringLiteral("<tr><td class=\"toc%1\">%2</td><td class=\"page\" align=\"right\">%3</td></tr>")
                .arg(h.level)
                .arg(h.text.toHtmlEscaped())
                .arg(h.page > 0 ? QString::number(h.page) : QStringLiteral("00"));
  }
  html += QStringLiteral("</table>");
  return html;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption outOpt("out", "PDF to write", "file");
  const QCommandLineOption dirOpt("dir", "folder of the chapters (*.html, in name order)", "folder");
  const QCommandLineOption styleOpt("css", "style sheet", "file");
  const QCommandLineOption titleOpt("title", "title in the page footer", "text");
  const QCommandLineOption contentsOpt("contents", "caption of the table of contents", "text", "Contents");
  const QCommandLineOption versionOpt("version", "program version shown on the title page", "text");
  const QCommandLineOption previewOpt("preview", "also write every page as PNG into this folder", "folder");
  const QCommandLineOption imagesOpt("images", "folder of the window pictures (@SHOTS@ in the chapters)", "folder");
  parser.addOptions({outOpt, dirOpt, styleOpt, titleOpt, contentsOpt, versionOpt, previewOpt, imagesOpt});
  parser.process(app);
  if (!parser.isSet(outOpt) || !parser.isSet(dirOpt)) {
    std::fprintf(stderr, "lorvant_manual: --out and --dir are required\n");
    return 2;
  }

  const QDir dir(parser.value(dirOpt));
  const QStringList chapters = dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
  if (chapters.isEmpty()) {
    std::fprintf(stderr, "lorvant_manual: no chapters in %s\n", qPrintable(dir.path()));
    return 1;
  }
  // The first chapter is the title page; the contents follow it.
  QString titlePage;
  QString body;
  QStringList withoutPicture;
  for (int i = 0; i < chapters.size(); ++i) {
    bool ok = false;
    QString text = readUtf8(dir.filePath(chapters[i]), &ok);
    if (!ok) {
      std::fprintf(stderr, "lorvant_manual: cannot read %s\n", qPrintable(chapters[i]));
      return 1;
    }
    text.replace(QStringLiteral("@VERSION@"), parser.value(versionOpt));
    if (i > 0 && !text.contains(QStringLiteral("@SHOTS@/"))) withoutPicture << chapters[i];
    if (text.contains(QStringLiteral("@SHOTS@"))) {
      if (!parser.isSet(imagesOpt)) {
        std::fprintf(stderr, "lorvant_manual: %s shows windows; --images is required\n", qPrintable(chapters[i]));
        return 2;
      }
      text.replace(QStringLiteral("@SHOTS@"), QDir(parser.value(imagesOpt)).absolutePath());
    }
    if (i == 0)
      titlePage = text;
    else
      body += QStringLiteral("<div style=\"page-break-before: always\">") + text + QStringLiteral("</div>");
  }
  if (!withoutPicture.isEmpty()) {
    std::fprintf(stderr, "lorvant_manual: chapters without a picture of their window: %s\n",
                 qPrintable(withoutPicture.join(QStringLiteral(", "))));
    return 3;
  }
  QString style;
  if (parser.isSet(styleOpt)) {
    bool ok = false;
    style = readUtf8(parser.value(styleOpt), &ok);
    if (!ok) {
      std::fprintf(stderr, "lorvant_manual: cannot read the style sheet\n");
      return 1;
    }
  }

  QPdfWriter writer(parser.value(outOpt));
  writer.setResolution(300);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 16),
                                   QPageLayout::Millimeter));
  writer.setTitle(parser.value(titleOpt));
  writer.setCreator(QStringLiteral("Lorvant"));

  const qreal width = writer.width();
  const qreal footer = writer.resolution() * 0.4;  // room for the footer line
  const qreal pageHeight = writer.height() - footer;

  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&writer);
  QFont base(QStringLiteral("DejaVu Serif"), 10);
  doc.setDefaultFont(base);
  doc.setPageSize(QSizeF(width, pageHeight));
  doc.setDocumentMargin(0);

  // Two passes: the first finds the pages of the headings behind a contents
  // list of the same length, the second fills in the numbers.
  const QString contentsCaption = parser.value(contentsOpt);
  auto compose = [&](const QList<Heading>& list) {
    return QStringLiteral("<html><head><style>") + style + QStringLiteral("</style></head><body>") + titlePage + QStringLiteral("<div style=\"page-break-before: always\">") +
           contentsHtml(contentsCaption, list) + QStringLiteral("</div>") + body + QStringLiteral("</body></html>");
  };
  const auto load = [&](const QString& html) {
    doc.setHtml(html);
    scaleImages(doc, width, writer.resolution());
  };
  load(compose({}));
  QList<Heading> list = headings(doc, pageHeight);
  // The contents caption is itself a level-1 heading; leave it out.
  if (!list.isEmpty() && list.first().text == contentsCaption) list.removeFirst();
  load(compose(list));
  QList<Heading> check = headings(doc, pageHeight);
  if (!check.isEmpty() && check.first().text == contentsCaption) check.removeFirst();
  for (int i = 0; i < list.size() && i < check.size(); ++i) list[i].page = check[i].page;
  load(compose(list));

  const int pages = doc.pageCount();
  const PageUse use = pageUse(doc, pageHeight);
  QStringList empty;
  for (int page = 0; page < pages; ++page) {
    const bool chapterEnd = page + 1 == pages || use.chapterStarts.contains(page + 1);
    if (qEnvironmentVariableIsSet("LORVANT_MANUAL_FILL"))
      std::fprintf(stderr, "page %d: %d %%%s\n", page + 1, qRound(use.filled[page] * 100), chapterEnd ? " (end)" : "");
    if (!chapterEnd && use.filled[page] < 1.0 / 3)
      empty << QStringLiteral("%1 (%2 %)").arg(page + 1).arg(qRound(use.filled[page] * 100));
  }
  if (!empty.isEmpty()) {
    std::fprintf(stderr, "lorvant_manual: %s: pages less than a third full: %s\n", qPrintable(parser.value(outOpt)),
                 qPrintable(empty.join(QStringLiteral(", "))));
    return 3;
  }
  QPainter painter;
  if (!painter.begin(&writer)) {
    std::fprintf(stderr, "lorvant_manual: cannot write %s\n", qPrintable(parser.value(outOpt)));
    return 1;
  }
  const QFont footerFont(QStringLiteral("DejaVu Sans"), 8);
  auto paintPage = [&](QPainter& painter, int page) {
    painter.save();
    const QRectF clip(0, page * pageHeight, width, pageHeight);
    painter.translate(0, -page * pageHeight);
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = clip;
    doc.documentLayout()->draw(&painter, ctx);
    painter.restore();
    if (page > 0) {  // the title page has no footer
      painter.setFont(footerFont);
      painter.setPen(QColor(90, 90, 90));
      const QRectF line(0, pageHeight + footer * 0.35, width, footer * 0.65);
      painter.drawLine(QPointF(0, pageHeight + footer * 0.25), QPointF(width, pageHeight + footer * 0.25));
      painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, parser.value(titleOpt));
      painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QString::number(page + 1));
    }
  };
  for (int page = 0; page < pages; ++page) {
    if (page > 0) writer.newPage();
    paintPage(painter, page);
  }
  painter.end();

  if (parser.isSet(previewOpt)) {
    // Proof pages at a third of the print resolution.
    const qreal scale = 1.0 / 3;
    for (int page = 0; page < pages; ++page) {
      QImage image(QSize(int(width * scale) + 1, int(writer.height() * scale) + 1), QImage::Format_RGB32);
      image.fill(Qt::white);
      QPainter p(&image);
      p.scale(scale, scale);
      paintPage(p, page);
      p.end();
      image.save(QDir(parser.value(previewOpt)).filePath(QStringLiteral("page-%1.png").arg(page + 1, 2, 10, QLatin1Char('0'))));
    }
  }
  QTextStream(stdout) << parser.value(outOpt) << ": " << pages << " pages\n";
  return 0;
}
