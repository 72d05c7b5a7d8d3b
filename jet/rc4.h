#pragma once
// RC4 as Jet uses it to mask part of the header page.
#include <cstddef>
#include <cstdint>

namespace jet {

// XORs data in place with the RC4 key stream of key (applying it twice restores the data).
void Rc4Apply(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data, std::size_t length);

}  // namespace jet
