#include "DecimalSeparator.h"

#include "AppState.h"
#include "Locale.h"

namespace mb {

void ReadLocaleDecimalSeparator(AppState& state, const Locale& locale) {
    state.doc.DecimalSeparator = locale.decimalSeparator();
}

} // namespace mb
