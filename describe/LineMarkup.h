// The small mark-up of list lines, read once, here, for every display.
//
// A line is columns separated by TAB. Rich-text lines may start with the
// prefixes <small>, <indent> and <em> (in that order); inside a column,
// <a>N</a> stands for the atom with id N (a link, or its text) or, from
// 40000 up, for the help mark of topic N, and <b>...</b> is bold. List-view
// cells may start with <a>N</a> (the cell takes that atom's colour and
// boldness), <c>N</c> (a colour value) and be wrapped in <b>...</b>. Tags are
// found without case.
//
// The functions are pure: they turn text into runs (text with bold, colour
// and link) that the Qt views, the rich-text builder and the exports draw
// as they can. Mark-up that cannot be honoured is never guessed at: an atom
// id outside the atom table (or a deleted one) and an unclosed tag leave the
// text as it was written, tags included.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class atom;

namespace Markup {

// Link numbers from here up are help marks (help topic numbers).
constexpr int32_t kHelpMarkBase = 40000;
// The colour of a help mark "(?)": red 255, green 204, blue 0.
constexpr uint32_t kHelpMarkColour = 255u | (204u << 8) | (0u << 16);
// "No colour" of a cell.
constexpr uint32_t kNoColour = 31999;

// Case-blind search of an ASCII tag from position `from`; npos when absent.
std::size_t FindTag(std::string_view text, std::string_view tag, std::size_t from = 0);

// The atom a link number names: a live atom of the table, or null for a
// number outside it, the "nothing" atom and deleted slots.
atom* LinkAtom(long long id);

// The colour a link to this atom is drawn in: its kind's colour from the
// table; kinds without a colour of their own (origin entries, "other"
// atoms) take the language colour, so that they look like the links they are.
uint32_t LinkColour(const atom& a, std::span<const uint32_t> colours);

// --- line prefixes ---------------------------------------------------------------
struct LinePrefixes {
    bool small = false;   // a thin spacer line (font size 4)
    bool indent = false;  // tab and hanging indent 2 mm further right
    bool em = false;      // large heading (size 24, no dot leaders)
    std::string_view rest;  // the line without its prefixes
};
LinePrefixes TakePrefixes(std::string_view line);

// Column 1 and column 2 of a rich-text line: split at the first TAB.
struct TwoColumns {
    std::string_view col1, col2;
    bool hasTab = false;
};
TwoColumns SplitAtTab(std::string_view line);
// Every TAB-separated piece.
std::vector<std::string_view> SplitColumns(std::string_view line);

// --- inline runs ---------------------------------------------------------------------
struct Run {
    enum class Type {
        Text,      // plain text (maybe bold or coloured)
        AtomText,  // an atom's text, not a link (links off or the list's own atom)
        Link,      // a link to `target`, number = its id
        HelpMark,  // the help mark "(?)", number = the help topic
    };
    Type type = Type::Text;
    std::string text;
    bool bold = false;
    bool hasColour = false;
    uint32_t colour = 0;     // red in the low byte
    int32_t number = -1;     // link number of Link and HelpMark
    const atom* target = nullptr;  // the atom of AtomText and Link

    bool operator==(const Run&) const = default;
};

struct InlineOptions {
    bool showLinks = false;
    bool showColor = false;
    bool showSelfLinks = false;
    const atom* selfAtom = nullptr;
    std::span<const uint32_t> colours;  // the options colour table
};

// The runs of one column. With neither links nor colours shown the column
// is one plain run, tags included. An atom shown as text is followed by a
// plain blank run (a link is followed by its own blank where it is drawn).
// A link inside bold text is a bold link.
std::vector<Run> ParseInline(std::string_view column, const InlineOptions& options);

// --- list-view cells --------------------------------------------------------------------
struct CellFormat {
    std::string text;        // what the cell shows
    bool bold = false;
    bool hasColour = false;
    uint32_t colour = 0;
    atom* linkAtom = nullptr;  // the atom named by <a>N</a>, if any
};
// The cell tags of one cell: <a>N</a> and <c>N</c> (each with everything
// before it removed), then a leading <b> with its </b>. The atom's colour
// comes from `colours` and its group-ness makes the cell bold.
CellFormat ParseCell(std::string_view cell, std::span<const uint32_t> colours);

}  // namespace Markup
