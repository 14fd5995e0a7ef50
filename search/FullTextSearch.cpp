#include "FullTextSearch.h"

#include <memory>

#include "Atom.h"
#include "DataBase.h"
#include "ResultSet.h"
#include "SearchInfo.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace Query {

std::string FullTextSearch::Caption(int code) {
    switch (code) {
    case 1: return LangText("enth\xe4lt die Zeichenfolge", "contains the char sequence");
    case 2: return LangText("enth\xe4lt das Wort", "contains the word");
    case 3: return LangText("enth\xe4lt exakt die Zeichenfolge", "contains exactly the char sequence");
    case 4: return LangText("enth\xe4lt exakt das Wort", "contains exactly the word");
    default: return LangText("(undefiniert)", "(undefined)");
    }
}

std::string FullTextSearch::Template(int code) {
    const std::string exact = LangText(" (exakt so punkto Gross/Klein)", " (with case matching exactly)");
    const std::string seq = LangText("Beschreibung des Namens enth\xe4lt irgendwo die Zeichenfolge #",
                                     "description of the name contains somewhere the char sequence #");
    const std::string word = LangText("Beschreibung des Namens enth\xe4lt irgendwo das Wort #",
                                      "description of the name contains somewhere the word #");
    switch (code) {
    case 1: return seq;
    case 2: return word;
    case 3: return seq + exact;
    case 4: return word + exact;
    default: return {};
    }
}

namespace {

// An atom's display text without a copy; words always have one, others
// fall back to the copy kept in `spare`.
std::string_view TextOf(const atom* a, std::string* spare = nullptr) {
    const int idx = a->textIdx();
    if (idx >= 0 && idx < a->NumProp()) return a->props()[static_cast<std::size_t>(idx)]->strVal();
    if (spare == nullptr) return {};
    *spare = a->Text();
    return *spare;
}

void AppendText(std::string& out, const atom* a) {
    std::string spare;
    out.append(TextOf(a, &spare));
}

}  // namespace

void FullTextSearch::ExtraText(const atom* entry, std::string& out) {
    out.clear();
    for (const Prop* p : entry->props()) {
        if (p->proper() != DataBase::prRelatedTo || p->kind() == 1) continue;
        const atom* word = p->atomVal();
        if (word == nullptr || word->kind() != 7) continue;
        out += ' ';
        AppendText(out, word);
        for (const Prop* g : word->props()) {
            if (g->proper() != DataBase::prGerman || g->kind() != 0) continue;
            const atom* german = g->atomVal();
            if (german == nullptr || german->kind() != 7) continue;
            out += ' ';
            AppendText(out, german);
        }
    }
}

void FullTextSearch::SetRows(const Rows& rows, bool andMode) {
    matchers_.clear();
    for (const Row& r : rows)
        if (Complete(r)) matchers_.emplace_back(r.arg, r.code - 1);
    andMode_ = andMode;
}

bool FullTextSearch::TakeRow(const atom* entry, const Parser::Matcher& m, std::string_view& matched) {
    const std::size_t len = m.pattern().size();
    auto test = [&](std::string_view text) {
        const int at = m.Find(text);
        if (at < 0) return false;
        matched = text.substr(static_cast<std::size_t>(at), len);
        return true;
    };
    for (const Prop* p : entry->props())
        if (p->kind() == 1 && test(p->strVal())) return true;
    // The extra text joins the related words and their translations with
    // blanks: a term without a blank matches it exactly where it matches one
    // of those words, so only a term with a blank needs the joined text.
    if (m.pattern().find(' ') != std::string::npos) {
        if (!extraBuilt_) {
            ExtraText(entry, extra_);
            extraBuilt_ = true;
        }
        return test(extra_);
    }
    for (const Prop* p : entry->props()) {
        if (p->proper() != DataBase::prRelatedTo || p->kind() == 1) continue;
        const atom* word = p->atomVal();
        if (word == nullptr || word->kind() != 7) continue;
        if (test(TextOf(word, &spare_))) return true;
        for (const Prop* g : word->props()) {
            if (g->proper() != DataBase::prGerman || g->kind() != 0) continue;
            const atom* german = g->atomVal();
            if (german != nullptr && german->kind() == 7 && test(TextOf(german, &spare_))) return true;
        }
    }
    return false;
}

bool FullTextSearch::TakeA(const atom* entry) {
    reason_.clear();
    extraBuilt_ = false;
    bool value = andMode_;
    for (const Parser::Matcher& m : matchers_) {
        std::string_view matched;
        const bool hit = TakeRow(entry, m, matched);
        if (hit && (andMode_ || reason_.empty())) {
            if (!reason_.empty()) reason_ += '+';
            reason_.append(matched);
        }
        value = andMode_ ? (value && hit) : (value || hit);
    }
    return value;
}

void FullTextSearch::Search(const Rows& rows, bool andMode, ResultSet& out) {
    SetRows(rows, andMode);
    const int32_t n = DataBase::numAtoms;
    for (int32_t i = 0; i < n; ++i) {
        const atom* a = DataBase::atomTab[static_cast<std::size_t>(i)];
        if (a == nullptr || a->kind() != 5 || !TakeA(a)) continue;
        // An entry may describe several groups (a female group and its
        // male one share theirs): each of them is a hit, for the same reason.
        for (const Prop* p : a->props()) {
            if (p->proper() != DataBase::prOriginOf || p->kind() == 1) continue;
            atom* g = p->atomVal();
            if (g == nullptr || g == DataBase::nothingAtom) continue;
            out.AddResult(g->Text(), reason_, g);
        }
    }
    auto info = std::make_shared<searchInfo>();
    info->Init();
    for (const Row& r : rows)
        if (Complete(r)) info->SetInfo(r.arg, r.code - 1);
    out.setSearchInfo(info);
}

std::string FullTextSearch::Title(const Rows& rows, bool andMode) {
    std::string title;
    for (const Row& r : rows) {
        if (r.code < 1) continue;
        if (!title.empty()) title += " " + Connective(andMode) + " ";
        title += Caption(r.code) + " '" + r.arg + "'";
    }
    return LangText(" per Volltextsuche: ", " from fulltext search: ") + title;
}

}  // namespace Query
