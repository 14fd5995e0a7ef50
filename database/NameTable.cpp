// The name table: the internal names in ascending order without case with
// their atoms' ids, and the names a batch adds beside it until it ends.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "DataBase.h"
#include "DbInternal.h"
#include "Parser.h"

namespace DataBase {

namespace {

// The names added while a batch is open: an insert into the sorted table
// moves its whole tail, so a file of many new names would take time growing
// with the square of their number. They wait here, found by their spelling
// folded as CompareNames folds it (equal without case exactly when the
// folded spellings are equal), and join the table in one merge.
struct PendingNames {
    int depth = 0;
    std::vector<std::pair<DbText, int32_t>> names;  // in the order added
    std::unordered_map<std::string, size_t> byFolded;
    void Clear() {
        names.clear();
        byFolded.clear();
    }
};

PendingNames& Pending() {
    static PendingNames p;
    return p;
}

std::string Folded(std::string_view name) {
    static const Parser::CodeTable& f = Parser::PlatformUpperTable();
    std::string k(name.size(), '\0');
    for (size_t i = 0; i < name.size(); ++i) k[i] = static_cast<char>(f[static_cast<unsigned char>(name[i])]);
    return k;
}

// The waiting names merged into the table, which is then exactly what
// inserting them one by one would have made (no name is in both, and the
// order is total among names that differ without case).
void MergePending() {
    PendingNames& p = Pending();
    if (p.names.empty()) return;
    std::sort(p.names.begin(), p.names.end(),
              [](const auto& a, const auto& b) { return CompareNames(a.first, b.first) < 0; });
    const size_t old = stringTab.size(), add = p.names.size();
    stringTab.resize(old + add);
    idTab.resize(old + add);
    // From the back, so that nothing is overwritten before it is moved.
    size_t i = old, j = add, out = old + add;
    while (j > 0) {
        if (i > 0 && CompareNames(stringTab[i - 1], p.names[j - 1].first) > 0) {
            --i;
            --out;
            stringTab[out] = stringTab[i];
            idTab[out] = idTab[i];
        } else {
            --j;
            --out;
            stringTab[out] = p.names[j].first;
            idTab[out] = p.names[j].second;
        }
    }
    numStrings = static_cast<int32_t>(stringTab.size());
    p.Clear();
}

}  // namespace

// Binary search in the sorted table alone: pos is the name's index, or the
// index where it belongs.
bool FindInTable(std::string_view name, int32_t& pos) {
    // The first entry not less than name.
    int32_t lo = 0, hi = numStrings;
    while (lo < hi) {
        int32_t mid = lo + (hi - lo) / 2;
        if (CompareNames(stringTab[static_cast<size_t>(mid)], name) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    pos = lo;
    return lo < numStrings && CompareNames(stringTab[static_cast<size_t>(lo)], name) == 0;
}

// Finds the name or adds it; kept is the name's stored spelling when it was
// added.
int32_t AddName(std::string_view name, bool& found, DbText* kept) {
    int32_t pos = 0;
    found = FindInTable(name, pos);
    if (found) return idTab[static_cast<size_t>(pos)];
    PendingNames& p = Pending();
    std::string key;
    if (p.depth > 0) {
        key = Folded(name);
        auto it = p.byFolded.find(key);
        if (it != p.byFolded.end()) {
            found = true;
            return p.names[it->second].second;
        }
    }
    if (nextId >= kAtomIdLimit) return -1;
    int32_t id = nextId;
    const DbText text = Arena::Keep(name);
    if (p.depth > 0) {
        p.byFolded.emplace(std::move(key), p.names.size());
        p.names.emplace_back(text, id);
    } else {
        stringTab.insert(stringTab.begin() + pos, text);
        idTab.insert(idTab.begin() + pos, id);
        numStrings = static_cast<int32_t>(stringTab.size());
    }
    ++nextId;
    if (kept) *kept = text;
    return id;
}

void DropPendingNames() { Pending().Clear(); }

// The id of a name added in the open batch; -1 when it is not among them.
int32_t FindPending(std::string_view name) {
    PendingNames& p = Pending();
    if (p.depth == 0 || p.names.empty()) return -1;
    auto it = p.byFolded.find(Folded(name));
    return it == p.byFolded.end() ? -1 : p.names[it->second].second;
}

NameBatch::NameBatch() { ++Pending().depth; }

NameBatch::~NameBatch() {
    if (--Pending().depth == 0) MergePending();
}

bool FindString(std::string_view name, int32_t& pos) {
    // Whoever asks for a place in the table sees every name in it.
    MergePending();
    return FindInTable(name, pos);
}

int32_t AddString(std::string_view name, bool& found) { return AddName(name, found, nullptr); }

}  // namespace DataBase
