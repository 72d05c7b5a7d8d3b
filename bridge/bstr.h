#pragma once
// The ANSI (CP_ACP) <-> UTF-16 conversions of the bridge.
#include <string>

#include "core/types.h"
#include "win/bstr.h"

namespace bridge {

using namespace core;  // the bridge speaks in the shared types

std::wstring AnsiToWide(const Text& ansi);
// A null or empty BSTR gives empty text; an embedded NUL ends it.
Text BstrToAnsi(BSTR s);
// A new BSTR of the text up to its first NUL (as the NUL-terminated original
// would end there); null for empty text.
win::UniqueBstr AnsiBstr(const Text& ansi);

}  // namespace bridge
