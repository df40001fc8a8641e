#include "app/ContoCorrenteExport.h"

#include "app/ContoCorrenteHtml.h"
#include "db/FieldHelpers.h"
#include "db/QueryHelpers.h"
#include "platform/core/Exception.h"
#include "platform/core/TextBlocks.h"
#include "platform/data/Field.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <array>
#include <memory>
#include <string>

using quorbase::clsString;

namespace {

// How the messages name the condominiums' table.
AnsiString TableOf(TDataSet* dataSet) {
    if (auto* table = dynamic_cast<TTable*>(dataSet)) return table->TableName();
    return dataSet ? dataSet->DisplayName() : AnsiString("dei condomini");
}

// A text cell of a line: TAB, CR and LF, which would split the movement over
// several cells or lines, become spaces. With a Quote, the cell is in quotes
// with every quote doubled, as Quote does. Copied in runs between the
// characters that change, found through a table.
template <char Quote = 0> void AppendCell(std::string& line, const AnsiString& text) {
    static const std::array<bool, 256> stops = [] {
        std::array<bool, 256> t{};
        t['\t'] = t['\r'] = t['\n'] = true;
        if (Quote) t[static_cast<unsigned char>(Quote)] = true;
        return t;
    }();
    if (Quote) line += Quote;
    const char* p = text.c_str();
    const char* end = p + text.Length();
    while (p < end) {
        const char* run = p;
        while (run < end && !stops[static_cast<unsigned char>(*run)])
            ++run;
        line.append(p, static_cast<std::size_t>(run - p));
        if (run == end) break;
        if (Quote && *run == Quote) {
            line += Quote;
            line += Quote;
        } else {
            line += ' ';
        }
        p = run + 1;
    }
    if (Quote) line += Quote;
}

// Reads the movements of the current condominium, one call of each per
// movement, in the order the query returns them.
template <class Each> void ReadMovements(TDataSet* condomini, Each&& each) {
    if (!condomini || !condomini->Active())
        throw EDatabaseError("Nessun condominio scelto: l'archivio " + TableOf(condomini) +
                             " non \xE8 aperto");
    if (condomini->RecNo() == 0)
        throw EDatabaseError("Nessun condominio scelto: l'archivio " + TableOf(condomini) +
                             " \xE8 vuoto");
    const AnsiString idCondominio = StrField(condomini, "idCondominio");
    std::unique_ptr<TQuery> movements;
    try {
        movements.reset(QueryOpenChecked(
            "select * from \"MovConti\" where idCondominio=" + idCondominio, true));
        // QueryStr answers the empty text when it fails: make sure once that
        // the lookup can run, or every cause would silently read as none.
        delete QueryOpenChecked("select Nome from Causali where idCausale=0", true);
    } catch (const EDatabaseError& e) {
        throw EDatabaseError("Impossibile leggere i movimenti del condominio " + idCondominio +
                             ": " + e.Message());
    }
    // The fields of the query stay the same while it is open.
    TField* data = movements->FieldByName("Data");
    TField* valuta = movements->FieldByName("Valuta");
    TField* descrizione = movements->FieldByName("Descrizione");
    TField* importo = movements->FieldByName("Importo");
    TField* causale = movements->FieldByName("idCausale");
    ContoCorrenteMovement movement;
    const AnsiString lookupPrefix = "select Nome from Causali where idCausale=";
    AnsiString lookup; // keeps its room from one movement to the next
    while (!movements->Eof()) {
        int idCausale = 0; // as IntField reads it: 0 when it cannot be read
        try {
            idCausale = causale->AsInteger();
        } catch (const Exception&) {
        }
        movement.data = data->AsString();
        movement.date = data->IsNull() ? TDateTime(0.0) : data->AsDateTime();
        movement.valuta = valuta->AsString();
        movement.descrizione = descrizione->AsString();
        // One lookup per movement, no cache of the names.
        lookup = lookupPrefix;
        lookup += IntToStr(idCausale);
        movement.causale = QueryStr(lookup);
        movement.importo = importo->AsString();
        each(movement);
        movements->Next();
    }
}

} // namespace

void WriteContoCorrente(TDataSet* condomini, TTextBlocks& text, TTextBlocks* html) {
    text.Append(ContoCorrenteHeader);
    std::unique_ptr<ContoCorrenteHtml> table;
    if (html) table = std::make_unique<ContoCorrenteHtml>(*html);
    std::string line;
    line.reserve(256);
    ReadMovements(condomini, [&](const ContoCorrenteMovement& m) {
        line.assign(ContoCorrenteLineBreak);
        line += m.data.view();
        line += '\t';
        AppendCell(line, m.valuta);
        line += '\t';
        AppendCell<'\''>(line, m.causale);
        line += '\t';
        AppendCell<'\''>(line, m.descrizione);
        line += '\t';
        line += m.importo.view();
        text.Append(line);
        if (table) table->Add(m);
    });
    if (table) table->Finish();
}

clsString BuildContoCorrenteText(TDataSet* condomini) {
    TTextBlocks blocks;
    WriteContoCorrente(condomini, blocks);
    clsString text;
    if (blocks.Length() >= 0x7FFFFFFE || !text.Reserve(static_cast<int>(blocks.Length()) + 1))
        throw Exception("Il conto corrente \xE8 troppo grande per un testo solo");
    blocks.Drain([&text](std::string_view block) {
        text.Append(block.data(), static_cast<int>(block.size()));
    });
    return text;
}
