#include "jet/header_page.h"

#include <cmath>
#include <cstring>

#include "jet/format.h"
#include "jet/rc4.h"

namespace jet {

using namespace format;

namespace {

constexpr std::uint16_t kCodePageWestern = 1252;

// The password is additionally masked with the creation date; an empty
// password is therefore stored as that mask repeated.
void StoreEmptyPassword(ByteVec& page, double created) {
    const auto mask = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(created)));
    for (std::size_t i = 0; i < kPasswordLength; ++i)
        page[kPasswordOffset + i] = static_cast<std::uint8_t>(mask >> (8 * (i % 4)));
}

// Fixed contents every Jet 4 header page carries: the start of the masked
// block, the engine's version text, and the table at 0xE00.
constexpr std::uint8_t kMaskedPrologue[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                            0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
constexpr std::size_t kEngineInfoOffset = 0x98;
constexpr std::uint8_t kEngineInfo[] = {0x54, 0x06, 0x00, 0x00, '4', '.', '0', 0x00};
constexpr std::size_t kTrailerTableOffset = 0xE00;
// Date (2004-06-05 13:07) and key field of a database made by Access 2000.
constexpr std::uint64_t kHeaderDateBits = 0x40E29FF17D1F72BCull;
constexpr std::size_t kHeaderKeyOffset = 0x6A;
constexpr std::uint32_t kHeaderKey2000 = 0x21AA;

void StoreFixedContents(ByteVec& page) {
    std::memcpy(page.data() + kMaskedOffset, kMaskedPrologue, sizeof kMaskedPrologue);
    std::memcpy(page.data() + kEngineInfoOffset, kEngineInfo, sizeof kEngineInfo);
    page[kTrailerTableOffset] = 0x01;
    for (std::size_t i = kTrailerTableOffset + 1; i < kPageSize; i += 2) page[i] = 0x01;
}

void Mask(ByteVec& page) { Rc4Apply(kHeaderKey, sizeof kHeaderKey, page.data() + kMaskedOffset, kMaskedLength); }

}  // namespace

void BuildHeaderPage(ByteVec& page) {
    const double created = BitsDouble(kHeaderDateBits);
    page.assign(kPageSize, 0);
    page[0] = kPageHeader;
    page[1] = 0x01;
    std::memcpy(page.data() + kSignatureOffset, kSignature, sizeof kSignature);
    page[kVersionOffset] = kVersionJet4;
    StoreFixedContents(page);
    PutU16(page, kCodePageOffset, kCodePageWestern);
    PutU32(page, kDbKeyOffset, 0);
    StoreEmptyPassword(page, created);
    PutU32(page, kHeaderKeyOffset, kHeaderKey2000);
    PutU16(page, kSortOrderOffset, kSortGeneral);
    PutU64(page, kCreationDateOffset, kHeaderDateBits);
    Mask(page);
}

void UnmaskHeader(ByteVec& page) {
    if (page.size() >= kMaskedOffset + kMaskedLength) Mask(page);
}

}  // namespace jet
