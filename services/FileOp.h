// File helpers: error numbers of failed file operations, the one way every
// file of the program is written (a temporary file that replaces the old one
// only when it is complete), reading files, the data files under their file
// numbers, and the user commands that load and save a name list.
//
// Two kinds of paths meet here. The program's paths are cp1252 texts like
// every other text of the program; the system's are its own bytes (UTF-8).
// The low-level classes (AtomicFile, InputFile, WriteFileAtomically) take
// native paths; everything else takes program paths and converts them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ResultSet;

namespace FileOp {

// Error numbers of failed file operations. The first six and kErrNotAFile
// have messages of their own; the others are shown as an unknown disk error
// with their number.
constexpr int kErrDeviceIO = 57;
constexpr int kErrDiskFull = 61;
constexpr int kErrDeviceUnavailable = 68;
constexpr int kErrPermissionDenied = 70;
constexpr int kErrDiskNotReady = 71;
constexpr int kErrPathAccess = 75;
constexpr int kErrInternal = 51;
constexpr int kErrBadFileName = 52;
constexpr int kErrFileNotFound = 53;
// What is there is no ordinary file: a folder, a pipe, a device.
constexpr int kErrNotAFile = 54;
constexpr int kErrFileExists = 58;
constexpr int kErrTooManyFiles = 67;
constexpr int kErrPathNotFound = 76;

// The error number of a failed system call's errno (0 gives 0).
int ErrorFromErrno(int err);

// A program path (cp1252) as the system's path bytes, and back.
std::string Native(const std::string& programPath);
std::string FromNative(const std::string& nativePath);

// The program's folder (cp1252, without a trailing "/"), set by start-up.
extern std::string ProgramFolder;

// Failures that tests make happen on purpose: each counter, while above zero,
// makes the next operation of its kind fail with its errno and counts down.
struct Faults {
    int openErrno = 0;      // opening a file for reading or creating a temporary file
    int openTimes = 0;
    int commitErrno = 0;    // writing out and replacing a file
    int commitTimes = 0;
    int readErrno = 0;      // reading, once readAfter bytes of the file have been read
    int readTimes = 0;
    long long readAfter = 0;
    int seekErrno = 0;      // moving the read position of an open file
    int seekTimes = 0;
    int copyTimes = 0;      // the copy a lease break makes of a mapped file finds no memory
    // Runs in a lease break's handler (on whichever thread the signal came
    // to) once it has found the map of a file mapped after this was set,
    // before its copy: a test holds the handler there.
    void (*duringBreak)() = nullptr;
    // What another program does to a file meanwhile: runs once, when a read
    // reaches byte meanwhileAt of the file.
    std::function<void()> meanwhile = nullptr;
    long long meanwhileAt = 0;
};
Faults& TestFaults();

// A file written whole or not at all. Open creates a temporary file next to
// the target; Write collects the contents; Commit writes them to the temporary
// file, flushes it to the disk and renames it over the target. Until Commit
// succeeds the old file stays as it was; a failed Commit may be retried.
// Destroying an uncommitted file removes the temporary file.
//
// The temporary file is locked (flock) from its creation until it is renamed
// or removed. A save killed part-way leaves its temporary file behind with
// no lock on it: Open removes such leftovers of its target first, and never
// one that a save still running (in this or another process) holds locked.
class AtomicFile {
public:
    explicit AtomicFile(std::string nativePath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // 0 or the error number.
    int Open();
    void Write(std::string_view data);
    // 0 or the error number; after 0 the target holds exactly what was written.
    int Commit();
    // Gives up: the temporary file goes, the target stays as it was.
    void Abort();

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    const std::string& TempPath() const { return temp_; }

private:
    // The temporary file goes (the contents stay for another Commit).
    void DropTemp();
    std::string path_;
    std::string temp_;
    std::string data_;
    int fd_ = -1;
    int lockFd_ = -1;  // the lock of the temporary file, kept until it is renamed
};

// Writes content to the file at nativePath through an AtomicFile, creating
// missing folders first when createFolders is True. 0 or the error number.
int WriteFileAtomically(const std::string& nativePath, std::string_view content,
                        bool createFolders = false);
// Creates the missing folders of a native folder path, owner-only as a
// configuration folder wants them. 0 or the error number.
int CreateFolders(const std::string& nativeFolder);

// What tells one version of a file from another without reading it: which
// file it is, its length, its links, and when its contents and its entry
// last changed.
struct FileStamp {
    unsigned long long dev = 0, ino = 0, links = 0;
    long long size = -1;
    long long mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;
    // Whether the contents are still those of this stamp: the same file,
    // length and modification time, and the same change time unless the
    // file's links changed (renamed over or removed: that moves the change
    // time, not the contents). A write whose modification time was set back
    // afterwards still moves the change time.
    bool SameContents(const FileStamp& now) const;
};

// A file read from the start, as lines or as bytes. Only an ordinary file
// opens: a pipe, a device or a folder is refused (kErrNotAFile) without
// waiting for a writer at its other end.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // 0 or the error number.
    int Open(const std::string& nativePath);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // The next line without its end (CR LF, LF or CR). False at the end of the
    // file and after a read error (Error() tells which).
    bool ReadLine(std::string& line);
    // Up to n bytes; fewer at the end of the file or after a read error.
    std::size_t Read(char* out, std::size_t n);
    bool AtEnd();
    // 0, or the error number of the read that failed.
    int Error() const { return error_; }
    long long Tell() const { return pos_ - static_cast<long long>(end_ - next_); }
    // False when the position cannot be set (Error() tells why).
    bool Seek(long long pos);
    // The file's length in bytes when it was opened (-1 unknown).
    long long Size() const { return size_; }
    // The open file's stamp now; a size of -1 when it cannot be told. Every
    // change of the file after a settled stamp gives another stamp: one taken
    // within the clock's tick of the file's last change is taken again a tick
    // later (a change in the same tick would leave the times as they are), so
    // a file written just now costs a wait of a tick or two (and fresh, when
    // given, tells that it was written so).
    FileStamp Stamp() const;
    FileStamp SettledStamp(bool* fresh = nullptr) const;

private:
    friend class MappedFile;
    bool Fill();
    // One read of up to want bytes into to; end_ = the bytes read.
    bool Fill(char* to, std::size_t want);
    int fd_ = -1;
    static constexpr std::size_t kBufSize = 1 << 16;
    std::unique_ptr<char[]> buf_;
    std::size_t next_ = 0, end_ = 0;
    long long pos_ = 0;  // file position of buf_'s end
    long long size_ = -1;
    int error_ = 0;
    bool eof_ = false;
};

// An opened file's bytes mapped into memory, read-only and private, instead
// of read. The bytes stay as they were when mapped for as long as the map
// lives, whatever happens to the file: replaced by a new one (renamed over
// it), the map keeps the old; written or cut short in place by another
// program, the process holds a read lease on it, and before the writer may
// open it the kernel asks the process to give it up: every page is first
// made the process's own copy, so no byte changes and no page is lost (no
// SIGBUS). When there is no memory for that copy, zeros take the place of the
// bytes (Lost() tells; still no SIGBUS) and the caller reads the file again.
// A file that cannot be guarded so is not mapped (Map gives null)
// and is read instead: not a regular file, on a network or user-space file
// system, open for writing elsewhere, owned by another user (a lease needs
// the owner or CAP_LEASE), or while a test makes reads fail.
// The break reaches the process whichever of its threads mapped the file,
// and the lease is given up as soon as the copy is made (for the 12 MB of a
// full-size database, a few milliseconds). The map and the lease stay
// until the MappedFile goes.
class MappedFile {
public:
    // The whole of f, as long as it was when opened; null when it cannot be
    // mapped safely (or is empty).
    static std::unique_ptr<MappedFile> Map(const InputFile& f);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }
    // Whether a lease break found no memory for the copy: the bytes are
    // zeros since, not the file's.
    bool Lost() const;
    // Whether the lease has been broken since Map: the file was opened for
    // writing or cut short elsewhere (its contents may have changed, the
    // map's bytes have not: they are the copy, unless Lost()).
    bool Broken() const;
    // The whole pages within [from, to) are not needed now: their memory is
    // given back (touched again, they are read again from the file). After
    // a break nothing is given back: the copy is the only place of the bytes.
    void Release(std::size_t from, std::size_t to);
    // How many times a map has waited, as it went, for a lease break's
    // handler that was running on another thread (the handler copies the
    // very pages the map would take away).
    static int WaitsForBreaks();

private:
    MappedFile() = default;
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    int fd_ = -1;
    int slot_ = -1;
};

// --- Data files under file numbers ------------------------------------------

// Opens a file under fileNum. A name without "/" lies in folder, or in the
// program's folder when folder is empty. Modes: "I" text lines, "B" binary
// reading (both must exist: a missing file shows "file not found" with the
// path and " (" kind ")"), "O" writing a new file that replaces the old one
// when CloseFile completes it. A refused open shows the disk error with the
// retry question; Yes tries again. path receives the full path.
bool OpenFile(const std::string& name, const std::string& folder, int fileNum,
              const std::string& mode, const std::string& kind, std::string& path);
// Closes fileNum; a file opened with "O" is written out and replaces the old
// one here. A failure shows the disk error with the retry question (name is
// the message's argument); No gives False and leaves the old file as it was.
bool CloseFile(const std::string& name, int fileNum);
// The file open under fileNum for reading or writing, or null.
InputFile* Input(int fileNum);
AtomicFile* Output(int fileNum);
// Closes every file number; unfinished writes are given up.
void CloseAllFiles();

// Every line of the text file at path (a program path) into lines from
// index 0. 0 when the whole file was read; otherwise the error number, with
// the lines read before the failure in lines (a missing file: kErrFileNotFound
// and no lines).
int ReadTextLines(const std::string& path, std::vector<std::string>& lines);

// Splits a path at its last "/": "docs/a.onl" gives "docs" and "a.onl",
// "/a.onl" gives "/" and "a.onl", "a.onl" gives "" and "a.onl".
void SplitPath(const std::string& path, std::string& folder, std::string& fileName);

// --- Name list files --------------------------------------------------------

// The list file format, filled in by the list files.
class ListFileFormat {
public:
    virtual ~ListFileFormat() = default;
    // A new list without a control read from the file at path (a program
    // path), its atom texts refreshed; null when the file could not be read,
    // after the reader has told the user what went wrong.
    virtual std::shared_ptr<ResultSet> Load(const std::string& path) = 0;
    // Writes the list to path; False when it could not be written, after the
    // writer has told the user why.
    virtual bool Save(const ResultSet& list, const std::string& path) = 0;
};
void SetListFileFormat(ListFileFormat* format);

// The open and save dialogs of the list files, in the text language.
struct ListDialogs {
    std::string loadTitle, saveTitle, filter, defaultExt;
};
ListDialogs ListDialogTexts();

// The user command that loads a list: the open dialog starts in LoadInitDir;
// a loaded list remembers its folder there. Null when the user cancelled or
// the file could not be loaded (the format has said why, in one message).
std::shared_ptr<ResultSet> LoadListFile();
// The user command that saves list; the save dialog starts in SaveInitDir,
// which remembers the folder of a successful save. True when saved; a failure
// the format has told the user.
bool SaveListFile(const ResultSet* list);

}  // namespace FileOp
