// Malformed database files, written byte by byte: each is refused with error
// 1000 (message 33), none crashes the reader or overruns a table, and the
// database is left empty.
#include <algorithm>
#include <optional>

#include "DbTestUtil.h"
#include "Fakes.h"

using namespace dbtest;
using namespace DataBase;

namespace {

struct RawProp {
    int32_t proper;
    int16_t kind;
    int32_t value = 0;
    std::string str;
};

struct RawAtom {
    int32_t id = 0;
    std::string name;
    std::vector<RawProp> block{};    // "po" atoms only
    int32_t blockEndDelta = 0;       // added to the true end position
    std::optional<int> blockCount{}; // instead of block.size()
};

// A file described by its parts; every part can be spoilt on its own. An
// optional count or length stands instead of the true one.
struct RawFile {
    int headerZero = 0;
    std::optional<int> headerLen;
    std::string headerText = "Talvessin data";
    std::vector<std::string> names;
    std::vector<int32_t> ids;
    std::vector<RawAtom> atoms;
    std::vector<RawProp> props;  // a string "@pos" is the first "po" block's position
    std::vector<std::vector<int32_t>> lists;
    std::optional<int64_t> nameCount, idCount, atomCount, propCount, listCount;
    std::optional<int> listLen0;  // the first list's length
    int32_t filePosDelta = 0;
    std::vector<std::string> order{"*stringTab", "*idTab", "*atoms", "*prop", "*atomProp", "*end"};

    // The file's bytes; with spans, where the header and each section's name and count lie.
    std::vector<unsigned char> Bytes(std::vector<std::pair<size_t, size_t>>* spans = nullptr) const {
        dbtest::Bytes o;
        o.StrLen(headerLen.value_or(static_cast<int>(headerText.size())), headerText);
        o.I16(headerZero), o.I16(1), o.I16(2), o.I32(3), o.I32(4), o.Str("a"), o.Str("b");
        if (spans) spans->push_back({0, o.b.size()});
        int32_t blockPos = 0;
        auto prop = [&](const RawProp& p) {
            o.I32(p.proper);
            o.I16(p.kind);
            if (p.kind != 1) o.I32(p.value);
            if (p.kind != 0) o.Str(p.str == "@pos" ? std::to_string(blockPos + filePosDelta) : p.str);
        };
        for (const std::string& section : order) {
            if (spans) spans->push_back({o.b.size(), o.b.size() + 2 + section.size() + 4});
            o.Str(section);
            std::string s = Basic::UpperAscii(section);
            if (s == "*STRINGTAB") {
                o.I32(nameCount.value_or(static_cast<int64_t>(names.size())));
                for (const auto& n : names) o.Str(n);
            } else if (s == "*IDTAB") {
                o.I32(idCount.value_or(static_cast<int64_t>(ids.size())));
                for (int32_t id : ids) o.I32(id);
            } else if (s == "*ATOMS") {
                o.I32(atomCount.value_or(static_cast<int64_t>(atoms.size())));
                for (const RawAtom& a : atoms) {
                    o.I32(a.id), o.Str(a.name), o.I16(99), o.I16(31999), o.I16(0), o.I16(31999), o.I16(99);
                    o.Str("S"), o.Str("U");
                    if (a.name.rfind("po", 0) == 0) {
                        if (!blockPos) blockPos = o.Pos();
                        size_t at = o.b.size();
                        o.I32(0);
                        o.I16(a.blockCount.value_or(static_cast<int>(a.block.size())));
                        for (const RawProp& p : a.block) prop(p);
                        o.Put32(at, o.Pos() + a.blockEndDelta);
                    }
                }
            } else if (s == "*PROP") {
                o.I32(propCount.value_or(static_cast<int64_t>(props.size())));
                for (const RawProp& p : props) prop(p);
            } else if (s == "*ATOMPROP") {
                o.I32(listCount.value_or(static_cast<int64_t>(lists.size())));
                for (size_t k = 0; k < lists.size(); ++k) {
                    o.I16(k == 0 && listLen0 ? *listLen0 : static_cast<int>(lists[k].size()));
                    for (int32_t id : lists[k]) o.I32(id);
                }
            }
        }
        return o.b;
    }
};

// The valid base: ids deliberately not in name order.
//   names: gnAnna naAnna poHit prFilePos prGenName prText
//   ids:   3      1      5     0         2         4
RawFile Base() {
    RawFile f;
    f.names = {"gnAnna", "naAnna", "poHit", "prFilePos", "prGenName", "prText"};
    f.ids = {3, 1, 5, 0, 2, 4};
    f.atoms = {{0, "prFilePos"}, {1, "naAnna"}, {2, "prGenName"}, {3, "gnAnna"}, {4, "prText"}, {5, "poHit"}};
    f.atoms[5].block = {{4, 1, 0, "Hit more"}, {2, 0, 3, ""}};
    f.props = {{4, 1, 0, "Anna"}, {2, 0, 3, ""}, {4, 1, 0, "Hit"}, {0, 1, 0, "@pos"}, {2, 2, 3, "both"}};
    f.lists = {{}, {0, 1}, {}, {0, 4}, {}, {2, 1, 3}};
    return f;
}

struct Case {
    const char* what;
    void (*spoil)(RawFile&);
};
#define S(what, ...) Case{what, [](RawFile& f) { __VA_ARGS__; }}

const std::vector<Case>& MalformedCases() {
    static const std::vector<Case> cases = {
        S("header zero field 1", f.headerZero = 1),
        S("header text length 1001", f.headerText = std::string(1001, 'h'), f.headerLen = 1001),
        S("header text length -1", f.headerLen = -1),
        S("name length 1001", f.names[5] = "prText" + std::string(995, 'x')),
        S("section name without its star", f.order[1] = "idTab"),
        S("unknown section", f.order.insert(f.order.begin() + 1, "*words")),
        S("empty section name", f.order.insert(f.order.begin() + 1, "")),
        S("section twice", f.order.insert(f.order.begin() + 1, "*stringTab")), S("no *end", f.order.pop_back()),
        S("name count -1", f.nameCount = -1), S("name count 100001", f.nameCount = 100001),
        S("name count 100000, beyond the table", f.nameCount = 100000),
        S("name count 25002, beyond the table", f.nameCount = 25002),
        S("name count larger than the names", f.nameCount = 7),
        S("names out of order", std::swap(f.names[0], f.names[1])),
        S("a name twice (other case)", f.names[1] = "GNANNA"), S("id count differs from the names", f.ids.pop_back()),
        S("id count 100001", f.idCount = 100001), S("id beyond the table", f.ids[0] = 6),
        S("negative id", f.ids[0] = -1), S("id twice", f.ids[0] = 1),
        S("ids that do not match the names", std::swap(f.ids[0], f.ids[1])),
        S("atom count differs from the names", f.atomCount = 5), S("atom count 100001", f.atomCount = 100001),
        S("atom id beyond the table", f.atoms[0].id = 6), S("atom id twice", f.atoms[0].id = 1),
        S("atom name not in the names", f.atoms[0].name = "prFilePosX"),
        S("*idTab before *stringTab", std::swap(f.order[0], f.order[1])),
        S("*atoms before *stringTab", f.order = {"*atoms", "*stringTab", "*idTab", "*prop", "*atomProp", "*end"}),
        S("names without *idTab", f.order.erase(f.order.begin() + 1)),
        S("*prop before *atoms", f.order = {"*stringTab", "*idTab", "*prop", "*atoms", "*atomProp", "*end"}),
        S("*atomProp before *prop", f.order = {"*stringTab", "*idTab", "*atoms", "*atomProp", "*prop", "*end"}),
        S("property count -1", f.propCount = -1), S("property count 200001", f.propCount = 200001),
        S("property count 150002, beyond the table", f.propCount = 150002),
        S("property count larger than the records", f.propCount = 6),
        // Counts the tables could hold but the bytes left in the file cannot:
        // refused before anything is reserved for them.
        S("name count 25001, beyond the file", f.nameCount = 25001),
        S("property count 150001, beyond the file", f.propCount = 150001),
        S("block count 32767, beyond its block", f.atoms[5].blockCount = 32767),
        S("property kind atom beyond the atoms", f.props[0].proper = 6),
        S("negative property kind atom", f.props[0].proper = -7),
        S("value atom beyond the atoms", f.props[1].value = 6),
        S("value atom beyond the atoms, both values", f.props[4].value = 100),
        S("property string length 1001", f.props[0].str = std::string(1001, 's')),
        S("list count beyond the atoms", f.lists.push_back({})), S("list count 200001", f.listCount = 200001),
        S("property id beyond *prop", f.lists[1][0] = 5), S("negative property id", f.lists[1][0] = -1),
        S("negative list length", f.listLen0 = -1), S("list length beyond its ids", f.listLen0 = 3),
        S("block end before its records", f.atoms[5].blockEndDelta = -3),
        S("block end past its records", f.atoms[5].blockEndDelta = 2),
        S("block end beyond the file", f.atoms[5].blockEndDelta = 100000),
        S("block count negative", f.atoms[5].blockCount = -1),
        S("block count beyond its records", f.atoms[5].blockCount = 3),
        S("block record with an atom beyond the table", f.atoms[5].block[1].value = 6),
        S("prFilePos pointing elsewhere", f.filePosDelta = 1), S("hit parade without prFilePos", f.lists[5] = {2, 1}),
        // An atom counts as loaded once it has four properties: a block it
        // could never reach that count with, or one beside four listed
        // properties, would be read again on every load or never.
        S("hit parade block too short for its list", f.lists[5] = {2, 3}, f.atoms[5].block.pop_back()),
        S("hit parade block beside four listed properties", f.lists[5] = {2, 1, 0, 3}),
        // The writer gives a hit parade one prFilePos of its own: another
        // would be lost by the next write.
        S("hit parade block holding a prFilePos", f.atoms[5].block[0].proper = 0),
        S("hit parade listing prFilePos twice", f.lists[5] = {2, 3, 3}),
    };
    return cases;
}

}  // namespace

TEST(BinFileMalformed, TheValidBaseIsRead) {
    std::string path = TempFile("a");
    WriteBytes(path, Base().Bytes());
    DbStatus st = ReadBinFile(path);
    ASSERT_TRUE(st.ok) << st.detail;
    EXPECT_EQ(GetAtom("NAANNA")->Text(), "Anna");
    EXPECT_EQ(GetAtom("naAnna")->props()[1]->atomVal(), GetAtom("gnAnna"));
    EXPECT_TRUE(GetAtom("poHit")->LoadOnDemand());
    EXPECT_EQ(GetAtom("poHit")->props().at(3)->strVal(), "Hit more");
    // What passes the checks: the longest strings, capital section names, an
    // unknown property kind read as 2.
    RawFile f = Base();
    f.headerText = std::string(1000, 'h');
    f.order[1] = "*IDTAB";
    f.props[4].kind = 7;
    WriteBytes(path, f.Bytes());
    ASSERT_TRUE(ReadBinFile(path).ok);
    EXPECT_EQ(GetAtom("gnAnna")->props()[1]->kind(), 2);
    std::remove(path.c_str());
}

TEST(BinFileMalformed, EachIsRefusedWithMessage33) {
    std::string path = TempFile("a");
    for (const Case& c : MalformedCases()) {
        RawFile f = Base();
        c.spoil(f);
        WriteBytes(path, f.Bytes());
        RecordingObserver obs;
        DbStatus st = ReadBinFile(path, &obs);
        EXPECT_FALSE(st.ok) << c.what;
        EXPECT_EQ(std::pair(st.Message(), st.path), std::pair(kMsgStructError, path)) << c.what;
        EXPECT_EQ(obs.failures.size(), 1u) << c.what;
        EXPECT_FALSE(loading) << c.what;
        EXPECT_EQ(numAtoms + numStrings, 0) << c.what;
    }
    std::remove(path.c_str());
}

TEST(BinFileMalformed, EveryTruncationIsRefused) {
    std::string path = TempFile("a");
    std::vector<unsigned char> full = Base().Bytes();
    for (size_t n = 0; n < full.size(); ++n) {
        WriteBytes(path, std::vector<unsigned char>(full.begin(), full.begin() + static_cast<long>(n)));
        DbStatus st = ReadBinFile(path);
        EXPECT_FALSE(st.ok) << n;
        EXPECT_EQ(st.error, kStructError) << n;
    }
    std::remove(path.c_str());
}

TEST(BinFileMalformed, NoSingleByteChangeCrashesTheReader) {
    // Each byte of the header and of each section's name and count, and every
    // 7th byte besides, set to a few telling values: the reader refuses the
    // file with error 1000 or accepts it and stays within its tables.
    std::string path = TempFile("a");
    std::vector<std::pair<size_t, size_t>> spans;
    std::vector<unsigned char> full = Base().Bytes(&spans);
    const unsigned char values[] = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    int accepted = 0, refused = 0;
    for (size_t i = 0; i < full.size(); ++i) {
        auto inSpan = [i](const auto& s) { return i >= s.first && i < s.second; };
        if (i % 7 != 0 && std::none_of(spans.begin(), spans.end(), inSpan)) continue;
        for (unsigned char v : values) {
            if (full[i] == v) continue;
            std::vector<unsigned char> bad = full;
            bad[i] = v;
            WriteBytes(path, bad);
            DbStatus st = ReadBinFile(path);
            EXPECT_TRUE(st.ok || st.error == kStructError) << i;
            (st.ok ? accepted : refused)++;
            for (atom* a : st.ok ? atomTab : Table<atom*>{}) {
                (void)(a->Text() + a->Descr());
                if (a->LoadedOnDemand()) (void)LoadOnDemandStatus(*a);
            }
        }
    }
    // Bytes of texts and of the uninterpreted header fields may change freely.
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
    std::remove(path.c_str());
}
