#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include "Fakes.h"
#include "PrintFakes.h"
#include "RichTextPrint.h"
#include "RtfReader.h"

using LowLevel::PrintRichText;
using Services::PageMargins;
using Services::PrintStatus;

namespace {

// A document of `count` lines, each holding a picture `height` tall (in the
// document's own 96-dpi pixels; the layout scales them to the printer).
void PictureLines(QTextDocument& doc, int count, double height) {
    // Not opaque, so the PDF writer does not compress it as a JPEG: in the
    // sanitizer build, JPEG compression made the leak checker crash at exit
    // (in the thread-local storage of a library loaded at run time), in some
    // process layouts and not in others.
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(QColor(0, 0, 139, 200));
    doc.addResource(QTextDocument::ImageResource, QUrl("picture"), picture);
    QTextCursor c(&doc);
    QTextImageFormat f;
    f.setName("picture");
    f.setWidth(20);
    f.setHeight(height);
    for (int i = 0; i < count; ++i) {
        if (i > 0) c.insertBlock();
        c.insertImage(f);
        c.insertText(QStringLiteral(" Line %1").arg(i + 1));
    }
}

class PrintToPdf : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setResolution(600);
    }
    // The room for text between margins of 20 mm, in the document's pixels.
    static double Room() { return (297.0 - 40.0) / 25.4 * 96.0; }

    QTemporaryDir dir;
    QString file = dir.filePath("out.pdf");
    QPrinter printer{QPrinter::HighResolution};
    PageMargins mm{20, 20, 20, 20};
};

}  // namespace

TEST_F(PrintToPdf, PagesFollowTheContent) {
    for (auto [lines, pagesWanted] : {std::pair{5, 3}, {0, 1}}) {  // 45 % of the room each: 2 + 2 + 1
        QTextDocument doc;
        PictureLines(doc, lines, Room() * 0.45);
        int pages = 0;
        ASSERT_EQ(PrintRichText(doc, printer, mm, &pages), PrintStatus::Ok);
        EXPECT_EQ(pages, pagesWanted);
        EXPECT_EQ(PdfPageCount(file), pagesWanted);
    }
}

TEST_F(PrintToPdf, ImpossiblePagesEndWithAnErrorAndNoFile) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Some text"));
    EXPECT_EQ(PrintRichText(doc, printer, PageMargins{150, 150, 20, 20}), PrintStatus::MarginsTooLarge);
    EXPECT_EQ(PrintRichText(doc, printer, PageMargins{20, 20, 110, 110}), PrintStatus::MarginsTooLarge);
    // A line taller than the room on a page.
    QTextDocument tall;
    PictureLines(tall, 3, Room() * 1.2);
    int pages = -1;
    EXPECT_EQ(PrintRichText(tall, printer, mm, &pages), PrintStatus::NoProgress);
    EXPECT_EQ(pages, 0);
    EXPECT_FALSE(QFile::exists(file));
    printer.setResolution(0);
    EXPECT_EQ(PrintRichText(doc, printer, mm), PrintStatus::BadResolution);
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(PrintToPdf, TheServicePrintsTextAndRefusesWithoutPrinter) {
    EXPECT_EQ(LowLevel::QtPrinting().PrintRichText("Text", mm), PrintStatus::NoPrinter);
    std::string seen;
    LowLevel::QtPrinting service(&printer, [&](QTextDocument&, const std::string& rich) { seen = rich; });
    EXPECT_EQ(service.PrintRichText("{\\rtf1 W\xF6rter}", mm), PrintStatus::Ok);
    EXPECT_EQ(seen, "{\\rtf1 W\xF6rter}");
    EXPECT_EQ(PdfPageCount(file), 1);
}

// Printed as on the screen: the later lines of a paragraph that hangs from
// its label (a description's "Info about origin:" and its value) stand
// under the value, not under the label.
TEST_F(PrintToPdf, AParagraphHangingFromItsLabelKeepsItsIndentOnPaper) {
    std::string value;
    for (int i = 0; i < 40; ++i) value += "word ";
    QTextDocument doc;
    RtfReader::Read("{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs20\\pard\\fi-2880\\li2880\\tx2880 Origin:\\tab " +
                        value + "\\par}",
                    doc);
    printer.setResolution(150);
    const QImage page = LowLevel::PrintedPage(doc, printer, mm, 0);
    ASSERT_FALSE(page.isNull());
    // The leftmost ink of each printed line, top to bottom.
    std::vector<int> lefts;
    bool inLine = false;
    for (int y = 0; y < page.height(); ++y) {
        int left = page.width();
        for (int x = 0; x < page.width() && left == page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) left = x;
        if (left == page.width()) {
            inLine = false;
        } else if (!inLine) {
            lefts.push_back(left);
            inLine = true;
        } else {
            lefts.back() = std::min(lefts.back(), left);
        }
    }
    ASSERT_GE(lefts.size(), 3U);
    const double pixelsPerMm = 150 / 25.4;
    EXPECT_NEAR(lefts[0], 20 * pixelsPerMm, 3);  // the label at the margin
    for (std::size_t i = 1; i < lefts.size(); ++i)
        EXPECT_NEAR(lefts[i], (20 + 50.8) * pixelsPerMm, 3) << "line " << i + 1;  // two inches in
    EXPECT_TRUE(LowLevel::PrintedPage(doc, printer, mm, 1).isNull());  // one page only
}
