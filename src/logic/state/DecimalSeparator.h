#pragma once

namespace mb {

struct AppState;
class Locale;

/// Takes the user's decimal separator from the locale into the document state ("" when
/// the locale cannot be read, which makes number text parse with "." only).
void ReadLocaleDecimalSeparator(AppState& state, const Locale& locale);

} // namespace mb
