// Turns the manual's HTML chapters into one PDF with a title page, a table
// of contents with page numbers and a footer on every page.
//
//   lorvant_manual --out Lorvant.pdf --dir manual/de --css manual/manual.css
//                  --title "Lorvant – Handbuch" --contents "Inhalt" --version "$PROJECT_VERSION"
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
#include <QTextBlock>
#include <QTextDocument>
#include <QTextStream>
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
  parser.addOptions({outOpt, dirOpt, styleOpt, titleOpt, contentsOpt, versionOpt, previewOpt});
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
  for (int i = 0; i < chapters.size(); ++i) {
    bool ok = false;
    QString text = readUtf8(dir.filePath(chapters[i]), &ok);
    if (!ok) {
      std::fprintf(stderr, "lorvant_manual: cannot read %s\n", qPrintable(chapters[i]));
      return 1;
    }
    text.replace(QStringLiteral("@VERSION@"), parser.value(versionOpt));
    if (i == 0)
      titlePage = text;
    else
      body += QStringLiteral("<div style=\"page-break-before: always\">") + text + QStringLiteral("</div>");
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
  doc.setHtml(compose({}));
  QList<Heading> list = headings(doc, pageHeight);
  // The contents caption is itself a level-1 heading; leave it out.
  if (!list.isEmpty() && list.first().text == contentsCaption) list.removeFirst();
  doc.setHtml(compose(list));
  QList<Heading> check = headings(doc, pageHeight);
  if (!check.isEmpty() && check.first().text == contentsCaption) check.removeFirst();
  for (int i = 0; i < list.size() && i < check.size(); ++i) list[i].page = check[i].page;
  doc.setHtml(compose(list));

  const int pages = doc.pageCount();
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
