#pragma once
// The interfaces and ids generated from adodb.idl. The generated header gives
// BSTR parameters string-literal defaults, which C++ warns about.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wwrite-strings"
#include "ado/com/adodb.h"
#pragma GCC diagnostic pop
