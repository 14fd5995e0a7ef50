// Names made of the letters of up to three texts (typically the parents'
// names), and the picture that shows where each letter of such a name comes
// from. The pool is the three texts joined, upper-cased and without accents;
// each of its characters remembers the text it came from ("1", "2", "3").
//
//   Search({"Ann", "Tom", ""}, false, false, rs) finds Anton, Manon and Tom;
//   Anton's reason is "11221": A and N from text 1, T and O from text 2,
//   and the last N from text 1 again, whose second N is still free.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "FlexString.h"

class ResultSet;

namespace LetterCombine {

// Each text box takes at most 33 characters, so the pool stays within the
// 100 characters it was designed for.
constexpr int kMaxTextLength = 33;

using Texts = std::array<std::string, 3>;

struct Pool {
    FlexString letters;  // the three texts joined, upper-cased, without accents
    FlexString origins;  // "1", "2" or "3" for each pool character
    std::array<int, 3> lengths{};
};
Pool MakePool(const Texts& texts);

// Where the letters of a name come from in the pool: the first free pool
// position holding each letter (with order only positions after the previous
// one); without multi each pool character serves once. found is False as
// soon as a letter has no place; positions then hold the letters placed
// before it.
struct Placement {
    bool found = false;
    std::string origins;         // one digit per letter of the name
    std::vector<int> positions;  // pool positions
};
Placement Place(const Pool& pool, const std::string& name, bool multi, bool order);

// Every name of the database (kinds 0 and 1, table order) that fits: its
// text as the line, the origin digits as the reason. rs is emptied first.
void Search(const Texts& texts, bool multi, bool order, ResultSet& rs);
// " from letters of the names 'Anna'/'Peter'" from the non-empty texts.
std::string Title(const Texts& texts);

// --- the picture --------------------------------------------------------------------

// RGB colours as the canvas takes them (red in the low byte).
constexpr int32_t kColourText1 = 0xC00000;  // RGB(0, 0, 192)
constexpr int32_t kColourText2 = 0xFF8080;  // RGB(128, 128, 255)
constexpr int32_t kColourText3 = 0xFF0000;  // RGB(0, 0, 255)
constexpr double kMargin = 57;              // 1 mm in twips

struct Box {
    double left = 0, top = 0, size = 0;
    std::string letter;  // one character, as typed (the name as listed)
    int32_t colour = 0;  // line and letter colour; 0 black
};
struct Line {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t colour = 0;
};
struct Layout {
    // Rows: 0 text 1, 1 the name, 2 text 2, 3 text 3.
    std::array<std::vector<Box>, 4> rows;
    std::vector<Line> lines;
    bool complete = true;  // every letter of the name found its place
};

// The world the picture is drawn in, before scaling: 1000 twips a box and
// 200 between boxes, for the widest row; 5000 high.
double WorldWidth(const Texts& texts, const std::string& name);
constexpr double kWorldHeight = 5000;

// The boxes and lines for name at scale s (the side of a box is 1000 s):
// text 1 at the top, the name at 2000 s, text 2 at 4000 s with text 3 on
// its row one box after text 2's last; each letter of the name joined to
// its source letter by a line in the source text's colour, from the middle
// of the name box's facing edge to the middle of the source box's opposite
// edge.
Layout MakeLayout(const Texts& texts, const std::string& name, bool multi, bool order, double s);

}  // namespace LetterCombine
