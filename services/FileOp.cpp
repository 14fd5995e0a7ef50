#include "FileOp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>

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
    // who picks /dev/null) is refused rather than renamed over.
    if (hasOld && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? kErrPathAccess : kErrPermissionDenied;
    std::string folder = ParentOf(path_);
    std::string base = path_.substr(path_.rfind('/') == std::string::npos ? 0 : path_.rfind('/') + 1);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = (folder == "/" ? "" : folder) + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" +
                std::to_string(++counter);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) break;
        if (errno != EEXIST) {
            int err = errno;
            temp_.clear();
            return ErrorFromErrno(err);
        }
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
    auto fail = [this](int err) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(temp_.c_str());
        temp_.clear();
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
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp_.c_str());
        temp_.clear();
        return ErrorFromErrno(err);
    }
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        int err = errno;
        ::unlink(temp_.c_str());
        temp_.clear();
        return ErrorFromErrno(err);
    }
    temp_.clear();
    data_.clear();
    SyncFolder(ParentOf(path_));
    return 0;
}

void AtomicFile::Abort() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
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
    int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ErrorFromErrno(errno);
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return kErrPathAccess;
    }
    fd_ = fd;
    size_ = S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1;
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
    return true;
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
