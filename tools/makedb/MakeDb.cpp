#include "MakeDb.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <sstream>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "Basic.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "Outputs.h"
#include "Parser.h"
#include "QuizRound.h"
#include "Services.h"
#include "TextConstants.h"
#include "ToolArgs.h"

namespace MakeDb {

using namespace DataBase;

namespace {

constexpr std::size_t kMaxText = 1000;

// Collects the assertions raised while it lives instead of showing them, and
// puts the previous services back afterwards.
class CollectAsserts : public Services::AssertSink {
public:
    CollectAsserts() : saved_(Services::Get()) {
        Services::Set set = saved_;
        set.assertSink = this;
        Services::Install(set);
    }
    ~CollectAsserts() override { Services::Install(saved_); }
    void ShowAssert(const std::string& prompt) override { prompts.push_back(prompt); }
    std::vector<std::string> prompts;

private:
    Services::Set saved_;
};

// The derived values (text and description indexes, keys) are those of the
// text language the edition runs with: English in Talvessin, German in
// Orsabrine. The language is set while it lives.
class TextLanguage {
public:
    explicit TextLanguage(int language) : saved_(TextConstants::textLanguage) {
        TextConstants::textLanguage = language;
    }
    ~TextLanguage() { TextConstants::textLanguage = saved_; }

private:
    int saved_;
};

bool AsciiName(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    return true;
}

// The kind every prefix of an internal name stands for (-1: two kinds).
const std::map<std::string, int>& PrefixKinds() {
    static const std::map<std::string, int> kinds = {
        {"na", -1}, {"gn", -2}, {"of", 4}, {"or", 5}, {"to", 6}, {"wo", 7},  {"la", 8},  {"sa", 9},
        {"po", 10}, {"ps", 11}, {"li", 12}, {"co", 99}, {"qu", 99}, {"pr", 99}, {"se", 99},
    };
    return kinds;
}

// A known prefix in lower case, then a capital or a digit.
bool NameForm(const std::string& s) {
    if (s.size() < 3 || !PrefixKinds().count(s.substr(0, 2))) return false;
    return (s[2] >= 'A' && s[2] <= 'Z') || (s[2] >= '0' && s[2] <= '9');
}

bool BlankOnly(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes.substr(start, i - start));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

// A rank of a hit parade: digits, and "a" or "b" for a shared rank.
bool RankText(const std::string& s) {
    std::size_t digits = 0;
    while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9') ++digits;
    return digits > 0 && (digits == s.size() || (digits + 1 == s.size() && (s.back() == 'a' || s.back() == 'b')));
}

std::string Quoted(const std::string& s) { return "\"" + Cp1252::ToUtf8(s) + "\""; }

}  // namespace

std::string Failure::Text() const {
    if (where.file.empty()) return message;
    if (where.line <= 0) return where.file + ": " + message;
    return where.file + ":" + std::to_string(where.line) + ": " + message;
}

const std::vector<KindPair>& Pairs() {
    static const std::vector<KindPair> pairs = {
        {"prGerman", "prTranslation"},  {"prEnglish", "prTranslationE"}, {"prGenName", "prNameVariant"},
        {"prMemberOf", "prMember"},     {"prOrigin", "prOriginOf"},      {"prLang", "prLangOf"},
        {"prSubsetOf", "prSubset"},     {"prRelatedTo", "prRelatedTo"},  {"prMaleOf", "prFemaleOf"},
        {"prFemaleOf", "prMaleOf"},     {"prDimNameOf", "prDimName"},    {"prWriteVarOf", "prWriteVar"},
        {"prShortFormOf", "prShortForm"}, {"prSaintOf", "prSaint"},      {"prShortOf", "prShort"},
        {"prArea", "prAreaOf"},
    };
    return pairs;
}

// ============================================================================
// Reading the source
// ============================================================================

bool Compiler::Fail(const Where& where, std::string message) {
    failure_.where = where;
    failure_.message = std::move(message);
    return false;
}

bool Compiler::AddFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail({path, 0}, "cannot be read");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return Fail({path, 0}, "cannot be read");
    return AddText(path, bytes);
}

bool Compiler::AddText(const std::string& file, std::string_view utf8) {
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
    std::vector<std::string> lines = SplitLines(utf8);
    SourceRecord* record = nullptr;
    // Names compare without case; names are ASCII, so the ASCII fold serves.
    std::map<std::string, Where> seen;
    for (const SourceRecord& r : records_) seen.emplace(Basic::UpperAscii(r.name), r.where);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        Where where{file, static_cast<int>(i) + 1};
        bool ok = true;
        std::string line = Cp1252::FromUtf8(lines[i], '?', &ok);
        if (!ok) return Fail(where, "a character that code page 1252 cannot hold (or malformed UTF-8)");
        if (BlankOnly(line)) {
            record = nullptr;  // an empty line ends a record
            continue;
        }
        bool starts = false;
        std::string name;
        if (!ParseLine(where, line, record, starts, name)) return false;
        if (starts) {
            auto [it, fresh] = seen.emplace(Basic::UpperAscii(name), where);
            if (!fresh)
                return Fail(where, "duplicate internal name " + name + " (first at " + it->second.file + ":" +
                                       std::to_string(it->second.line) + ")");
            records_.push_back(SourceRecord{where, name, {}});
            record = &records_.back();
        }
    }
    return true;
}

// One line that is not empty: a record marker, a property line of the
// current record, a comment; anything else inside a record is refused, and
// outside records only property lines are (they would belong to no atom).
bool Compiler::ParseLine(const Where& where, const std::string& line, SourceRecord* record, bool& startsRecord,
                         std::string& markerName) {
    Parser::Scanner scan;
    scan.ScanStart(line);
    int type = 0;
    std::string text;
    scan.NextToken(type, text);

    if (type == Parser::kTokComment && Basic::EqualsNoCaseAscii(Basic::Left(text, 4), " -- ")) {
        if (record) return Fail(where, "record marker inside the record of " + record->name +
                                           " (an empty line ends a record)");
        if (text.size() < 9 || text.compare(text.size() - 4, 4, " -- ") != 0)
            return Fail(where, "malformed record marker (write /* -- name -- */)");
        markerName = text.substr(4, text.size() - 8);
        if (!AsciiName(markerName)) return Fail(where, "internal name " + Quoted(markerName) + " is not made of A-Z, a-z, 0-9");
        if (Basic::EqualsNoCaseAscii(markerName, "nothing"))
            return Fail(where, "internal name nothing is reserved for the empty atom");
        if (markerName.size() > kMaxText) return Fail(where, "internal name longer than 1000 characters");
        if (!NameForm(markerName))
            return Fail(where, "internal name " + markerName +
                                   " is not a two-letter prefix of a kind and a capital or digit after it");
        if (markerName.size() >= 4 && markerName.compare(markerName.size() - 4, 4, "User") == 0)
            return Fail(where, "internal name " + markerName + " ends in User, kept for the user's own names");
        startsRecord = true;
        return true;
    }
    if (type == Parser::kTokComment) return true;
    bool isProp = type == Parser::kTokIdent && text == "prop";
    if (!record) {
        if (isProp) return Fail(where, "property line outside a record (an empty line ended the record before it)");
        return true;  // text between records, as in a header
    }
    if (!isProp) return Fail(where, "not a property line: " + Quoted(line));

    SourceProp p;
    p.where = where;
    auto next = [&] {
        scan.NextToken(type, text);
        return type;
    };
    auto name = [&](const char* what, std::string& out) {
        if (next() != Parser::kTokIdent) return Fail(where, std::string("malformed property line: ") + what + " expected");
        if (!AsciiName(text)) return Fail(where, "internal name " + Quoted(text) + " is not made of A-Z, a-z, 0-9");
        if (Basic::EqualsNoCaseAscii(text, "nothing")) return Fail(where, "internal name nothing names no atom");
        out = text;
        return true;
    };
    auto punct = [&](int wanted, const char* what) {
        if (next() != wanted) return Fail(where, std::string("malformed property line: ") + what + " expected");
        return true;
    };
    std::string atomName;
    if (!punct(Parser::kTokOpen, "\"(\"") || !name("the property kind", p.kind) || !punct(Parser::kTokComma, "\",\"") ||
        !name("the atom's name", atomName))
        return false;
    if (atomName != record->name)
        return Fail(where, "property of " + atomName + " in the record of " + record->name);
    if (!punct(Parser::kTokComma, "\",\"")) return false;
    next();
    if (type == Parser::kTokIdent) {
        if (!AsciiName(text)) return Fail(where, "internal name " + Quoted(text) + " is not made of A-Z, a-z, 0-9");
        if (Basic::EqualsNoCaseAscii(text, "nothing")) return Fail(where, "internal name nothing names no atom");
        p.value = text;
        p.hasAtom = true;
        next();
        if (type == Parser::kTokComma) {  // an atom and a string
            if (next() != Parser::kTokString) return Fail(where, "malformed property line: a string expected after the atom value");
            p.str = text;
            p.hasStr = true;
            next();
        }
    } else if (type == Parser::kTokString) {
        p.str = text;
        p.hasStr = true;
        next();
    } else {
        return Fail(where, "malformed property line: an atom or a string expected as value");
    }
    if (type != Parser::kTokClose) return Fail(where, "malformed property line: \")\" expected");
    if (next() != Parser::kTokPeriod) return Fail(where, "malformed property line: \".\" expected at its end");
    if (next() != Parser::kTokEnd && type != Parser::kTokComment)
        return Fail(where, "malformed property line: text after its end");
    if (p.hasStr && p.str.size() > kMaxText) return Fail(where, "string longer than 1000 bytes");
    if (p.hasStr && std::any_of(p.str.begin(), p.str.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }))
        return Fail(where, "control character in a string");
    if (p.hasStr && !p.str.empty() && (p.str.front() == ' ' || p.str.back() == ' '))
        return Fail(where, "string beginning or ending with a blank");
    if (p.kind.compare(0, 2, "pr") != 0) return Fail(where, "property kind " + p.kind + " is no \"pr\" atom");
    record->props.push_back(std::move(p));
    return true;
}

// ============================================================================
// Building the database
// ============================================================================

namespace {

// Where each property came from (a mirror: the line it mirrors).
std::unordered_map<const Prop*, Where>& PropWhere() {
    static std::unordered_map<const Prop*, Where> map;
    return map;
}

// A table of entries found by their hashes, with open addressing: the
// entries side by side, no allocation per entry, and a look-up reads one or
// two neighbouring slots (a table of nodes costs a cache miss per node, and
// more of them the larger the database: the compiler's time would grow
// faster than its source).
template <class Entry>
class FlatTable {
public:
    explicit FlatTable(std::size_t expected) { Resize(expected); }
    // The entry of this hash that same(entry) accepts, null when none.
    template <class Same>
    const Entry* Find(uint64_t hash, Same same) const {
        const uint32_t tag = Stored(hash);
        for (std::size_t i = tag & mask_; slots_[i].tag != 0; i = (i + 1) & mask_)
            if (slots_[i].tag == tag && same(slots_[i].entry)) return &slots_[i].entry;
        return nullptr;
    }
    // Adds an entry not in the table yet.
    void Add(uint64_t hash, const Entry& e) {
        if (2 * (used_ + 1) > slots_.size()) Resize(2 * used_ + 2);
        Place({Stored(hash), e});
        ++used_;
    }

private:
    // The hash kept in 32 bits (the table never has more slots), 0 empty.
    struct Slot {
        uint32_t tag = 0;
        Entry entry{};
    };
    static uint32_t Stored(uint64_t hash) {
        const auto tag = static_cast<uint32_t>(hash ^ (hash >> 32));
        return tag ? tag : 1;
    }
    void Place(const Slot& s) {
        std::size_t i = s.tag & mask_;
        while (slots_[i].tag != 0) i = (i + 1) & mask_;
        slots_[i] = s;
    }
    // Room for n entries at most half full (an empty slot ends a search).
    void Resize(std::size_t n) {
        std::size_t size = 16;
        while (size < 2 * n) size *= 2;
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(size, Slot{});
        mask_ = size - 1;
        for (const Slot& s : old)
            if (s.tag != 0) Place(s);
    }
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t used_ = 0;
};

uint64_t Mix(uint64_t h) {
    h ^= h >> 31;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

int32_t IdOf(const atom* a) { return !a || a == nothingAtom ? -1 : a->id(); }

// One statement an atom makes: its holder, property kind and atom value, by
// their ids ("nothing" -1).
struct Statement {
    int32_t holder = 0;
    int32_t kind = 0;
    int32_t value = 0;
    bool operator==(const Statement&) const = default;
};

// The statements made so far.
class StatementSet {
public:
    explicit StatementSet(std::size_t expected) : table_(expected) {}
    bool Contains(const atom* holder, const atom* kind, const atom* value) const {
        const Statement s = Make(holder, kind, value);
        return table_.Find(Hash(s), [&](const Statement& e) { return e == s; }) != nullptr;
    }
    void Insert(const atom* holder, const atom* kind, const atom* value) {
        if (!Contains(holder, kind, value)) {
            const Statement s = Make(holder, kind, value);
            table_.Add(Hash(s), s);
        }
    }

private:
    static Statement Make(const atom* h, const atom* k, const atom* v) { return {IdOf(h), IdOf(k), IdOf(v)}; }
    static uint64_t Hash(const Statement& s) {
        auto bits = [](int32_t id) { return static_cast<uint64_t>(static_cast<uint32_t>(id)); };
        return Mix(bits(s.holder) << 32 ^ bits(s.kind) << 16 ^ bits(s.value));
    }
    FlatTable<Statement> table_;
};

// The properties registered, found by their kind, values and type (0 atom,
// 1 string, 2 both) as the property itself holds them.
class SharedProps {
public:
    SharedProps() : table_(1024) {}
    Prop* Find(const atom* kind, const atom* value, std::string_view str, int type) const {
        const Prop* const* p = table_.Find(Hash(kind, value, str, type), [&](const Prop* e) {
            return e->kind() == type && e->proper() == kind && (type == 1 || e->atomVal() == Value(value)) &&
                   (type == 0 || e->strVal() == str);
        });
        return p ? const_cast<Prop*>(*p) : nullptr;
    }
    void Add(Prop* p, const atom* kind, const atom* value, std::string_view str, int type) {
        table_.Add(Hash(kind, value, str, type), p);
    }

private:
    // The value of an atom property: null is "nothing".
    static const atom* Value(const atom* v) { return v ? v : nothingAtom; }
    static uint64_t Hash(const atom* kind, const atom* value, std::string_view str, int type) {
        const uint64_t v = type == 1 ? 0 : static_cast<uint32_t>(IdOf(value));
        const uint64_t t = type == 0 ? 0 : std::hash<std::string_view>()(str);
        return Mix(static_cast<uint64_t>(static_cast<uint32_t>(IdOf(kind))) << 34 ^ v << 2 ^
                   static_cast<uint64_t>(type) ^ Mix(t));
    }
    FlatTable<const Prop*> table_;
};

}  // namespace

// What the steps of a build share: each property registered once for its
// kind, values and type, and the property kinds of every pair with their
// partners (both directions).
struct Compiler::BuildState {
    SharedProps shared;
    atom* filePosKind = nullptr;
    std::unordered_map<const atom*, std::vector<std::pair<atom*, std::string>>> partners;
};

bool Compiler::Build(int textLanguage) {
    TextLanguage language(textLanguage);
    CollectAsserts asserts;
    InitDataBase();
    PropWhere().clear();
    BuildState state;

    if (!CreateAtoms() || !AddSourceProps(state)) return false;
    if (MirrorAll(state) < 0) return false;
    // Everything the file stores precomputed, by the program's own code.
    DeriveAll();
    if (!MirrorInherited(state)) return false;
    // Kinds and variant counts over the completed properties.
    EvalKinds(0);
    CountVariants(0);
    CountKinds();
    if (!CheckGroups() || !CheckLanguageCycles() || !CheckKinds() || !CheckQuestionLevels()) return false;
    if (!asserts.prompts.empty()) return Fail({}, "the program's derivations raised: " + asserts.prompts.front());
    return AddPopLists(state);
}

// Atoms in record order: ids follow the source.
bool Compiler::CreateAtoms() {
    for (const SourceRecord& r : records_) {
        if (numAtoms >= kFileAtomCapacity)
            return Fail(r.where, "more atoms than the database file holds (" + std::to_string(kFileAtomCapacity) + ")");
        atom* a = CreateAtom(r.name);
        if (a == nothingAtom) return Fail(r.where, "atom could not be created");
    }
    return true;
}

// The property of that kind, values and type (0 atom, 1 string, 2 both):
// the one registered before, or a new one in the property table.
bool Compiler::Registered(BuildState& state, const Where& where, atom* kind, atom* value, const std::string& str,
                          int type, Prop*& out) {
    if (Prop* known = state.shared.Find(kind, value, str, type)) {
        out = known;
        return true;
    }
    if (numProps >= kFilePropCapacity)
        return Fail(where, "more properties than the database file holds (" + std::to_string(kFilePropCapacity) + ")");
    Prop* p = NewProp();
    if (type == 0) p->InitAtom(kind, value, true);
    else if (type == 1) p->InitStr(kind, str, true);
    else p->InitAtomAndStr(kind, value, str, true);
    state.shared.Add(p, kind, value, str, type);
    PropWhere().emplace(p, where);
    out = p;
    return true;
}

// The properties of every record as the source gives them, each checked, and
// the file position of the hit-parade data third, as the text reader places it.
bool Compiler::AddSourceProps(BuildState& state) {
    state.filePosKind = GetAtom("prFilePos");
    auto addFilePos = [&](atom& a, const Where& where) {
        if (!a.LoadedOnDemand() || a.NumProp() != 2) return true;
        if (state.filePosKind == nothingAtom)
            return Fail(where, "hit-parade data (\"po\" atoms) needs the property kind prFilePos");
        if (numProps >= kFilePropCapacity)
            return Fail(where, "more properties than the database file holds (" + std::to_string(kFilePropCapacity) + ")");
        a.CreateFilePosProp();
        return true;
    };

    // What each record is a spelling variant of (its first such statement),
    // by the record's name.
    std::unordered_map<std::string, std::string> variantOf;
    for (const SourceRecord& r : records_)
        for (const SourceProp& mp : r.props)
            if (mp.kind == "prWriteVarOf") {
                variantOf.emplace(r.name, mp.value);
                break;
            }

    for (std::size_t i = 0; i < records_.size(); ++i) {
        const SourceRecord& r = records_[i];
        atom& a = *atomTab[i];
        for (const SourceProp& sp : r.props) {
            atom* kind = GetAtom(sp.kind);
            if (kind == nothingAtom) return Fail(sp.where, "dangling reference: property kind " + sp.kind + " has no record");
            if (kind == state.filePosKind)
                return Fail(sp.where, "prFilePos is the compiler's: the position of the hit-parade data in the file");
            atom* value = nullptr;
            if (sp.hasAtom) {
                value = GetAtom(sp.value);
                if (value == nothingAtom) return Fail(sp.where, "dangling reference: " + sp.value + " has no record");
            }
            if (sp.kind == "prPop" && (!a.LoadedOnDemand() || !sp.hasAtom || !RankText(sp.str)))
                return Fail(sp.where, "prPop belongs to hit parades (\"po\" atoms), with a name and its rank "
                                      "(prop(prPop,poX,naName,\"3\"))");
            if (sp.kind == "prWriteVarOf" && sp.hasAtom)
                if (auto main = variantOf.find(sp.value); main != variantOf.end())
                    return Fail(sp.where, sp.value + " is itself a spelling variant (of " + main->second + ")");
            Prop* p = nullptr;
            int type = sp.hasAtom && sp.hasStr ? 2 : sp.hasAtom ? 0 : 1;
            if (!Registered(state, sp.where, kind, value, sp.str, type, p)) return false;
            if (a.NumProp() >= 32767) return Fail(sp.where, "more than 32767 properties on one atom");
            a.AddProp(p);
            if (!addFilePos(a, sp.where)) return false;
        }
        if (r.props.empty()) return Fail(r.where, "record of " + r.name + " without properties");
        if (a.LoadedOnDemand() && a.NumProp() < 3)
            return Fail(r.where, "hit-parade data (\"po\" atoms) needs at least two properties before its file position");
    }

    // Both directions of every pair. A relation is known by either side.
    for (const KindPair& kp : Pairs()) {
        atom* a = GetAtom(kp.a);
        atom* b = GetAtom(kp.b);
        if (a != nothingAtom) state.partners[a].emplace_back(b, kp.b);
        if (b != nothingAtom && b != a) state.partners[b].emplace_back(a, kp.a);
    }
    return true;
}

// Adds the missing other direction of every paired property an atom holds;
// counts what it added, -1 when a rule is broken.
long Compiler::MirrorAll(BuildState& state) {
    static const Where kNowhere;
    long added = 0;
    // Every statement made so far, so that testing for one does not walk
    // the holder's list (an atom many others point at, such as a large group
    // or language, would make that grow with the square).
    StatementSet made(static_cast<std::size_t>(numProps) * 2);
    for (int32_t id = 0; id < numAtoms; ++id) {
        const atom* h = atomTab[static_cast<std::size_t>(id)];
        for (const Prop* p : h->props()) made.Insert(h, p->proper(), p->atomVal());
    }
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* x = atomTab[static_cast<std::size_t>(id)];
        // The properties it has now: those it gains here (y may be x) are
        // not visited, and its list may move as it gains them.
        const std::size_t own = x->props().size();
        for (std::size_t i = 0; i < own; ++i) {
            Prop* p = x->props()[i];
            if (p->kind() == 1) continue;
            auto it = state.partners.find(p->proper());
            if (it == state.partners.end()) continue;
            atom* y = p->atomVal();
            for (const auto& [other, otherName] : it->second) {
                // Where the property came from, asked for only when a mirror
                // is made or refused.
                auto where = [p]() -> const Where& {
                    const auto at = PropWhere().find(p);
                    return at != PropWhere().end() ? at->second : kNowhere;
                };
                if (other == nothingAtom) {
                    Fail(where(), "dangling reference: property kind " + otherName + ", the other direction of " +
                                      p->proper()->name() + ", has no record");
                    return -1;
                }
                if (made.Contains(y, other, x)) continue;
                Prop* m = nullptr;
                if (!Registered(state, where(), other, x, "", 0, m)) return -1;
                if (y->NumProp() >= 32767) {
                    Fail(where(), "more than 32767 properties on " + y->name());
                    return -1;
                }
                y->AddProp(m);
                made.Insert(y, other, x);
                ++added;
            }
        }
    }
    return added;
}

// A spelling variant now holds what it inherits from its main entry (a pet
// form's "pet form of", a saint, ...): those statements get their other
// direction too, or the entry they point at would not list the variant
// (Sofia, of whom Sonja is a pet form, lists Sonia as well). A main entry
// that gains a partner passes it on to its own spelling variants, so both
// steps repeat until nothing is added.
bool Compiler::MirrorInherited(BuildState& state) {
    for (;;) {
        long added = MirrorAll(state);
        if (added < 0) return false;
        for (int32_t id = 0; id < numAtoms; ++id) {
            atom* v = atomTab[static_cast<std::size_t>(id)];
            if (Prop* w = v->FirstProp(prWriteVarOf)) {
                int before = v->NumProp();
                v->CopyAllProp(*w->atomVal());
                added += v->NumProp() - before;
            }
        }
        if (added == 0) return true;
    }
}

// Each ranked name's list of its hit parades, "id/rank" items in the order
// of the hit parades' ids and their lines, as the hit-parade windows read it
// from the name.
bool Compiler::AddPopLists(BuildState& state) {
    std::vector<std::string> popList(static_cast<std::size_t>(numAtoms));
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* h = atomTab[static_cast<std::size_t>(id)];
        if (!h->LoadedOnDemand()) continue;
        for (const Prop* p : h->props()) {
            if (p->proper() != prPop || p->kind() != 2) continue;
            std::string rank = p->strVal();
            while (!rank.empty() && (rank.back() == 'a' || rank.back() == 'b')) rank.pop_back();
            std::string& list = popList[static_cast<std::size_t>(p->atomVal()->id())];
            list += (list.empty() ? "" : ",") + std::to_string(id) + "/" + rank;
        }
    }
    for (int32_t id = 0; id < numAtoms; ++id) {
        const std::string& list = popList[static_cast<std::size_t>(id)];
        if (list.empty()) continue;
        const Where& where = records_[static_cast<std::size_t>(id)].where;
        atom& a = *atomTab[static_cast<std::size_t>(id)];
        if (list.size() > kMaxText) return Fail(where, "the hit-parade list of " + a.name() + " is longer than 1000 bytes");
        Prop* p = nullptr;
        if (!Registered(state, where, prPop, nullptr, list, 1, p)) return false;
        a.AddProp(p);
    }
    return true;
}

bool Compiler::CheckKinds() {
    for (const std::string& n : KindAtomNames())
        if (GetAtom(n) == nothingAtom) return Fail({}, "the program looks up " + n + ", which has no record");
    for (int32_t id = 0; id < numAtoms; ++id) {
        const atom* a = atomTab[static_cast<std::size_t>(id)];
        int want = PrefixKinds().at(std::string(a->name().substr(0, 2)));
        bool ok = want == -1 ? a->isName() : want == -2 ? a->isGenName() : a->kind() == want;
        if (!ok)
            return Fail(records_[static_cast<std::size_t>(id)].where,
                        a->name() + " gets kind " + std::to_string(a->kind()) + ", not the kind of its prefix " +
                            a->name().substr(0, 2));
        if (a->name().compare(0, 2, "gn") == 0) {
            int sets = 0;
            for (const Prop* p : a->props())
                if (p->proper() == prSubsetOf && (p->atomVal() == seMaleNames || p->atomVal() == seFemaleNames)) ++sets;
            if (sets != 1)
                return Fail(records_[static_cast<std::size_t>(id)].where,
                            "group " + a->name() + " is not in exactly one of seMaleNames and seFemaleNames");
        }
    }
    return true;
}

bool Compiler::CheckQuestionLevels() {
    // The quiz plans its rounds over three levels; the program leaves out a
    // question of any other, so the compiler refuses it first.
    for (atom* set : {seQuestions, seEnglishQuestions}) {
        if (set == nullptr || set == nothingAtom) continue;
        for (const Prop* m : set->props()) {
            if (m->proper() != prMember || m->kind() == 1) continue;
            const atom* q = m->atomVal();
            for (Prop* p : q->props()) {
                if (p->proper() != prLevel || p->kind() == 0) continue;
                const std::string level(p->strVal());
                if (QuizRound::ParseLevel(level) < 0)
                    return Fail(PropWhere()[p], "question " + std::string(q->name()) + " has the level \"" + level +
                                                    "\"; a question's level is 0, 1 or 2");
            }
        }
    }
    return true;
}

bool Compiler::CheckGroups() {
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* x = atomTab[static_cast<std::size_t>(id)];
        bool isGroupName = x->name().compare(0, 2, "gn") == 0;
        if (isGroupName && !x->isGenName())
            return Fail(records_[static_cast<std::size_t>(id)].where,
                        "group " + x->name() + " is neither male nor female (prSubsetOf seMaleNames or seFemaleNames)");
        for (Prop* p : x->props()) {
            if (p->proper() != prGenName || p->kind() == 1) continue;
            atom* g = p->atomVal();
            if (!g->isGenName())
                return Fail(PropWhere()[p], "group " + g->name() + " of " + x->name() +
                                                " is neither male nor female (prSubsetOf seMaleNames or seFemaleNames)");
        }
    }
    return true;
}

bool Compiler::CheckLanguageCycles() {
    // The language-family walk follows prSubset to languages; a cycle there
    // would never end.
    std::vector<int> state(static_cast<std::size_t>(numAtoms), 0);  // 0 new, 1 on the path, 2 done
    std::vector<std::pair<atom*, Prop*>> path;
    std::function<bool(atom*)> visit = [&](atom* lang) -> bool {
        state[static_cast<std::size_t>(lang->id())] = 1;
        for (Prop* p : lang->props()) {
            if (p->proper() != prSubset || p->kind() == 1) continue;
            atom* sub = p->atomVal();
            if (sub->kind() != 8) continue;
            path.emplace_back(lang, p);
            int s = state[static_cast<std::size_t>(sub->id())];
            if (s == 1) {
                std::string chain;
                auto start = std::find_if(path.begin(), path.end(), [&](const auto& e) { return e.first == sub; });
                for (auto it = start; it != path.end(); ++it) chain += it->first->name() + " > ";
                return Fail(PropWhere()[p], "language cycle: " + chain + sub->name());
            }
            if (s == 0 && !visit(sub)) return false;
            path.pop_back();
        }
        state[static_cast<std::size_t>(lang->id())] = 2;
        return true;
    };
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* x = atomTab[static_cast<std::size_t>(id)];
        if (x->kind() == 8 && state[static_cast<std::size_t>(id)] == 0 && !visit(x)) return false;
    }
    return true;
}

// ============================================================================
// Snapshots, writing and reading back
// ============================================================================

Snapshot TakeSnapshot() {
    Snapshot s;
    atom* filePos = GetAtom("prFilePos");
    for (int32_t id = 0; id < numAtoms; ++id) {
        const atom* a = atomTab[static_cast<std::size_t>(id)];
        AtomValue v;
        v.id = a->id();
        v.name = a->name();
        v.kind = a->kind();
        v.numVariants = a->numVariants;
        v.textIdx = a->textIdx();
        v.descrIdx = a->descrIdx();
        v.level = a->Level();
        v.soundex = a->Soundex();
        v.upper = a->Uppercase();
        v.text = a->Text();
        v.descr = a->Descr();
        for (const Prop* p : a->props()) {
            PropValue pv;
            pv.kind = p->proper() ? p->proper()->name() : "";
            pv.type = p->kind();
            if (pv.type != 1) pv.atomVal = p->atomVal()->name();
            if (pv.type != 0 && p->proper() != filePos) pv.strVal = p->strVal();
            v.props.push_back(std::move(pv));
        }
        s.atoms.push_back(std::move(v));
    }
    s.names.assign(stringTab.begin(), stringTab.end());
    s.ids.assign(idTab.begin(), idTab.end());
    int32_t counts[6] = {numAllNames, numAllMale, numAllFemale, numAllGenNames, numAllMaleGen, numAllFemaleGen};
    std::copy(std::begin(counts), std::end(counts), s.counts);
    return s;
}

std::string Compare(const Snapshot& built, const Snapshot& read) {
    if (built.atoms.size() != read.atoms.size())
        return "atom count " + std::to_string(built.atoms.size()) + " became " + std::to_string(read.atoms.size());
    for (std::size_t i = 0; i < built.atoms.size(); ++i) {
        const AtomValue& b = built.atoms[i];
        const AtomValue& r = read.atoms[i];
        if (b == r) continue;
        std::string what = b.name != r.name          ? "name"
                           : b.kind != r.kind        ? "kind"
                           : b.numVariants != r.numVariants ? "numVariants"
                           : b.textIdx != r.textIdx  ? "textIdx"
                           : b.descrIdx != r.descrIdx ? "descrIdx"
                           : b.level != r.level      ? "Level"
                           : b.soundex != r.soundex  ? "Soundex"
                           : b.upper != r.upper      ? "Uppercase"
                           : b.text != r.text        ? "Text"
                           : b.descr != r.descr      ? "Descr"
                           : b.props.size() != r.props.size() ? "number of properties"
                                                               : "properties";
        return "atom " + std::to_string(i) + " (" + b.name + "): " + what + " differs";
    }
    if (built.names != read.names) return "name table differs";
    if (built.ids != read.ids) return "id table differs";
    if (!std::equal(std::begin(built.counts), std::end(built.counts), std::begin(read.counts)))
        return "counts by kind differ";
    return {};
}

DataBase::BinHeader EditionHeader(bool talvessin) {
    DataBase::BinHeader h;
    h.text = talvessin ? "Talvessin V1.3 name database" : "Orsabrine V1.3 name database";
    h.text7 = "makedb";
    return h;
}

bool WriteAndVerify(const std::string& path, const DataBase::BinHeader& header, Failure& failure) {
    CollectAsserts asserts;
    auto fail = [&](std::string message) {
        failure.where = {path, 0};
        failure.message = std::move(message);
        return false;
    };
    auto statusText = [](const DbStatus& st) {
        std::string t = st.error >= kStructError ? "refused" : "file error " + std::to_string(st.error);
        return st.detail.empty() ? t : t + " (" + st.detail + ")";
    };
    Snapshot built = TakeSnapshot();
    DbStatus st = WriteBinFile(path, header);
    if (!st.ok) return fail("not written: " + statusText(st));

    InitDataBase();
    st = ReadBinFile(path);
    if (!st.ok) return fail("the program's reader refuses it: " + statusText(st));
    atom* filePos = GetAtom("prFilePos");
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom& a = *atomTab[static_cast<std::size_t>(id)];
        if (!a.LoadedOnDemand()) continue;
        int32_t pos = 0;
        if (a.NumProp() != 3 || a.GetProp(2)->proper() != filePos || !a.GetFilePos(pos) || pos <= 0)
            return fail(a.name() + ": no file position of its hit-parade data");
        st = LoadOnDemandStatus(a);
        if (!st.ok) return fail(a.name() + ": its hit-parade data cannot be read: " + statusText(st));
    }
    std::string diff = Compare(built, TakeSnapshot());
    if (!diff.empty()) return fail("read back differently: " + diff);
    if (!asserts.prompts.empty()) return fail("reading it back raised: " + asserts.prompts.front());
    return true;
}

bool CheckFile(const std::string& path, std::string& text) {
    CollectAsserts asserts;
    InitDataBase();
    DbStatus st = ReadBinFile(path);
    std::ostringstream out;
    if (!st.ok) {
        out << path << ": ";
        if (st.openFailed) out << "cannot be opened (error " << st.error << ")";
        else if (st.error >= kStructError) out << "not a database file or a damaged one";
        else out << "file error " << st.error;
        if (!st.detail.empty()) out << " (" << st.detail << ")";
        text = out.str();
        return false;
    }
    static const char* const kKinds[] = {"male names", "female names", "male groups", "female groups",
                                         "old forms", "origin entries", "topics", "words", "languages",
                                         "saints", "hit parades", "hit-parade series", "links"};
    // Counted in an array for the kinds there are (0 to 12, 99), in a map
    // for any other.
    int counts[100] = {};
    std::map<int, int> byKind;
    for (int32_t id = 0; id < numAtoms; ++id) {
        const int kind = atomTab[static_cast<std::size_t>(id)]->kind();
        if (kind >= 0 && kind < 100) ++counts[kind];
        else ++byKind[kind];
    }
    for (int kind = 0; kind < 100; ++kind)
        if (counts[kind] > 0) byKind[kind] = counts[kind];
    out << path << ": " << numAtoms << " atoms, " << numProps << " properties\n";
    for (const auto& [kind, n] : byKind) {
        std::string label = kind >= 0 && kind <= 12 ? kKinds[kind] : kind == 99 ? "other" : "not evaluated";
        out << "  kind " << kind << " " << label << ": " << n << "\n";
    }
    out << "  names " << numAllNames << " (male " << numAllMale << ", female " << numAllFemale << "), groups "
        << numAllGenNames << " (male " << numAllMaleGen << ", female " << numAllFemaleGen << ")\n";
    if (!asserts.prompts.empty()) out << "  assertions while reading: " << asserts.prompts.size() << "\n";
    text = out.str();
    return asserts.prompts.empty();
}

// ============================================================================
// Command line
// ============================================================================

bool SourceFiles(const std::string& dir, std::vector<std::string>& files, Failure& failure) {
    files.clear();
    std::string list = dir + "/FILES";
    std::ifstream in(list, std::ios::binary);
    if (!in) {
        failure = Failure{{list, 0}, "cannot be read"};
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::string line : SplitLines(bytes)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        files.push_back(dir + "/" + line.substr(start));
    }
    if (files.empty()) {
        failure = Failure{{list, 0}, "lists no source file"};
        return false;
    }
    return true;
}

int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const char* usage =
        "usage: makedb --out DIR SOURCE...   compile the sources, in this order, into\n"
        "                                    DIR/Talv1Dat.bin and DIR/Orsa1Dat.bin\n"
        "       makedb --out DIR --data SRCDIR   the same for the files SRCDIR/FILES lists\n"
        "       makedb --check FILE          load FILE with the program's reader and\n"
        "                                    print its counts by kind\n";
    if (auto end = ToolArgs::EndEarly(args, usage, {"--out DIR", "--data SRCDIR", "--check FILE"}, out, err))
        return *end;
    if (args.size() == 2 && args[0] == "--check") {
        std::string text;
        bool ok = CheckFile(args[1], text);
        (ok ? out : err) << text << (text.empty() || text.back() == '\n' ? "" : "\n");
        return ok ? 0 : 1;
    }
    std::vector<std::string> sources;
    if (args.size() >= 3 && args[0] == "--out") sources.assign(args.begin() + 2, args.end());
    const bool data = sources.size() == 2 && sources[0] == "--data";
    // An option among the sources is a mistyped command line, never a file.
    if (sources.empty() || (!data && std::any_of(sources.begin(), sources.end(),
                                                 [](const std::string& s) { return s.size() > 1 && s[0] == '-'; }))) {
        err << usage;
        return 2;
    }
    // A run that fails leaves DIR as it was: the files there stay older than
    // the sources, so the build runs the compiler again.
    Outputs outputs(args[1], {"Talv1Dat.bin", "Orsa1Dat.bin"});
    auto refuse = [&](const Failure& f) {
        err << "makedb: " << f.Text() << "\n";
        return 1;
    };
    Failure f;
    if (data) {
        const std::string folder = sources[1];  // sources becomes the list of its files
        if (!SourceFiles(folder, sources, f)) return refuse(f);
    }
    Compiler c;
    for (const std::string& s : sources)
        if (!c.AddFile(s)) return refuse(c.failure());
    if (!outputs.Open(f)) return refuse(f);
    std::string written;
    for (std::size_t e = 0; e < 2; ++e) {
        // Built afresh for each file, in the text language of its edition:
        // verifying leaves the file's contents in the tables.
        if (!c.Build(e == 0 ? 1 : 0)) return refuse(c.failure());
        if (!WriteAndVerify(outputs.Temp(e), EditionHeader(e == 0), f)) {
            f.where.file = outputs.Final(e);
            return refuse(f);
        }
        written += "makedb: " + outputs.Final(e) + ": " + std::to_string(numAtoms) + " atoms, " +
                   std::to_string(numProps) + " properties\n";
    }
    if (!outputs.Commit(f)) return refuse(f);
    out << written;
    return 0;
}

}  // namespace MakeDb
