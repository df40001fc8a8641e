#include "db/EngineDirs.h"

#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/core/Files.h"
#include "platform/data/Session.h"
#include "utilities/AppServices.h"

bool CreaBdeDir(TSession* session, AnsiString netDir, AnsiString privateDir) {
    try {
        if (privateDir.IsEmpty()) privateDir = AppPath() + "Priv" + PathDelim;
        if (netDir.IsEmpty()) netDir = AppPath() + "Net" + PathDelim;
        if (ForceDirectories(privateDir) && ForceDirectories(netDir)) {
            if (!session) throw EDatabaseError("Nessuna sessione a cui assegnare le cartelle");
            session->SetNetFileDir(ExpandUNCFileName(netDir));
            session->SetPrivateDir(ExpandUNCFileName(privateDir));
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool ChiediBdeDir(AnsiString& archiveDir, AnsiString& netDir, AnsiString& privateDir) {
    archiveDir = AppPath() + "Archivi";
    netDir = AppPath() + "Net";
    privateDir = AppPath() + "Priv";
    if (Application->MessageBox("Utilizzo le cartelle predefinite?", "Cartelle archivi", 0x24) ==
        IDNO) {
        archiveDir = InputBox("Cartella Archivi",
                              "Quale cartella utilizzo per gli Archivi del programma?", archiveDir);
        netDir = InputBox("Cartella condivisione in rete",
                          "Quale cartella utilizzo per la condivisione in rete?", netDir);
        privateDir = InputBox("Cartella locale", "Quale cartella utilizzo per il lavoro in locale?",
                              privateDir);
    }
    return !archiveDir.IsEmpty() && !netDir.IsEmpty() && !privateDir.IsEmpty();
}
