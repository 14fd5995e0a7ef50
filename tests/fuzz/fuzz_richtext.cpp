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
    std::size_t linkEnd = std::string::npos;  // where the last link's text ended
    for (const Run& r : runs) {
        if (r.type == Run::Type::Link || r.type == Run::Type::HelpMark) {
            std::string shown = r.text;
            std::replace(shown.begin(), shown.end(), ' ', '\xA0');
            std::erase_if(shown, [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
            // Two links of one number with nothing between read as one.
            const QString number = QString::number(r.number);
            if (!links.empty() && linkEnd == expected.size() && links.back().first == number)
                links.back().second += shown;
            else if (!shown.empty())
                links.emplace_back(number, shown);
            expected += shown;
            if (!shown.empty()) linkEnd = expected.size();
        } else {
            for (char c : r.text)
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') expected += c;
        }
    }
    // Control bytes but TAB are not shown.
    std::erase_if(expected, [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
    expected += "\n";
    // The blocks' own text (the document's plain text makes blanks of the
    // non-breaking ones).
    std::string shown;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        shown += (b == doc.begin() ? "" : "\n") + QtText::FromQt(b.text());
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
    auto list = [](const std::vector<std::pair<QString, std::string>>& v) {
        std::string s;
        for (const auto& [number, text] : v) s += "[" + number.toStdString() + " " + text + "]";
        return s;
    };
    FUZZ_CHECK(found == links, "the links " + list(found) + " differ from the runs' " + list(links));
    return 0;
}
