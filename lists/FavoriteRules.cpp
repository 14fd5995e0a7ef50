#include "FavoriteRules.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "Errors.h"
#include "Options.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Services.h"

namespace FavoriteRules {

namespace {

// A line's display text: the favorite's text, then a TAB and the comment
// once one was stored.
std::string Before(const std::string& text) { return text.substr(0, text.find('\t')); }
// The comment with its TAB; "" for a line that never had one stored.
std::string Tail(const std::string& text) {
    const std::size_t tab = text.find('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab);
}
// The comment itself: a line without one and a line with an empty one
// stored ("Anna" and "Anna\t") have the same.
std::string CommentIn(const std::string& text) {
    const std::string tail = Tail(text);
    return tail.empty() ? tail : tail.substr(1);
}

}  // namespace

atom* FavoriteFor(atom* a) {
    if (a == nullptr) return nullptr;
    if (a->kind() != 2 && a->kind() != 3) return a;
    const std::string text = a->Text();
    Prop* p = nullptr;
    for (bool found = a->GetFirstProp(DataBase::prNameVariant, p); found;
         found = a->GetNextProp(DataBase::prNameVariant, p)) {
        atom* name = p->atomVal();
        if (name != nullptr && name != DataBase::nothingAtom && name->Text() == text) return name;
    }
    Errors::Assert(false, "Favorites.Add group to name");
    return a;
}

AddOutcome Add(ResultSet& table, atom* a) {
    AddOutcome out;
    a = FavoriteFor(a);
    if (a == nullptr) return out;
    int32_t index = 0;
    if (table.GetAtomIndex(a, index)) {
        out.line = index;
        return out;
    }
    if (table.numLines() >= kMaxFavorites) {
        out.full = true;
        return out;
    }
    table.AddResult(a->Text(), "", a);
    out.line = table.numLines() - 1;
    out.added = true;
    return out;
}

std::string Comment(const ResultSet& table, int32_t line) {
    return line < 0 || line >= table.numLines() ? std::string() : CommentIn(table.line(line));
}

std::string NameOf(const ResultSet& table, int32_t line) {
    return line < 0 || line >= table.numLines() ? std::string() : Before(table.line(line));
}

void StoreComment(ResultSet& table, int32_t line, const std::string& comment) {
    if (line < 0 || line >= table.numLines()) return;
    atom* a = table.atom(line);
    const bool known = a != nullptr && a != DataBase::nothingAtom;
    const std::string name = known ? a->Text() : NameOf(table, line);
    table.setFullLine(line, name + "\t" + QuotesToApostrophes(comment));
}

std::string QuotesToApostrophes(std::string text) {
    Parser::ReplaceAll(text, "\"", "'");
    return text;
}

bool FitsTable(const ResultSet& list) { return list.numLines() <= kMaxFavorites; }

// --- the stored table ----------------------------------------------------------------

namespace {


bool IsNothingName(const std::string& name) {
    return name.empty() || (DataBase::nothingAtom && Basic::EqualsNoCaseAscii(name, DataBase::nothingAtom->name()));
}

std::string Key(const StoredLine& l) { return IsNothingName(l.name) ? "\t" + Before(l.text) : Basic::UpperAscii(l.name); }

atom* AtomOf(const std::string& name) { return name.empty() ? nullptr : ListAtoms::Lookup(name); }

std::string SetsKey() { return Options::RegBaseKey + "Sets"; }

}  // namespace

std::vector<StoredLine> Merge(const std::vector<StoredLine>& base, const std::vector<StoredLine>& theirs,
                              const std::vector<StoredLine>& mine) {
    auto index = [](const std::vector<StoredLine>& lines) {
        std::unordered_map<std::string, const StoredLine*> by;
        for (const StoredLine& l : lines) by.emplace(Key(l), &l);
        return by;
    };
    const auto inBase = index(base), inTheirs = index(theirs);
    std::vector<StoredLine> out;
    std::unordered_set<std::string> kept;
    for (const StoredLine& m : mine) {
        const std::string key = Key(m);
        StoredLine line = m;
        const auto b = inBase.find(key);
        const auto t = inTheirs.find(key);
        if (b != inBase.end() && CommentIn(m.text) == CommentIn(b->second->text)) {
            if (t == inTheirs.end()) continue;  // deleted there, as it was here
            line.text = Before(m.text) + Tail(t->second->text);
        } else if (b == inBase.end() && t != inTheirs.end() && CommentIn(m.text).empty()) {
            // Added in both runs: a comment only the other one gave is kept.
            line.text = Before(m.text) + Tail(t->second->text);
        }
        kept.insert(key);
        out.push_back(std::move(line));
    }
    for (const StoredLine& t : theirs) {
        const std::string key = Key(t);
        if (!inBase.count(key) && kept.insert(key).second) out.push_back(t);
    }
    return out;
}

void StoredTable::Load(ResultSet& table) {
    value_ = Services::Settings().Read(SetsKey(), name_);
    lines_ = value_ ? ParseStoredLines(*value_) : std::vector<StoredLine>();
    replaced_ = false;
    table.Reset();
    if (value_ && !value_->empty()) table.ParseRegistryText(*value_);
    table.RefreshAtomTexts();
    NoteUnknown(table, lines_);
}

void StoredTable::NoteUnknown(const ResultSet& table, const std::vector<StoredLine>& lines) {
    unknown_.clear();
    for (int32_t i = 0; i < table.numLines() && static_cast<std::size_t>(i) < lines.size(); ++i)
        if (ListAtoms::IsNothing(table.atom(i))) unknown_.push_back(lines[static_cast<std::size_t>(i)]);
}

std::vector<StoredLine> StoredTable::LinesOf(const ResultSet& table) const {
    std::vector<StoredLine> out;
    std::vector<bool> taken(unknown_.size());
    for (int32_t i = 0; i < table.numLines(); ++i) {
        atom* a = table.atom(i);
        StoredLine l{table.line(i), table.reason(i), ListAtoms::Name(a)};
        // A line whose name was unknown when the table was filled holds the
        // "nothing" atom and its text as it was: its name is that line's.
        if (ListAtoms::IsNothing(a))
            for (std::size_t j = 0; j < unknown_.size(); ++j)
                if (!taken[j] && Before(unknown_[j].text) == Before(l.text)) {
                    l.name = unknown_[j].name;
                    taken[j] = true;
                    break;
                }
        out.push_back(std::move(l));
    }
    return out;
}

StoredTable::Refill StoredTable::Fill(ResultSet& table, const std::vector<StoredLine>& before,
                                      const std::vector<StoredLine>& lines) {
    Refill out;
    out.changed = true;
    const int32_t marked = table.marked();
    const bool hadMark = marked >= 0 && marked < static_cast<int32_t>(before.size());
    table.SetStoredLines(lines);
    table.RefreshAtomTexts();
    NoteUnknown(table, lines);
    if (!hadMark || lines.empty()) return out;
    const std::string key = Key(before[static_cast<std::size_t>(marked)]);
    out.mark = std::min(marked, static_cast<int32_t>(lines.size()) - 1);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (Key(lines[i]) == key) {
            out.mark = static_cast<int32_t>(i);
            out.kept = true;
            break;
        }
    return out;
}

StoredTable::Saved StoredTable::Save(ResultSet& table) {
    Saved out;
    const std::vector<StoredLine> mine = LinesOf(table);
    std::vector<StoredLine> written;
    out.ok = Services::Settings().Update(SetsKey(), name_, [&](const std::optional<std::string>& now) {
        // Nothing to merge with when the value is as this table left it, or
        // gone, or when this run's table replaces it whole.
        written = !now || replaced_ || now == value_ ? mine : Merge(lines_, ParseStoredLines(*now), mine);
        return StoredLinesText(written);
    });
    if (!out.ok) return out;
    value_ = StoredLinesText(written);
    replaced_ = false;
    if (written != mine) static_cast<Refill&>(out) = Fill(table, mine, written);
    lines_ = std::move(written);
    return out;
}

StoredTable::Refill StoredTable::FollowUserNames(ResultSet& table) {
    const std::vector<StoredLine> lines = LinesOf(table);
    for (int32_t i = 0; i < table.numLines(); ++i)
        if (AtomOf(lines[static_cast<std::size_t>(i)].name) != table.atom(i)) return Fill(table, lines, lines);
    return {};
}

}  // namespace FavoriteRules
