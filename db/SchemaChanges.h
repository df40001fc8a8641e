#pragma once
// Changing a column of an existing table in place by copying its values
// through a new column. The statements run one by one on the current
// database, without a transaction: a failure stops the sequence and leaves
// the statements already run in effect. Names are inserted unchanged.

#include "platform/core/AnsiString.h"

// Replaces column oldName by newName of type newType carrying the values
// over, through "cast(... as numeric)" when numeric is set.
bool ModificaCampo(const AnsiString& table, const AnsiString& oldName, const AnsiString& newName,
                   const AnsiString& newType, bool numeric);
// Gives column name the type newType, keeping its name, through the
// temporary column name + "_dummy".
bool CambiaTipoCampo(const AnsiString& table, const AnsiString& name, const AnsiString& newType,
                     bool numeric);
