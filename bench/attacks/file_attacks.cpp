// Attacks on the program's files, in long loops whose counts the tests cannot
// afford: file_attacks MODE RUNS [FILE]. The end prints the count of every
// outcome. The second file of rewrite and blocks is FILE with every lower-case
// letter of its property texts moved on by one: the same layout, other texts.
//   rewrite   FILE is copied to a work file, held open for writing (no lease:
//             it is read through a window) and loaded while another process
//             rewrites it in place with the second file at a random moment.
//             Outcomes: either file whole, refused, or mixed (neither).
//   blocks    FILE is loaded from a work file; then the second file is
//             renamed over it (odd runs) or written over it in place (even
//             runs), and every hit parade's block is read: from the loaded
//             file, refused, or other (from the second file).
//   leasecopy FILE is loaded (mapped under a lease) in a child process whose
//             address space is held too small for the copy a lease break
//             makes (room for the load's own needs: ROOM times the file's
//             size, 0.6 unless given after FILE), while another process
//             rewrites the file at a random moment: the loader's end
//             (loaded, refused, or the signal that killed it).
//   killsave  (no FILE) a save of 50 MB killed at a random moment, then a
//             small save of the same target: in how many runs the kill left a
//             temporary file, and how many are left after the last save.
//   owner     as rewrite, but the file is another user's (the loader runs as
//             nobody, the file is root's: no lease), as an installed copy is;
//             the writer cuts the file first as cp does (even runs) or writes
//             over it as it stands (odd runs).
//   earlywrite FILE is loaded as start-up loads it (on a thread of its own,
//             begun early), then another process writes the second file over
//             it in place: how long the writer waited (it gives up after
//             10 s), whether the database is still the loaded one, and where
//             every hit parade's block then comes from.
//   flips     FILE with one byte changed at a random place (RUNS copies, one
//             byte each), with the checksum in its header zero, and with four
//             bytes appended: each copy loaded under a lease (mapped) and
//             without one (held open for writing, so read): loaded or
//             refused, and in how many copies the two loads disagree.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "BinFile.h"
#include "DataBase.h"
#include "FileOp.h"
#include "ToolArgs.h"

namespace {

std::mt19937 rng(12345);

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

bool WriteInPlace(const std::string& path, const std::string& bytes, bool truncate = true) {
    const int fd = ::open(path.c_str(), O_WRONLY | (truncate ? O_TRUNC : 0));
    if (fd < 0) return false;
    bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return ok;
}

// Of one atom: its name, kind and properties.
std::string AtomText(const atom* a) {
    std::string s = std::string(a->name()) + "|" + std::to_string(a->kind());
    for (const Prop* p : a->props()) {
        s += "|" + std::string(p->proper()->name()) + ":" + std::to_string(p->kind());
        if (p->kind() != 1 && p->atomVal()) s += "@" + std::string(p->atomVal()->name());
        if (p->kind() != 0) s += "\"" + std::string(p->strVal()) + "\"";
    }
    return s;
}

// Writes the bytes at work and loads the database from there: whether it loaded.
bool LoadCopy(const std::string& work, const std::string& bytes) {
    std::ofstream(work, std::ios::binary) << bytes;
    DataBase::InitDataBase();
    return DataBase::ReadBinFile(work).ok;
}

// Every block of the database loaded now, as text by its atom's name.
std::map<std::string, std::string> LoadedBlocks() {
    std::map<std::string, std::string> blocks;
    for (atom* x : DataBase::atomTab)
        if (x->LoadedOnDemand() && DataBase::LoadOnDemandStatus(*x).ok) blocks[std::string(x->name())] = AtomText(x);
    return blocks;
}

// Each block of the database loaded now, read again, counted under prefix by
// where it came from: refused, the file that was loaded (as in expected), or
// another one.
void CountBlocks(const std::map<std::string, std::string>& expected, const std::string& prefix,
                 std::map<std::string, int>& counts) {
    for (atom* x : DataBase::atomTab) {
        if (!x->LoadedOnDemand()) continue;
        const bool ok = DataBase::LoadOnDemandStatus(*x).ok;
        const auto was = expected.find(std::string(x->name()));
        const bool same = was != expected.end() && AtomText(x) == was->second;
        counts[prefix + (!ok ? "refused" : same ? "loaded file" : "OTHER")]++;
    }
}

// The loaded database in one number.
size_t Signature() {
    std::string all;
    for (int32_t id = 0; id < DataBase::numAtoms; ++id) all += AtomText(DataBase::atomTab[static_cast<size_t>(id)]);
    return std::hash<std::string>{}(all);
}

// FILE with other texts of the same lengths, written to path.
std::string Variant(const std::string& file, const std::string& path) {
    DataBase::InitDataBase();
    if (!DataBase::ReadBinFile(file).ok) return {};
    std::set<Prop*> done;
    for (atom* a : DataBase::atomTab) {
        if (a->LoadedOnDemand()) DataBase::LoadOnDemandStatus(*a);
        for (Prop* p : a->props()) {
            if (p->kind() == 0 || !done.insert(p).second) continue;
            std::string s(p->strVal());
            for (char& c : s)
                if (c >= 'a' && c <= 'z') c = c == 'z' ? 'a' : static_cast<char>(c + 1);
            p->setStrVal(s);
        }
    }
    if (!DataBase::WriteBinFile(path, DataBase::fileHeader).ok) return {};
    return ReadAll(path);
}

pid_t Spawn(const std::function<void()>& what) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        what();
        std::_Exit(0);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

void Print(const std::map<std::string, int>& counts) {
    for (const auto& [what, n] : counts) std::printf("%-28s %d\n", what.c_str(), n);
}

// A moment within about the time a load of path takes.
int LoadMicros(const std::string& path) {
    const auto t0 = std::chrono::steady_clock::now();
    DataBase::InitDataBase();
    DataBase::ReadBinFile(path);
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count());
}

// The outcome of one load in a loop of rewrite or owner: which file it
// gave, whole, or neither.
std::string Outcome(const DataBase::DbStatus& st, size_t sigA, size_t sigB) {
    if (!st.ok) return "refused (" + st.detail + ")";
    const size_t sig = Signature();
    return sig == sigA ? "first file whole" : sig == sigB ? "second file whole" : "MIXED";
}

int Rewrite(int runs, const std::string& file) {
    const std::string work = file + ".attack", other = file + ".other", a = ReadAll(file), b = Variant(file, other);
    DataBase::InitDataBase();
    if (!DataBase::ReadBinFile(file).ok) return 1;
    const size_t sigA = Signature();
    DataBase::InitDataBase();
    if (!DataBase::ReadBinFile(other).ok) return 1;
    const size_t sigB = Signature();
    std::ofstream(work, std::ios::binary) << a;
    const int span = LoadMicros(work);
    std::map<std::string, int> counts;
    for (int run = 0; run < runs; ++run) {
        std::ofstream(work, std::ios::binary) << a;
        const int writer = ::open(work.c_str(), O_WRONLY);
        const int delay = std::uniform_int_distribution<int>(0, span)(rng);
        const pid_t child = Spawn([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            WriteInPlace(work, b);
        });
        DataBase::InitDataBase();
        const std::string what = Outcome(DataBase::ReadBinFile(work), sigA, sigB);
        Wait(child);
        ::close(writer);
        counts[what]++;
    }
    std::remove(work.c_str());
    std::remove(other.c_str());
    Print(counts);
    return 0;
}

// The loader of owner, a fresh process (a child forked from this one would
// spend its load copying the pages it shares with it): tells on fd 3 that it
// begins, loads, and writes on fd 4 what it loaded and the load's time in
// microseconds.
int LoadAs(const std::string& work, size_t sigA, size_t sigB) {
    DataBase::InitDataBase();
    (void)!::write(3, "r", 1);
    const auto t0 = std::chrono::steady_clock::now();
    const DataBase::DbStatus st = DataBase::ReadBinFile(work);
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    const std::string what = Outcome(st, sigA, sigB) + "\n" + std::to_string(us.count());
    (void)!::write(4, what.data(), what.size());
    return 0;
}

// A file of another user: loaded by a process of nobody (no lease on root's
// file), while another process rewrites it in place a moment after the load
// began. Gives the loader's outcome and the load's time.
std::pair<std::string, int> LoadAsNobody(const std::string& work, size_t sigA, size_t sigB,
                                         const std::function<void()>& writer) {
    int ready[2], result[2];
    if (::pipe(ready) != 0 || ::pipe(result) != 0) return {"no pipe", 0};
    const pid_t loader = ::fork();
    if (loader == 0) {
        ::dup2(ready[1], 3);
        ::dup2(result[1], 4);
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(9);
        const std::string a = std::to_string(sigA), b = std::to_string(sigB);
        ::execl("/proc/self/exe", "file_attacks", "loadas", work.c_str(), a.c_str(), b.c_str(), nullptr);
        std::_Exit(8);
    }
    ::close(ready[1]);
    ::close(result[1]);
    const pid_t w = Spawn([&] {
        char r;
        if (::read(ready[0], &r, 1) == 1 && writer) writer();
    });
    ::close(ready[0]);
    std::string out;
    char buf[256];
    for (ssize_t n; (n = ::read(result[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
    ::close(result[0]);
    const int status = Wait(loader);
    Wait(w);
    if (WIFEXITED(status) && WEXITSTATUS(status) >= 8) return {"NOT RUN AS NOBODY", 0};
    const size_t nl = out.find('\n');
    if (!WIFEXITED(status) || nl == std::string::npos) return {"LOADER DIED", 0};
    return {out.substr(0, nl), std::atoi(out.c_str() + nl + 1)};
}

int Owner(int runs, const std::string& file) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("file_attacks_owner_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms(0755));
    const std::string work = (dir / "Talv1Dat.bin").string(), other = (dir / "other.bin").string();
    const std::string a = ReadAll(file), b = Variant(file, other);
    DataBase::InitDataBase();
    if (!DataBase::ReadBinFile(file).ok) return 1;
    const size_t sigA = Signature();
    DataBase::InitDataBase();
    if (!DataBase::ReadBinFile(other).ok) return 1;
    const size_t sigB = Signature();
    DataBase::InitDataBase();
    std::ofstream(work, std::ios::binary) << a;
    ::chmod(work.c_str(), 0644);
    // The load's time in such a process with no writer (the median of five).
    std::vector<int> spans;
    for (int i = 0; i < 5; ++i) spans.push_back(LoadAsNobody(work, sigA, sigB, nullptr).second);
    std::sort(spans.begin(), spans.end());
    const int span = spans[2];
    std::map<std::string, int> counts;
    for (int run = 0; run < runs; ++run) {
        std::ofstream(work, std::ios::binary) << a;
        const int delay = std::uniform_int_distribution<int>(0, span)(rng);
        const bool truncate = run % 2 == 0;
        const std::string what = LoadAsNobody(work, sigA, sigB, [&] {
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            WriteInPlace(work, b, truncate);
        }).first;
        counts[(truncate ? "cut first: " : "written over: ") + what]++;
    }
    std::filesystem::remove_all(dir);
    Print(counts);
    std::printf("(a load without a writer took %d us)\n", span);
    return 0;
}

// The start-up's own load, then a writer in place: the writer's wait and
// what the program then has.
int EarlyWrite(int runs, const std::string& file) {
    const std::string work = file + ".attack", other = file + ".other", a = ReadAll(file), b = Variant(file, other);
    if (!LoadCopy(work, a)) return 1;
    const size_t sigA = Signature();
    const std::map<std::string, std::string> expected = LoadedBlocks();
    constexpr int kGiveUp = 10;  // seconds: the system's lease-break time is 45
    std::map<std::string, int> counts;
    std::vector<double> waits;
    for (int run = 0; run < runs; ++run) {
        DataBase::InitDataBase();  // gives up the last run's lease before the file is written again
        std::ofstream(work, std::ios::binary) << a;
        {
            DataBase::EarlyRead early(work);
            if (!early.Finish(nullptr).ok) return 1;
        }
        const auto t0 = std::chrono::steady_clock::now();
        const pid_t writer = Spawn([&] {
            ::alarm(kGiveUp);
            if (!WriteInPlace(work, b)) std::_Exit(1);
        });
        const int status = Wait(writer);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        waits.push_back(ms);
        counts[WIFSIGNALED(status)               ? "WRITER STILL WAITING after 10 s"
               : ms >= 1000                      ? "WRITER WAITED 1 s or more"
               : WEXITSTATUS(status) == 0        ? "writer done within 1 s"
                                                 : "writer failed"]++;
        counts[Signature() == sigA ? "database: the loaded file" : "DATABASE: OTHER"]++;
        CountBlocks(expected, "blocks: ", counts);
    }
    DataBase::InitDataBase();
    std::remove(work.c_str());
    std::remove(other.c_str());
    Print(counts);
    std::sort(waits.begin(), waits.end());
    if (!waits.empty())
        std::printf("writer's wait, ms: median %.1f, 99th percentile %.1f, longest %.1f\n", waits[waits.size() / 2],
                    waits[std::min(waits.size() - 1, waits.size() * 99 / 100)], waits.back());
    return 0;
}

int Blocks(int runs, const std::string& file) {
    const std::string work = file + ".attack", next = file + ".next", a = ReadAll(file), b = Variant(file, next);
    if (!LoadCopy(work, a)) return 1;
    const std::map<std::string, std::string> expected = LoadedBlocks();
    std::map<std::string, int> counts;
    for (int run = 0; run < runs; ++run) {
        if (!LoadCopy(work, a)) return 1;
        const bool rename = run % 2 == 1;
        if (rename) {
            std::ofstream(next, std::ios::binary) << b;
            std::filesystem::rename(next, work);
        } else {
            WriteInPlace(work, b);
        }
        CountBlocks(expected, rename ? "renamed over: " : "in place: ", counts);
    }
    std::remove(work.c_str());
    std::remove(next.c_str());
    Print(counts);
    return 0;
}

// The process's address space now, in bytes.
rlim_t AddressSpace() {
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    statm >> pages;
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
}

// Whether path is mapped into the process now.
bool Mapped(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    const std::string name = std::filesystem::absolute(path).string();
    for (std::string line; std::getline(maps, line);)
        if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(), name) == 0) return true;
    return false;
}

// When the load starts, it is left the address space for the map of the file
// (made before or after) and for its own needs, not for a copy of the file.
struct Squeeze : DataBase::LoadObserver {
    std::string path;
    rlim_t size = 0, room = 0;
    void Start(double) override {
        rlimit lim{AddressSpace() + (Mapped(path) ? 0 : size) + room, RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &lim);
    }
};

int LeaseCopy(int runs, const std::string& file, double room) {
    const std::string work = file + ".attack", a = ReadAll(file);
    std::ofstream(work, std::ios::binary) << a;
    const int span = LoadMicros(work);
    std::map<std::string, int> counts;
    for (int run = 0; run < runs; ++run) {
        std::ofstream(work, std::ios::binary) << a;
        const pid_t loader = ::fork();
        if (loader == 0) {
            Squeeze squeeze;
            squeeze.path = work;
            squeeze.size = a.size();
            squeeze.room = static_cast<rlim_t>(static_cast<double>(a.size()) * room);
            DataBase::InitDataBase();
            std::_Exit(DataBase::ReadBinFile(work, &squeeze).ok ? 0 : 1);
        }
        const int delay = std::uniform_int_distribution<int>(span / 4, span)(rng);
        const pid_t writer = Spawn([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            WriteInPlace(work, a);
        });
        const int status = Wait(loader);
        Wait(writer);
        counts[WIFEXITED(status) ? (WEXITSTATUS(status) == 0 ? "loaded" : "refused")
                                 : std::string("SIGNAL ") + std::to_string(WTERMSIG(status))]++;
    }
    std::remove(work.c_str());
    Print(counts);
    return 0;
}

// Whether the bytes, written at work, load: under a lease, or without one
// (the file held open for writing here).
bool Loads(const std::string& work, const std::string& bytes, bool leased) {
    std::ofstream(work, std::ios::binary) << bytes;
    const int writer = leased ? -1 : ::open(work.c_str(), O_WRONLY);
    DataBase::InitDataBase();
    const bool ok = DataBase::ReadBinFile(work).ok;
    if (writer >= 0) ::close(writer);
    return ok;
}

int Flips(int runs, const std::string& file) {
    const std::string work = file + ".attack", a = ReadAll(file);
    if (a.size() < 16) return 1;
    std::vector<std::pair<std::string, std::string>> copies;
    for (int run = 0; run < runs; ++run) {
        std::string b = a;
        b[std::uniform_int_distribution<size_t>(0, a.size() - 1)(rng)] ^= '\xFF';
        copies.emplace_back("one byte changed", b);
    }
    // The checksum: after the header's first text and its three int16 fields.
    const size_t sum = 2 + (static_cast<unsigned char>(a[0]) | static_cast<unsigned char>(a[1]) << 8) + 6;
    std::string zero = a;
    std::fill_n(zero.begin() + static_cast<long>(sum), 4, '\0');
    copies.emplace_back("checksum zero", zero);
    copies.emplace_back("four bytes appended", a + "abcd");
    std::map<std::string, int> counts{{"LOADS DISAGREE", 0}};
    for (const auto& [what, bytes] : copies) {
        const bool leased = Loads(work, bytes, true), read = Loads(work, bytes, false);
        counts[what + ", under a lease: " + (leased ? "loaded" : "refused")]++;
        counts[what + ", without: " + (read ? "loaded" : "refused")]++;
        if (leased != read) counts["LOADS DISAGREE"]++;
    }
    DataBase::InitDataBase();
    std::remove(work.c_str());
    Print(counts);
    return 0;
}

int Leftovers(const std::filesystem::path& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename().string().rfind(".export.txt.tmp", 0) == 0) ++n;
    return n;
}

int KillSave(int runs) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("file_attacks_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "export.txt").string();
    const std::string big(50u << 20, 'x');
    const auto t0 = std::chrono::steady_clock::now();
    FileOp::WriteFileAtomically(target, big);
    const int span = static_cast<int>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count());
    std::map<std::string, int> counts;
    for (int run = 0; run < runs; ++run) {
        const pid_t saver = Spawn([&] { FileOp::WriteFileAtomically(target, big); });
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, span)(rng)));
        ::kill(saver, SIGKILL);
        Wait(saver);
        if (Leftovers(dir) > 0) counts["left by the killed save"]++;
        FileOp::WriteFileAtomically(target, "small");
        counts["left after the next save"] = Leftovers(dir);
    }
    std::filesystem::remove_all(dir);
    Print(counts);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* usage =
        "usage: file_attacks rewrite RUNS FILE | blocks RUNS FILE | leasecopy RUNS FILE [ROOM] |"
        " killsave RUNS | owner RUNS FILE | earlywrite RUNS FILE | flips RUNS FILE\n";
    const std::vector<std::string> args = ToolArgs::Args(argc, argv);
    if (auto end = ToolArgs::EndEarly(args, usage)) return *end;
    const int runs = args.size() >= 2 ? std::atoi(args[1].c_str()) : 0;
    if (args.size() == 3 && args[0] == "rewrite") return Rewrite(runs, args[2]);
    if (args.size() == 3 && args[0] == "blocks") return Blocks(runs, args[2]);
    if (args.size() >= 3 && args[0] == "leasecopy")
        return LeaseCopy(runs, args[2], args.size() == 4 ? std::atof(args[3].c_str()) : 0.6);
    if (args.size() == 2 && args[0] == "killsave") return KillSave(runs);
    if (args.size() == 3 && args[0] == "owner") return Owner(runs, args[2]);
    if (args.size() == 4 && args[0] == "loadas")
        return LoadAs(args[1], std::stoull(args[2]), std::stoull(args[3]));
    if (args.size() == 3 && args[0] == "earlywrite") return EarlyWrite(runs, args[2]);
    if (args.size() == 3 && args[0] == "flips") return Flips(runs, args[2]);
    std::fputs(usage, stderr);
    return 2;
}
