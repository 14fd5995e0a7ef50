#include "EarlyStart.h"

#include <filesystem>
#include <system_error>

#ifdef HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include "BinFile.h"
#include "FileOp.h"
#include "Parser.h"
#include "StartupModel.h"

namespace Startup {

std::string ExecutableFolder() {
    // Where Qt finds the program's folder on Linux: the link's target.
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(FileOp::Native(a), FileOp::Native(b), ec) && !ec;
}

EarlyStart::EarlyStart(const std::string& argv0, const std::string& databaseFolder) {
#ifdef HAVE_FONTCONFIG
    // Reads fontconfig's configuration and its font caches; Qt's font
    // database calls FcInit as well, and then finds them read.
    fonts_ = std::thread([this] {
        if (!fontsClaimed_.exchange(true)) FcInit();
    });
#endif
    const std::optional<int> edition = EditionOfProgram(argv0);
    const std::string folder = databaseFolder.empty() ? ExecutableFolder() : databaseFolder;
    if (!edition || folder.empty()) return;
    // The load makes the names' keys with the parser's tables: they are
    // filled first, and start-up leaves out its own filling of them and its
    // emptying of the database (the read empties it before it reads). The
    // checksum of a mapped file's body is taken once the frame has been
    // painted, before anything uses the database (Startup.cpp).
    Parser::InitParser();
    read_ = std::make_unique<DataBase::EarlyRead>(FileOp::FromNative(folder) + "/" + DatabaseFileOf(*edition),
                                                  DataBase::BodyCheck::Later);
    readBegun_ = true;
}

EarlyStart::~EarlyStart() {
    WaitForFonts();
    read_.reset();
}

std::unique_ptr<DataBase::EarlyRead> EarlyStart::TakeRead(const std::string& path) {
    if (read_ && !SameFile(read_->fileName(), path)) read_.reset();  // waits for it: one read at a time
    return std::move(read_);
}

void EarlyStart::WaitForFonts() {
#ifdef HAVE_FONTCONFIG
    // A thread the system has not run yet (a busy machine) is not waited
    // for: the setting-up is done here, and the thread then leaves it.
    if (!fontsClaimed_.exchange(true)) FcInit();
#endif
    if (fonts_.joinable()) fonts_.join();
}

}  // namespace Startup
