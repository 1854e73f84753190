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

// What the command line asks for.
struct Request {
  QString out, dir, style, title, contents, version, preview, images;
  bool hasStyle = false, hasPreview = false, hasImages = false;
};

// The chapters read in: the first is the title page, the rest the body.
struct Chapters {
  QString titlePage;
  QString body;
};

int fail(int status, const char* format, const QString& what = QString()) {
  std::fprintf(stderr, format, qPrintable(what));
  return status;
}

// Reads the chapters in name order; 0, or the exit status of the failure.
int readChapters(const Request& r, Chapters& out) {
  const QDir dir(r.dir);
  const QStringList chapters = dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
  if (chapters.isEmpty()) return fail(1, "lorvant_manual: no chapters in %s\n", dir.path());
  QStringList withoutPicture;
  for (int i = 0; i < chapters.size(); ++i) {
    bool ok = false;
    QString text = readUtf8(dir.filePath(chapters[i]), &ok);
    if (!ok) return fail(1, "lorvant_manual: cannot read %s\n", chapters[i]);
    text.replace(QStringLiteral("@VERSION@"), r.version);
    if (i > 0 && !text.contains(QStringLiteral("@SHOTS@/"))) withoutPicture << chapters[i];
    if (text.contains(QStringLiteral("@SHOTS@"))) {
      if (!r.hasImages) return fail(2, "lorvant_manual: %s shows windows; --images is required\n", chapters[i]);
      text.replace(QStringLiteral("@SHOTS@"), QDir(r.images).absolutePath());
    }
    if (i == 0)
      out.titlePage = text;
    else
      out.body += QStringLiteral("<div style=\"page-break-before: always\">") + text + QStringLiteral("</div>");
  }
  if (!withoutPicture.isEmpty())
    return fail(3, "lorvant_manual: chapters without a picture of their window: %s\n",
                withoutPicture.join(QStringLiteral(", ")));
  return 0;
}

// The manual laid out on the writer's pages, the room for the footer kept
// free below each.
class Manual {
 public:
  explicit Manual(QPdfWriter& writer)
      : writer_(writer), width_(writer.width()), footer_(writer.resolution() * 0.4), pageHeight_(writer.height() - footer_) {
    doc_.documentLayout()->setPaintDevice(&writer);
    doc_.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 10));
    doc_.setPageSize(QSizeF(width_, pageHeight_));
    doc_.setDocumentMargin(0);
  }

  // Two passes: the first finds the pages of the headings behind a contents
  // list of the same length, the second fills in the numbers.
  void compose(const QString& style, const Chapters& chapters, const QString& contentsCaption) {
    const auto html = [&](const QList<Heading>& list) {
      return QStringLiteral("<html><head><style>") + style + QStringLiteral("</style></head><body>") +
             chapters.titlePage + QStringLiteral("<div style=\"page-break-before: always\">") +
             contentsHtml(contentsCaption, list) + QStringLiteral("</div>") + chapters.body +
             QStringLiteral("</body></html>");
    };
    // The contents caption is itself a level-1 heading; leave it out.
    const auto listed = [&] {
      QList<Heading> list = headings(doc_, pageHeight_);
      if (!list.isEmpty() && list.first().text == contentsCaption) list.removeFirst();
      return list;
    };
    load(html({}));
    QList<Heading> list = listed();
    load(html(list));
    const QList<Heading> check = listed();
    for (int i = 0; i < list.size() && i < check.size(); ++i) list[i].page = check[i].page;
    load(html(list));
  }

  int pages() const { return doc_.pageCount(); }

  // The pages less than a third full that do not end a chapter.
  QStringList emptyPages() {
    const PageUse use = pageUse(doc_, pageHeight_);
    QStringList empty;
    for (int page = 0; page < pages(); ++page) {
      const bool chapterEnd = page + 1 == pages() || use.chapterStarts.contains(page + 1);
      if (qEnvironmentVariableIsSet("LORVANT_MANUAL_FILL"))
        std::fprintf(stderr, "page %d: %d %%%s\n", page + 1, qRound(use.filled[page] * 100), chapterEnd ? " (end)" : "");
      if (!chapterEnd && use.filled[page] < 1.0 / 3)
        empty << QStringLiteral("%1 (%2 %)").arg(page + 1).arg(qRound(use.filled[page] * 100));
    }
    return empty;
  }

  void paintPage(QPainter& painter, int page, const QString& title) {
    painter.save();
    const QRectF clip(0, page * pageHeight_, width_, pageHeight_);
    painter.translate(0, -page * pageHeight_);
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = clip;
    doc_.documentLayout()->draw(&painter, ctx);
    painter.restore();
    if (page > 0) {  // the title page has no footer
      painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
      painter.setPen(QColor(90, 90, 90));
      const QRectF line(0, pageHeight_ + footer_ * 0.35, width_, footer_ * 0.65);
      painter.drawLine(QPointF(0, pageHeight_ + footer_ * 0.25), QPointF(width_, pageHeight_ + footer_ * 0.25));
      painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, title);
      painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QString::number(page + 1));
    }
  }

  // Proof pages at a third of the print resolution.
  void savePreview(const QString& folder, const QString& title) {
    const qreal scale = 1.0 / 3;
    for (int page = 0; page < pages(); ++page) {
      QImage image(QSize(int(width_ * scale) + 1, int(writer_.height() * scale) + 1), QImage::Format_RGB32);
      image.fill(Qt::white);
      QPainter p(&image);
      p.scale(scale, scale);
      paintPage(p, page, title);
      p.end();
      image.save(QDir(folder).filePath(QStringLiteral("page-%1.png").arg(page + 1, 2, 10, QLatin1Char('0'))));
    }
  }

 private:
  void load(const QString& html) {
    doc_.setHtml(html);
    scaleImages(doc_, width_, writer_.resolution());
  }

  QPdfWriter& writer_;
  QTextDocument doc_;
  const qreal width_;
  const qreal footer_;  // room for the footer line
  const qreal pageHeight_;
};

// The command line; false when the required options are missing.
bool parse(QGuiApplication& app, Request& r) {
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
  r.out = parser.value(outOpt);
  r.dir = parser.value(dirOpt);
  r.style = parser.value(styleOpt);
  r.title = parser.value(titleOpt);
  r.contents = parser.value(contentsOpt);
  r.version = parser.value(versionOpt);
  r.preview = parser.value(previewOpt);
  r.images = parser.value(imagesOpt);
  r.hasStyle = parser.isSet(styleOpt);
  r.hasPreview = parser.isSet(previewOpt);
  r.hasImages = parser.isSet(imagesOpt);
  return parser.isSet(outOpt) && parser.isSet(dirOpt);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  Request r;
  if (!parse(app, r)) return fail(2, "lorvant_manual: --out and --dir are required\n");
  Chapters chapters;
  if (const int status = readChapters(r, chapters)) return status;
  QString style;
  if (r.hasStyle) {
    bool ok = false;
    style = readUtf8(r.style, &ok);
    if (!ok) return fail(1, "lorvant_manual: cannot read the style sheet\n");
  }

  QPdfWriter writer(r.out);
  writer.setResolution(300);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 16),
                                   QPageLayout::Millimeter));
  writer.setTitle(r.title);
  writer.setCreator(QStringLiteral("Lorvant"));
  Manual manual(writer);
  manual.compose(style, chapters, r.contents);
  const QStringList empty = manual.emptyPages();
  if (!empty.isEmpty())
    return fail(3, "lorvant_manual: %s\n", r.out + ": pages less than a third full: " + empty.join(QStringLiteral(", ")));

  QPainter painter;
  if (!painter.begin(&writer)) return fail(1, "lorvant_manual: cannot write %s\n", r.out);
  for (int page = 0; page < manual.pages(); ++page) {
    if (page > 0) writer.newPage();
    manual.paintPage(painter, page, r.title);
  }
  painter.end();
  if (r.hasPreview) manual.savePreview(r.preview, r.title);
  QTextStream(stdout) << r.out << ": " << manual.pages() << " pages\n";
  return 0;
}
