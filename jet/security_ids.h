#pragma once
// Security ids as a new Access 2000 database stores them, and the rights
// (MSysACEs rows) they are given. Jet keeps the ids masked with a key tied to
// the header page, which is why the header page carries Access 2000's fixed
// fields (see header_page.cpp): with them, these bytes are the ids of the
// default workgroup that every Access 2000 file made with it holds.
#include <cstdint>
#include <vector>

namespace jet {

using Sid = std::vector<std::uint8_t>;

inline const Sid kEngineSid{0xA7, 0x31};       // owner of what the engine creates
inline const Sid kAdminUserSid{0xA6, 0x33};    // the default user, Admin
inline const Sid kUsersGroupSid{0xA7, 0x33};   // every user
inline const Sid kAdminsGroupSid{0xA7, 0x36};  // administrators
// The long id Access names beside Admin on the objects of a new database and
// on every table made in it.
inline const Sid kCreatorSid{0xA4, 0xF7, 0x46, 0x67, 0xE1, 0x71, 0x67, 0xEE, 0xD7, 0xB1, 0x0F, 0x8F, 0xFE, 0xEF, 0x76,
                             0xFF, 0xAA, 0xE3, 0x66, 0x51, 0x05, 0xBD, 0xD2, 0x9D, 0x4D, 0x4B, 0x39, 0x52, 0xD9, 0xFB,
                             0x9A, 0x07, 0x66, 0x0C, 0x5B, 0xD2, 0xD8, 0x7D, 0xDD, 0xB3, 0x1E, 0x65, 0x90, 0x19};

// Rights masks (ACM) as Access grants them.
constexpr std::int64_t kFullAccess = 0xFFFFF;
constexpr std::int64_t kTableAccess = 0xFFEFF;  // full access to a table made in Access

struct Ace {
    const Sid* sid;
    std::int64_t rights;
    bool inheritable;
};

}  // namespace jet
