// The binary database file ("Talv1Dat.bin" / "Orsa1Dat.bin"): the reader the
// program loads at start-up, the on-demand reader of the hit-parade atoms,
// and the writer the database compiler produces the files with.
//
// Format (little-endian, two's complement, positions 1-based):
//   String  = int16 length (0..1000) + bytes (cp1252)
//   header  = String, int16 0, int16, int16, int32, int32, String, String
//             (files the program writes: the first int32 is the checksum of
//             the body, every byte after the header (BodySum), and the second
//             the mark kSumMark that says so; any other file is read without)
//   sections, each a String name, compared without case, until "*end":
//     "*stringTab" int32 n, n Strings (internal names, ascending without case)
//     "*idTab"     int32 n (= names), n int32 atom ids of the names
//     "*atoms"     int32 n (= names), n atom records:
//                  int32 id, String name, int16 kind, numVariants, textIdx,
//                  descrIdx, Level, String Soundex, String Uppercase, and for
//                  a name beginning "po" its on-demand block:
//                  int32 E (position after the block), int16 m, m property
//                  records (the atom's properties from the fourth on)
//     "*prop"      int32 n, n property records, registered in order:
//                  int32 kind-atom id, int16 kind, then kind 0: int32 atom id;
//                  kind 1: String; kind 2: int32 atom id, String
//     "*atomProp"  int32 n, per atom id 0..n-1: int16 c, c int32 property ids
//                  (a "po" atom: its first two and a prFilePos property whose
//                  string is the position of its block)
//     "*end"
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Atom.h"

namespace DataBase {

// Error number of a malformed database file; shown as message 33.
constexpr int kStructError = 1000;
// Message number of GMstructError.
constexpr int kMsgStructError = 33;

struct DbStatus {
    bool ok = true;
    // 0 none; below 1000 the run-time error number of a failed file operation
    // (53 not found, 57 device i/o, 61 disk full, 70 permission denied, 75
    // path/file access, ...); 1000 a malformed file (or, from the writer, a
    // database the format cannot hold).
    int error = 0;
    bool openFailed = false;  // the file could not be opened at all
    std::string path;         // the file's full path, the message argument
    std::string detail;       // what exactly was wrong, for the log
    // The message the caller shows: 33 (GMstructError) for error 1000 and up,
    // 0 when it shows the disk-error message of `error`.
    int Message() const { return error >= kStructError ? kMsgStructError : 0; }
};

// What the caller of ReadBinFile sees of the load: the welcome window's
// progress bar and countdown, and the message on failure.
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    // The progress bar's maximum (file length + 1); the countdown starts.
    virtual void Start(double max) {}
    // The read position, every 501 steps; pending window events may run.
    virtual void Progress(double value) {}
    // The load failed: show message 33 or the disk-error message (unless
    // the program is shutting down).
    virtual void Failed(const DbStatus& status) {}
};

// The second int32 of the header in a file whose first int32 is the checksum
// of its body: "Sum1" in the file's bytes.
constexpr int32_t kSumMark = 0x316D7553;

// The header fields the reader does not interpret (the second field, which
// must be 0, is always written as 0; WriteBinFile writes field5 and field6
// itself, as the checksum and its mark).
struct BinHeader {
    std::string text;
    int16_t field3 = 0;
    int16_t field4 = 0;
    int32_t field5 = 0;
    int32_t field6 = 0;
    std::string text7;
    std::string text8;
};

// The header of the file read last, and its name (the on-demand blocks come
// from that file, held open since its load).
extern BinHeader fileHeader;
extern std::string dbFileName;

// When the checksum of a mapped file's body is taken.
enum class BodyCheck {
    During,  // beside the read, on a thread of its own: the read's status is the verdict
    Later,   // by CheckBody, which the caller runs before anything uses the database
};

// Reads the whole file into an emptied database (InitDataBase first). On
// success the kind atoms are set and the counters counted. On failure the
// observer's Failed is called and the database is left empty (the program
// ends then; nothing half-read stays behind). The file is mapped under a
// read lease where one can be had (no writer changes it meanwhile), else
// read through a window; a file so read that changed meanwhile (its stamp
// moved, or the bytes read do not give its checksum) is read again, twice at
// most, and then refused as malformed. A mapped file whose bytes do not give
// its checksum is refused as malformed at once: no writer changed it while
// it was read, it is damaged. What is no ordinary file (a folder, a pipe) is
// malformed too. A file without the checksum's mark is read as the format
// describes it, its changes told by its stamp only. With BodyCheck::Later a
// mapped file's body is not summed while it is read: the read gives the
// records, and CheckBody the verdict on the body (a file read through a
// window is summed as it passes, whatever the check asked for).
DbStatus ReadBinFile(const std::string& fileName, LoadObserver* observer = nullptr,
                     BodyCheck check = BodyCheck::During);

// Whether the checksum of the loaded file's body is still to be taken (a
// mapped file read with BodyCheck::Later, until CheckBody).
bool BodyCheckPending();
// Takes that checksum: ok when the body gives the one the file carries, or
// when none was pending. A body that does not give it is a damaged file,
// refused as ReadBinFile refuses one (error kStructError) and the database
// emptied. Where a lease break since the load found no memory for its copy
// (the mapped bytes are zeros), the file is read again as ReadBinFile reads
// it, through a window, and that read's status is the verdict.
DbStatus CheckBody();

// While ReadBinFile runs on another thread, faults in on the calling thread
// a piece (2 MB at most) of the memory the load is about to write, so that
// the load finds it there instead of waiting for it; false when there is
// none to fault (or no load runs). A thread that waits for the load calls
// it until then. What it faults is the load's own memory: the blocks of its
// atoms and properties as they are handed out (not the room of the property
// lists, which they fill in part), and of the room for its texts no more
// than a piece ahead of them, and only where the bytes left in the file can
// still hold a megabyte of texts past the piece's start.
bool FaultAhead();

// ReadBinFile on a thread of its own, begun early so that the file is read
// while the program builds its windows. From the constructor until Finish
// (or the destructor) has returned, nothing else may touch the database.
class EarlyRead {
public:
    // check: when a mapped file's body is summed (see ReadBinFile).
    explicit EarlyRead(std::string fileName, BodyCheck check = BodyCheck::During);
    ~EarlyRead();  // waits for the read
    EarlyRead(const EarlyRead&) = delete;
    EarlyRead& operator=(const EarlyRead&) = delete;

    const std::string& fileName() const { return fileName_; }
    // Whether the read has ended with the database loaded, waiting up to
    // `wait` for it to end.
    bool Loaded(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) const;
    // Waits for the read to end and gives its status; meanwhile, on the
    // calling thread, the observer sees what ReadBinFile would show it
    // (Start, Progress about every 30 ms, Failed).
    DbStatus Finish(LoadObserver* observer);

private:
    struct Shared;
    std::string fileName_;
    std::unique_ptr<Shared> shared_;
};

// The on-demand load of one "po" atom with its status (atom::LoadOnDemand
// is this plus the report of failures through the file-error handler).
// A prFilePos of "-1" (an atom from the user-names file) reads nothing.
// The block comes from the file the database was read from, kept open: a
// new file renamed over its name changes nothing. A file that was mapped
// under a lease keeps its loaded bytes when it is changed in place (the
// lease break copies them), and the blocks come from that copy; any other
// file changed in place has its blocks refused as malformed.
DbStatus LoadOnDemandStatus(atom& a);
// The loaded file as it now is counts as the one loaded: its blocks are read
// whatever changed (for the tests of the block reader on a file changed on
// purpose).
void TakeFileAsLoaded();

// Shows a failure the way the program does: message 33 (GMstructError) for
// error 1000, else the disk-error message of the error number; the path is
// the argument. A LoadObserver's Failed may simply call this.
void ShowFileError(const DbStatus& status);
// Where atom::LoadOnDemand reports a malformed block or a failed read; with
// no handler set (or after SetFileErrorHandler(nullptr)) ShowFileError.
using FileErrorHandler = std::function<void(const DbStatus&)>;
void SetFileErrorHandler(FileErrorHandler handler);
void ReportFileError(const DbStatus& status);

// Writes the database in the format above. Atoms are renumbered densely when
// deleted ids left gaps; each "po" atom gets its first two properties (other
// than prFilePos) in "*atomProp" plus a fresh prFilePos with its block's
// position, and the rest of its properties in its block; text and
// description indexes follow that order. Not yet loaded "po" atoms are loaded
// first. Refuses (error 1000, nothing written) what the reader would refuse:
// more than 25,001 atoms or 150,001 properties, texts over 1000 characters,
// more than 32,767 properties on one atom, properties pointing at deleted
// atoms. The header is written with the checksum of the body and its mark
// in place of field5 and field6. The file is replaced only when completely
// written.
DbStatus WriteBinFile(const std::string& fileName, const BinHeader& header = {});

}  // namespace DataBase
