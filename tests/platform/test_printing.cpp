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
