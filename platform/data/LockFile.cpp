#include "platform/data/LockFile.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"

#include <cctype>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace dbengine {

namespace {
// Byte 0 is the table; record k is byte k + 1 (keys are positive rowids; a
// negative one wraps into the upper half, still distinct).
constexpr std::uint64_t kTableOffset = 0;
std::uint64_t RecordOffset(std::int64_t key) {
    return (static_cast<std::uint64_t>(key) + 1) & 0x7FFFFFFFFFFFFFFFull;
}
} // namespace

#ifdef _WIN32

struct LockFile::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    bool Lock(std::uint64_t offset, bool exclusive) {
        OVERLAPPED ov{};
        ov.Offset = static_cast<DWORD>(offset);
        ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        return LockFileEx(file, flags, 0, 1, 0, &ov) != 0;
    }
    void Unlock(std::uint64_t offset) {
        OVERLAPPED ov{};
        ov.Offset = static_cast<DWORD>(offset);
        ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
        UnlockFileEx(file, 0, 1, 0, &ov);
    }
    bool Test(std::uint64_t offset) {
        if (!Lock(offset, true)) return true;
        Unlock(offset);
        return false;
    }
    ~Handle() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

LockFile::LockFile(const std::string& path) : path_(path), handle_(std::make_unique<Handle>()) {
    const std::u16string wide = Cp1252ToUtf16(path);
    handle_->file = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()),
                                GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_->file == INVALID_HANDLE_VALUE)
        throw EDatabaseError("Impossibile creare il file di blocco '" + AnsiString(path) + "'");
}

#else

// Open-file-description locks: owned by this open file, so two datasets of
// one process exclude each other too, and closing one file leaves the
// others' locks alone. Classic process locks where they are missing.
struct LockFile::Handle {
    int fd = -1;
    bool Apply(short type, std::uint64_t offset, bool test = false) {
        struct flock fl;
        std::memset(&fl, 0, sizeof fl);
        fl.l_type = type;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = 1;
#ifdef F_OFD_SETLK
        const int cmd = test ? F_OFD_GETLK : F_OFD_SETLK;
#else
        const int cmd = test ? F_GETLK : F_SETLK;
#endif
        if (fcntl(fd, cmd, &fl) != 0) return false;
        if (test) return fl.l_type == F_UNLCK;
        return true;
    }
    ~Handle() {
        if (fd >= 0) close(fd);
    }
};

LockFile::LockFile(const std::string& path) : path_(path), handle_(std::make_unique<Handle>()) {
    handle_->fd = open(Cp1252ToUtf8(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (handle_->fd < 0)
        throw EDatabaseError("Impossibile creare il file di blocco '" + AnsiString(path) +
                             "': " + AnsiString(std::strerror(errno)));
}

#endif

LockFile::~LockFile() = default;

#ifdef _WIN32
bool LockFile::LockTableShared() {
    return handle_->Lock(kTableOffset, false);
}
bool LockFile::LockTableExclusive() {
    return handle_->Lock(kTableOffset, true);
}
void LockFile::UnlockTable() {
    handle_->Unlock(kTableOffset);
}
bool LockFile::LockRecord(std::int64_t key) {
    return handle_->Lock(RecordOffset(key), true);
}
void LockFile::UnlockRecord(std::int64_t key) {
    handle_->Unlock(RecordOffset(key));
}
bool LockFile::RecordLockedElsewhere(std::int64_t key) {
    return handle_->Test(RecordOffset(key));
}
#else
bool LockFile::LockTableShared() {
    return handle_->Apply(F_RDLCK, kTableOffset);
}
bool LockFile::LockTableExclusive() {
    return handle_->Apply(F_WRLCK, kTableOffset);
}
void LockFile::UnlockTable() {
    handle_->Apply(F_UNLCK, kTableOffset);
}
bool LockFile::LockRecord(std::int64_t key) {
    return handle_->Apply(F_WRLCK, RecordOffset(key));
}
void LockFile::UnlockRecord(std::int64_t key) {
    handle_->Apply(F_UNLCK, RecordOffset(key));
}
bool LockFile::RecordLockedElsewhere(std::int64_t key) {
    return !handle_->Apply(F_WRLCK, RecordOffset(key), true);
}
#endif

std::string LockFilePath(const std::string& dir, const std::string& archiveIdentity,
                         const std::string& table) {
    // FNV-1a of the archive's path keeps one lock file per table per archive.
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : archiveIdentity) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(h));
    std::string name;
    for (char c : table)
        name +=
            std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
    std::string path = dir;
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
    return path + "quor_" + hash + "_" + name + ".lck";
}

} // namespace dbengine
