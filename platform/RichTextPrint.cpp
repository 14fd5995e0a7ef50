#include "RichTextPrint.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "LowLevel.h"
#include "QtText.h"

namespace LowLevel {

using Services::PrintStatus;

namespace {

// The layout scales fonts, tab stops and pictures from the screen's pixels
// to the device's by the ratio of their resolutions (taking the screen's
// as it rounds it, or 96 where the program is told to assume 96), but takes
// the indents and spacing of paragraphs as pixels of the device.
double ScreenToDevice(const QPaintDevice& device) {
    double screen = 96;
    if (!QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        if (const QScreen* s = QGuiApplication::primaryScreen()) screen = std::round(s->logicalDotsPerInchY());
    return screen > 0 ? device.logicalDpiY() / screen : 1.0;
}

// Scales the indents and spacing of every paragraph by ratio, as the
// layout scales the tab stops: the lines after the first of a paragraph
// that hangs from its label ("Info about origin:" and its value) stay under
// the value's tab stop on paper as on the screen.
void ScaleParagraphs(QTextDocument& doc, double ratio) {
    QTextCursor cursor(&doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        f.setLeftMargin(f.leftMargin() * ratio);
        f.setRightMargin(f.rightMargin() * ratio);
        f.setTextIndent(f.textIndent() * ratio);
        f.setTopMargin(f.topMargin() * ratio);
        f.setBottomMargin(f.bottomMargin() * ratio);
        cursor.setPosition(b.position());
        cursor.setBlockFormat(f);
    }
}

// A document laid out for a printer and cut into pages of whole lines, in
// the printer's pixels.
struct PrintLayout {
    std::unique_ptr<QTextDocument> copy;
    std::vector<PageRange> pages;
    double left = 0, top = 0;  // of the text on the printable area
    double lineWidth = 0, pageTextHeight = 0;
};

PrintStatus LayOut(const QTextDocument& doc, QPrinter& printer, const Services::PageMargins& mm, PrintLayout& out) {
    if (!printer.isValid()) return PrintStatus::NoPrinter;

    // What the device reports, in its own pixels.
    DeviceCaps caps;
    caps.dpiX = printer.logicalDpiX();
    caps.dpiY = printer.logicalDpiY();
    if (!(caps.dpiX > 0) || !(caps.dpiY > 0)) return PrintStatus::BadResolution;
    QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    caps.physicalWidth = paper.width();
    caps.physicalHeight = paper.height();
    caps.physicalOffsetX = printable.left() - paper.left();
    caps.physicalOffsetY = printable.top() - paper.top();

    PageGeometry g;
    PrintStatus status = ComputePageGeometry(caps, mm, g);
    if (status != PrintStatus::Ok) return status;
    auto toPxX = [&](double twips) { return twips * caps.dpiX / kTwipsPerInch; };
    auto toPxY = [&](double twips) { return twips * caps.dpiY / kTwipsPerInch; };
    out.lineWidth = toPxX(g.lineWidth);
    out.pageTextHeight = toPxY(g.pageTextHeight);
    out.left = toPxX(g.left);
    out.top = toPxY(g.top);

    // Lay a copy out for the printer at the width between the margins.
    out.copy.reset(doc.clone());
    QTextDocument* copy = out.copy.get();
    ScaleParagraphs(*copy, ScreenToDevice(printer));
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);
    copy->setTextWidth(out.lineWidth);
    copy->documentLayout()->documentSize();  // forces the whole layout
    QCoreApplication::processEvents();

    std::vector<LineExtent> lines;
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next()) {
        QTextLayout* layout = b.layout();
        if (!layout || !b.isVisible()) continue;
        QRectF box = copy->documentLayout()->blockBoundingRect(b);
        double origin = box.top() - layout->boundingRect().top();
        for (int i = 0; i < layout->lineCount(); ++i) {
            QTextLine l = layout->lineAt(i);
            double top = origin + l.y();
            lines.push_back(LineExtent{top, top + l.height()});
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const LineExtent& a, const LineExtent& b) { return a.top < b.top; });
    // A document without a single character prints one empty page.
    if (copy->isEmpty()) lines.clear();
    return PaginateLines(lines, out.pageTextHeight, out.pages);
}

// Draws page k on a painter whose origin is the printable area's corner.
void DrawPage(const PrintLayout& l, QPainter& painter, std::size_t k) {
    const PageRange& page = l.pages[k];
    if (page.endLine <= page.firstLine) return;
    painter.save();
    painter.translate(l.left, l.top - page.top);
    // The band of this page's whole lines, and nothing of the next.
    double bandBottom = k + 1 < l.pages.size() ? l.pages[k + 1].top : page.bottom;
    bandBottom = std::min(bandBottom, page.top + l.pageTextHeight);
    l.copy->drawContents(&painter, QRectF(0, page.top, l.lineWidth, bandBottom - page.top));
    painter.restore();
}

}  // namespace

PrintStatus PrintRichText(const QTextDocument& doc, QPrinter& printer, const Services::PageMargins& mm,
                          int* pagesPrinted) {
    if (pagesPrinted) *pagesPrinted = 0;
    PrintLayout layout;
    const PrintStatus status = LayOut(doc, printer, mm, layout);
    if (status != PrintStatus::Ok) return status;

    QPainter painter;
    if (!painter.begin(&printer)) return PrintStatus::Failed;
    int printed = 0;
    for (std::size_t k = 0; k < layout.pages.size(); ++k) {
        if (k > 0 && !printer.newPage()) {
            painter.end();
            return PrintStatus::Failed;
        }
        DrawPage(layout, painter, k);
        ++printed;
    }
    if (!painter.end()) return PrintStatus::Failed;
    if (pagesPrinted) *pagesPrinted = printed;
    return PrintStatus::Ok;
}

QImage PrintedPage(const QTextDocument& doc, QPrinter& printer, const Services::PageMargins& mm, int page) {
    PrintLayout layout;
    if (LayOut(doc, printer, mm, layout) != PrintStatus::Ok || page < 0 ||
        page >= static_cast<int>(layout.pages.size()))
        return {};
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toAlignedRect();
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    QImage image(paper.size(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(printer.logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(printer.logicalDpiY() / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(printable.topLeft() - paper.topLeft());
    DrawPage(layout, painter, static_cast<std::size_t>(page));
    return image;
}

QtPrinting::QtPrinting(QPrinter* printer, Loader loader) : printer_(printer), loader_(std::move(loader)) {}

PrintStatus QtPrinting::PrintRichText(const std::string& richText, const Services::PageMargins& mm) {
    if (!printer_) return PrintStatus::NoPrinter;
    QTextDocument doc;
    if (loader_) {
        loader_(doc, richText);
    } else {
        QString text = QtText::ToQt(richText);
        if (Qt::mightBeRichText(text))
            doc.setHtml(text);
        else
            doc.setPlainText(text);
    }
    return LowLevel::PrintRichText(doc, *printer_, mm);
}

}  // namespace LowLevel
