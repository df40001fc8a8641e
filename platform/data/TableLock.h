#pragma once
// The locks one owner (an open table) holds for other programs to see: the
// table, shared while open or exclusive, and each record being edited. An
// owner's locks vanish when it is destroyed or its program dies. Requests
// never wait: they succeed or fail at once.

#include <cstdint>
#include <memory>
#include <string>

namespace dbengine {

class TableLock {
public:
    virtual ~TableLock() = default;
    virtual bool LockTableShared() = 0;
    virtual bool LockTableExclusive() = 0;
    virtual void UnlockTable() = 0;
    virtual bool LockRecord(std::int64_t key) = 0;
    virtual void UnlockRecord(std::int64_t key) = 0;
};

// The locks kept in a lock file of the table in dir, for the archive named
// by archiveIdentity; EDatabaseError when the file cannot be made.
std::unique_ptr<TableLock> OpenLockFileTableLock(const std::string& dir,
                                                 const std::string& archiveIdentity,
                                                 const std::string& table);

} // namespace dbengine
