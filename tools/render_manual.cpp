// Turns the manual's HTML chapters into one PDF with a title page, a table
// of contents with page numbers and a footer on every page.
//
//   lorvant_manual --out Lorvant.pdf --dir manual/de --css manual/manual.css
//                  --title "Lorvant – Handbuch" --contents "Inhalt" --version "$PROJECT_VERSION"
//                  --images shots/de
//
// Chapters name the pictures of the windows as "@SHOTS@/name.png", each
// in a paragraph of its own followed by its caption; every chapter after
// the title page shows at least one. A figure is scaled to fit the text
// area and never split from its caption; a heading never ends a page, and
// a short paragraph leaves no line alone on a page.
// A manual is refused (exit status 3), with the chapters, pages, figures
// or sections named, when a chapter shows no picture, a page but a
// chapter's last is less than a third full, text was lost by the layout,
// a figure is missing, has no caption or does not fit its page with the
// caption, or a chapter or section has no text of its own.
//
// Runs without a display (QT_QPA_PLATFORM=offscreen).
#include <QAbstractTextDocumentLayout>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextStream>
#include <QTextTable>
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

// Where a block's lines reach from and to, in document coordinates.
struct Span {
  qreal top = 0, bottom = 0;
};

Span lineSpan(QTextDocument& doc, const QTextBlock& b) {
  const qreal at = doc.documentLayout()->blockBoundingRect(b).top();
  const QTextLayout* layout = b.layout();
  if (!layout || layout->lineCount() == 0) return {at, at};
  return {at + layout->lineAt(0).rect().top(), at + layout->lineAt(layout->lineCount() - 1).rect().bottom()};
}

int pageOf(qreal y, qreal pageHeight) { return int(y / pageHeight); }

// A span that ends exactly on a page's bottom edge still lies on that page.
bool onOnePage(const Span& s, qreal pageHeight) {
  return pageOf(s.top, pageHeight) == pageOf(std::max(s.top, s.bottom - 1), pageHeight);
}

// The file names of the pictures in a block; a figure's block has at least one.
QStringList pictures(const QTextBlock& b) {
  QStringList names;
  for (auto it = b.begin(); !it.atEnd(); ++it)
    if (it.fragment().charFormat().isImageFormat()) names << it.fragment().charFormat().toImageFormat().name();
  return names;
}

bool isHeading(const QTextBlock& b) { return b.blockFormat().headingLevel() > 0; }

// Captions are the chapters' paragraphs of class "caption"; the document
// keeps no class, so the style gives them a block state of their own.
constexpr int kCaptionState = 1;
const QString kCaptionStyle = QStringLiteral("p.caption { -qt-user-state: 1; }");

// A figure's caption is the caption paragraph right after its pictures.
bool isCaption(const QTextBlock& b) {
  return b.isValid() && b.userState() == kCaptionState && b.previous().isValid() && !pictures(b.previous()).isEmpty();
}

// The document lays itself out lazily, as far as it was asked. A change of
// format while that is under way can leave blocks near the change with no
// lines (their text neither measured nor drawn: whole sections went
// missing so); laying the rest of the document out anew after each change
// prevents that, and lostText() would tell.
void relayout(QTextDocument& doc, int from) { doc.markContentsDirty(from, doc.characterCount() - from); }

// Window pictures at the size the window has on a screen of 96 dpi (a
// little smaller), never wider than the column, and never so tall that a
// figure and its caption take more than two thirds of a page: a figure
// that has to move on to the next page then leaves the page before it at
// least a third full. The document itself multiplies a picture's given
// size by the paint device's resolution over 96 dpi (the program sets
// Qt::AA_Use96Dpi), so the size is given in pixels of 96 dpi.
void scaleImages(QTextDocument& doc, qreal columnWidth, qreal pageHeight, qreal dotsPerInch) {
  const qreal devicePerPixel = dotsPerInch / 96;
  struct Resize {
    int position, length;
    QTextImageFormat format;
  };
  QList<Resize> resizes;  // measured first, applied after: see relayout()
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const Span caption = isCaption(b.next()) ? lineSpan(doc, b.next()) : Span{};
    const qreal maxHeight = pageHeight * 2 / 3 - (caption.bottom - caption.top);
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isImageFormat()) continue;
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      const QSize natural = QImage(image.name()).size();
      if (natural.isEmpty()) continue;
      const qreal scale =
          std::min({0.85 * devicePerPixel, columnWidth / natural.width(), maxHeight / natural.height()});
      image.setWidth(natural.width() * scale / devicePerPixel);
      image.setHeight(natural.height() * scale / devicePerPixel);
      resizes.append({fragment.position(), fragment.length(), image});
    }
  }
  for (const Resize& r : resizes) {
    QTextCursor cursor(&doc);
    cursor.setPosition(r.position);
    cursor.setPosition(r.position + r.length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(r.format);
  }
  relayout(doc, 0);
}

bool breaksBefore(const QTextBlock& b) {
  return b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
}

void breakBefore(QTextDocument& doc, const QTextBlock& b) {
  QTextBlockFormat format;
  format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  QTextCursor(b).mergeBlockFormat(format);
  relayout(doc, b.position());
}

// The block that starts a unit kept on one page: the headings right
// before it go along with it, so that no heading ends a page.
QTextBlock withHeadings(QTextBlock first) {
  while (first.previous().isValid() && isHeading(first.previous()) && !breaksBefore(first)) first = first.previous();
  return first;
}

// A short paragraph of the running text that the page break leaves with
// a single line on one of its two pages.
bool leavesLineAlone(QTextDocument& doc, const QTextBlock& b, qreal pageHeight) {
  constexpr int kShort = 8;  // lines; a longer paragraph may well be split
  const QTextLayout* layout = b.layout();
  if (!layout || layout->lineCount() < 2 || layout->lineCount() > kShort) return false;
  if (QTextCursor(b).currentTable() || b.blockFormat().nonBreakableLines()) return false;
  const qreal at = doc.documentLayout()->blockBoundingRect(b).top();
  const int first = pageOf(at + layout->lineAt(0).rect().top(), pageHeight);
  int onFirst = 0;
  for (int i = 0; i < layout->lineCount(); ++i)
    if (pageOf(at + layout->lineAt(i).rect().top(), pageHeight) == first) ++onFirst;
  return onFirst < layout->lineCount() && (onFirst == 1 || layout->lineCount() - onFirst == 1);
}

// What the layout would split, moved on to the next page as a whole: a
// figure with its caption, a heading with the first line after it, a short
// paragraph that would leave one line alone. In reading order, so every
// move sees the pages as the moves before it left them.
void keepTogether(QTextDocument& doc, qreal pageHeight) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    Span unit = lineSpan(doc, b);
    if (!pictures(b).isEmpty() && isCaption(b.next()))
      unit.bottom = lineSpan(doc, b.next()).bottom;
    else if (isHeading(b) && b.next().isValid() && !isHeading(b.next()))
      unit.bottom = lineSpan(doc, b.next()).top + 1;  // its first line
    else if (!leavesLineAlone(doc, b, pageHeight))
      continue;
    if (onOnePage(unit, pageHeight)) continue;
    const QTextBlock first = withHeadings(b);
    if (!breaksBefore(first)) breakBefore(doc, first);
  }
}

// Figures that a reader would not see whole: a picture that is missing,
// a figure without a caption, or one that does not fit the text area of
// one page together with its caption.
QStringList figureProblems(QTextDocument& doc, qreal columnWidth, qreal pageHeight) {
  QStringList problems;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QStringList names = pictures(b);
    if (names.isEmpty()) continue;
    QStringList shown;
    for (const QString& name : names) {
      shown << QFileInfo(name).fileName();
      if (QImage(name).isNull()) problems << QFileInfo(name).fileName() + QStringLiteral(": picture missing");
    }
    const QString figure = shown.join(QLatin1Char('+'));
    const QTextBlock caption = b.next();
    Span span = lineSpan(doc, b);
    if (!isCaption(caption) || caption.text().trimmed().isEmpty())
      problems << figure + QStringLiteral(": no caption");
    else
      span.bottom = lineSpan(doc, caption).bottom;
    const int page = pageOf(span.top, pageHeight) + 1;
    if (!onOnePage(span, pageHeight))
      problems << QStringLiteral("%1 (page %2): not on one page with its caption").arg(figure).arg(page);
    for (int i = 0; b.layout() && i < b.layout()->lineCount(); ++i)
      if (b.layout()->lineAt(i).naturalTextWidth() > columnWidth + 1)
        problems << QStringLiteral("%1 (page %2): wider than the page").arg(figure).arg(page);
  }
  return problems;
}

// Text that the layout lost: a block with text but no line laid out is
// neither measured nor drawn, so it is missing from the pages.
QStringList lostText(QTextDocument& doc, qreal pageHeight) {
  QStringList lost;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (b.text().trimmed().isEmpty() || (b.layout() && b.layout()->lineCount() > 0)) continue;
    const int page = pageOf(doc.documentLayout()->blockBoundingRect(b).top(), pageHeight) + 1;
    lost << QStringLiteral("\"%1\" (page %2)").arg(b.text().simplified().left(30)).arg(page);
  }
  return lost;
}

// Chapters and sections with no prose of their own before the next
// heading: a picture, a table or a listing alone does not tell a reader
// what a window does or how to use it. Lists count as prose.
QStringList sectionsWithoutText(QTextDocument& doc, const QString& contentsCaption) {
  constexpr int kSentence = 60;  // characters: about one short sentence
  QStringList bare;
  QString heading;
  int prose = 0;
  const auto close = [&] {
    if (!heading.isEmpty() && prose < kSentence) bare << heading;
  };
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (isHeading(b)) {
      close();
      heading = b.text().trimmed() == contentsCaption ? QString() : b.text().trimmed();
      prose = 0;
      continue;
    }
    const bool inTable = QTextCursor(b).currentTable() != nullptr;
    const bool listing = b.blockFormat().nonBreakableLines();
    if (inTable || listing || !pictures(b).isEmpty() || isCaption(b)) continue;
    prose += int(b.text().simplified().size());
  }
  close();
  return bare;
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
  QString html =
      QStringLiteral("<h1 class=\"contents\">%1</h1><table class=\"toc\" width=\"100%\">").arg(caption.toHtmlEscaped());
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
      : writer_(writer),
        width_(writer.width()),
        footer_(writer.resolution() * 0.4),
        pageHeight_(writer.height() - footer_) {
    doc_.documentLayout()->setPaintDevice(&writer);
    doc_.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 10));
    doc_.setPageSize(QSizeF(width_, pageHeight_));
    doc_.setDocumentMargin(0);
  }

  // Two passes: the first finds the pages of the headings behind a contents
  // list of the same length, the second fills in the numbers.
  void compose(const QString& style, const Chapters& chapters, const QString& contentsCaption) {
    const auto html = [&](const QList<Heading>& list) {
      return QStringLiteral("<html><head><style>") + style + kCaptionStyle + QStringLiteral("</style></head><body>") +
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
        std::fprintf(stderr, "page %d: %d %%%s\n", page + 1, qRound(use.filled[page] * 100),
                     chapterEnd ? " (end)" : "");
      if (!chapterEnd && use.filled[page] < 1.0 / 3)
        empty << QStringLiteral("%1 (%2 %)").arg(page + 1).arg(qRound(use.filled[page] * 100));
    }
    return empty;
  }

  QStringList lostText() { return ::lostText(doc_, pageHeight_); }
  QStringList figureProblems() { return ::figureProblems(doc_, width_, pageHeight_); }
  QStringList sectionsWithoutText(const QString& contentsCaption) {
    return ::sectionsWithoutText(doc_, contentsCaption);
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
    scaleImages(doc_, width_, pageHeight_, writer_.resolution());
    keepTogether(doc_, pageHeight_);
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
  // Pictures are sized in pixels of 96 dpi whatever the screen (scaleImages).
  QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
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
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 16), QPageLayout::Millimeter));
  writer.setTitle(r.title);
  writer.setCreator(QStringLiteral("Lorvant"));
  Manual manual(writer);
  manual.compose(style, chapters, r.contents);
  QStringList faults;
  const auto report = [&](const char* what, const QStringList& list) {
    if (!list.isEmpty()) faults << r.out + QStringLiteral(": ") + QLatin1String(what) + list.join(QStringLiteral(", "));
  };
  report("pages less than a third full: ", manual.emptyPages());
  report("text not laid out: ", manual.lostText());
  report("figures: ", manual.figureProblems());
  report("sections without body text: ", manual.sectionsWithoutText(r.contents));
  if (!faults.isEmpty()) return fail(3, "lorvant_manual: %s\n", faults.join(QStringLiteral("\nlorvant_manual: ")));

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
