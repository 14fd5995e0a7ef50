#include "LetterCombine.h"

#include <algorithm>

#include "Atom.h"
#include "DataBase.h"
#include "ResultSet.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace LetterCombine {

namespace {

FlexString Folded(const std::string& text) {
    FlexString f(text);
    f.BaseChar();
    f.Uppercase();
    return f;
}

}  // namespace

Pool MakePool(const Texts& texts) {
    Pool pool;
    std::string joined, origins;
    for (int t = 0; t < 3; ++t) {
        const std::string& text = texts[static_cast<size_t>(t)];
        pool.lengths[static_cast<size_t>(t)] = static_cast<int>(text.size());
        joined += text;
        origins += std::string(text.size(), static_cast<char>('1' + t));
    }
    pool.letters = Folded(joined);
    pool.origins = FlexString(origins);
    return pool;
}

Placement Place(const Pool& pool, const std::string& name, bool multi, bool order) {
    Placement p;
    std::string positions;
    pool.letters.AllOccur(Folded(name), pool.origins, multi, order, p.origins, positions, p.found, &p.positions);
    if (!p.found) p.origins.clear();
    return p;
}

void Search(const Texts& texts, bool multi, bool order, ResultSet& rs) {
    rs.Reset();
    const Pool pool = MakePool(texts);
    std::string positions;
    for (int32_t i = 0; i < DataBase::numAtoms && i < static_cast<int32_t>(DataBase::atomTab.size()); ++i) {
        atom* a = DataBase::atomTab[static_cast<size_t>(i)];
        if (a == nullptr || a == DataBase::nothingAtom || !a->isName()) continue;
        const std::string text = a->Text();
        std::string origins;
        bool found = false;
        pool.letters.AllOccur(Folded(text), pool.origins, multi, order, origins, positions, found);
        if (found) rs.AddResult(text, origins, a);
    }
}

std::string Title(const Texts& texts) {
    std::string joined;
    for (const std::string& t : texts) {
        if (t.empty()) continue;
        if (!joined.empty()) joined += "/";
        joined += "'" + t + "'";
    }
    return LangText(" aus Buchstaben der Namen ", " from letters of the names ") + joined;
}

double WorldWidth(const Texts& texts, const std::string& name) {
    const int len2 = static_cast<int>(texts[1].size());
    const int row3 = texts[2].empty() ? len2 : len2 + 1 + static_cast<int>(texts[2].size());
    const int m = std::max({static_cast<int>(texts[0].size()), static_cast<int>(name.size()), row3, 1});
    return 1000.0 * m + 200.0 * (m - 1);
}

Layout MakeLayout(const Texts& texts, const std::string& name, bool multi, bool order, double s) {
    Layout out;
    const double side = 1000 * s;
    const double step = 1.2 * side;
    auto row = [&](std::vector<Box>& boxes, const std::string& text, double left, double top) {
        for (size_t k = 0; k < text.size(); ++k)
            boxes.push_back(Box{left + step * static_cast<double>(k), top, side, std::string(1, text[k]), 0});
    };
    row(out.rows[0], texts[0], kMargin, kMargin);
    row(out.rows[1], name, kMargin, 2000 * s);
    row(out.rows[2], texts[1], kMargin, 4000 * s);
    if (!texts[2].empty()) {
        const double left3 = out.rows[2].empty() ? kMargin : out.rows[2].back().left + 2 * side;
        row(out.rows[3], texts[2], left3, 4000 * s);
    }

    const Placement p = Place(MakePool(texts), name, multi, order);
    out.complete = p.found;
    const int len1 = static_cast<int>(texts[0].size());
    const int len2 = static_cast<int>(texts[1].size());
    static constexpr int32_t kColours[] = {kColourText1, kColourText2, kColourText3};
    for (size_t k = 0; k < p.positions.size() && k < out.rows[1].size(); ++k) {
        const int pos = p.positions[k];
        const int text = pos < len1 ? 0 : pos < len1 + len2 ? 1 : 2;
        const int index = text == 0 ? pos : text == 1 ? pos - len1 : pos - len1 - len2;
        std::vector<Box>& source = out.rows[static_cast<size_t>(text == 0 ? 0 : text + 1)];
        if (index < 0 || index >= static_cast<int>(source.size())) continue;
        Box& from = source[static_cast<size_t>(index)];
        Box& to = out.rows[1][k];
        from.colour = to.colour = kColours[text];
        // Text 1 stands above the name, texts 2 and 3 below it.
        const bool above = text == 0;
        Line l;
        l.x1 = to.left + side / 2;
        l.y1 = above ? to.top : to.top + side;
        l.x2 = from.left + side / 2;
        l.y2 = above ? from.top + side : from.top;
        l.colour = kColours[text];
        out.lines.push_back(l);
    }
    return out;
}

}  // namespace LetterCombine
