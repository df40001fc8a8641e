#include "platform/data/LockFile.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

namespace dbengine {

namespace {
// Byte 0 is the table; record k is byte k + 1 (keys are rowids; a negative
// one wraps into the upper half, still distinct). The last byte a lock can
// name is held shared by every holder of the file for as long as it has it
// open: a file whose last byte can be locked exclusively is held by nobody.
constexpr std::uint64_t kTableOffset = 0;
constexpr std::uint64_t kPresenceOffset = 0x7FFFFFFFFFFFFFFFull;
std::uint64_t RecordOffset(std::int64_t key) {
    return 1 + static_cast<std::uint64_t>(key) % (kPresenceOffset - 1);
}

// "quor_" + 16 hexadecimal digits + "_" + table + ".lck", as LockFilePath
// names them; name is the system's own spelling, narrow or wide.
template <class Name> bool IsLockFileName(const Name& name) {
    const auto is = [&name](std::size_t at, const char* text) {
        for (std::size_t i = 0; text[i]; ++i)
            if (at + i >= name.size() || name[at + i] != static_cast<unsigned char>(text[i]))
                return false;
        return true;
    };
    if (name.size() < 27 || !is(0, "quor_") || !is(21, "_") || !is(name.size() - 4, ".lck"))
        return false;
    for (std::size_t i = 5; i < 21; ++i) {
        const auto c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
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
    // Without FILE_SHARE_DELETE in any holder's open, the system deletes the
    // file only when no program has it open.
    std::u16string wide;
    ~Handle() {
        if (file == INVALID_HANDLE_VALUE) return;
        CloseHandle(file);
        DeleteFileW(reinterpret_cast<const wchar_t*>(wide.c_str()));
    }
};

LockFile::LockFile(const std::string& path) : path_(path), handle_(std::make_unique<Handle>()) {
    handle_->wide = Cp1252ToUtf16(path);
    const std::u16string& wide = handle_->wide;
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
    std::string path; // UTF-8
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
    // Whether the name still leads to the file open here.
    bool StillNamed() const {
        struct stat opened, named;
        return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 &&
               opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
    }
    // Removes the file when no holder but this one has it. Whoever opens it
    // meanwhile finds it gone once it holds its presence lock, and opens anew.
    void RemoveIfUnheld() {
#ifdef F_OFD_SETLK
        if (Apply(F_WRLCK, kPresenceOffset) && StillNamed()) unlink(path.c_str());
#endif
        // Process locks cannot tell this holder from others of the same
        // program, and closing any file drops them all: files stay.
    }
    ~Handle() {
        if (fd < 0) return;
        RemoveIfUnheld();
        close(fd);
    }
};

LockFile::LockFile(const std::string& path) : path_(path), handle_(std::make_unique<Handle>()) {
    handle_->path = Cp1252ToUtf8(path);
    // A file being removed by its last holder is opened again, fresh.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        // Every program sharing the folder opens the file for writing, whoever made it.
        handle_->fd = open(handle_->path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle_->fd >= 0) {
            fchmod(handle_->fd, 0666);
        } else if (errno == EEXIST) {
            handle_->fd = open(handle_->path.c_str(), O_RDWR | O_CLOEXEC);
            if (handle_->fd < 0 && errno == ENOENT) continue; // removed meanwhile
        }
        if (handle_->fd < 0)
            throw EDatabaseError("Impossibile creare il file di blocco '" + AnsiString(path) +
                                 "': " + AnsiString(std::strerror(errno)));
        if (handle_->Apply(F_RDLCK, kPresenceOffset) && handle_->StillNamed()) return;
        close(handle_->fd);
        handle_->fd = -1;
        const timespec pause{0, 1000000};
        nanosleep(&pause, nullptr);
    }
    throw EDatabaseError("Impossibile usare il file di blocco '" + AnsiString(path) +
                         "': un altro programma lo rimuove e lo ricrea di continuo");
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

void LockFile::RemoveUnheld(const std::string& dir) {
    if (dir.empty()) return;
    std::error_code failed;
    std::filesystem::directory_iterator it(std::filesystem::path(Cp1252ToUtf16(dir)), failed);
    for (; !failed && it != std::filesystem::directory_iterator(); it.increment(failed)) {
        if (!IsLockFileName(it->path().filename().native())) continue;
#ifdef _WIN32
        DeleteFileW(it->path().c_str());
#else
        // The probe takes no presence lock: closing it removes the file
        // when no program holds it.
        Handle probe;
        probe.path = it->path().string();
        probe.fd = open(probe.path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
#endif
    }
}

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
