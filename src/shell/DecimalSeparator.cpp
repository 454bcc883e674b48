#include "shell/DecimalSeparator.h"

#include "platform/Locale.h"
#include "shell/AppState.h"

namespace mb {

void ReadLocaleDecimalSeparator(AppState& state, const Locale& locale) {
    state.doc.DecimalSeparator = locale.decimalSeparator();
}

} // namespace mb
