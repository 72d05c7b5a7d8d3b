#pragma once
// 易语言's own layout of the .数据类型 a declaration text holds, worked out by the
// language's rules, for tests to hold against the i686 C layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>

namespace finder_test {

// 易语言's own layout of every .数据类型 in a text: 1-byte alignment, each
// member its type's size times its array count, nested data types inline.
struct EType {
    std::uint32_t size = 0;
    std::map<std::string, std::uint32_t> offsets;
};

inline std::map<std::string, EType> ELayouts(const std::string& text) {
    static const std::map<std::string, std::uint32_t> sizes = {
        {u8"字节型", 1},  {u8"短整数型", 2}, {u8"整数型", 4},   {u8"长整数型", 8}, {u8"小数型", 4},
        {u8"双精度小数型", 8}, {u8"逻辑型", 4}, {u8"日期时间型", 8}, {u8"子程序指针", 4}, {u8"文本型", 4},
        {u8"字节集", 4}};
    std::map<std::string, EType> types;
    std::istringstream in(text);
    std::string line, current;
    const auto field = [](const std::string& s, int n) {  // the n-th comma-separated field, trimmed
        std::size_t at = 0;
        for (int i = 0; i < n; ++i) {
            at = s.find(',', at);
            if (at == std::string::npos) return std::string();
            ++at;
        }
        std::size_t end = s.find(',', at);
        std::string f = s.substr(at, end == std::string::npos ? std::string::npos : end - at);
        while (!f.empty() && (f.front() == ' ')) f.erase(0, 1);
        while (!f.empty() && (f.back() == ' ' || f.back() == '\r')) f.pop_back();
        return f;
    };
    while (std::getline(in, line)) {
        if (line.rfind(u8".数据类型 ", 0) == 0) {
            current = field(line.substr(std::string(u8".数据类型 ").size()), 0);
            types[current];
        } else if (line.rfind(u8".成员 ", 0) == 0) {
            const std::string rest = line.substr(std::string(u8".成员 ").size());
            const std::string name = field(rest, 0), type = field(rest, 1), count = field(rest, 3);
            std::uint32_t size = 0;
            if (sizes.count(type)) size = sizes.at(type);
            else if (types.count(type)) size = types.at(type).size;
            else ADD_FAILURE() << "member " << name << " of " << current << ": type " << type << " unknown here";
            if (!count.empty()) size *= std::stoul(count.substr(1, count.size() - 2));
            EType& t = types[current];
            t.offsets[name] = t.size;
            t.size += size;
        }
    }
    return types;
}

}  // namespace finder_test
