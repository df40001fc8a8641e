#include "db/NavigatorHelpers.h"

#include "platform/core/Application.h"
#include "platform/core/Exception.h"

void ConfermaAzioneNavigator(TNavigateBtn button) {
    if (button != nbDelete) return;
    const int answer =
        Application->MessageBox("Cancello la scheda selezionata?", Application->Title(), 0x133);
    if (answer != IDYES) throw Exception("L'utente ha annullato l'eliminazione della scheda.");
}
