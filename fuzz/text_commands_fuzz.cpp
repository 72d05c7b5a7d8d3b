// Text and number commands on arbitrary bytes, checking what must always hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/read_from_bytes.h"
#include "core/text_commands.h"
#include "core/value_number.h"
#include "core/value_text.h"

using namespace core;

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckCuts(const Text& text) {
    const int length = TextLength(text);
    Check(length == static_cast<int>(text.size()), "TextLength counts bytes");
    for (int left = 0; left <= length; ++left)
        Check(LeftText(text, left) + RightText(text, length - left) == text,
              "LeftText and RightText of complementary counts rebuild the text");
    const Text upper = ToUpper(text);
    Check(upper.size() == text.size(), "ToUpper keeps the length");
    Check(ToUpper(upper) == upper, "ToUpper is idempotent");
}

void CheckReplace(const Text& text, const Text& target, const Text& replacement, int start,
                  int limit, bool caseSensitive) {
    const Text result = ReplaceText(text, target, replacement, start, limit, caseSensitive);
    Check(ReplaceText(text, target, target, start, limit, true) == text,
          "replacing a target by itself gives the text back");
    if (start > 1)
        Check(result.compare(0, std::min<std::size_t>(start - 1, text.size()), text, 0,
                             std::min<std::size_t>(start - 1, text.size())) == 0,
              "bytes before the start are unchanged");
    if (replacement.empty() && caseSensitive)
        Check(result.size() <= text.size(), "removing never grows the text");
    if (text.find(target) == Text::npos && caseSensitive)
        Check(result == text, "a text without the target is unchanged");
}

void CheckNumber(const Text& text) {
    const double value = ToNumber(text);
    Check(!std::isnan(value), "ToNumber never reads nan");
}

void CheckDoubleText(double value) {
    const Text text = ToText(BasicValue::Double(value));
    if (!std::isfinite(value)) return;
    const double back = ToNumber(text);
    Check(std::fabs(back - value) <= std::fabs(value) * 1e-12 + 5e-324,
          "ToText of a double reads back within 13 digits");
    const std::size_t e = text.find('e');
    if (e != Text::npos) {
        Check(text.size() - e >= 5, "the exponent has at least three digits");
        Check(text[e - 1] != '0' && text[e - 1] != '.', "no trailing zeros before the exponent");
    }
    int digits = 0;
    for (std::size_t i = 0; i < text.size() && i != e; ++i) digits += text[i] >= '0' && text[i] <= '9';
    Check(digits <= 13 || e == Text::npos, "at most 13 significant digits");
}

void CheckReads(const Bytes& bytes, FuzzedDataProvider& input) {
    int position = 1;
    for (int reads = 0; position != -1 && reads < 64; ++reads) {
        const int before = position;
        const BasicValue value = ReadFromBytes(bytes, input.ConsumeIntegralInRange(1, 10), &position);
        Check(position == -1 || (position > before && position <= static_cast<int>(bytes.size())),
              "the position moves on and stays within the bytes");
        (void)ToText(value);
        (void)ToNumber(value);
    }
    int anywhere = input.ConsumeIntegral<int>();
    (void)ReadFromBytes(bytes, input.ConsumeIntegralInRange(1, 10), &anywhere);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Text text = input.ConsumeRandomLengthString(256);
    const Text target = input.ConsumeRandomLengthString(8);
    const Text replacement = input.ConsumeRandomLengthString(8);
    const int start = input.ConsumeIntegralInRange(-2, 300);
    const int limit = input.ConsumeIntegralInRange(-2, 10);
    const bool caseSensitive = input.ConsumeBool();

    CheckCuts(text);
    CheckReplace(text, target, replacement, start, limit, caseSensitive);
    CheckNumber(text);
    CheckDoubleText(input.ConsumeFloatingPoint<double>());
    (void)ToText(BasicValue::Float(input.ConsumeFloatingPoint<float>()));
    (void)ToText(BasicValue::Date(input.ConsumeFloatingPoint<double>()));
    const int count = input.ConsumeIntegralInRange(-3, 64);
    Check(RepeatText(count, target).size() == (count > 0 ? count * target.size() : 0),
          "RepeatText repeats count times");

    const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
    FuzzedDataProvider choices(rest.data(), rest.size());
    CheckReads(Bytes(rest.begin(), rest.end()), choices);
    return 0;
}
