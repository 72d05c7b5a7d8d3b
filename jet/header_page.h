#pragma once
// Page 0: signature, version and the RC4-masked block with code page, key,
// password, sort order and creation date.
#include "jet/bytes.h"

namespace jet {

// The header's date and key fields are those of a new Access 2000 database:
// Jet derives from them the mask under which it stores security ids, so the
// ids written in MSysObjects and MSysACEs read back as Admin, Users, Admins.
void BuildHeaderPage(ByteVec& page);

// Unmasks the masked block of a header page copy in place.
void UnmaskHeader(ByteVec& page);

}  // namespace jet
