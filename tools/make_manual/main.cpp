// make_manual IN.md OUT.pdf: lays out the user manual with Qt's own text engine
// and writes it as an A4 PDF with page numbers, so building the manual needs
// nothing beyond Qt. Pictures are looked up beside the Markdown file; a
// screenshot keeps its on-screen size on paper unless it is wider than the text.
#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>
#include <cstdio>

namespace {

constexpr int kDpi = 300;
constexpr qreal kScreenDpi = 96;
constexpr qreal kMarginMm = 20;
constexpr qreal kBodyPoints = 10;
constexpr qreal kFooterPoints = 8;

QFont manual_font(qreal points) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("WenQuanYi Micro Hei")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  return font;
}

void configure(QPdfWriter& pdf) {
  pdf.setTitle(QStringLiteral("Tarvo user manual"));
  pdf.setCreator(QStringLiteral("Tarvo"));
  pdf.setResolution(kDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                QPageLayout::Millimeter));
}

void fit_image(QTextDocument& doc, const QTextFragment& fragment) {
  QTextImageFormat format = fragment.charFormat().toImageFormat();
  const QImage image =
      doc.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
  if (image.isNull()) {
    std::fprintf(stderr, "make_manual: missing picture %s\n", qPrintable(format.name()));
    return;
  }
  // Picture sizes are in screen pixels; the layout scales them to the PDF.
  const qreal width = qMin<qreal>(image.width(), doc.textWidth() * kScreenDpi / kDpi);
  format.setWidth(width);
  format.setHeight(image.height() * width / image.width());
  QTextCursor cursor(&doc);
  cursor.setPosition(fragment.position());
  cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
  cursor.setCharFormat(format);
}

void fit_images(QTextDocument& doc) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().isImageFormat()) fit_image(doc, it.fragment());
    }
  }
}

// Tables come out of the Markdown reader without rules; a thin grid and some
// room in the cells make them readable on paper.
void style_tables(const QTextFrame& frame) {
  for (QTextFrame* child : frame.childFrames()) {
    if (auto* table = qobject_cast<QTextTable*>(child)) {
      QTextTableFormat format = table->format();
      format.setBorder(1);
      format.setBorderBrush(Qt::darkGray);
      format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
      format.setBorderCollapse(true);
      format.setCellPadding(12);
      format.setCellSpacing(0);
      format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
      table->setFormat(format);
    }
    style_tables(*child);
  }
}

qreal points_to_dots(qreal points) {
  return points * kDpi / 72;
}

// Chapters and sections get air above them, as printed manuals do.
void space_headings(QTextDocument& doc) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level < 2) continue;
    QTextBlockFormat format = block.blockFormat();
    format.setTopMargin(points_to_dots(level == 2 ? 16 : 8));
    QTextCursor(block).setBlockFormat(format);
  }
}

// Commands and file excerpts stand out on a light grey ground.
void shade_code(QTextDocument& doc) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (!block.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) continue;
    QTextBlockFormat format = block.blockFormat();
    format.setBackground(QColor(0xF0, 0xF0, 0xF0));
    QTextCursor(block).setBlockFormat(format);
  }
}

// The page a block's first line ends on; the layout moves lines, not blocks,
// to the next page.
int page_of(const QTextDocument& doc, const QTextBlock& block) {
  qreal y = doc.documentLayout()->blockBoundingRect(block).top();
  if (block.layout() != nullptr && block.layout()->lineCount() > 0) {
    y += block.layout()->lineAt(0).rect().bottom();
  }
  return static_cast<int>(y / doc.pageSize().height());
}

// A heading left alone at the foot of a page moves to the next one.
void keep_headings_with_text(QTextDocument& doc) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 0 || !block.next().isValid()) continue;
    if (page_of(doc, block) == page_of(doc, block.next())) continue;
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(block).setBlockFormat(format);
  }
}

void draw_page_number(QPainter& painter, const QSizeF& page, int number) {
  painter.setFont(manual_font(kFooterPoints));
  const qreal below = kMarginMm / 2 / 25.4 * kDpi;
  painter.drawText(QRectF(0, page.height(), page.width(), below), Qt::AlignCenter,
                   QString::number(number));
}

void print(QTextDocument& doc, QPdfWriter& pdf) {
  QPainter painter(&pdf);
  const QSizeF page = doc.pageSize();
  for (int i = 0; i < doc.pageCount(); ++i) {
    if (i > 0) pdf.newPage();
    const QRectF area(0, i * page.height(), page.width(), page.height());
    painter.save();
    painter.setClipRect(QRectF(QPointF(0, 0), page));
    painter.translate(0, -area.top());
    doc.drawContents(&painter, area);
    painter.restore();
    draw_page_number(painter, page, i + 1);
  }
}

bool write_manual(const QString& in, const QString& out) {
  QFile source(in);
  if (!source.open(QIODevice::ReadOnly)) return false;
  QPdfWriter pdf(out);
  configure(pdf);
  QTextDocument doc;
  // Measured on the PDF itself, the text wraps exactly as it is printed.
  doc.documentLayout()->setPaintDevice(&pdf);
  doc.setDocumentMargin(0);
  doc.setDefaultFont(manual_font(kBodyPoints));
  doc.setPageSize(pdf.pageLayout().paintRectPixels(kDpi).size());
  doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(in).absolutePath() + QLatin1Char('/')));
  doc.setMarkdown(QString::fromUtf8(source.readAll()), QTextDocument::MarkdownDialectGitHub);
  fit_images(doc);
  style_tables(*doc.rootFrame());
  space_headings(doc);
  shade_code(doc);
  keep_headings_with_text(doc);
  print(doc, pdf);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: make_manual IN.md OUT.pdf\n");
    return 2;
  }
  if (!write_manual(args[1], args[2]) || QFileInfo(args[2]).size() == 0) {
    std::fprintf(stderr, "make_manual: could not write %s from %s\n", qPrintable(args[2]),
                 qPrintable(args[1]));
    return 1;
  }
  return 0;
}
