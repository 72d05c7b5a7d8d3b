// Prints the cost per byte of the text commands on large inputs, and of the
// number conversions per call, so that a pass that stops being single shows.
#include <chrono>
#include <cstdio>

#include "core/text_commands.h"
#include "core/value_number.h"
#include "core/value_text.h"

using namespace core;

namespace {

template <class Work>
double NanosecondsPerRun(int runs, Work work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) work();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / runs;
}

volatile std::size_t sink;

}  // namespace

int main() {
    const Text lines = RepeatText(100000, "0x7FFF\xB0\xA1\r\n");  // 1 MB with double-byte text
    const double bytes = static_cast<double>(lines.size());
    std::printf("input: %.0f bytes\n", bytes);
    std::printf("ReplaceText \\r\\n removed: %.2f ns/byte\n",
                NanosecondsPerRun(20, [&] { sink = ReplaceText(lines, "\r\n", "", 1, -1, true).size(); }) / bytes);
    std::printf("ReplaceText 0x, no case:    %.2f ns/byte\n",
                NanosecondsPerRun(20, [&] { sink = ReplaceText(lines, "0X", "").size(); }) / bytes);
    std::printf("ToUpper:                    %.2f ns/byte\n",
                NanosecondsPerRun(20, [&] { sink = ToUpper(lines).size(); }) / bytes);
    std::printf("RepeatText 1 byte x 1M:     %.2f ns/byte\n",
                NanosecondsPerRun(20, [&] { sink = RepeatText(1 << 20, "0").size(); }) / (1 << 20));
    std::printf("RepeatText 8 bytes x 128K:  %.2f ns/byte\n",
                NanosecondsPerRun(20, [&] { sink = RepeatText(1 << 17, "01234567").size(); }) / (1 << 20));
    std::printf("ToNumber \"-12.5e1\":         %.1f ns/call\n",
                NanosecondsPerRun(200000, [&] { sink = static_cast<std::size_t>(ToNumber("-12.5e1")); }));
    std::printf("ToText double 2/3:          %.1f ns/call\n",
                NanosecondsPerRun(200000, [&] { sink = ToText(BasicValue::Double(2.0 / 3.0)).size(); }));
    return 0;
}
