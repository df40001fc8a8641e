#include "platform/core/Exception.h"

void Abort() {
    throw EAbort("Operazione annullata");
}
