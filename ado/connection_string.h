#pragma once
// Connection strings, ODBC's and OLE DB's: "key=value;key={value with ; and }}};
// key="quoted";key='quoted'". A closing quote or brace written twice stands for itself.
#include <string>
#include <string_view>

namespace ado {

struct ConnectionSettings {
    std::u16string database;  // DBQ (ODBC) or Data Source (Jet OLE DB)
    std::u16string password;  // Pwd, or Jet OLEDB:Database Password
    std::u16string driver;    // DRIVER, without its braces
    std::u16string provider;  // Provider (OLE DB)
};

// Reads the keys this component understands; others are ignored, as the driver
// manager ignores keys that a driver does not use. The first of repeated keys wins.
// Fails when the string is malformed or names no database file.
bool ParseConnectionString(std::u16string_view text, ConnectionSettings* out, std::string* error);

}  // namespace ado
