#include "PopRows.h"

#include <algorithm>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "Errors.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace PopRows {

namespace {

bool IsAtomProp(const Prop* p) { return p != nullptr && (p->kind() == 0 || p->kind() == 2); }

// The ranked-name properties of a hit parade, in stored order.
std::vector<Prop*> Ranked(atom* pop) {
    std::vector<Prop*> out;
    if (pop == nullptr || DataBase::prPop == nullptr) return out;
    for (Prop* p : pop->props())
        if (p != nullptr && p->proper() == DataBase::prPop && IsAtomProp(p)) out.push_back(p);
    return out;
}

std::string RankText(const Searches::PopEntry& e) {
    return std::to_string(e.rank) + LangText("    (von ", "    (of ") + std::to_string(e.total) + ")";
}

char Suffix(const std::string& rank) { return rank.empty() ? '\0' : rank.back(); }

std::string TextOf(const atom* a) { return a != nullptr ? a->Text() : std::string(); }

}  // namespace

int gender(atom* pop) {
    if (pop == nullptr) return 0;
    pop->LoadOnDemand();
    const std::vector<Prop*> ranked = Ranked(pop);
    const atom* first = ranked.empty() ? nullptr : ranked.front()->atomVal();
    return first != nullptr && first->kind() == 1 ? 1 : 0;
}

std::string genderStr(atom* pop) {
    return gender(pop) != 0 ? LangText("weiblich", "female") : LangText("m\xe4nnlich", "male");
}

std::vector<Row> NameRows(const std::vector<Searches::PopEntry>& entries, int numEntries,
                          const std::vector<Searches::PopSeriesInfo>& series, int numSeries, int& featured) {
    std::vector<Row> rows;
    const int ne = std::min<int>(numEntries, static_cast<int>(entries.size()));
    std::vector<atom*> shown;
    if (TextConstants::textLanguage == 0)
        shown = {DataBase::psDeYearly, DataBase::psChGermanYearly, DataBase::psAtYearly};
    shown.push_back(DataBase::psUsYearly);
    for (atom* s : shown) {
        if (s == nullptr || s == DataBase::nothingAtom) continue;
        int si = Basic::kNone, last = Basic::kNone;
        Searches::FindSeries(s, series, numSeries, si, last);
        if (last < 0 || last >= ne) continue;
        const Searches::PopEntry& e = entries[static_cast<size_t>(last)];
        rows.push_back({"<b>" + TextOf(e.pop) + "</b>", RankText(e), "", e.pop});
    }
    featured = static_cast<int>(rows.size());
    for (int i = 0; i < ne; ++i) {
        const Searches::PopEntry& e = entries[static_cast<size_t>(i)];
        rows.push_back({TextOf(e.pop), RankText(e), "", e.pop});
    }
    return rows;
}

std::vector<std::string> YearList(const std::vector<Searches::PopEntry>& entries, int numEntries) {
    std::vector<std::string> years;
    const int ne = std::min<int>(numEntries, static_cast<int>(entries.size()));
    for (int i = 0; i < ne; ++i) {
        const Searches::PopEntry& e = entries[static_cast<size_t>(i)];
        if (e.years != 1) continue;
        const std::string y = std::to_string(e.fromYear);
        if (std::find(years.begin(), years.end(), y) == years.end()) years.push_back(y);
    }
    std::sort(years.begin(), years.end());
    return years;
}

std::string RankColumn(const std::string& rank) {
    return rank.size() >= 3 ? rank : std::string(3 - rank.size(), ' ') + rank;
}

std::vector<Row> PopNameRows(atom* pop, const atom* name, int& nameRow) {
    nameRow = -1;
    std::vector<Row> rows;
    if (pop == nullptr) return rows;
    pop->LoadOnDemand();
    const std::vector<Prop*> ranked = Ranked(pop);
    const size_t n = ranked.size();
    for (size_t i = 0; i < n; ++i) {
        atom* who = ranked[i]->atomVal();
        std::string text = TextOf(who);
        std::string rank(ranked[i]->strVal());
        const char suffix = Suffix(rank);
        if (suffix == 'a' || suffix == 'b') {
            // The partner stands directly after an "a" and directly before a
            // "b". A partner missing at either end of the list is reported and
            // the row shown alone.
            const Prop* partner = nullptr;
            if (suffix == 'a') {
                Errors::Assert(i + 1 < n && Suffix(ranked[i + 1]->strVal()) == 'b', "ShowPopAtom b");
                if (i + 1 < n) partner = ranked[i + 1];
            } else {
                Errors::Assert(i > 0 && Suffix(ranked[i - 1]->strVal()) == 'a', "ShowPopAtom a");
                if (i > 0) partner = ranked[i - 1];
            }
            if (partner != nullptr) text += " (+" + TextOf(partner->atomVal()) + ")";
            rank.pop_back();
        }
        if (name != nullptr && who == name) {
            text = "   --> " + text;
            if (nameRow < 0) nameRow = static_cast<int>(rows.size());
        }
        const std::string column = RankColumn(rank);
        rows.push_back({text, column, column, who});
    }
    return rows;
}

}  // namespace PopRows
