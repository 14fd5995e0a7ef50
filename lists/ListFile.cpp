#include "ListFile.h"

#include <sys/stat.h>

#include <cstdint>

#include "Basic.h"
#include "Errors.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "Options.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Services.h"
#include "TextCompare.h"
#include "TextConstants.h"

namespace ListFile {

std::string HeaderText() {
    return TextConstants::LangText("Orsabrine", "Talvessin") + kHeaderTail;
}

bool IsStoredSortOrder(int order) { return (order >= 0 && order <= 20) || order == 99; }

namespace {

bool FileExists(const std::string& nativePath) {
    struct stat st {};
    return ::stat(nativePath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The whole file; 0 or the error number of the failed open or read.
int ReadWholeFile(const std::string& nativePath, std::string& bytes) {
    bytes.clear();
    FileOp::InputFile in;
    if (int err = in.Open(nativePath)) return err;
    char buf[65536];
    for (;;) {
        const std::size_t n = in.Read(buf, sizeof buf);
        bytes.append(buf, n);
        if (n < sizeof buf) break;
    }
    return in.Error();
}

class Format : public FileOp::ListFileFormat {
public:
    std::shared_ptr<ResultSet> Load(const std::string& path) override {
        auto rs = std::make_shared<ResultSet>();
        rs->InitInt();
        if (!rs->Load(path)) return nullptr;
        rs->RefreshAtomTexts();
        return rs;
    }
    bool Save(const ResultSet& list, const std::string& path) override { return list.Save(path); }
};

}  // namespace

FileOp::ListFileFormat& TheFormat() {
    static Format format;
    return format;
}

}  // namespace ListFile

// --- the list file ---------------------------------------------------------------

namespace {

// Lines written between two progress updates while saving.
constexpr int kProgressEvery = 501;

void PutInt16(std::string& out, int v) {
    const auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
}

void PutInt32(std::string& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int k = 0; k < 4; ++k) out += static_cast<char>((u >> (8 * k)) & 0xFF);
}

bool PutString(std::string& out, const std::string& s) {
    if (s.size() > static_cast<std::size_t>(ListFile::kMaxString)) return false;
    PutInt16(out, static_cast<int>(s.size()));
    out += s;
    return true;
}

// Reads the fields of a list file from memory; every read checks that the
// bytes are there.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool Int16(int& v) {
        if (Remaining() < 2) return false;
        const auto u = static_cast<uint16_t>(Byte(pos_) | (Byte(pos_ + 1) << 8));
        v = static_cast<int16_t>(u);
        pos_ += 2;
        return true;
    }
    bool Int32(int32_t& v) {
        if (Remaining() < 4) return false;
        uint32_t u = 0;
        for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(Byte(pos_ + k)) << (8 * k);
        v = static_cast<int32_t>(u);
        pos_ += 4;
        return true;
    }
    // A String of 0..32,767 characters that the file holds in full.
    bool String(std::string& s) {
        int n = 0;
        if (!Int16(n) || n < 0 || static_cast<std::size_t>(n) > Remaining()) return false;
        s.assign(bytes_.substr(pos_, static_cast<std::size_t>(n)));
        pos_ += static_cast<std::size_t>(n);
        return true;
    }

private:
    unsigned Byte(std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

bool ResultSet::EncodeListFile(std::string& out, Services::Progress* progress) const {
    out.clear();
    bool ok = PutString(out, ListFile::HeaderText());
    PutInt16(out, 0);
    ok = ok && PutString(out, title_) && PutString(out, pureTitle_);
    // An order the file cannot hold moves nothing when sorting, so the list
    // is as good as unsorted.
    PutInt16(out, ListFile::IsStoredSortOrder(sortOrder_) ? sortOrder_ : 0);
    PutInt32(out, numLines());
    PutInt32(out, numNames_);
    PutInt32(out, numGenNames_);
    int progressCount = 0;
    for (const Line& l : lines_) {
        if (progress && ++progressCount == kProgressEvery) {
            progress->SetValue(static_cast<int32_t>(out.size()));
            progressCount = 0;
            Services::Events().DoEvents();
        }
        ok = ok && PutString(out, l.text) && PutString(out, l.reason) && PutString(out, ListAtoms::Name(l.a));
        if (!ok) return false;
    }
    return ok && PutString(out, "end");
}

bool ResultSet::DecodeListFile(std::string_view bytes) {
    Reset();
    Reader r(bytes);
    std::string header, title, pure, text, why, name;
    int generation = -1, order = -1;
    int32_t count = -1, names = -1, groups = -1;
    if (!r.String(header)) return false;
    const std::string word = Basic::Left(header, 9);
    if (!TextCompare::Equal(word, "Orsabrine") && !TextCompare::Equal(word, "Talvessin")) return false;
    if (!r.Int16(generation) || generation != 0) return false;
    if (!r.String(title) || !r.String(pure)) return false;
    title_ = title;
    pureTitle_ = pure;
    if (!r.Int16(order) || !ListFile::IsStoredSortOrder(order)) return false;
    // Every line record takes at least six bytes: a count the rest of the
    // file cannot hold is damage, not a reason to reserve memory.
    if (!r.Int32(count) || count < 0 || static_cast<std::size_t>(count) > r.Remaining() / 6) return false;
    if (!r.Int32(names) || names < 0 || names > count) return false;
    if (!r.Int32(groups) || groups < 0 || groups > count) return false;
    for (int32_t k = 0; k < count; ++k) {
        if (!r.String(text) || !r.String(why) || !r.String(name)) return false;
        AddResult(text, why, name.empty() ? nullptr : ListAtoms::Lookup(name));
    }
    Errors::Assert(numLines() == count, "Load numLines");
    std::string end;
    if (!r.String(end) || !TextCompare::Equal(end, "end")) return false;
    // Lines reset the order; an empty list keeps the stored one.
    if (count == 0) sortOrder_ = order;
    return true;
}

bool ResultSet::Save(const std::string& path, Services::Progress* progress) const {
    Services::HourglassOn();
    std::string bytes;
    if (!EncodeListFile(bytes, progress)) {
        // A text too long for the format: nothing is written and the old
        // file stays.
        Services::HourglassOff();
        GenMsg::ShowMsg(GenMsg::GMlistSaveError, 0, path);
        return false;
    }
    const int err = FileOp::WriteFileAtomically(FileOp::Native(path), bytes);
    Services::HourglassOff();
    if (err != 0) {
        bool retry = false;
        GenMsg::ShowDiskError(path, false, retry, err);
    }
    return err == 0;
}

bool ResultSet::Load(const std::string& path, Services::Progress* progress) {
    const std::string native = FileOp::Native(path);
    if (!ListFile::FileExists(native)) {
        GenMsg::ShowMsg(GenMsg::GMstructError, GenMsg::kCritical, path);
        return false;
    }
    Services::HourglassOn();
    Reset();
    std::string bytes;
    if (const int err = ListFile::ReadWholeFile(native, bytes)) {
        Services::HourglassOff();
        bool retry = false;
        GenMsg::ShowDiskError(path, false, retry, err);
        return false;
    }
    if (progress) progress->SetValue(static_cast<int32_t>(bytes.size()));
    const bool ok = DecodeListFile(bytes);
    Services::HourglassOff();
    if (!ok) GenMsg::ShowMsg(GenMsg::GMstructError, GenMsg::kCritical, path);
    return ok;
}

// --- registry lists ----------------------------------------------------------------

namespace {

void AppendStoredLine(std::string& s, std::string text, std::string reason, const std::string& name) {
    Parser::PercentEncode(text);
    Parser::PercentEncode(reason);
    s += "," + text + "," + reason + "," + name;
}

}  // namespace

std::string StoredLinesText(const std::vector<StoredLine>& lines) {
    std::string s = "0," + std::to_string(lines.size());
    for (const StoredLine& l : lines) AppendStoredLine(s, l.text, l.reason, l.name);
    return s + ",//";
}

std::vector<StoredLine> ParseStoredLines(const std::string& value, bool* endsWell) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        fields.push_back(value.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (endsWell) *endsWell = true;
    std::vector<StoredLine> lines;
    if (fields.size() < 2) return lines;
    const double promised = Basic::Val(fields[1]);
    std::size_t idx = 2;
    for (double k = 0; k < promised; ++k, idx += 3) {
        // A value with fewer lines than it promises ends where its fields end
        // (the closing "//" is no line).
        if (idx + 3 > fields.size() || (idx + 3 == fields.size() && fields.back() == "//")) return lines;
        StoredLine l{fields[idx], fields[idx + 1], fields[idx + 2]};
        Parser::PercentDecode(l.text);
        Parser::PercentDecode(l.reason);
        lines.push_back(std::move(l));
    }
    if (endsWell) *endsWell = idx + 1 == fields.size() && fields[idx] == "//";
    return lines;
}

std::string ResultSet::RegistryText() const {
    std::string s = "0," + std::to_string(numLines());
    for (const Line& l : lines_) AppendStoredLine(s, l.text, l.reason, ListAtoms::Name(l.a));
    return s + ",//";
}

void ResultSet::ParseRegistryText(const std::string& text) {
    Errors::Assert(text.substr(0, text.find(',')) == "0", "LoadFromRegistry Gen");
    bool endsWell = true;
    SetStoredLines(ParseStoredLines(text, &endsWell));
    Errors::Assert(endsWell, "LoadFromRegistry //");
}

void ResultSet::SetStoredLines(const std::vector<StoredLine>& lines) {
    Reset();
    for (const StoredLine& l : lines) AddResult(l.text, l.reason, l.name.empty() ? nullptr : ListAtoms::Lookup(l.name));
}

bool ResultSet::SaveToRegistry(const std::string& name) const {
    // A refused write is the caller's to handle (it keeps its changes and
    // tries again), not an assertion.
    return Reg::RegWriteValue(Options::RegBaseKey + "Sets", name, RegistryText()) == 0;
}

void ResultSet::LoadFromRegistry(const std::string& name) {
    Reset();
    std::string text;
    if (!Options::GetVal("Sets", name, text)) return;
    ParseRegistryText(text);
}

void ResultSet::RefreshAtomTexts() {
    for (Line& l : lines_) {
        // Lines whose atom was unknown when the list was read keep their text.
        if (!l.a || ListAtoms::IsNothing(l.a)) continue;
        const std::size_t tab = l.text.find('\t');
        l.text = tab == std::string::npos ? ListAtoms::Text(l.a) : ListAtoms::Text(l.a) + l.text.substr(tab);
    }
}
