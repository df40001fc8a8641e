#pragma once
// Locks shared with other programs through a file in the session's network
// folder: a table lock (shared while open, or exclusive) and one lock per
// record being edited. Each LockFile is its own owner, even within one
// process, and its locks vanish when it is destroyed or the process dies.
// Requests never wait: they succeed or fail at once. The last holder of a
// file removes it; a file held by a live program is never removed.

#include <cstdint>
#include <memory>
#include <string>

namespace dbengine {

class LockFile {
public:
    // Opens (creating) the file; throws EDatabaseError when it cannot.
    explicit LockFile(const std::string& path);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    bool LockTableShared();
    bool LockTableExclusive();
    void UnlockTable();
    bool LockRecord(std::int64_t key);
    void UnlockRecord(std::int64_t key);
    // Whether any owner holds the record (without taking it).
    bool RecordLockedElsewhere(std::int64_t key);

    const std::string& Path() const { return path_; }

    // Removes the lock files in dir that no live program holds: those left
    // by programs that died. Other files are not touched.
    static void RemoveUnheld(const std::string& dir);

private:
    struct Handle;
    std::string path_;
    std::unique_ptr<Handle> handle_;
};

// The lock file of a table of an archive, in dir.
std::string LockFilePath(const std::string& dir, const std::string& archiveIdentity,
                         const std::string& table);

} // namespace dbengine
