#pragma once
// Table and record locks on a PostgreSQL server: advisory locks of the
// session, so that they vanish with the program or its connection. The
// server tells sessions apart; within one session (the datasets of one
// database) the locks are counted here, so that each open table is its own
// owner as with lock files.

#include "platform/data/TableLock.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace dbengine::pg {

class SessionLocks : public std::enable_shared_from_this<SessionLocks> {
public:
    // ask runs a statement of one boolean column with one bigint or two
    // integer parameters and answers it; it raises when the server cannot.
    using Ask =
        std::function<bool(const std::string& sql, const std::string& a, const std::string& b)>;
    // alive answers whether the session still reaches the server: releasing
    // a lock on a session that is gone is silent, the lock went with it.
    SessionLocks(Ask ask, std::function<bool()> alive)
        : ask_(std::move(ask)), alive_(std::move(alive)) {}

    // The locks of a new owner on the table of that number.
    std::unique_ptr<TableLock> Open(unsigned tableOid);

private:
    friend class OwnerLock;
    // A table lock, or a record lock of a table.
    using Key = std::tuple<bool, unsigned, std::int64_t>;
    struct Held {
        int shared = 0;
        bool exclusive = false;
    };
    bool Acquire(const Key& key, bool exclusive);
    void Release(const Key& key, bool exclusive);

    Ask ask_;
    std::function<bool()> alive_;
    std::map<Key, Held> held_;
};

} // namespace dbengine::pg
