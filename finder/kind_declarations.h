#pragma once
// Declarations of GUIDs, strings and property keys (api_kind_const's rows) in
// the languages of declarations.h, ready to paste:
//   GUID         c: DEFINE_GUID (with <initguid.h> in one source file it is
//                defined there); cs: new Guid("…"); vb: New Guid("…"); vb6: a
//                GUID Type filled in a Sub (the text, for CLSIDFromString, in
//                its comment); delphi: a TGUID constant; rust: GUID::from_u128
//                with a #[repr(C)] GUID; python: a ctypes GUID from
//                uuid.UUID(…).bytes_le; e: a 字节集 of the 16 bytes in memory
//                order, the text form in the remark.
//   string       narrow (A), wide (W) or, for the plain name of an A/W pair,
//                TEXT() in C; each language's escapes. 易语言 takes the A one of
//                a pair: a 文本型 constant, or a 字节集 where 易语言's text cannot
//                hold it (a wide string: UTF-16LE with its terminating zero).
//   property key the GUID and the property number as the language can:
//                DEFINE_PROPERTYKEY/DEFINE_DEVPROPKEY, a record of both, 20 bytes.
#include <functional>
#include <string>
#include <vector>

#include "finder/declarations.h"
#include "finder/kinds_file.h"

namespace finder {

// A string's width as declared: from its kind (stringA, stringW) where a header
// says it, else from its A/W pair among the rows, else narrow; Text for the
// plain name of a pair (C's TEXT(), which UNICODE decides).
enum class StringWidth { Narrow, Wide, Text };

// Each row is declared once (the first row of each name). afterIntegers: the
// integer declarations of the same language precede (易语言's ".版本 2" is not
// repeated). known says whether the database has a name (a string's A/W pair
// when only one of it was asked); null: only the rows count.
std::string DeclareKinds(Language language, const std::vector<KindConstant>& rows, bool afterIntegers,
                         const std::function<bool(const std::string&)>& known = nullptr);

// The stored text (C's escapes: \\ \t \n \r \0 \xHH) back to its UTF-8 bytes;
// a malformed escape is kept as it stands.
std::string UnescapeStored(const std::string& stored);

}  // namespace finder
