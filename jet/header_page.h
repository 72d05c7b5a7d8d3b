#pragma once
// Page 0: signature, version and the RC4-masked block with code page, key,
// password, sort order and creation date.
#include "jet/bytes.h"

namespace jet {

void BuildHeaderPage(ByteVec& page, double created);

// Unmasks the masked block of a header page copy in place.
void UnmaskHeader(ByteVec& page);

}  // namespace jet
