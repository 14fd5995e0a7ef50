#include "RichTextPrint.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <memory>
#include <vector>

#include "LowLevel.h"
#include "QtText.h"

namespace LowLevel {

using Services::PrintStatus;

PrintStatus PrintRichText(const QTextDocument& doc, QPrinter& printer, const Services::PageMargins& mm,
                          int* pagesPrinted) {
    if (pagesPrinted) *pagesPrinted = 0;
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
    const double lineWidth = toPxX(g.lineWidth);
    const double pageTextHeight = toPxY(g.pageTextHeight);

    // Lay a copy out for the printer at the width between the margins.
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);
    copy->setTextWidth(lineWidth);
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

    std::vector<PageRange> pages;
    status = PaginateLines(lines, pageTextHeight, pages);
    if (status != PrintStatus::Ok) return status;

    QPainter painter;
    if (!painter.begin(&printer)) return PrintStatus::Failed;
    const double left = toPxX(g.left), top = toPxY(g.top);
    int printed = 0;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (k > 0 && !printer.newPage()) {
            painter.end();
            return PrintStatus::Failed;
        }
        const PageRange& page = pages[k];
        if (page.endLine > page.firstLine) {
            painter.save();
            painter.translate(left, top - page.top);
            // The band of this page's whole lines, and nothing of the next.
            double bandBottom = k + 1 < pages.size() ? pages[k + 1].top : page.bottom;
            bandBottom = std::min(bandBottom, page.top + pageTextHeight);
            copy->drawContents(&painter, QRectF(0, page.top, lineWidth, bandBottom - page.top));
            painter.restore();
        }
        ++printed;
    }
    if (!painter.end()) return PrintStatus::Failed;
    if (pagesPrinted) *pagesPrinted = printed;
    return PrintStatus::Ok;
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
