#include "jet/text_codec.h"

namespace jet {
namespace {

// In compressed mode a zero byte switches modes, so neither a character with a
// zero low byte nor U+0000 can appear anywhere in a compressed text.
bool Compressible(const std::u16string& text) {
    for (char16_t c : text)
        if ((c & 0xFF) == 0) return false;
    return true;
}

bool OneByte(char16_t c) { return c < 0x100; }

bool StartsCompressed(ByteView bytes) {
    return bytes.size() >= 2 && bytes.data()[0] == 0xFF && bytes.data()[1] == 0xFE;
}

// Length of the run of one-byte characters starting at i.
std::size_t OneByteRun(const std::u16string& text, std::size_t i) {
    std::size_t n = 0;
    while (i + n < text.size() && OneByte(text[i + n])) ++n;
    return n;
}

}  // namespace

ByteVec EncodeTextPlain(const std::u16string& text) {
    ByteVec out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) AppendU16(out, c);
    return out;
}

ByteVec EncodeText(const std::u16string& text, bool allowCompression) {
    ByteVec plain = EncodeTextPlain(text);
    if (!allowCompression || text.empty() || !Compressible(text)) return plain;
    ByteVec out{0xFF, 0xFE};
    bool compressed = true;
    for (std::size_t i = 0; i < text.size();) {
        if (OneByte(text[i])) {
            const std::size_t run = OneByteRun(text, i);
            // Leaving wide mode costs a byte and coming back another; short
            // runs inside wide text are cheaper left wide.
            const bool atEnd = i + run == text.size();
            if (!compressed && run < (atEnd ? 2u : 3u)) {
                for (std::size_t k = 0; k < run; ++k) AppendU16(out, text[i + k]);
                i += run;
                continue;
            }
            if (!compressed) { out.push_back(0); compressed = true; }
            for (std::size_t k = 0; k < run; ++k) out.push_back(static_cast<std::uint8_t>(text[i + k]));
            i += run;
        } else {
            if (compressed) { out.push_back(0); compressed = false; }
            AppendU16(out, text[i]);
            ++i;
        }
    }
    // A plain text starting with U+FEFF would read back as compressed.
    const bool plainLooksCompressed = text[0] == 0xFEFF;
    return out.size() < plain.size() || plainLooksCompressed ? out : plain;
}

std::size_t DecodeTextInto(ByteView bytes, char16_t* to) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t length = 0;
    if (StartsCompressed(bytes)) {
        bool compressed = true;
        for (std::size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                to[length++] = p[i++];
            } else {
                if (i + 1 >= n) break;
                to[length++] = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
                i += 2;
            }
        }
        return length;
    }
    for (std::size_t i = 0; i + 1 < n; i += 2) to[length++] = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
    return length;
}

std::u16string DecodeText(ByteView bytes) {
    std::u16string out(StartsCompressed(bytes) ? bytes.size() : bytes.size() / 2, u'\0');
    out.resize(DecodeTextInto(bytes, &out[0]));
    return out;
}

}  // namespace jet
