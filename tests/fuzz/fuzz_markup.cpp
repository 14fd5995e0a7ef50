// The line mark-up of list lines: every way a line is read, with every switch.
// A link run names the live atom of its number, plain text keeps its bytes,
// and a line without any "<" comes out as it went in.
#include <array>
#include <string>

#include "Atom.h"
#include "FuzzSupport.h"
#include "LineMarkup.h"
#include "Options.h"

using Markup::Run;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FreshServices();
    fuzz::BuildSmallDb();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::array<uint32_t, 11> colours{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    Markup::LinePrefixes pre = Markup::TakePrefixes(line);
    for (std::string_view column : Markup::SplitColumns(pre.rest)) {
        for (int switches = 0; switches < 4; ++switches) {
            Markup::InlineOptions o;
            o.showLinks = switches & 1;
            o.showColor = switches & 2;
            o.colours = colours;
            std::vector<Run> runs = Markup::ParseInline(column, o);
            std::string all;
            for (const Run& r : runs) {
                all += r.text;
                if (r.type == Run::Type::Link || r.type == Run::Type::AtomText) {
                    FUZZ_CHECK(r.target && Markup::LinkAtom(r.number) == r.target, "a link names no live atom");
                    FUZZ_CHECK(r.text == r.target->Text(), "a link's text is not its atom's");
                }
                if (r.type == Run::Type::HelpMark) FUZZ_CHECK(r.number >= Markup::kHelpMarkBase, "help mark number");
            }
            if (column.find('<') == std::string_view::npos || switches == 0)
                FUZZ_CHECK(all == column, "text without mark-up changed");
        }
        Markup::CellFormat cell = Markup::ParseCell(column, colours);
        FUZZ_CHECK(cell.text.size() <= column.size(), "a cell grew");
    }
    return 0;
}
