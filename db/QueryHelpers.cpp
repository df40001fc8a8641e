#include "db/QueryHelpers.h"

#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/data/Field.h"
#include "platform/data/Query.h"

#include <cmath>

namespace {

// The module's one piece of state. The shared query is reachable until the
// program ends and is deliberately not destroyed at exit: the session it
// belongs to may already be gone by then.
struct ModuleState {
    AnsiString databaseName;
    AnsiString sessionName;
    TQuery* commandQuery = nullptr;
    // QueryStr's query, kept between lookups: a caller may run one per row
    // of a long scan, and a query made and destroyed each time costs more
    // than the lookup. It is left closed and unprepared, so it holds neither
    // a database nor a compiled statement between calls.
    TQuery* lookupQuery = nullptr;
    bool lookupBusy = false;
};

ModuleState& State() {
    static ModuleState state;
    return state;
}

void DestroyQuietly(TQuery* query) {
    try {
        delete query;
    } catch (...) {
    }
}

TQuery* NewBoundQuery() {
    auto* query = new TQuery(nullptr);
    try {
        query->SetDatabaseName(State().databaseName);
        query->SetSessionName(State().sessionName);
    } catch (...) {
        DestroyQuietly(query);
        throw;
    }
    return query;
}

// Opens the query and reads its first column with read; the default when the
// query is not active or has no columns.
template <typename T, typename Read> T ReadFirstColumn(TQuery* query, T result, Read read) {
    query->Open();
    if (query->Active() && query->Fields()->Count() > 0) result = read(query->Fields()->Fields(0));
    return result;
}

template <typename T, typename Read> T QueryValue(const AnsiString& statement, Read read) {
    T result{};
    TQuery* query = Query(statement, true);
    if (query) {
        try {
            result = ReadFirstColumn<T>(query, result, read);
        } catch (...) {
            result = T{};
        }
        DestroyQuietly(query);
    }
    return result;
}

// The first column's text through the kept query; false when it cannot be
// had (then the caller makes a query of its own, as any other lookup).
bool LookupText(const AnsiString& statement, AnsiString& result) {
    ModuleState& state = State();
    if (state.lookupBusy) return false; // a lookup run from inside a lookup
    if (!state.lookupQuery) {
        try {
            TQuery* query = NewBoundQuery();
            query->SetUniDirectional(true);
            // Its field is no one else's: the next lookup of the same column takes it again.
            query->SetReuseFields(true);
            state.lookupQuery = query;
        } catch (...) {
            return false;
        }
    }
    TQuery* query = state.lookupQuery;
    state.lookupBusy = true;
    result = AnsiString();
    try {
        query->SQL()->Clear();
        query->SQL()->Add(statement);
        query->Prepare();
        try {
            result =
                ReadFirstColumn<AnsiString>(query, result, [](TField* f) { return f->AsString(); });
        } catch (...) {
            result = AnsiString();
        }
        // Closed at once: a forward-only query holds the archive's read lock.
        query->Close();
        query->UnPrepare();
    } catch (...) {
        // A query that cannot be closed is not kept.
        state.lookupQuery = nullptr;
        DestroyQuietly(query);
    }
    state.lookupBusy = false;
    return true;
}

void DropLookupQuery(ModuleState& state) {
    if (!state.lookupQuery) return;
    DestroyQuietly(state.lookupQuery);
    state.lookupQuery = nullptr;
}

} // namespace

TQuery* QueryChecked(const AnsiString& statement, bool forwardOnly) {
    TQuery* query = NewBoundQuery();
    try {
        query->SQL()->Add(statement);
        query->SetUniDirectional(forwardOnly);
        query->Prepare();
    } catch (...) {
        DestroyQuietly(query);
        throw;
    }
    return query;
}

TQuery* QueryOpenChecked(const AnsiString& statement, bool forwardOnly) {
    TQuery* query = QueryChecked(statement, forwardOnly);
    try {
        query->Open();
    } catch (...) {
        DestroyQuietly(query);
        throw;
    }
    return query;
}

TQuery* Query(const AnsiString& statement, bool forwardOnly) {
    try {
        return QueryChecked(statement, forwardOnly);
    } catch (...) {
        return nullptr;
    }
}

TQuery* QueryOpen(const AnsiString& statement, bool forwardOnly) {
    try {
        return QueryOpenChecked(statement, forwardOnly);
    } catch (...) {
        return nullptr;
    }
}

int QueryInt(const AnsiString& statement) {
    return QueryValue<int>(statement, [](TField* f) { return f->AsInteger(); });
}

bool QueryBool(const AnsiString& statement) {
    return QueryValue<bool>(statement, [](TField* f) { return f->AsBoolean(); });
}

TDateTime QueryDate(const AnsiString& statement) {
    return QueryValue<TDateTime>(
        statement, [](TField* f) { return TDateTime(std::trunc(f->AsDateTime().Val)); });
}

AnsiString QueryStr(const AnsiString& statement) {
    AnsiString result;
    if (LookupText(statement, result)) return result;
    return QueryValue<AnsiString>(statement, [](TField* f) { return f->AsString(); });
}

char QueryChar(const AnsiString& statement) {
    const AnsiString text = QueryStr(statement);
    return text.IsEmpty() ? 0 : text[1];
}

Currency QueryCurrency(const AnsiString& statement) {
    Currency result{};
    TQuery* query = Query(statement, true);
    if (!query) return result;
    try {
        result = ReadFirstColumn(query, result, [](TField* f) { return f->AsCurrency(); });
    } catch (...) {
        try {
            query->Close();
        } catch (...) {
        }
        DestroyQuietly(query);
        throw;
    }
    try {
        query->Close();
    } catch (...) {
        DestroyQuietly(query);
        throw;
    }
    DestroyQuietly(query);
    return result;
}

int CountQueryExecute(const AnsiString& statement) {
    ModuleState& state = State();
    if (!state.commandQuery) {
        try {
            TQuery* query = NewBoundQuery();
            try {
                query->SetUniDirectional(true);
                query->SetParamCheck(false);
            } catch (...) {
                DestroyQuietly(query);
                throw;
            }
            state.commandQuery = query;
        } catch (...) {
        }
    }
    int result = -1;
    if (!state.commandQuery) return result;
    try {
        state.commandQuery->SQL()->SetText(statement);
        state.commandQuery->Prepare();
        state.commandQuery->ExecSQL();
        result = state.commandQuery->RowsAffected();
    } catch (const Exception&) {
        Beep();
        result = -1;
    }
    return result;
}

bool QueryExecute(const AnsiString& statement) {
    return CountQueryExecute(statement) >= 0;
}

void SetDataBase(const AnsiString& databaseName, const AnsiString& sessionName) {
    ModuleState& state = State();
    if (state.commandQuery) {
        DestroyQuietly(state.commandQuery);
        state.commandQuery = nullptr;
    }
    DropLookupQuery(state);
    state.databaseName = databaseName;
    state.sessionName = sessionName;
}

const AnsiString& CurrentDatabaseName() {
    return State().databaseName;
}

const AnsiString& CurrentSessionName() {
    return State().sessionName;
}
