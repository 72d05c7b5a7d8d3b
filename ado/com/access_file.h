#pragma once
// Opens an Access file for reading only. The file stays open, shared for
// reading only, for as long as the source lives, so nobody can change it under
// the connection; a file that another process holds without sharing fails to open.
#include <memory>
#include <string>

#include "jetsql/data_source.h"

namespace ado_com {

std::shared_ptr<jetsql::DataSource> OpenAccessFile(const std::u16string& path, std::u16string* error);

}  // namespace ado_com
