// Printing of a rich-text document page by page, and the print service.
#pragma once

#include <QPointer>
#include <functional>
#include <string>

#include "Services.h"

class QImage;
class QPrinter;
class QTextDocument;

namespace LowLevel {

// Prints the whole document on printer within the margins (millimetres from
// the sheet's edges), laid out to the width between them. Each page takes as
// many whole lines as fit; an empty document prints one empty page.
// Before anything is printed it fails with BadResolution, MarginsTooLarge or
// NoProgress (a line taller than the room on a page), so a job never runs
// endlessly and never leaves a half-made file; NoPrinter for an unusable
// printer, Failed when the device refuses the job. pagesPrinted (optional)
// receives the number of pages printed.
Services::PrintStatus PrintRichText(const QTextDocument& doc, QPrinter& printer,
                                    const Services::PageMargins& mm, int* pagesPrinted = nullptr);

// Page `page` (from 0) as PrintRichText would print it, drawn on a white
// image of the whole sheet at the printer's resolution, so that a print can
// be looked at without paper; a null image for a page that does not exist
// or a document that cannot be printed. Nothing is printed.
QImage PrintedPage(const QTextDocument& doc, QPrinter& printer, const Services::PageMargins& mm, int page);

// The print service: prints on the printer chosen for the run (set by the
// print dialog). The text is turned into a document by the loader; without
// one, HTML is read as HTML and anything else as plain text. The rich-text
// pane's RTF reader is the loader start-up installs.
class QtPrinting : public Services::Printing {
public:
    using Loader = std::function<void(QTextDocument& doc, const std::string& richText)>;
    explicit QtPrinting(QPrinter* printer = nullptr, Loader loader = {});
    void SetPrinter(QPrinter* printer) { printer_ = printer; }
    void SetLoader(Loader loader) { loader_ = std::move(loader); }
    Services::PrintStatus PrintRichText(const std::string& richText, const Services::PageMargins& mm) override;

private:
    QPrinter* printer_;
    Loader loader_;
};

}  // namespace LowLevel
