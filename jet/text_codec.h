#pragma once
// Jet 4 text storage: UTF-16LE, or the "Unicode compression" form that starts
// with FF FE and drops the zero high byte of characters below U+0100.
#include <string>

#include "jet/bytes.h"

namespace jet {

// Compressed form when it is shorter and representable, plain UTF-16LE otherwise.
// A text starting with U+FEFF is compressed whenever it can be, since its plain
// form begins with the compression mark.
ByteVec EncodeText(const std::u16string& text, bool allowCompression);

// Plain UTF-16LE.
ByteVec EncodeTextPlain(const std::u16string& text);

// Accepts both forms; an odd trailing byte of a plain text is dropped.
std::u16string DecodeText(ByteView bytes);

// The same into room the caller owns (a text has no more characters than
// bytes, so bytes.size() units always do); gives the count written.
std::size_t DecodeTextInto(ByteView bytes, char16_t* to);

}  // namespace jet
