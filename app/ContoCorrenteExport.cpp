#include "app/ContoCorrenteExport.h"

#include "db/FieldHelpers.h"
#include "db/QueryHelpers.h"
#include "platform/data/Query.h"
#include "quorbase/clsPCollection.h"
#include "utilities/StringConversions.h"

#include <memory>

using quorbase::clsCStrings;
using quorbase::clsString;

namespace {

// Join of the list, with the result reserved once: appending line by line to
// an exactly sized string would copy the whole text again for every line.
clsString JoinLines(const clsCStrings& lines, const char* separator) {
    const int separatorLength = static_cast<int>(std::char_traits<char>::length(separator));
    long long total = 0;
    for (int i = 0; i < lines.GetCount(); ++i) {
        if (i > 0) total += separatorLength;
        if (const clsString* line = lines.GetItem(i)) total += line->Length();
    }
    clsString text;
    if (lines.GetCount() == 0 || total > 0x7FFFFFFE || !text.Reserve(static_cast<int>(total)))
        return quorbase::Join(lines, separator);
    for (int i = 0; i < lines.GetCount(); ++i) {
        if (i > 0) text.Append(separator, separatorLength);
        if (const clsString* line = lines.GetItem(i)) text.Append(*line);
    }
    return text;
}

} // namespace

clsString BuildContoCorrenteText(TDataSet* condomini) {
    clsCStrings lines;
    quorbase::Add(lines, ContoCorrenteHeader);

    const AnsiString idCondominio = StrField(condomini, "idCondominio");
    std::unique_ptr<TQuery> movements(
        QueryOpen("select * from \"MovConti\" where idCondominio=" + idCondominio, true));
    if (movements) {
        const clsString tab("\t");
        while (!movements->Eof()) {
            const int idCausale = IntField(movements.get(), "idCausale");
            const clsString data = ToClsString(StrField(movements.get(), "Data"));
            const clsString valuta = ToClsString(StrField(movements.get(), "Valuta"));
            const clsString descrizione =
                ToClsString(StrField(movements.get(), "Descrizione")).Quote('\'');
            const clsString causale =
                ToClsString(
                    QueryStr("select Nome from Causali where idCausale=" + IntToStr(idCausale)))
                    .Quote('\'');
            const clsString importo = ToClsString(StrField(movements.get(), "Importo"));

            clsString line;
            line.Reserve(data.Length() + valuta.Length() + causale.Length() + descrizione.Length() +
                         importo.Length() + 4);
            line.Append(data).Append(tab).Append(valuta).Append(tab).Append(causale);
            line.Append(tab).Append(descrizione).Append(tab).Append(importo);
            quorbase::Add(lines, line);
            movements->Next();
        }
    }
    return JoinLines(lines, ContoCorrenteLineBreak);
}
