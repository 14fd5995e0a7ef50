#include "SettingsStore.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "Basic.h"
#include "Cp1252.h"
#include "Errors.h"
#include "FileLock.h"
#include "FileOp.h"


// --- MemorySettingsStore ------------------------------------------------------

namespace {

char UpperA(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view KeyPath(const std::string& key) {
    std::string_view k = key;
    while (!k.empty() && k.back() == '\\') k.remove_suffix(1);
    return k;
}

// A key of a few values is searched in order; from this many on, through
// its index.
constexpr std::size_t kIndexFrom = 8;

void IndexValues(MemorySettingsStore::Key& k) {
    k.index.clear();
    if (k.values.size() < kIndexFrom) return;
    for (std::size_t j = 0; j < k.values.size(); ++j) k.index.emplace(Basic::UpperAscii(k.values[j].first), j);
}

// The place of a value name in its key, or npos.
std::size_t FindValue(const MemorySettingsStore::Key& k, const std::string& name) {
    if (k.index.empty()) {
        for (std::size_t j = 0; j < k.values.size(); ++j)
            if (Basic::EqualsNoCaseAscii(k.values[j].first, name)) return j;
        return std::string::npos;
    }
    auto it = k.index.find(Basic::UpperAscii(name));
    return it == k.index.end() ? std::string::npos : it->second;
}

}  // namespace

std::size_t MemorySettingsStore::NoCaseHash::operator()(std::string_view s) const {
    std::size_t h = 1469598103934665603ull;  // FNV-1a
    for (char c : s) h = (h ^ static_cast<unsigned char>(UpperA(c))) * 1099511628211ull;
    return h;
}

bool MemorySettingsStore::NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    return Basic::EqualsNoCaseAscii(a, b);
}

MemorySettingsStore::Key* MemorySettingsStore::Find(const std::string& key) {
    auto it = index_.find(KeyPath(key));
    return it == index_.end() ? nullptr : &keys_[it->second];
}

void MemorySettingsStore::Reindex() {
    index_.clear();
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        index_.emplace(keys_[i].path, i);
        IndexValues(keys_[i]);
    }
}

std::optional<std::string> MemorySettingsStore::Read(const std::string& key, const std::string& name) {
    if (Key* k = Find(key)) {
        std::size_t at = FindValue(*k, name);
        if (at != std::string::npos) return k->values[at].second;
    }
    return std::nullopt;
}

void MemorySettingsStore::Add(const std::string& key, std::string name, std::string value) {
    Key* k = Find(key);
    if (!k) {
        keys_.emplace_back().path = std::string(KeyPath(key));
        k = &keys_.back();
        index_.emplace(k->path, keys_.size() - 1);
    }
    k->sections.clear();
    std::size_t at = FindValue(*k, name);
    if (at != std::string::npos) {
        k->values[at].second = std::move(value);
        if (!k->asBytes.empty()) {
            auto it = k->asBytes.find(Basic::UpperAscii(name));
            if (it != k->asBytes.end() && (it->second &= kNameAsBytes) == 0) k->asBytes.erase(it);
        }
        return;
    }
    k->values.emplace_back(std::move(name), std::move(value));
    if (!k->index.empty())
        k->index.emplace(Basic::UpperAscii(k->values.back().first), k->values.size() - 1);
    else if (k->values.size() >= kIndexFrom)
        IndexValues(*k);
}

void MemorySettingsStore::AddRead(const std::string& key, bool keyAsBytes, std::string name, bool nameAsBytes,
                                  std::string value, bool valueAsBytes) {
    if (!keyAsBytes && !nameAsBytes && !valueAsBytes) {
        Add(key, std::move(name), std::move(value));
        return;
    }
    const Key* before = Find(key);
    const bool newKey = before == nullptr, newName = newKey || FindValue(*before, name) == std::string::npos;
    const std::string upper = Basic::UpperAscii(name);
    Add(key, std::move(name), std::move(value));
    Key& k = *Find(key);
    // The key's path and a value's name are those of their first lines.
    if (newKey) k.pathAsBytes = keyAsBytes;
    const unsigned char had = newName ? 0 : static_cast<unsigned char>(k.asBytes.count(upper) ? k.asBytes[upper] : 0);
    const unsigned char now = static_cast<unsigned char>((newName ? (nameAsBytes ? kNameAsBytes : 0) : had) |
                                                         (valueAsBytes ? kValueAsBytes : 0));
    if (now)
        k.asBytes[upper] = now;
    else
        k.asBytes.erase(upper);
}

bool MemorySettingsStore::Write(const std::string& key, const std::string& name, const std::string& value) {
    Add(key, name, value);
    return true;
}

bool MemorySettingsStore::Delete(const std::string& key, const std::string& name) {
    Key* k = Find(key);
    if (!k) return true;
    std::size_t at = FindValue(*k, name);
    if (at == std::string::npos) return true;
    if (!k->asBytes.empty()) k->asBytes.erase(Basic::UpperAscii(k->values[at].first));
    k->values.erase(k->values.begin() + static_cast<std::ptrdiff_t>(at));
    k->sections.clear();
    IndexValues(*k);
    return true;
}

bool MemorySettingsStore::DeleteKey(const std::string& key) {
    std::string k = Basic::UpperAscii(KeyPath(key));
    std::string below = k + "\\";
    const std::size_t before = keys_.size();
    std::erase_if(keys_, [&](const Key& entry) {
        std::string path = Basic::UpperAscii(entry.path);
        return path == k || path.compare(0, below.size(), below) == 0;
    });
    if (keys_.size() != before) Reindex();
    return true;
}

std::vector<std::string> MemorySettingsStore::ValueNames(const std::string& key) {
    std::vector<std::string> names;
    if (Key* k = Find(key))
        for (auto& nv : k->values) names.push_back(nv.first);
    return names;
}

// --- The file's text ------------------------------------------------------------

namespace {

// extra: characters escaped anywhere in the field; leading: escaped only as
// the field's first character.
std::string Encode(std::string_view s, std::string_view extra, std::string_view leading) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F || c == '%' || extra.find(static_cast<char>(c)) != std::string_view::npos ||
            (i == 0 && leading.find(static_cast<char>(c)) != std::string_view::npos)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return Cp1252::ToUtf8(out);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A field of the file as the program's bytes: UTF-8 made cp1252, then each
// "%" and two hex digits the byte they stand for. A field that is not strict
// UTF-8 of cp1252 characters is taken as its bytes (asBytes counts it): an
// overlong "%" in it never starts an escape.
std::string Decode(std::string_view utf8, int& asBytes) {
    // Most fields are plain ASCII without escapes: taken as they are.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return c != '%' && static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    bool clean = true;
    std::string s = Cp1252::FromUtf8(utf8, '?', &clean);
    if (!clean) {
        ++asBytes;
        return std::string(utf8);
    }
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::string SerializeSettings(const MemorySettingsStore& store) {
    std::string out = "; Settings of Talvessin and Orsabrine. \"%\" and two hex digits stand for one byte.\n";
    const std::string* source = store.Source();
    for (const auto& key : store.Keys()) {
        if (source && !key.sections.empty()) {
            for (const auto& [from, to] : key.sections) {
                out.append(*source, from, to - from);
                if (out.back() != '\n') out += '\n';
            }
            continue;
        }
        out += "\n[" + (key.pathAsBytes ? key.path : Encode(key.path, "]", "[;")) + "]\n";
        for (const auto& [name, value] : key.values) {
            unsigned char asBytes = 0;
            if (!key.asBytes.empty()) {
                auto it = key.asBytes.find(Basic::UpperAscii(name));
                if (it != key.asBytes.end()) asBytes = it->second;
            }
            out += asBytes & MemorySettingsStore::kNameAsBytes ? name : Encode(name, "=", "[;");
            out += '=';
            out += asBytes & MemorySettingsStore::kValueAsBytes ? value : Encode(value, "", "");
            // The reader takes one CR before the line end for an editor's.
            if (out.back() == '\r') out += '\r';
            out += '\n';
        }
    }
    return out;
}

MemorySettingsStore ParseSettings(std::string_view text) {
    MemorySettingsStore store;
    store.source_ = std::make_shared<const std::string>(text);
    const std::string_view all = *store.source_;
    std::size_t sections = all.size() && all[0] == '[' ? 1 : 0;
    for (std::size_t at = all.find("\n["); at != std::string_view::npos; at = all.find("\n[", at + 2)) ++sections;
    store.Reserve(sections);
    // Each section of a key: where it starts and ends in the text.
    std::vector<std::pair<std::string, std::pair<std::size_t, std::size_t>>> found;
    found.reserve(sections);
    std::string key;
    bool inKey = false;
    int asBytes = 0;
    std::string firstAsBytes;
    bool keyAsBytes = false, fieldAsBytes = false;  // whether the last key, the last field was
    auto decode = [&](std::string_view field) {
        const int before = asBytes;
        std::string s = Decode(field, asBytes);
        fieldAsBytes = asBytes != before;
        if (fieldAsBytes && firstAsBytes.empty()) firstAsBytes = "[" + (inKey ? key : s) + "]";
        return s;
    };
    std::size_t pos = 0;
    while (pos < all.size()) {
        const std::size_t start = pos;
        std::size_t end = all.find('\n', pos);
        if (end == std::string_view::npos) end = all.size();
        std::string_view line = all.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // an editor's CR LF
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            auto close = line.rfind(']');
            if (close == std::string_view::npos || close == 0) {
                inKey = false;  // a damaged key line: its values belong to no key
                continue;
            }
            inKey = false;
            key = decode(line.substr(1, close - 1));
            keyAsBytes = fieldAsBytes;
            inKey = true;
            if (!found.empty() && found.back().second.second == std::string_view::npos) found.back().second.second = start;
            found.push_back({key, {start, std::string_view::npos}});
            continue;
        }
        auto eq = line.find('=');
        if (!inKey || eq == std::string_view::npos) continue;  // a damaged line is skipped
        std::string name = decode(line.substr(0, eq));
        const bool nameAsBytes = fieldAsBytes;
        std::string value = decode(line.substr(eq + 1));
        store.AddRead(key, keyAsBytes, std::move(name), nameAsBytes, std::move(value), fieldAsBytes);
    }
    if (!found.empty() && found.back().second.second == std::string_view::npos) found.back().second.second = all.size();
    // The sections are the keys' own only now that every value is in.
    for (const auto& [path, range] : found)
        if (MemorySettingsStore::Key* k = store.Find(path)) k->sections.push_back(range);
    if (asBytes > 0)
        Errors::LogEntry("SettingsStore", "ParseSettings",
                         std::to_string(asBytes) + " fields not in UTF-8 kept as their bytes, the first in " +
                             firstAsBytes);
    return store;
}

// --- FileSettingsStore ----------------------------------------------------------

FileSettingsStore::FileSettingsStore(std::string nativePath) : path_(std::move(nativePath)) {}

std::string FileSettingsStore::DefaultPath() {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            struct passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.config";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/Quillmarsh/settings";
}

FileSettingsStore::Stamp FileSettingsStore::Current() const {
    Stamp s;
    struct stat st{};
    if (::stat(path_.c_str(), &st) != 0) return s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtimeSec = st.st_mtim.tv_sec;
    s.mtimeNsec = st.st_mtim.tv_nsec;
    return s;
}

namespace {

std::size_t HashOf(std::string_view bytes) { return std::hash<std::string_view>{}(bytes); }

std::string SeenKey(const std::string& key, const std::string& name) {
    return Basic::UpperAscii(KeyPath(key)) + '\n' + Basic::UpperAscii(name);
}

}  // namespace

void FileSettingsStore::Refresh(bool force) {
    Stamp now = Current();
    if (loaded_ && now == stamp_ && !force) return;
    stamp_ = now;
    std::string text;
    if (now.exists) {
        FileOp::InputFile in;
        const bool failed = in.Open(path_) != 0;
        char buf[65536];
        for (std::size_t n = 0; !failed && (n = in.Read(buf, sizeof buf)) > 0;) text.append(buf, n);
        if (failed || in.Error() != 0) {
            loaded_ = true;
            unreadable_ = true;
            values_.Clear();
            return;
        }
    }
    const std::size_t hash = HashOf(text);
    if (loaded_ && !unreadable_ && hash == bytesHash_) return;
    loaded_ = true;
    unreadable_ = false;
    bytesHash_ = hash;
    values_ = ParseSettings(text);
}

std::unique_ptr<FileOp::FileLock> FileSettingsStore::Sync() {
    // The lock file lies beside the store: its folder is made first.
    if (!Current().exists) {
        const auto slash = path_.rfind('/');
        if (slash != std::string::npos && slash > 0) FileOp::CreateFolders(path_.substr(0, slash));
    }
    auto lock = std::make_unique<FileOp::FileLock>(path_);
    Refresh(true);
    return lock;
}

bool FileSettingsStore::Store(const MemorySettingsStore& changed) {
    // A file that exists but cannot be read is never overwritten with the
    // little this run knows.
    if (unreadable_) {
        lastError_ = FileOp::kErrPermissionDenied;
        return false;
    }
    const std::string text = SerializeSettings(changed);
    lastError_ = FileOp::WriteFileAtomically(path_, text, true);
    if (lastError_ != 0) return false;
    unchanged_ = false;
    if (&changed != &values_) values_ = changed;
    bytesHash_ = HashOf(text);
    stamp_ = Current();
    return true;
}

bool FileSettingsStore::Unchanged() {
    lastError_ = 0;
    unchanged_ = true;
    return true;
}

void FileSettingsStore::Saw(const std::string& key, const std::string& name, const std::optional<std::string>& value) {
    seen_[SeenKey(key, name)] = value ? std::optional<std::size_t>(HashOf(*value)) : std::nullopt;
}

bool FileSettingsStore::SawAs(const std::string& key, const std::string& name, const std::string& value) const {
    auto it = seen_.find(SeenKey(key, name));
    return it != seen_.end() && it->second == HashOf(value);
}

std::optional<std::string> FileSettingsStore::Read(const std::string& key, const std::string& name) {
    Refresh();
    std::optional<std::string> value = values_.Read(key, name);
    Saw(key, name, value);
    return value;
}

bool FileSettingsStore::Write(const std::string& key, const std::string& name, const std::string& value) {
    return WriteValues(key, {{name, value}});
}

bool FileSettingsStore::WriteValues(const std::string& key,
                                    const std::vector<std::pair<std::string, std::string>>& values) {
    // Values all as this run last read or wrote them change nothing, whatever
    // another run did since: neither the lock nor the file is needed (the
    // places of the windows written again as they unload at the close).
    if (!unreadable_ &&
        std::all_of(values.begin(), values.end(), [&](const auto& nv) { return SawAs(key, nv.first, nv.second); }))
        return Unchanged();
    auto lock = Sync();
    if (unreadable_) return Store(values_);  // refused, with its error
    // Changed in place and taken back when it cannot be written: a grown
    // store is not copied for every value the program writes.
    std::vector<std::pair<std::string, std::optional<std::string>>> undo;
    for (const auto& [name, value] : values) {
        std::optional<std::string> old = values_.Read(key, name);
        // As this run knows it, and another run changed it since: the other
        // run's value stays.
        if (old == value || SawAs(key, name, value)) continue;
        undo.emplace_back(name, std::move(old));
        values_.Write(key, name, value);
    }
    if (!undo.empty() && !Store(values_)) {
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
            if (it->second)
                values_.Write(key, it->first, *it->second);
            else
                values_.Delete(key, it->first);
        }
        return false;
    }
    for (const auto& [name, value] : values) Saw(key, name, value);
    return undo.empty() ? Unchanged() : true;
}

bool FileSettingsStore::Update(const std::string& key, const std::string& name,
                               const std::function<std::string(const std::optional<std::string>&)>& change) {
    auto lock = Sync();
    if (unreadable_) return Store(values_);  // refused, with its error
    std::optional<std::string> old = values_.Read(key, name);
    const std::string value = change(old);
    if (old == value) {
        Saw(key, name, value);
        return Unchanged();
    }
    values_.Write(key, name, value);
    if (!Store(values_)) {
        if (old)
            values_.Write(key, name, *old);
        else
            values_.Delete(key, name);
        return false;
    }
    Saw(key, name, value);
    return true;
}

bool FileSettingsStore::Delete(const std::string& key, const std::string& name) {
    auto lock = Sync();
    if (!values_.Read(key, name)) {
        Saw(key, name, std::nullopt);
        return Unchanged();
    }
    MemorySettingsStore changed = values_;
    changed.Delete(key, name);
    if (!Store(changed)) return false;
    Saw(key, name, std::nullopt);
    return true;
}

bool FileSettingsStore::DeleteKey(const std::string& key) {
    auto lock = Sync();
    MemorySettingsStore changed = values_;
    changed.DeleteKey(key);
    if (changed.Keys().size() == values_.Keys().size()) return Unchanged();
    if (!Store(changed)) return false;
    // Whatever this run knew of the values below is gone with them.
    const std::string k = Basic::UpperAscii(KeyPath(key));
    for (auto& [seenKey, value] : seen_)
        if (seenKey.size() > k.size() && seenKey.compare(0, k.size(), k) == 0 &&
            (seenKey[k.size()] == '\n' || seenKey[k.size()] == '\\'))
            value = std::nullopt;
    return true;
}

std::vector<std::string> FileSettingsStore::ValueNames(const std::string& key) {
    Refresh();
    return values_.ValueNames(key);
}
