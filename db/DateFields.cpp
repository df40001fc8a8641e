#include "db/DateFields.h"

#include "db/FieldHelpers.h"
#include "utilities/DateFormats.h"

namespace {

template <typename Render>
AnsiString Formatted(TDataSet* dataSet, const AnsiString& fieldName, Render render) {
    if (IsNullField(dataSet, fieldName)) return AnsiString();
    return render(DateField(dataSet, fieldName));
}

} // namespace

AnsiString FormattaData(TDataSet* dataSet, const AnsiString& fieldName) {
    return Formatted(dataSet, fieldName, [](TDateTime d) { return RenderDate(d); });
}

AnsiString FormattaDataBreve(TDataSet* dataSet, const AnsiString& fieldName) {
    return Formatted(dataSet, fieldName, [](TDateTime d) { return RenderDateShort(d); });
}

AnsiString FormattaDataCBI(TDataSet* dataSet, const AnsiString& fieldName) {
    return Formatted(dataSet, fieldName, [](TDateTime d) { return RenderDateCBI(d); });
}
