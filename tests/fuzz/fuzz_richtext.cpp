// From a list line to what the pane shows: the line's runs go through the
// rich-text builder and the pane's RTF reader, and the document holds exactly
// the runs' text, each link carrying its own number over exactly its text.
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "LineMarkup.h"
#include "QtFuzz.h"
#include "QtText.h"
#include "ResultRender.h"
#include "RtfReader.h"
#include "TextDisplay.h"

using Markup::Run;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartQt();
    fuzz::FreshServices();
    fuzz::BuildSmallDb();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::array<uint32_t, 11> colours{0x6699FF, 0xCC0000, 0x333333, 0xB000, 0xFF9933, 0xFF00AA,
                                           0x66CC, 0xCCFF, 0x808080, 0xFFCCCC, 0x33FF33};
    Markup::InlineOptions o;
    o.showLinks = true;
    o.showColor = true;
    o.colours = colours;
    const std::vector<Run> runs = Markup::ParseInline(line, o);

    TextDisplay td;
    td.Init("Fuzz", nullptr, nullptr);
    td.BeginText();
    td.BeginPara();
    ResultRender::AddRuns(td, runs);
    td.EndPara();
    td.EndText();
    QTextDocument doc;
    RtfReader::Read(td.GetStr(), doc);

    // What the runs say the pane shows: each link's text with its blanks kept
    // together (the blank after its hidden number only ends the number's
    // control word), in one paragraph and the empty one after it.
    std::string expected;
    std::vector<std::pair<QString, std::string>> links;
    for (const Run& r : runs) {
        if (r.type == Run::Type::Link || r.type == Run::Type::HelpMark) {
            std::string shown = r.text;
            std::replace(shown.begin(), shown.end(), ' ', '\xA0');
            expected += shown;
            if (!shown.empty()) links.emplace_back(QString::number(r.number), shown);
        } else {
            expected += r.text;
        }
    }
    expected += "\n";
    const std::string shown = QtText::FromQt(doc.toPlainText());
    FUZZ_CHECK(shown == expected, "the pane shows \"" + shown + "\" for \"" + expected + "\"");

    // Each link: its characters in one stretch with its number.
    std::vector<std::pair<QString, std::string>> found;
    QString lastNumber;
    int lastEnd = -1;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QString number = f.charFormat().property(RtfReader::kLinkNumber).toString();
            if (number.isEmpty()) {
                lastNumber.clear();
                continue;
            }
            const std::string text = QtText::FromQt(f.text());
            if (number == lastNumber && f.position() == lastEnd)
                found.back().second += text;
            else
                found.emplace_back(number, text);
            lastNumber = number;
            lastEnd = f.position() + f.length();
        }
    FUZZ_CHECK(found == links, "the links and their numbers differ from the runs'");
    return 0;
}
