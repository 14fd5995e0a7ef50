// The settings store that stands in for the registry: string values under
// backslash key paths, in memory (tests, and the fallback) or in one file per
// user under the XDG configuration folder.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Services.h"

namespace FileOp {
class FileLock;
}

// Keys and values held in memory, in the order they were first written.
// Keys and value names are found through an index that hashes them without
// case, so reading a store of many keys (or a key of many values) takes time
// in proportion to its size, not to its square. The index of the keys holds
// views of their paths: the keys live in a deque, whose elements stay where
// they are while others are added.
class MemorySettingsStore : public Services::SettingsStore {
public:
    // ASCII letters hash and compare without case, as the registry's names do.
    struct NoCaseHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Index = std::unordered_map<std::string_view, std::size_t, NoCaseHash, NoCaseEqual>;

    struct Key {
        std::string path;  // without a trailing backslash
        std::vector<std::pair<std::string, std::string>> values;
        // Upper-cased value name -> its place in values, for a key of many
        // values (a few are searched in order).
        std::unordered_map<std::string, std::size_t> index;
        // Where the key's sections lie in the text it was read from (from
        // its "[" line to the next section's); none once it is changed.
        std::vector<std::pair<std::size_t, std::size_t>> sections;
        // Fields the text held as bytes that are no UTF-8 (see
        // ParseSettings), which a changed key writes back as those bytes:
        // its path, and by upper-cased value name kNameAsBytes and
        // kValueAsBytes. A value the program writes is its own again.
        bool pathAsBytes = false;
        std::unordered_map<std::string, unsigned char> asBytes;
    };
    static constexpr unsigned char kNameAsBytes = 1, kValueAsBytes = 2;

    MemorySettingsStore() = default;
    MemorySettingsStore(const MemorySettingsStore& other) : keys_(other.keys_), source_(other.source_) { Reindex(); }
    MemorySettingsStore& operator=(const MemorySettingsStore& other) {
        if (this != &other) {
            keys_ = other.keys_;
            source_ = other.source_;
            Reindex();
        }
        return *this;
    }
    MemorySettingsStore(MemorySettingsStore&&) = default;
    MemorySettingsStore& operator=(MemorySettingsStore&&) = default;

    std::optional<std::string> Read(const std::string& key, const std::string& name) override;
    bool Write(const std::string& key, const std::string& name, const std::string& value) override;
    bool Delete(const std::string& key, const std::string& name) override;
    bool DeleteKey(const std::string& key) override;
    std::vector<std::string> ValueNames(const std::string& key) override;

    // Write for a reader that owns the name and the value: they are moved in.
    void Add(const std::string& key, std::string name, std::string value);

    const std::deque<Key>& Keys() const { return keys_; }
    // Room in the index for this many keys (a reader that knows how many
    // are coming saves the index's growing).
    void Reserve(std::size_t keys) { index_.reserve(keys); }
    void Clear() {
        keys_.clear();
        index_.clear();
        source_.reset();
    }
    // The text the store was read from, which the sections of its keys point into.
    const std::string* Source() const { return source_.get(); }

private:
    friend MemorySettingsStore ParseSettings(std::string_view text);
    Key* Find(const std::string& key);
    // Add for the reader, which tells which fields it took as their bytes.
    void AddRead(const std::string& key, bool keyAsBytes, std::string name, bool nameAsBytes, std::string value,
                 bool valueAsBytes);
    void Reindex();
    std::deque<Key> keys_;
    Index index_;  // key path -> its place in keys_
    std::shared_ptr<const std::string> source_;
};

// The text of a store file and back. The file is UTF-8, one "[key]" line
// before the "name=value" lines of each key. Bytes that would break a line
// or be misread ("%", control characters, "=" in names, "]" in keys, a
// leading "[" or ";") are written as "%" and two hex digits, so every value
// comes back byte for byte; everything else stays readable. A field that is
// not strict UTF-8 of cp1252 characters (an overlong form, a stray byte) is
// read as its bytes, escapes and all, with one line in the log: nothing in
// it becomes another character, and it is written back as those bytes
// ("Dir=\xC0\xAE" stays so, never "Dir=\xC3\x80\xC2\xAE"). A key nothing
// has changed since it was read is written as its sections were, byte for
// byte.
std::string SerializeSettings(const MemorySettingsStore& store);
MemorySettingsStore ParseSettings(std::string_view text);

// The store in a file. Every change rewrites the whole file atomically (a new
// file beside it, flushed, then renamed over the old one). Two runs of the
// program share the file (both editions keep their settings in it): a change
// takes the file's lock (FileLock.h), reads what another run wrote since and
// changes only what this run changes in it. A value this run writes as it
// last read or wrote it is no change of its own: when another run has given
// it another value since, that value stays. A change that cannot be written
// leaves both the file and the values as they were.
class FileSettingsStore : public Services::SettingsStore {
public:
    explicit FileSettingsStore(std::string nativePath);

    // $XDG_CONFIG_HOME/Quillmarsh/settings, or ~/.config/Quillmarsh/settings.
    static std::string DefaultPath();

    std::optional<std::string> Read(const std::string& key, const std::string& name) override;
    bool Write(const std::string& key, const std::string& name, const std::string& value) override;
    // One rewrite of the file for all of them.
    bool WriteValues(const std::string& key, const std::vector<std::pair<std::string, std::string>>& values) override;
    // Under the file's lock, change is given the value as the file holds it
    // now, whoever wrote it: what it returns is written whether or not this
    // run has seen that value.
    bool Update(const std::string& key, const std::string& name,
                const std::function<std::string(const std::optional<std::string>&)>& change) override;
    bool Delete(const std::string& key, const std::string& name) override;
    bool DeleteKey(const std::string& key) override;
    std::vector<std::string> ValueNames(const std::string& key) override;

    int LastError() const override { return lastError_; }
    // A value as another run left it counts as unchanged too.
    bool LastWriteUnchanged() const override { return unchanged_; }
    std::string Path() const override { return path_; }

private:
    // Reads the file again when its stamp changed; with force, whenever its
    // bytes differ from those last read or written (a file replaced within
    // one tick of the clock can keep size, stamp and even its inode number).
    void Refresh(bool force = false);
    // The file's lock, taken after the file was read again under it.
    std::unique_ptr<FileOp::FileLock> Sync();
    bool Store(const MemorySettingsStore& changed);
    // A write that found nothing to change: a success that wrote nothing.
    bool Unchanged();

    // The value as this run last read or wrote it (a hash of it; none when
    // it read the value as missing or deleted it).
    void Saw(const std::string& key, const std::string& name, const std::optional<std::string>& value);
    bool SawAs(const std::string& key, const std::string& name, const std::string& value) const;

    struct Stamp {
        bool exists = false;
        unsigned long long dev = 0, ino = 0;
        long long size = 0, mtimeSec = 0, mtimeNsec = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp Current() const;

    std::string path_;
    MemorySettingsStore values_;
    Stamp stamp_;
    std::size_t bytesHash_ = 0;  // of the bytes values_ was read from or written as
    bool loaded_ = false;
    bool unreadable_ = false;  // the file exists but could not be read
    int lastError_ = 0;
    bool unchanged_ = false;
    std::unordered_map<std::string, std::optional<std::size_t>> seen_;
};
