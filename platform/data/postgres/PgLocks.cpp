#include "platform/data/postgres/PgLocks.h"

#include <set>

namespace dbengine::pg {

namespace {

// Table locks take the bigint key space, marked with "QUOR" in the high
// half; record locks the space of two integers: the table and the key,
// folded into 32 bits (exact for keys that fit).
std::string TableKey(unsigned oid) {
    return std::to_string(static_cast<std::int64_t>((0x51554F52ull << 32) | oid));
}

std::string RecordKey(std::int64_t key) {
    return std::to_string(static_cast<std::int32_t>(key ^ (key >> 32)));
}

} // namespace

class OwnerLock : public TableLock {
public:
    OwnerLock(std::shared_ptr<SessionLocks> session, unsigned oid)
        : session_(std::move(session)), oid_(oid) {}
    ~OwnerLock() override {
        try {
            for (std::int64_t key : std::set<std::int64_t>(records_))
                UnlockRecord(key);
            UnlockTable();
        } catch (...) {
        }
    }

    bool LockTableShared() override { return LockTable(false); }
    bool LockTableExclusive() override { return LockTable(true); }
    void UnlockTable() override {
        if (table_ == 0) return;
        const bool exclusive = table_ == 2;
        table_ = 0;
        session_->Release(SessionLocks::Key(false, oid_, 0), exclusive);
    }
    bool LockRecord(std::int64_t key) override {
        if (records_.count(key)) return false;
        if (!session_->Acquire(SessionLocks::Key(true, oid_, key), true)) return false;
        records_.insert(key);
        return true;
    }
    void UnlockRecord(std::int64_t key) override {
        if (records_.erase(key)) session_->Release(SessionLocks::Key(true, oid_, key), true);
    }

private:
    bool LockTable(bool exclusive) {
        if (table_ != 0) return false;
        if (!session_->Acquire(SessionLocks::Key(false, oid_, 0), exclusive)) return false;
        table_ = exclusive ? 2 : 1;
        return true;
    }

    std::shared_ptr<SessionLocks> session_;
    unsigned oid_;
    int table_ = 0; // 1 shared, 2 exclusive
    std::set<std::int64_t> records_;
};

std::unique_ptr<TableLock> SessionLocks::Open(unsigned tableOid) {
    return std::make_unique<OwnerLock>(shared_from_this(), tableOid);
}

bool SessionLocks::Acquire(const Key& key, bool exclusive) {
    Held& held = held_[key];
    const bool free = held.shared == 0 && !held.exclusive;
    bool granted = false;
    if (held.exclusive || (exclusive && held.shared > 0)) {
        granted = false; // another owner of this session holds it
    } else if (!free) {
        granted = true; // one more shared owner: the session holds it already
    } else {
        const auto& [record, oid, value] = key;
        try {
            granted =
                record ? ask_("SELECT pg_try_advisory_lock($1::integer, $2::integer)",
                              std::to_string(static_cast<std::int32_t>(oid)), RecordKey(value))
                : exclusive
                    ? ask_("SELECT pg_try_advisory_lock($1::bigint)", TableKey(oid), {})
                    : ask_("SELECT pg_try_advisory_lock_shared($1::bigint)", TableKey(oid), {});
        } catch (...) {
            if (held.shared == 0 && !held.exclusive) held_.erase(key);
            throw;
        }
    }
    if (granted) {
        if (exclusive)
            held.exclusive = true;
        else
            ++held.shared;
    } else if (held.shared == 0 && !held.exclusive) {
        held_.erase(key);
    }
    return granted;
}

void SessionLocks::Release(const Key& key, bool exclusive) {
    auto it = held_.find(key);
    if (it == held_.end()) return;
    Held& held = it->second;
    if (exclusive)
        held.exclusive = false;
    else if (held.shared > 0)
        --held.shared;
    if (held.shared > 0 || held.exclusive) return;
    held_.erase(it);
    const auto& [record, oid, value] = key;
    if (!alive_()) return;
    try {
        if (record)
            ask_("SELECT pg_advisory_unlock($1::integer, $2::integer)",
                 std::to_string(static_cast<std::int32_t>(oid)), RecordKey(value));
        else if (exclusive)
            ask_("SELECT pg_advisory_unlock($1::bigint)", TableKey(oid), {});
        else
            ask_("SELECT pg_advisory_unlock_shared($1::bigint)", TableKey(oid), {});
    } catch (...) {
        if (alive_()) throw; // the connection went while releasing: so did the lock
    }
}

} // namespace dbengine::pg
