#pragma once
// The owners the component holds things with (COM references, VARIANTs,
// registry keys, BSTRs, file handles) are the shared ones of win/, named here once.
#include "win/bstr.h"
#include "win/com_ptr.h"
#include "win/unique.h"
#include "win/variant.h"

namespace ado_com {

using win::BstrText;
using win::ComPtr;
using win::NewBstr;
using win::UniqueHandle;
using win::UniqueKey;
using UniqueVariant = win::OwnedVariant;

}  // namespace ado_com
