#include "db/SchemaChanges.h"

#include "db/QueryHelpers.h"

bool ModificaCampo(const AnsiString& table, const AnsiString& oldName, const AnsiString& newName,
                   const AnsiString& newType, bool numeric) {
    const AnsiString source = numeric ? "cast(" + oldName + " as numeric)" : oldName;
    if (!QueryExecute("alter table " + table + " add " + newName + " " + newType)) return false;
    if (!QueryExecute("update " + table + " set " + newName + "=" + source)) return false;
    return QueryExecute("alter table " + table + " drop " + oldName);
}

bool CambiaTipoCampo(const AnsiString& table, const AnsiString& name, const AnsiString& newType,
                     bool numeric) {
    const AnsiString temporary = name + "_dummy";
    if (!ModificaCampo(table, name, temporary, newType, numeric)) return false;
    return ModificaCampo(table, temporary, name, newType, numeric);
}
