#include "UserFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Basic.h"
#include "BinFile.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "Errors.h"
#include "FileLock.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "NewNames.h"
#include "Parser.h"
#include "Services.h"
#include "TextConstants.h"
#include "UserFileMerge.h"

namespace DataBase {

bool userNamesChanged = false;
std::string pendingUserBackup;
std::string lastUserBackup;

namespace {

constexpr const char* kCrLf = "\r\n";

bool FileExists(const std::string& programPath) {
    struct stat st{};
    return ::stat(FileOp::Native(programPath).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string TwoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// A name the reader may take for an atom: letters and digits only, and never
// the name of the "nothing" atom, which stands for no atom and is in no table.
bool UsableName(const std::string& name) {
    if (name.empty() || Basic::EqualsNoCaseAscii(name, "nothing")) return false;
    for (char c : name)
        if (!Parser::IsLetterOrDigit(std::string(1, c))) return false;
    return true;
}

// Shows the failure of a read or write: a disk error by its number, a
// malformed file as message 33.
void ShowReadFailure(const std::string& path, int error) {
    if (error >= 1000) {
        GenMsg::ShowMsg(GenMsg::GMstructError, GenMsg::kCritical, path);
    } else {
        bool retry = false;
        GenMsg::ShowDiskError(path, false, retry, error);
    }
}

// The note that a file was kept aside (msg: why), logged as well.
void ShowBackupNote(const std::string& backupPath, int msg = kMsgUserFileBackup) {
    bool english = TextConstants::textLanguage != 0;
    std::string entry = GenMsg::Entry(msg, english);
    const int msgClass = msg == kMsgUserFileBackup ? GenMsg::kInformation : GenMsg::kExclamation;
    GenMsg::Composed c = GenMsg::Compose(entry, msg, msgClass, backupPath, 0, english);
    Errors::LogEntry("DataBase", "UserFile", c.message.text);
    Services::Messages().ShowMessage(c.message);
}

// Tells how the copy of the file at path went: its note, or the disk error of
// the copy that could not be made. The copy's path, or "".
std::string ReportCopy(const std::string& path, const std::string& copy, int err) {
    if (copy.empty()) {
        bool retry = false;
        GenMsg::ShowDiskError(path + ".bak", false, retry, err ? err : FileOp::kErrInternal);
        return copy;
    }
    lastUserBackup = copy;
    if (pendingUserBackup == path) pendingUserBackup.clear();
    ShowBackupNote(copy);
    return copy;
}

// Makes the pending backup; false (with its disk error shown) when it fails.
bool EnsureBackup() {
    if (pendingUserBackup.empty()) return true;
    int err = 0;
    const std::string path = pendingUserBackup;
    const std::string copy = BackUpUserFile(path, err);
    return !ReportCopy(path, copy, err).empty();
}

// What a read or a save has to tell the user. It is told once the file's
// lock is given back: a message waiting on the user never keeps another
// run's save waiting on the lock.
using Told = std::vector<std::function<void()>>;

void TellAll(const Told& told) {
    for (const auto& tell : told) tell();
}

// What a read of a file in the text form of the database came to.
struct TextRead {
    int openError = 0;     // the file could not be opened: nothing was read
    bool ok = false;       // the whole file was read
    bool leftOut = false;  // records of it were left out or not reached
    bool cut = false;      // texts were cut to the new-names window's lengths
    Told told;             // the messages of what it found
    // Whether the file holds what the database did not take from it: then
    // it is kept aside before a save can replace it.
    bool NeedsCopy() const { return openError != 0 || !ok || leftOut; }
};

// Reads the file (see ReadTextFile) without a word: what it has to tell is
// in told.
TextRead ReadTextQuietly(const std::string& path);

// Reads the whole file at path (a program path) into bytes; 0 or the error
// number.
int ReadBytes(const std::string& path, std::string& bytes) {
    FileOp::InputFile in;
    if (int err = in.Open(FileOp::Native(path))) return err;
    bytes.clear();
    char buf[65536];
    for (;;) {
        std::size_t n = in.Read(buf, sizeof buf);
        bytes.append(buf, n);
        if (n < sizeof buf) break;
    }
    return in.Error();
}

}  // namespace

std::string UserFileName() { return TextConstants::LangText("Orsa1User.txt", "Talv1User.txt"); }

std::string UserFileTitle() { return TextConstants::LangText("Eigene Namen", "New Names"); }

// ============================================================================
// Reading
// ============================================================================

void ReadUserFile() {
    const std::string folder = LowLevel::DocumentsFolderOrEmpty();
    if (folder.empty()) return;
    const std::string path = folder + "/" + UserFileName();
    for (;;) {
        TextRead read;
        std::string copy;
        int copyError = 0;
        {
            // Another run's save waits until this run has read the file and
            // noted what it read: what it changes later is told against that.
            FileOp::FileLock lock(FileOp::Native(path));
            if (!FileExists(path)) return NoteUserFileRead(path);
            read = ReadTextQuietly(path);
            if (read.ok) CountKinds();
            NoteUserFileRead(path);
            // The records that were not read would be lost by the next save,
            // which writes the whole file from what is in the database: the
            // file is kept aside first, as it is now.
            if (read.openError == 0 && read.NeedsCopy()) copy = BackUpUserFile(path, copyError);
        }
        if (read.openError != 0) {
            bool retry = false;
            GenMsg::ShowDiskError(path, true, retry, read.openError);
            if (retry) continue;
            FileOp::FileLock lock(FileOp::Native(path));
            copy = BackUpUserFile(path, copyError);
        }
        TellAll(read.told);
        if (!read.NeedsCopy()) return;
        // A save does not replace the file before its copy exists.
        pendingUserBackup = path;
        ReportCopy(path, copy, copyError);
        return;
    }
}

bool MarkerName(const std::string& comment, std::string& name) {
    if (comment.size() < 9 || comment.compare(comment.size() - 4, 4, " -- ") != 0) return false;
    name = comment.substr(4, comment.size() - 8);
    return UsableName(name);
}

// A line that starts with the identifier prop must follow the grammar to its
// closing ")." (every line the program writes ends so): a line cut short,
// such as prop(prText,naAnna,"Ann of a file cut off, is broken, never read
// as complete.
LineKind ParsePropLine(const std::string& line, PropLine& out) {
    Parser::Scanner scan;
    scan.ScanStart(line);
    int type = 0;
    std::string text;
    scan.NextToken(type, text);
    if (type != Parser::kTokIdent || text != "prop") return LineKind::NotProp;

    auto expect = [&](int wanted, std::string& got) {
        scan.NextToken(type, got);
        return type == wanted;
    };
    std::string punct;
    if (!expect(Parser::kTokOpen, punct) || !expect(Parser::kTokIdent, out.kind) || !expect(Parser::kTokComma, punct) ||
        !expect(Parser::kTokIdent, out.atomName) || !expect(Parser::kTokComma, punct))
        return LineKind::Broken;
    scan.NextToken(type, out.value);
    if (type != Parser::kTokIdent && type != Parser::kTokString) return LineKind::Broken;
    out.isString = type == Parser::kTokString;
    // An unclosed string runs to the end of the line: no ")" follows it.
    if (!expect(Parser::kTokClose, punct) || !expect(Parser::kTokPeriod, punct)) return LineKind::Broken;
    if (!UsableName(out.kind) || (!out.isString && !UsableName(out.value))) return LineKind::Broken;
    return LineKind::Prop;
}

namespace {

// The longest string the new-names window lets a user enter for a property
// of this kind: a name 35 characters, any other text 1000.
std::size_t MaxTextLength(const atom* kind) {
    return kind == prText || kind == prTextE ? NewNames::kMaxName : NewNames::kMaxInfo;
}

}  // namespace

bool ProcessUserLine(atom& a, const std::string& line, bool* cut) {
    PropLine pl;
    switch (ParsePropLine(line, pl)) {
    case LineKind::NotProp: return true;
    case LineKind::Broken: return false;
    case LineKind::Prop: break;
    }
    if (pl.atomName != a.name()) return false;
    atom* kind = GetAtom(pl.kind);
    if (kind == nothingAtom) return false;
    atom* valueAtom = nullptr;
    if (!pl.isString) {
        valueAtom = GetAtom(pl.value);
        if (valueAtom == nothingAtom) return false;
        pl.value.clear();
    } else if (pl.value.size() > MaxTextLength(kind)) {
        // A text longer than the window allows (a name of megabytes hangs the
        // windows that lay it out) is taken as far as the window would.
        pl.value = NewNames::Cut(pl.value, MaxTextLength(kind));
        if (cut) *cut = true;
    }
    a.AddProp(FindOrCreateProp(kind, valueAtom, pl.value, true));
    return true;
}

namespace {

// One record of a text file as read: its atom's name, the line number of its
// marker, and its lines with their line numbers in the file.
struct TextRecord {
    std::string name;
    int markerLine = 0;
    std::vector<std::pair<int, std::string>> lines;
};

// Reads the records of the open file up to its end or the first malformed
// marker (structError then set; the records before it are kept). 0, or the
// error number of a failed read: then nothing read may be used.
int ReadRecords(FileOp::InputFile& in, std::vector<TextRecord>& records, bool& structError) {
    structError = false;
    std::string line;
    int lineNo = 0;
    bool more = in.ReadLine(line);
    if (more) ++lineNo;
    while (more) {
        Parser::Scanner scan;
        scan.ScanStart(line);
        int type = 0;
        std::string text;
        scan.NextToken(type, text);
        if (type != Parser::kTokComment || !Basic::EqualsNoCaseAscii(Basic::Left(text, 4), " -- ")) {
            Services::Events().DoEvents();
            if ((more = in.ReadLine(line))) ++lineNo;
            continue;
        }
        // A record: its lines run up to the next empty line or the end.
        TextRecord r;
        r.markerLine = lineNo;
        if (!MarkerName(text, r.name)) {
            structError = true;
            break;
        }
        while ((more = in.ReadLine(line))) {
            ++lineNo;
            if (line.empty()) break;
            r.lines.emplace_back(lineNo, line);
        }
        records.push_back(std::move(r));
        Services::Events().DoEvents();
        if (more && (more = in.ReadLine(line))) ++lineNo;
    }
    return in.Error();
}

// How many names the record would add to the name table: its atom's and
// those of the kinds and values its lines name, each once, that the table
// does not hold yet. Asked while no lookup creates atoms.
int32_t NamesToAdd(const TextRecord& r) {
    auto less = [](const std::string& x, const std::string& y) { return CompareNames(x, y) < 0; };
    std::set<std::string, decltype(less)> added(less);
    auto count = [&](const std::string& name) {
        if (GetAtom(name) == nothingAtom) added.insert(name);
    };
    count(r.name);
    for (const auto& line : r.lines) {
        PropLine pl;
        if (ParsePropLine(line.second, pl) != LineKind::Prop) continue;
        count(pl.kind);
        if (!pl.isString) count(pl.value);
    }
    return static_cast<int32_t>(added.size());
}

// A group as the kinds will be evaluated: a member of the male or female
// names, directly or through the group it is a writing variant of; an atom
// from before the read keeps the kind it has.
bool IsGroup(const atom* g, int32_t startId, int depth = 0) {
    if (!g || g == nothingAtom) return false;
    if (g->id() < startId) return g->kind() == 2 || g->kind() == 3;
    for (const Prop* p : g->props())
        if (p->proper() == prSubsetOf && (p->atomVal() == seMaleNames || p->atomVal() == seFemaleNames)) return true;
    if (depth < 8)
        for (const Prop* p : g->props())
            if (p->proper() == prWriteVarOf && IsGroup(p->atomVal(), startId, depth + 1)) return true;
    return false;
}

bool IsDatabaseLink(const atom* a, int32_t startId) { return a && a->id() < startId && a->kind() == 12; }

// The property by which a would be a link entry: a member of the links, or
// a writing variant (which inherits that membership) of a link; null when
// there is none.
const Prop* LinkMaking(const atom* a, int32_t startId, int depth = 0) {
    if (!a || a == nothingAtom || !seLinks || seLinks == nothingAtom) return nullptr;
    for (const Prop* p : a->props()) {
        if (p->proper() == prMemberOf && p->atomVal() == seLinks) return p;
        if (p->proper() == prWriteVarOf && depth < 8 &&
            (IsDatabaseLink(p->atomVal(), startId) || LinkMaking(p->atomVal(), startId, depth + 1)))
            return p;
    }
    return nullptr;
}

// The line of record r that states p (the first line naming its kind and
// its value); the marker's line when none does.
int LineOf(const TextRecord& r, const Prop* p) {
    const std::string kind = p->proper() ? std::string(p->proper()->name()) : std::string();
    const std::string value = p->atomVal() ? std::string(p->atomVal()->name()) : std::string();
    for (const auto& [lineNo, text] : r.lines)
        if (text.find(kind) != std::string::npos && text.find(value) != std::string::npos) return lineNo;
    return r.markerLine;
}

// The line at which the record of a cannot be taken; 0 when it can. A name
// whose group is no group is left out; so is every record that would change
// a link entry of the database or make a new one: the addresses the program
// hands to the desktop come only with the database.
int DamagedLine(const atom* a, const TextRecord& r, int32_t startId) {
    if (IsDatabaseLink(a, startId)) return r.markerLine;
    if (const Prop* p = LinkMaking(a, startId)) return LineOf(r, p);
    for (const Prop* p : a->props())
        if (p->proper() == prGenName && !IsGroup(p->atomVal(), startId)) return LineOf(r, p);
    return 0;
}

// The message of the records left out: the file and the lines at fault.
void ShowSkippedRecords(const std::string& path, const std::vector<int>& lines) {
    std::string where = path + ", " + TextConstants::LangText(lines.size() == 1 ? "Zeile " : "Zeilen ",
                                                              lines.size() == 1 ? "line " : "lines ");
    for (std::size_t i = 0; i < lines.size() && i < 5; ++i) where += (i ? ", " : "") + std::to_string(lines[i]);
    if (lines.size() > 5) where += " ...";
    Errors::LogEntry("DataBase", "ReadTextFile", "skipped " + where);
    GenMsg::ShowMsg(kMsgUserRecordDamaged, GenMsg::kExclamation, where);
}

// The message of the texts cut to the window's lengths: "1 text", "3 texts".
void ShowCutTexts(const std::string& path, int count) {
    const std::string n = std::to_string(count);
    const std::string what = count == 1 ? TextConstants::LangText("1 Text", "1 text")
                                        : n + TextConstants::LangText(" Texte", " texts");
    Errors::LogEntry("DataBase", "ReadTextFile", path + ": cut " + n);
    GenMsg::ShowMsg(kMsgUserTextCut, GenMsg::kExclamation, what);
}

// A record applied, with what its atom held before, so that a record found
// damaged later can be left out as if it had not been there.
struct Applied {
    atom* a;
    std::vector<Prop*> before;
    const TextRecord* record;
};

// What applying the records found.
struct ApplyOutcome {
    int error = 0;        // kStructError at a line that breaks the grammar
    bool noRoom = false;  // stopped before the record that found the table full
    int cutTexts = 0;
};

// Applies the records in order, up to the first line that breaks the grammar
// or the first record for whose new names the table has no room (then that
// record and the rest are not applied).
ApplyOutcome ApplyRecords(const std::vector<TextRecord>& records, std::vector<Applied>& applied) {
    ApplyOutcome out;
    // A file of many new names adds them all before the table is read again.
    NameBatch batch;
    for (const TextRecord& r : records) {
        createOnLookup = false;
        // A record adds at most its own name and two per line: only near a
        // full table are its names counted one by one.
        const auto mostAdded = static_cast<int64_t>(1 + 2 * r.lines.size());
        if (nextId + mostAdded > kAtomIdLimit && nextId + NamesToAdd(r) > kAtomIdLimit) {
            out.noRoom = true;
            break;
        }
        createOnLookup = true;
        atom* a = GetAtom(r.name);
        if (a == nothingAtom) {
            out.error = kStructError;
            break;
        }
        applied.push_back({a, std::vector<Prop*>(a->props().begin(), a->props().end()), &r});
        // The file's copy replaces what the database or an earlier record gave.
        if (a->NumProp() > 0) a->DelAllProp();
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            if (i == 2 && a->LoadedOnDemand() && a->NumProp() == 2) a->CreateFilePosProp();
            bool cut = false;
            if (!ProcessUserLine(*a, r.lines[i].second, &cut)) {
                out.error = kStructError;
                break;
            }
            out.cutTexts += cut ? 1 : 0;
        }
        if (out.error != 0) break;
    }
    createOnLookup = false;
    return out;
}

// Leaves out the records that cannot be taken (DamagedLine): each atom keeps
// what it had before the file. Leaving one out may take the group-ness of
// another, so this runs until nothing changes; only the last record of an
// atom counts. Returns the lines at fault, in file order.
std::vector<int> LeaveOutDamaged(std::vector<Applied>& applied, int32_t startId) {
    std::vector<int> skippedLines;
    // The first and the last record of each atom, found once rather than by
    // a search per record (a file of many names).
    std::unordered_map<const atom*, std::pair<std::size_t, std::size_t>> firstLast;
    for (std::size_t i = 0; i < applied.size(); ++i) {
        auto [it, added] = firstLast.try_emplace(applied[i].a, i, i);
        if (!added) it->second.second = i;
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = applied.size(); i-- > 0;) {
            Applied& x = applied[i];
            if (!x.record) continue;
            const auto [first, last] = firstLast.at(x.a);
            if (last != i) continue;
            const int line = DamagedLine(x.a, *x.record, startId);
            if (line == 0) continue;
            x.a->DelAllProp();
            for (Prop* p : applied[first].before) x.a->AddProp(p);
            x.record = nullptr;
            skippedLines.push_back(line);
            changed = true;
        }
    }
    std::sort(skippedLines.begin(), skippedLines.end());
    return skippedLines;
}

// After a read that stopped for want of room: the user's names whose records
// were not reached leave the set of the user's names, so that a save writes
// what was read (the file itself is kept aside) and the next start has the
// room they took.
void DropUnreadUserNames(int32_t startId) {
    if (!seUserNames || seUserNames == nothingAtom) return;
    std::vector<Prop*> kept;
    for (Prop* p : seUserNames->props()) {
        const atom* m = p->atomVal();
        const bool unread = p->proper() == prMember && m && m->id() >= startId && m->NumProp() == 0;
        if (!unread) kept.push_back(p);
    }
    if (kept.size() == seUserNames->props().size()) return;
    seUserNames->DelAllProp();
    for (Prop* p : kept) seUserNames->AddProp(p);
}

TextRead ReadTextQuietly(const std::string& path) {
    TextRead out;
    FileOp::InputFile in;
    if ((out.openError = in.Open(FileOp::Native(path))) != 0) return out;

    // The whole file is read before anything of it is used: a file that
    // fails to read midway adds nothing to the database.
    std::vector<TextRecord> records;
    bool structError = false;
    int error = ReadRecords(in, records, structError);
    in.Close();
    auto failed = [&] {
        Errors::LogEntry("DataBase", "ReadTextFile", path + ":" + Basic::Str(error));
        out.told.push_back([path, error] { ShowReadFailure(path, error); });
        return out;
    };
    if (error != 0) return failed();

    const int32_t startId = numAtoms;
    std::vector<Applied> applied;
    const ApplyOutcome outcome = ApplyRecords(records, applied);
    error = outcome.error;
    // A malformed marker after the last record applied still fails the read;
    // one after the table filled up was never reached.
    if (error == 0 && structError && !outcome.noRoom) error = kStructError;
    if (error != 0) return failed();

    const std::vector<int> skippedLines = LeaveOutDamaged(applied, startId);
    if (outcome.noRoom) DropUnreadUserNames(startId);
    CompleteAtoms(startId);
    EvalKinds(startId);
    CountVariants(startId);
    AddLangOfProps(startId);
    // One message for each kind of trouble: records left out, texts cut, the
    // names that found no room (the new-names window's message).
    if (!skippedLines.empty()) out.told.push_back([path, skippedLines] { ShowSkippedRecords(path, skippedLines); });
    if (outcome.cutTexts > 0) out.told.push_back([path, n = outcome.cutTexts] { ShowCutTexts(path, n); });
    if (outcome.noRoom) {
        Errors::LogEntry("DataBase", "ReadTextFile", path + ": no room after " + std::to_string(applied.size()));
        out.told.push_back([] { GenMsg::ShowMsg(GenMsg::GMuserNoRoom, GenMsg::kExclamation, ""); });
    }
    out.ok = true;
    out.leftOut = !skippedLines.empty() || outcome.noRoom;
    out.cut = outcome.cutTexts > 0;
    return out;
}

}  // namespace

bool ReadTextFile(const std::string& path, const std::string& title, bool* skipped) {
    if (skipped) *skipped = false;
    if (!FileExists(path)) {
        GenMsg::ShowMsg(GenMsg::GMfileNotFound, 0, path + " (" + title + ")");
        return false;
    }
    for (;;) {
        TextRead read = ReadTextQuietly(path);
        if (read.openError != 0) {
            bool retry = false;
            GenMsg::ShowDiskError(path, true, retry, read.openError);
            if (retry) continue;
            return false;
        }
        TellAll(read.told);
        if (skipped) *skipped = read.leftOut || read.cut;
        return read.ok;
    }
}

// ============================================================================
// Writing
// ============================================================================

void WriteUserHeader(std::string& out) {
    Services::LocalTime t = Services::TheClock().Now();
    std::string stamp = TwoDigits(t.day) + "." + TwoDigits(t.month) + "." + std::to_string(t.year) + " " +
                        TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
    if (TextConstants::textLanguage != 0) {
        out += "/* Talvessin V1.3, UserNames G0  " + stamp + kCrLf;
        out += std::string("   New names, entered by the user in the window 'New Names'") + kCrLf;
        out += std::string("   *** Generated file - do not edit manually! ***  */") + kCrLf;
    } else {
        out += "/* Orsabrine V1.3, UserNames G0  " + stamp + kCrLf;
        out += std::string("   Eigene, durch den Anwender selbst erfasste Namen") + kCrLf;
        out += "   *** Generierte Datei - nicht manuell verändern! ***  */"_cp + kCrLf;
    }
    out += kCrLf;
}

void WriteUserProp(std::string& out, const atom* a, const Prop* p) {
    if (!a || !p) return;
    const atom* kind = p->proper();
    // A line without a kind could not be read back.
    if (!kind || kind == nothingAtom) return;
    std::string value;
    if (p->kind() == 0) {
        const atom* v = p->atomVal();
        if (!v || v == nothingAtom) return;
        value = v->name();
    } else {
        Errors::Assert(p->kind() == 1, "WriteUserProp p.kind");
        if (kind == prMember) return;
        // A string holds no double quote and no line end, or the line could
        // not be read back; the new-names window never stores either.
        std::string s = p->strVal();
        for (char& c : s) {
            if (c == '"') c = '\'';
            else if (c == '\r' || c == '\n') c = ' ';
        }
        value = "\"" + s + "\"";
    }
    out += "prop(" + kind->name() + "," + a->name() + "," + value + ")." + kCrLf;
}

void WriteAtomRecord(std::string& out, atom* a) {
    if (!a || a == nothingAtom) return;
    out += "/* -- " + a->name() + " -- */" + kCrLf;
    for (const Prop* p : a->props()) WriteUserProp(out, a, p);
    out += kCrLf;
}

void WriteUserMember(std::string& out, atom* member) {
    if (!member || member == nothingAtom) return;
    atom* group = nothingAtom;
    if (Prop* g = member->FirstProp(prGenName)) group = g->atomVal();
    atom* origin = nothingAtom;
    if (group != nothingAtom)
        if (Prop* o = group->FirstProp(prOrigin)) origin = o->atomVal();
    WriteAtomRecord(out, group);
    WriteAtomRecord(out, origin);
    WriteAtomRecord(out, member);
}

namespace {

// One save of the file under its lock: the database merged with what another
// run saved since, and written. Nothing is asked or shown meanwhile: a
// failure comes back as its error number with the message's argument.
struct Saved {
    int error = 0;
    std::string errorArg;
    bool canRetry = true;
    std::string copy;  // the other run's file kept aside
};

Saved SaveUnderLock(const std::string& path) {
    Saved out;
    FileOp::FileLock lock(FileOp::Native(path));
    MergedUserNames merged = MergeUserNames(path);
    if (merged.keepOther) {
        int err = 0;
        out.copy = BackUpUserFile(path, err);
        if (out.copy.empty()) {
            out.error = err ? err : FileOp::kErrInternal;
            out.errorArg = path + ".bak";
            out.canRetry = false;
            return out;
        }
    }
    std::string text;
    WriteUserHeader(text);
    text += merged.records;
    if ((out.error = FileOp::WriteFileAtomically(FileOp::Native(path), text)) != 0) {
        out.errorArg = path;
        return out;
    }
    NoteUserFileWritten(path, std::move(merged));
    return out;
}

}  // namespace

bool WriteUserFile(std::string& path) {
    path = UserFileName();
    const std::string folder = LowLevel::DocumentsFolderOrEmpty();
    if (folder.empty()) return false;
    path = folder + "/" + UserFileName();
    // An unread file is never replaced before its copy exists.
    if (pendingUserBackup == path && !EnsureBackup()) return false;
    for (;;) {
        const Saved saved = SaveUnderLock(path);
        if (saved.error == 0) {
            if (!saved.copy.empty()) ShowBackupNote(saved.copy, kMsgUserFileMerged);
            return true;
        }
        // Asked with the lock given back; a Yes merges again what another
        // run has saved meanwhile.
        bool retry = false;
        GenMsg::ShowDiskError(saved.errorArg, saved.canRetry, retry, saved.error);
        if (!retry) return false;
    }
}

bool SaveUserNames() {
    for (;;) {
        std::string path;
        if (WriteUserFile(path)) {
            userNamesChanged = false;
            return true;
        }
        if (!GenMsg::AskMsg(GenMsg::GMretryUserSave, path)) return false;
    }
}

// ============================================================================
// Backup of an unreadable file
// ============================================================================

std::string BackUpUserFile(const std::string& path, int& errNum) {
    errNum = 0;
    std::string bytes;
    if (int err = ReadBytes(path, bytes)) {
        errNum = err;
        return {};
    }
    Services::LocalTime t = Services::TheClock().Now();
    std::string stamp = std::to_string(t.year) + TwoDigits(t.month) + TwoDigits(t.day) + "-" + TwoDigits(t.hour) +
                        TwoDigits(t.minute) + TwoDigits(t.second);
    for (int n = 0; n < 1000; ++n) {
        std::string candidate = n == 0   ? path + ".bak"
                                : n == 1 ? path + "." + stamp + ".bak"
                                         : path + "." + stamp + "-" + std::to_string(n) + ".bak";
        if (FileExists(candidate)) {
            // The same bytes kept before (an unreadable file left unsaved in
            // an earlier run) need no second copy; other bytes are never
            // overwritten.
            std::string old;
            if (ReadBytes(candidate, old) == 0 && old == bytes) return candidate;
            continue;
        }
        if (int err = FileOp::WriteFileAtomically(FileOp::Native(candidate), bytes)) {
            errNum = err;
            return {};
        }
        return candidate;
    }
    errNum = FileOp::kErrFileExists;
    return {};
}

}  // namespace DataBase
