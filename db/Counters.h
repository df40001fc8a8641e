#pragma once
// Issuing the next number of a named counter kept in a table with the text
// field "Contatore" and the integer field "Valore". The table is open only
// while the number is issued; while another user holds it, the user is asked
// whether to try again.

#include "platform/core/AnsiString.h"

class TDataSet;

// The number issued (1 for a new counter), 0 when none was: the user gave up
// waiting for the table, or reading or storing the number failed.
int SetCounter(TDataSet* counters, AnsiString name);
