#include "FileOp.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <utility>

#include "Cp1252.h"
#include "Errors.h"
#include "GenMsg.h"
#include "Options.h"
#include "Services.h"
#include "TextConstants.h"

namespace FileOp {

std::string ProgramFolder;

int ErrorFromErrno(int err) {
    switch (err) {
    case 0: return 0;
    case EIO: return kErrDeviceIO;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kErrDiskFull;
    case ENODEV:
    case ENXIO: return kErrDeviceUnavailable;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return kErrPermissionDenied;
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
    case EBUSY: return kErrDiskNotReady;
    case EISDIR:
    case ELOOP:
    case EXDEV: return kErrPathAccess;
    case ENOENT: return kErrFileNotFound;
    case ENOTDIR: return kErrPathNotFound;
    case ENAMETOOLONG: return kErrBadFileName;
    case EEXIST: return kErrFileExists;
    case EMFILE:
    case ENFILE: return kErrTooManyFiles;
    default: return kErrInternal;
    }
}

std::string Native(const std::string& programPath) { return Cp1252::ToUtf8(programPath); }
std::string FromNative(const std::string& nativePath) { return Cp1252::FromUtf8(nativePath); }

Faults& TestFaults() {
    static Faults faults;
    return faults;
}

namespace {

// The errno of an injected failure of the given kind, or 0.
int Injected(int& times, int err) {
    if (times <= 0) return 0;
    --times;
    return err;
}

bool IsRegularFile(const std::string& nativePath) {
    struct stat st{};
    return ::stat(nativePath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ParentOf(const std::string& nativePath) {
    auto slash = nativePath.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return nativePath.substr(0, slash);
}

// Creates the missing folders of a path, owner-only as a configuration
// folder wants them. 0 or the error number.
int MakeFolders(const std::string& folder) {
    if (folder.empty() || folder == "/" || folder == ".") return 0;
    struct stat st{};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : kErrPathNotFound;
    if (int err = MakeFolders(ParentOf(folder))) return err;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return ErrorFromErrno(errno);
    return 0;
}

// Whether name is one that AtomicFile::Open gives a temporary file of the
// target whose name makes prefix ("." name ".tmp"): prefix, digits, "-", digits.
bool IsTempName(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return false;
    name.remove_prefix(prefix.size());
    const auto dash = name.find('-');
    auto digits = [](std::string_view d) {
        return !d.empty() && d.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

// Removes what saves of the target named base, killed part-way, left in
// folder: its temporary files that no save holds locked. A save locks its
// file from its creation until it is renamed or removed, and the lock goes
// with the process; one that finds its file removed before it held the lock
// makes another (AtomicFile::Open). The file removed is the one tested: it
// stays locked, and is still the one under its name, until it is gone.
void RemoveLeftovers(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = "." + base + ".tmp";
    while (const dirent* e = ::readdir(dir)) {
        if (!IsTempName(e->d_name, prefix)) continue;
        const std::string path = (folder == "/" ? "" : folder) + "/" + e->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened{}, named{};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

// Pushes the rename itself to the disk; a folder that cannot be synced
// (some file systems refuse) costs durability only, never the new contents.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

// --- AtomicFile ---------------------------------------------------------------

AtomicFile::AtomicFile(std::string nativePath) : path_(std::move(nativePath)) {
    // Writing through a link replaces the file it points to, not the link.
    struct stat st{};
    if (::lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path_.c_str(), nullptr)) {
            path_ = real;
            std::free(real);
        }
    }
}

AtomicFile::~AtomicFile() { Abort(); }

int AtomicFile::Open() {
    if (fd_ >= 0) return 0;
    if (int err = Injected(TestFaults().openTimes, TestFaults().openErrno)) return ErrorFromErrno(err);
    struct stat old{};
    bool hasOld = ::stat(path_.c_str(), &old) == 0;
    // Only an ordinary file is ever replaced: a folder or a device (a user
    // who picks /dev/null) is refused rather than renamed over, and the user
    // is told so, not that the permission is missing.
    if (hasOld && !S_ISREG(old.st_mode)) return kErrNotAFile;
    std::string folder = ParentOf(path_);
    std::string base = path_.substr(path_.rfind('/') == std::string::npos ? 0 : path_.rfind('/') + 1);
    RemoveLeftovers(folder, base);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = (folder == "/" ? "" : folder) + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" +
                std::to_string(++counter);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            if (errno == EEXIST) continue;
            int err = errno;
            temp_.clear();
            return ErrorFromErrno(err);
        }
        // Locked at once. Another save may have taken it for a leftover in
        // the moment before (and removed it): then another name. Where the
        // file system has no locks, no save removes another's file either.
        struct stat st{};
        if (::flock(fd_, LOCK_EX) == 0 && ::fstat(fd_, &st) == 0 && st.st_nlink == 0) {
            ::close(fd_);
            fd_ = -1;
            continue;
        }
        // The lock belongs to the open file, not to the descriptor: a copy
        // keeps it until the file is renamed, after fd_ is closed.
        lockFd_ = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
        break;
    }
    if (fd_ < 0) {
        temp_.clear();
        return kErrFileExists;
    }
    if (hasOld) ::fchmod(fd_, old.st_mode & 07777);
    return 0;
}

void AtomicFile::Write(std::string_view data) { data_.append(data); }

int AtomicFile::Commit() {
    if (int err = Open()) return err;
    // The contents stay for another try.
    auto fail = [this](int err) {
        DropTemp();
        return ErrorFromErrno(err);
    };
    if (int err = Injected(TestFaults().commitTimes, TestFaults().commitErrno)) return fail(err);
    if (::ftruncate(fd_, 0) != 0) return fail(errno);
    std::size_t done = 0;
    while (done < data_.size()) {
        ssize_t n = ::pwrite(fd_, data_.data() + done, data_.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) return fail(ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd_) != 0) return fail(errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(temp_.c_str(), path_.c_str()) != 0) return fail(errno);
    temp_.clear();
    data_.clear();
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
    SyncFolder(ParentOf(path_));
    return 0;
}

void AtomicFile::DropTemp() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    // Removed while still locked: no other save takes it for a leftover.
    if (!temp_.empty()) ::unlink(temp_.c_str());
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
    temp_.clear();
}

void AtomicFile::Abort() {
    DropTemp();
    data_.clear();
}

int WriteFileAtomically(const std::string& nativePath, std::string_view content, bool createFolders) {
    if (createFolders)
        if (int err = MakeFolders(ParentOf(nativePath))) return err;
    AtomicFile file(nativePath);
    if (int err = file.Open()) return err;
    file.Write(content);
    return file.Commit();
}

int CreateFolders(const std::string& nativeFolder) { return MakeFolders(nativeFolder); }

// --- InputFile ----------------------------------------------------------------

InputFile::~InputFile() { Close(); }

int InputFile::Open(const std::string& nativePath) {
    Close();
    if (int err = Injected(TestFaults().openTimes, TestFaults().openErrno)) return ErrorFromErrno(err);
    // Opened without waiting: a pipe would wait for a writer for ever. Only
    // an ordinary file's open is refused so (another program holds a write
    // lease on it), and that one is worth the wait for the lease's break.
    int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == EWOULDBLOCK) fd = ::open(nativePath.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    // Links that lead round in a loop lead to no file.
    if (fd < 0) return errno == ELOOP ? kErrFileNotFound : ErrorFromErrno(errno);
    struct stat st{};
    const int err = ::fstat(fd, &st) != 0 ? ErrorFromErrno(errno) : S_ISREG(st.st_mode) ? 0 : kErrNotAFile;
    if (err) {
        ::close(fd);
        return err;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    size_ = static_cast<long long>(st.st_size);
    next_ = end_ = 0;
    pos_ = 0;
    error_ = 0;
    eof_ = false;
    return 0;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    next_ = end_ = 0;
}

bool InputFile::Fill() {
    // The buffer is made on the first buffered read: a file read only in
    // large pieces never needs it.
    if (!buf_) buf_ = std::make_unique_for_overwrite<char[]>(kBufSize);
    return Fill(buf_.get(), kBufSize);
}

bool InputFile::Fill(char* to, std::size_t want) {
    if (fd_ < 0 || eof_ || error_) return false;
    Faults& f = TestFaults();
    if (f.meanwhile) {
        if (pos_ >= f.meanwhileAt) {
            const auto meanwhile = std::exchange(f.meanwhile, nullptr);  // it may set another
            meanwhile();
        } else {
            want = std::min<std::size_t>(want, static_cast<std::size_t>(f.meanwhileAt - pos_));
        }
    }
    if (f.readTimes > 0) {
        if (pos_ >= f.readAfter) {
            error_ = ErrorFromErrno(Injected(f.readTimes, f.readErrno));
            return false;
        }
        want = std::min<std::size_t>(want, static_cast<std::size_t>(f.readAfter - pos_));
    }
    for (;;) {
        ssize_t n = ::read(fd_, to, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = ErrorFromErrno(errno);
            return false;
        }
        if (n == 0) {
            eof_ = true;
            return false;
        }
        next_ = 0;
        end_ = static_cast<std::size_t>(n);
        pos_ += n;
        return true;
    }
}

bool InputFile::ReadLine(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        if (next_ == end_ && !Fill()) return any && !error_;
        char c = buf_[next_++];
        if (c == '\n') return true;
        if (c == '\r') {
            if (next_ < end_ || Fill())
                if (buf_[next_] == '\n') ++next_;
            return !error_;
        }
        line += c;
        any = true;
    }
}

std::size_t InputFile::Read(char* out, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        if (next_ == end_) {
            // Nothing buffered: the read goes straight to its destination,
            // exactly as long as asked (a file read in pieces of its own
            // size is not read ahead).
            if (!Fill(out + done, n - done)) break;
            done += end_;
            next_ = end_ = 0;
            continue;
        }
        std::size_t take = std::min(n - done, end_ - next_);
        std::memcpy(out + done, buf_.get() + next_, take);
        next_ += take;
        done += take;
    }
    return done;
}

bool InputFile::AtEnd() { return next_ == end_ && !Fill(); }

bool InputFile::Seek(long long pos) {
    if (fd_ < 0 || pos < 0) return false;
    if (int err = Injected(TestFaults().seekTimes, TestFaults().seekErrno)) {
        error_ = ErrorFromErrno(err);
        return false;
    }
    if (::lseek(fd_, static_cast<off_t>(pos), SEEK_SET) < 0) {
        error_ = ErrorFromErrno(errno);
        return false;
    }
    next_ = end_ = 0;
    pos_ = pos;
    eof_ = false;
    error_ = 0;  // a read that failed before does not spoil the reads from here
    return true;
}

namespace {

FileStamp StampOf(int fd) {
    FileStamp s;
    struct stat st{};
    if (fd < 0 || ::fstat(fd, &st) != 0) return s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.links = st.st_nlink;
    s.size = st.st_size;
    s.mtimeSec = st.st_mtim.tv_sec;
    s.mtimeNsec = st.st_mtim.tv_nsec;
    s.ctimeSec = st.st_ctim.tv_sec;
    s.ctimeNsec = st.st_ctim.tv_nsec;
    return s;
}

}  // namespace

bool FileStamp::SameContents(const FileStamp& now) const {
    if (size < 0 || dev != now.dev || ino != now.ino || size != now.size || mtimeSec != now.mtimeSec ||
        mtimeNsec != now.mtimeNsec)
        return false;
    return links != now.links || (ctimeSec == now.ctimeSec && ctimeNsec == now.ctimeNsec);
}

FileStamp InputFile::Stamp() const { return StampOf(fd_); }

FileStamp InputFile::SettledStamp(bool* fresh) const {
    // The file systems take their times from the coarse clock: a stamp whose
    // change time lies before the clock's present tick sees every later
    // change (each sets the change time to that tick or a later one). Of a
    // file changed just now the stamp is taken again, a few ticks at most;
    // a change time ahead of the clock (the clock set back) stays ahead.
    timespec tick{};
    ::clock_getres(CLOCK_REALTIME_COARSE, &tick);
    tick.tv_nsec = std::max<long>(tick.tv_nsec, 1000000);
    for (int tries = 0;; ++tries) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        const FileStamp s = Stamp();
        if (fresh) *fresh = tries > 0;
        if (std::pair(s.ctimeSec, s.ctimeNsec) < std::pair<long long, long long>(now.tv_sec, now.tv_nsec) ||
            s.size < 0 || tries == 3)
            return s;
        ::nanosleep(&tick, nullptr);
    }
}

// --- Data files under file numbers --------------------------------------------

namespace {

struct OpenEntry {
    std::unique_ptr<InputFile> in;
    std::unique_ptr<AtomicFile> out;
};

std::map<int, OpenEntry>& Table() {
    static std::map<int, OpenEntry> table;
    return table;
}

}  // namespace

bool OpenFile(const std::string& name, const std::string& folder, int fileNum, const std::string& mode,
              const std::string& kind, std::string& path) {
    if (name.find('/') != std::string::npos) {
        path = name;
    } else {
        std::string base = folder.empty() ? ProgramFolder : folder;
        path = base.empty() ? name : base + (base.back() == '/' ? "" : "/") + name;
    }
    if (mode != "I" && mode != "B" && mode != "O") {
        Errors::Assert(false, "OpenFile mode " + mode);
        return false;
    }
    std::string native = Native(path);
    if (mode != "O" && !IsRegularFile(native)) {
        GenMsg::ShowMsg(GenMsg::GMfileNotFound, 0, kind.empty() ? path : path + " (" + kind + ")");
        return false;
    }
    // A number still open from before is given up, as a new open replaces it.
    Table().erase(fileNum);
    for (;;) {
        OpenEntry entry;
        int err;
        if (mode == "O") {
            entry.out = std::make_unique<AtomicFile>(native);
            err = entry.out->Open();
        } else {
            entry.in = std::make_unique<InputFile>();
            err = entry.in->Open(native);
        }
        if (err == 0) {
            Table()[fileNum] = std::move(entry);
            return true;
        }
        bool retry = false;
        GenMsg::ShowDiskError(path, true, retry, err);
        if (!retry) return false;
    }
}

bool CloseFile(const std::string& name, int fileNum) {
    auto it = Table().find(fileNum);
    if (it == Table().end()) return true;
    if (it->second.out) {
        for (;;) {
            int err = it->second.out->Commit();
            if (err == 0) break;
            bool retry = false;
            GenMsg::ShowDiskError(name, true, retry, err);
            if (!retry) {
                Table().erase(it);  // the temporary file goes, the old file stays
                return false;
            }
        }
    }
    Table().erase(it);
    return true;
}

InputFile* Input(int fileNum) {
    auto it = Table().find(fileNum);
    return it == Table().end() ? nullptr : it->second.in.get();
}

AtomicFile* Output(int fileNum) {
    auto it = Table().find(fileNum);
    return it == Table().end() ? nullptr : it->second.out.get();
}

void CloseAllFiles() { Table().clear(); }

int ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::string native = Native(path);
    if (!IsRegularFile(native)) return kErrFileNotFound;
    InputFile in;
    if (int err = in.Open(native)) return err;
    std::string line;
    while (in.ReadLine(line)) lines.push_back(line);
    return in.Error();
}

void SplitPath(const std::string& path, std::string& folder, std::string& fileName) {
    folder.clear();
    fileName.clear();
    auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        fileName = path;
        return;
    }
    folder = slash == 0 ? "/" : path.substr(0, slash);
    fileName = path.substr(slash + 1);
}

// --- Name list files ----------------------------------------------------------

namespace {
ListFileFormat* listFormat = nullptr;
}

void SetListFileFormat(ListFileFormat* format) { listFormat = format; }

ListDialogs ListDialogTexts() {
    using TextConstants::LangText;
    ListDialogs d;
    d.loadTitle = LangText("Orsabrine-Namenliste laden", "Load Talvessin Name List");
    d.saveTitle = LangText("Orsabrine-Namenliste speichern", "Save Talvessin Name List");
    d.filter = LangText("Orsabrine-Namenlisten (*.onl)|*.onl|Alle Dateien (*.*)|*.*",
                        "Talvessin Name Lists (*.onl)|*.onl|All Files (*.*)|*.*");
    d.defaultExt = "onl";
    return d;
}

std::shared_ptr<ResultSet> LoadListFile() {
    ListDialogs texts = ListDialogTexts();
    Services::FileDialogRequest request{texts.loadTitle, texts.filter, texts.defaultExt, Options::LoadInitDir};
    std::optional<std::string> chosen = Services::Dialogs().OpenFile(request);
    if (!chosen || chosen->empty()) return nullptr;
    if (!listFormat) {
        Errors::Assert(false, "LoadListFile format");
        return nullptr;
    }
    // A failure has been told by the reader; a second box would only repeat it.
    std::shared_ptr<ResultSet> list = listFormat->Load(*chosen);
    if (!list) return nullptr;
    std::string folder, fileName;
    SplitPath(*chosen, folder, fileName);
    Options::LoadInitDir = folder;
    return list;
}

bool SaveListFile(const ResultSet* list) {
    if (!list) return false;
    ListDialogs texts = ListDialogTexts();
    Services::FileDialogRequest request{texts.saveTitle, texts.filter, texts.defaultExt, Options::SaveInitDir};
    std::optional<std::string> chosen = Services::Dialogs().SaveFile(request);
    if (!chosen || chosen->empty()) return false;
    if (!listFormat) {
        Errors::Assert(false, "SaveListFile format");
        return false;
    }
    if (!listFormat->Save(*list, *chosen)) return false;
    std::string folder, fileName;
    SplitPath(*chosen, folder, fileName);
    Options::SaveInitDir = folder;
    return true;
}

}  // namespace FileOp
