#include "UserFileMerge.h"

#include <functional>

#include "Atom.h"
#include "Basic.h"
#include "BinFile.h"
#include "DataBase.h"
#include "Errors.h"
#include "FileOp.h"
#include "Parser.h"
#include "UserFile.h"

namespace DataBase {

namespace {

constexpr const char* kCrLf = "\r\n";

// Stand-ins that no name's records equal: in the base of this run's names, a
// name of the file that this run could not read (it is not this run's to
// keep); in the base of the file, a name whose version in the file is not
// this run's (taken from another run's file, or left out because another
// run deleted it), so that the file's version stays until this run changes
// the name.
const std::string kUnread = "\x01";
const std::string kTaken = "\x02";

// What this run last knew: the file's names and its bytes when this run read
// or wrote it, and this run's own names then.
struct Base {
    std::string path;
    UserEntries file, mine;
    std::size_t fileHash = 0;
} base;

std::string Upper(std::string_view name) { return Basic::UpperAscii(name); }

bool Same(const std::string* a, const std::string* b) { return a ? b && *a == *b : !b; }

struct Record {
    std::string name;
    std::vector<std::string> lines;
};

std::string RecordText(const Record* r) {
    if (!r) return {};
    std::string out = "/* -- " + r->name + " -- */" + kCrLf;
    for (const std::string& line : r->lines) out += line + kCrLf;
    return out + kCrLf;
}

// The name of a record's marker line "/* -- naAnna -- */"; false for any
// other line, and broken set for a comment that begins as a marker and is
// none (the reader refuses such a file).
bool Marker(const std::string& line, std::string& name, bool& broken) {
    Parser::Scanner scan;
    scan.ScanStart(line);
    int type = 0;
    std::string text;
    scan.NextToken(type, text);
    if (type != Parser::kTokComment || !Basic::EqualsNoCaseAscii(Basic::Left(text, 4), " -- ")) return false;
    broken = !MarkerName(text, name);
    return !broken;
}

// The atom value of a property line of the kind: "prop(prGenName,naAnna,
// gnAnna)." gives "gnAnna" for prGenName, any other line "".
std::string AtomValue(const std::string& line, std::string_view kind) {
    PropLine pl;
    if (ParsePropLine(line, pl) != LineKind::Prop || pl.isString || !Basic::EqualsNoCaseAscii(pl.kind, kind)) return {};
    return pl.value;
}

std::string FirstValue(const Record* r, std::string_view kind) {
    if (r)
        for (const std::string& line : r->lines)
            if (std::string v = AtomValue(line, kind); !v.empty()) return v;
    return {};
}

std::string SetName() { return seUserNames && seUserNames != nothingAtom ? seUserNames->name() : "seUserNames"; }

// The members of seUserNames in order, as the writer writes them (a member
// listed twice twice). Collected first: writing never changes the set, but
// the list must not be walked with the atom's one cursor.
std::vector<atom*> Members() {
    std::vector<atom*> members;
    if (!seUserNames || seUserNames == nothingAtom) return members;
    for (const Prop* p : seUserNames->props())
        if (p->proper() == prMember && p->kind() != 1 && p->atomVal() && p->atomVal() != nothingAtom)
            members.push_back(p->atomVal());
    return members;
}

// The file's names and a hash of its lines; the error number as
// UserEntriesOfFile gives it.
int ReadEntries(const std::string& path, UserEntries& out, std::size_t& hash) {
    out = {};
    std::vector<std::string> lines;
    if (int err = FileOp::ReadTextLines(path, lines)) return err;
    std::string all;
    for (const std::string& line : lines) all += line + '\n';
    hash = std::hash<std::string>{}(all);

    std::unordered_map<std::string, Record> records;  // the last record of each name
    bool broken = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (!Marker(lines[i], name, broken)) {
            if (broken) return kStructError;
            continue;
        }
        Record r{name, {}};
        while (++i < lines.size() && !lines[i].empty()) r.lines.push_back(lines[i]);
        records[Upper(name)] = std::move(r);
    }
    if (records.empty()) return 0;
    auto find = [&](const std::string& name) -> const Record* {
        auto it = records.find(Upper(name));
        return it == records.end() ? nullptr : &it->second;
    };
    const Record* set = find(SetName());
    if (!set) return kStructError;
    for (const std::string& line : set->lines) {
        const std::string m = AtomValue(line, "prMember");
        if (m.empty() || out.Find(m)) continue;
        const Record* member = find(m);
        const Record* group = find(FirstValue(member, "prGenName"));
        const Record* origin = find(FirstValue(group, "prOrigin"));
        out.order.push_back(m);
        out.text.emplace(Upper(m), RecordText(group) + RecordText(origin) + RecordText(member));
    }
    return 0;
}

// The version of each name to write (null: none), and whether the file
// holds a version that it does not keep.
class Decide {
public:
    Decide(const UserEntries& mine, const UserEntries& theirs, bool known)
        : mine_(mine), theirs_(theirs), baseMine_(known ? base.mine : none_), baseFile_(known ? base.file : none_) {}

    const std::string* operator()(const std::string& name) {
        const std::string* m = mine_.Find(name);
        const std::string* t = theirs_.Find(name);
        if (Same(t, baseFile_.Find(name))) return m;  // not changed there
        if (Same(m, baseMine_.Find(name))) return t;  // changed there, not here
        if (!m) return t;  // deleted here, changed there since: the other run's work stays
        if (t && *t != *m) keepOther = true;
        return m;
    }
    bool keepOther = false;

private:
    static inline const UserEntries none_{};
    const UserEntries &mine_, &theirs_, &baseMine_, &baseFile_;
};

}  // namespace

const std::string* UserEntries::Find(const std::string& name) const {
    auto it = text.find(Upper(name));
    return it == text.end() ? nullptr : &it->second;
}

UserEntries UserEntriesOfDatabase() {
    UserEntries e;
    for (atom* m : Members()) {
        if (e.Find(m->name())) continue;
        std::string records;
        WriteUserMember(records, m);
        e.order.push_back(m->name());
        e.text.emplace(Upper(m->name()), std::move(records));
    }
    return e;
}

int UserEntriesOfFile(const std::string& path, UserEntries& out) {
    std::size_t hash = 0;
    return ReadEntries(path, out, hash);
}

void NoteUserFileRead(const std::string& path) {
    base = {};
    base.path = path;
    base.mine = UserEntriesOfDatabase();
    if (ReadEntries(path, base.file, base.fileHash) != 0) base.file = {};
    for (const std::string& name : base.file.order)
        if (!base.mine.Find(name)) base.mine.text.emplace(Upper(name), kUnread);
}

MergedUserNames MergeUserNames(const std::string& path) {
    MergedUserNames out;
    out.mine = UserEntriesOfDatabase();
    UserEntries theirs;
    std::size_t hash = 0;
    const int err = ReadEntries(path, theirs, hash);
    const bool known = base.path == path;
    // A missing file, or one that cannot be read, gets this run's names (as
    // every save did before runs merged); so does a damaged file this run
    // has read as it is.
    const bool merge = err == 0;
    if (err != 0 && err != FileOp::kErrFileNotFound)
        Errors::LogEntry("DataBase", "MergeUserNames", path + ":" + std::to_string(err));
    Decide decide(out.mine, theirs, known);
    out.keepOther = err >= kStructError && !(known && hash == base.fileHash);

    std::vector<std::string> extra;  // names of the other run's file only
    for (const std::string& name : out.mine.order)
        if (const std::string* r = merge ? decide(name) : out.mine.Find(name)) {
            out.written.order.push_back(name);
            out.written.text.emplace(Upper(name), *r);
        }
    if (merge)
        for (const std::string& name : theirs.order)
            if (!out.mine.Find(name))
                if (const std::string* r = decide(name)) {
                    extra.push_back(name);
                    out.written.order.push_back(name);
                    out.written.text.emplace(Upper(name), *r);
                }
    out.keepOther = out.keepOther || decide.keepOther;

    if (!seUserNames || seUserNames == nothingAtom) return out;
    std::string& text = out.records;
    text += "/* -- " + SetName() + " -- */" + kCrLf;
    for (const Prop* p : seUserNames->props()) {
        const bool member = p->proper() == prMember && p->kind() != 1;
        if (member && p->atomVal() && p->atomVal() != nothingAtom && !out.written.Find(p->atomVal()->name())) continue;
        WriteUserProp(text, seUserNames, p);
    }
    for (const std::string& name : extra) text += "prop(" + prMember->name() + "," + SetName() + "," + name + ")." + kCrLf;
    text += kCrLf;
    for (atom* m : Members())
        if (const std::string* r = out.written.Find(m->name())) text += *r;
    for (const std::string& name : extra) text += *out.written.Find(name);
    return out;
}

void NoteUserFileWritten(const std::string& path, MergedUserNames&& merged) {
    base.path = path;
    UserEntries asWritten;
    if (ReadEntries(path, asWritten, base.fileHash) != 0) base.fileHash = 0;
    // A name whose version in the file is not this run's keeps the file's
    // version until this run changes it.
    base.file = {};
    auto note = [&](const std::string& name) {
        const std::string* m = merged.mine.Find(name);
        const std::string* r = merged.written.Find(name);
        if (!Same(m, r))
            base.file.text[Upper(name)] = kTaken;
        else if (r)
            base.file.text[Upper(name)] = *r;
    };
    for (const std::string& name : merged.mine.order) note(name);
    for (const std::string& name : merged.written.order) note(name);
    base.mine = std::move(merged.mine);
}

}  // namespace DataBase
