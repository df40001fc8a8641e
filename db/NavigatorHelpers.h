#pragma once
// Confirmation asked before a navigator deletes the current record.

#include "platform/gui/DBNavigator.h"

// For the navigator's before-action event: asks before a deletion and raises
// to stop it unless the user answers Yes; any other button passes.
void ConfermaAzioneNavigator(TNavigateBtn button);
