// What a run begins before its QApplication exists, each on a thread of its
// own, so that it is done or under way when the start-up steps come to it:
// the reading of the edition's database file, and fontconfig's setting-up
// (its configuration files and font caches, which the frame's first text
// otherwise waits for on the main thread).
//
//   Startup::EarlyStart early(argv[0]);     // first thing in main
//   QApplication app(argc, argv);
//   Startup::ProgramSetup setup;
//   setup.early = &early;
//
// Nothing of it can be seen: the load step still waits for the read and
// reports it as before, and Qt finds fontconfig set up. The read leaves the
// checksum of a mapped file's body for the start-up to take
// (DataBase::CheckBody).
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace DataBase {
class EarlyRead;
}

namespace Startup {

class EarlyStart {
public:
    // argv0 chooses the edition as start-up does (no read for a name that
    // chooses none); databaseFolder "" for the program's folder.
    explicit EarlyStart(const std::string& argv0, const std::string& databaseFolder = "");
    ~EarlyStart();  // waits for what still runs
    EarlyStart(const EarlyStart&) = delete;
    EarlyStart& operator=(const EarlyStart&) = delete;

    // Whether the database read was begun (the parser's tables are filled
    // and the read empties the database itself).
    bool ReadBegun() const { return readBegun_; }
    // The read begun for this file, handed over once; null when none was (a
    // read of another file is waited for and dropped: one read at a time).
    std::unique_ptr<DataBase::EarlyRead> TakeRead(const std::string& path);
    // Returns once fontconfig is set up: before the first text is measured,
    // so that Qt does not begin the same work a second time meanwhile.
    void WaitForFonts();

private:
    std::atomic<bool> fontsClaimed_{false};  // the fonts' setting-up begun, here or there
    std::thread fonts_;
    std::unique_ptr<DataBase::EarlyRead> read_;
    bool readBegun_ = false;
};

// The folder of the running program's file in the system's text, without Qt
// ("" when unknown).
std::string ExecutableFolder();
// Whether two paths in the program's text name one file (the same text, or
// links to one file).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace Startup
