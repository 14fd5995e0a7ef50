// FileOp::MappedFile: a file mapped instead of read, guarded by a read lease
// against a writer in place (see FileOp.h).
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "FileOp.h"

namespace FileOp {

namespace {

// The maps under a lease, for the signal that tells of a lease break: the
// handler finds its map by the descriptor (no allocation, no lock there).
struct LeaseSlot {
    std::atomic<int> fd{-1};
    std::atomic<unsigned char*> data{nullptr};
    std::atomic<std::size_t> size{0};
    std::atomic<bool> failCopy{false};  // a test's copy that finds no memory
    std::atomic<bool> lost{false};      // zeros in place of the bytes
    std::atomic<bool> broken{false};    // the lease has been broken
    std::atomic<void (*)()> duringBreak{nullptr};  // a test's hold in the handler
};
constexpr int kSlots = 8;
LeaseSlot slots[kSlots];
struct sigaction previous{};
std::once_flag handlerInstalled;
// Lease-break handlers running now, on whatever thread: a map is not taken
// away under one (see LetGo).
std::atomic<int> handlersRunning{0};
std::atomic<int> waitsForHandlers{0};
// The signal the kernel sends on a lease break.
constexpr int kLeaseSignal = SIGIO;

// The map becomes the process's own memory: a copy of its bytes moved to its
// addresses in one step, so that readers on other threads see the same bytes
// at the same addresses throughout. (Pages merely copied on write would not
// do: cutting a file short takes away even those of a private map.)
//
// Without memory for the copy, zeros take the bytes' place (a mapping that
// reads as zeros needs no memory until written, and this one never is): a
// read then finds no file under it to fault on, and the slot tells that the
// bytes are lost. False when the map still reads the file.
bool Privatise(LeaseSlot& slot) {
    unsigned char* const data = slot.data.load();
    const std::size_t size = slot.size.load();
    void* copy = slot.failCopy.load()
                     ? MAP_FAILED
                     : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (copy != MAP_FAILED) {
        std::memcpy(copy, data, size);
        ::mprotect(copy, size, PROT_READ);
        if (::mremap(copy, size, size, MREMAP_MAYMOVE | MREMAP_FIXED, data) != MAP_FAILED) return true;
        ::munmap(copy, size);
    }
    slot.lost.store(true);
    return ::mmap(data, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED;
}

void OnLeaseBreak(int sig, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    // Counted before the slots are looked at: whoever lets go of a slot
    // first takes it from them, then waits for the count (LetGo).
    handlersRunning.fetch_add(1);
    for (LeaseSlot& s : slots) {
        const int fd = s.fd.load();
        if (fd < 0 || fd != info->si_fd) continue;
        // The writer may go on once nothing of the file is used any more
        // (no map left, or the map made the process's own). Should not even
        // the zeros be had, the lease stays until the map goes (or until the
        // system takes it after its time).
        if (void (*hold)() = s.duringBreak.load()) hold();
        s.broken.store(true);
        if (s.data.load() == nullptr || Privatise(s)) ::fcntl(fd, F_SETLEASE, F_UNLCK);
        handlersRunning.fetch_sub(1);
        errno = savedErrno;
        return;
    }
    handlersRunning.fetch_sub(1);
    errno = savedErrno;
    // Not ours: whoever handled the signal before.
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction) previous.sa_sigaction(sig, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler) {
        previous.sa_handler(sig);
    }
}

void InstallHandler() {
    std::call_once(handlerInstalled, [] {
        struct sigaction sa{};
        sa.sa_sigaction = OnLeaseBreak;
        sa.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&sa.sa_mask);
        ::sigaction(kLeaseSignal, &sa, &previous);
    });
}

// The handler lets go of the slot: a break from now on does not find it,
// and one that found it before has ended (it may run on another thread,
// copying the very bytes about to be unmapped). The wait is counted from
// within, while a handler still runs: a count that moved tells that the map
// is waiting, not that it is about to go.
void LetGo(LeaseSlot& slot) {
    slot.fd.store(-2);
    bool waited = false;
    while (handlersRunning.load() != 0) {
        if (!waited) waitsForHandlers.fetch_add(1);
        waited = true;
        ::sched_yield();
    }
}

// File systems whose files another machine (or a user-space server) may cut
// short without a lease break reaching us.
bool RemoteFileSystem(int fd) {
    struct statfs fs{};
    if (::fstatfs(fd, &fs) != 0) return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:      // NFS
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
    case 0x65735546UL:  // FUSE
    case 0x00C36400UL:  // Ceph
    case 0x01021997UL:  // 9P
    case 0x5346414FUL:  // AFS
    case 0x6B414653UL:  // kAFS
    case 0x47504653UL:  // GPFS
    case 0x0BD00BD0UL:  // Lustre
        return true;
    default:
        return false;
    }
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::Map(const InputFile& f) {
    Faults& faults = TestFaults();
    if (f.fd_ < 0 || f.size_ <= 0 || faults.readTimes > 0 || faults.seekTimes > 0 || faults.meanwhile) return nullptr;
    if (RemoteFileSystem(f.fd_)) return nullptr;
    int slot = -1;
    for (int i = 0; i < kSlots && slot < 0; ++i) {
        int expected = -1;
        // -2 reserves the slot until the lease is held.
        if (slots[i].fd.compare_exchange_strong(expected, -2)) slot = i;
    }
    if (slot < 0) return nullptr;
    // A descriptor of its own: the lease's signal names it.
    const int fd = ::fcntl(f.fd_, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        slots[slot].fd.store(-1);
        return nullptr;
    }
    // The lease (if held) and the slot given up: the file is then read as before.
    auto giveUp = [slot, fd] {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        ::close(fd);
        slots[slot].fd.store(-1);
    };
    InstallHandler();
    struct stat st{};
    // The signal is chosen before the lease is taken: a break may come at
    // once. The system sends it to the thread that took the lease, and to no
    // one once that thread has ended (a read on a thread of its own would
    // keep every writer waiting for the system's lease-break time): it goes
    // to the process instead, whose threads all run the one handler.
    const f_owner_ex owner{F_OWNER_PID, ::getpid()};
    if (::fcntl(fd, F_SETSIG, kLeaseSignal) != 0 || ::fcntl(fd, F_SETLEASE, F_RDLCK) != 0 ||
        ::fcntl(fd, F_SETOWN_EX, &owner) != 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size != f.size_) {
        // No lease (open for writing elsewhere, another's file), or the file
        // changed since it was opened: read as before.
        giveUp();
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(f.size_);
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (data == MAP_FAILED) {
        giveUp();
        return nullptr;
    }
    std::unique_ptr<MappedFile> m(new MappedFile);
    m->data_ = static_cast<unsigned char*>(data);
    m->size_ = size;
    m->fd_ = fd;
    m->slot_ = slot;
    slots[slot].data.store(m->data_);
    slots[slot].size.store(size);
    slots[slot].lost.store(false);
    slots[slot].broken.store(false);
    slots[slot].failCopy.store(faults.copyTimes > 0);
    slots[slot].duringBreak.store(faults.duringBreak);
    if (faults.copyTimes > 0) --faults.copyTimes;
    slots[slot].fd.store(fd);
    // A break that came before the map was in the slot found nothing to
    // guard: it is seen to here.
    if (::fcntl(fd, F_GETLEASE) != F_RDLCK) {
        LetGo(slots[slot]);
        slots[slot].broken.store(true);
        if (Privatise(slots[slot])) ::fcntl(fd, F_SETLEASE, F_UNLCK);
    }
    return m;
}

bool MappedFile::Lost() const { return slots[slot_].lost.load(); }

bool MappedFile::Broken() const { return slots[slot_].broken.load(); }

void MappedFile::Release(std::size_t from, std::size_t to) {
    // Pages of the process's own copy would come back as zeros: once a
    // lease break has begun the copy, nothing is given back.
    LeaseSlot& slot = slots[slot_];
    if (slot.broken.load()) return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    from = (std::min(from, size_) + page - 1) / page * page;
    to = std::min(to, size_) / page * page;
    if (from < to) ::madvise(data_ + from, to - from, MADV_DONTNEED);
    // A break on another thread meanwhile may have copied pages and then
    // seen them given back: the bytes count as lost. (One that begins only
    // now copies pages given back before it, read again from the file the
    // writer has not touched yet.)
    if (slot.broken.load()) slot.lost.store(true);
}

int MappedFile::WaitsForBreaks() { return waitsForHandlers.load(); }

MappedFile::~MappedFile() {
    // The handler lets go of the slot first: the map goes away with it.
    LetGo(slots[slot_]);
    ::fcntl(fd_, F_SETLEASE, F_UNLCK);
    ::close(fd_);
    if (data_) ::munmap(data_, size_);
    slots[slot_].data.store(nullptr);
    slots[slot_].size.store(0);
    slots[slot_].lost.store(false);
    slots[slot_].broken.store(false);
    slots[slot_].failCopy.store(false);
    slots[slot_].duringBreak.store(nullptr);
    slots[slot_].fd.store(-1);
}

}  // namespace FileOp
