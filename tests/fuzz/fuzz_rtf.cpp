// The RTF reader of the rich-text panes: any bytes make a document, and the
// link number found at any place of it is digits or nothing.
#include <QTextDocument>

#include "FuzzSupport.h"
#include "QtFuzz.h"
#include "RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    QTextDocument doc;
    RtfReader::Read(std::string(reinterpret_cast<const char*>(data), size), doc);
    const int end = std::min(doc.characterCount(), 4096);
    for (int pos = 0; pos < end; ++pos) {
        const QString number = RtfReader::LinkNumberAt(doc, pos);
        for (QChar c : number) FUZZ_CHECK(c.isDigit(), "a link number that is not digits");
    }
    return 0;
}
