#include "core/text_commands.h"

#include <algorithm>

#include "core/fatal_error.h"

namespace core {
namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

unsigned char FoldAsciiCase(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 0x20) : byte;
}

bool MatchesAt(const Text& text, std::size_t offset, const Text& target, bool caseSensitive) {
    if (caseSensitive) return text.compare(offset, target.size(), target) == 0;
    for (std::size_t i = 0; i < target.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[offset + i]);
        const auto b = static_cast<unsigned char>(target[i]);
        if (FoldAsciiCase(a) != FoldAsciiCase(b)) return false;
    }
    return true;
}

}  // namespace

int TextLength(const Text& text) { return static_cast<int>(text.size()); }

Text LeftText(const Text& text, int count) {
    if (count <= 0) return Text();
    return text.substr(0, std::min<std::size_t>(static_cast<std::size_t>(count), text.size()));
}

Text RightText(const Text& text, int count) {
    if (count <= 0) return Text();
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), text.size());
    return text.substr(text.size() - n);
}

Text ToUpper(const Text& text) {
    Text result = text;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const auto byte = static_cast<unsigned char>(result[i]);
        if (IsLeadByte(byte)) {
            ++i;  // the trail byte is never examined
            continue;
        }
        if (byte >= 'a' && byte <= 'z') result[i] = static_cast<char>(byte - 0x20);
    }
    return result;
}

Text ReplaceText(const Text& text, const Text& target, const Text& replacement, int start,
                 int limit, bool caseSensitive) {
    const std::size_t length = text.size();
    const std::size_t targetLength = target.size();
    const std::size_t offset = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (length == 0 || targetLength == 0 || offset >= length || limit == 0) return text;

    Text result;
    result.reserve(length);
    result.append(text, 0, offset);
    std::size_t scan = offset;
    while (length - scan >= targetLength) {
        if (MatchesAt(text, scan, target, caseSensitive)) {
            result += replacement;
            scan += targetLength;
            if (limit > 0 && --limit == 0) break;
            continue;
        }
        // A lead byte takes its trail byte along, so no match starts on a trail
        // byte; a lone lead byte at the very end is kept, never dropped.
        const std::size_t step = IsLeadByte(static_cast<unsigned char>(text[scan])) ? 2 : 1;
        const std::size_t take = std::min(step, length - scan);
        result.append(text, scan, take);
        scan += take;
    }
    result.append(text, scan, Text::npos);
    return result;
}

namespace {
// A result beyond what a text can hold is an allocation that cannot be met.
void RequireRoom(long long bytes) {
    if (bytes - 1 > static_cast<long long>(Text().max_size()))
        FatalError(0, AllocationFailureMessage(bytes));
}
}  // namespace

Text BlankText(int count) {
    if (count < 1) return Text();
    RequireRoom(static_cast<long long>(count) + 1);
    return Text(static_cast<std::size_t>(count), ' ');
}

Text RepeatText(int count, const Text& text) {
    if (count <= 0 || text.empty()) return Text();
    const auto times = static_cast<std::size_t>(count);
    RequireRoom(static_cast<long long>(count) * static_cast<long long>(text.size()) + 1);
    if (text.size() == 1) return Text(times, text[0]);
    Text result;
    result.reserve(times * text.size() + 1);
    for (std::size_t i = 0; i < times; ++i) result += text;
    return result;
}

int CompareTexts(const Text& a, const Text& b) {
    // std::string compares chars as unsigned bytes, then by length.
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
}

}  // namespace core
