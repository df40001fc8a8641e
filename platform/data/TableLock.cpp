#include "platform/data/TableLock.h"

#include "platform/data/LockFile.h"

namespace dbengine {

namespace {

class LockFileTableLock : public TableLock {
public:
    explicit LockFileTableLock(const std::string& path) : file_(path) {}
    bool LockTableShared() override { return file_.LockTableShared(); }
    bool LockTableExclusive() override { return file_.LockTableExclusive(); }
    void UnlockTable() override { file_.UnlockTable(); }
    bool LockRecord(std::int64_t key) override { return file_.LockRecord(key); }
    void UnlockRecord(std::int64_t key) override { file_.UnlockRecord(key); }

private:
    LockFile file_;
};

} // namespace

std::unique_ptr<TableLock> OpenLockFileTableLock(const std::string& dir,
                                                 const std::string& archiveIdentity,
                                                 const std::string& table) {
    return std::make_unique<LockFileTableLock>(LockFilePath(dir, archiveIdentity, table));
}

} // namespace dbengine
