#include "jet/table_plan.h"

#include <set>

#include "jet/failure.h"
#include "jet/format.h"
#include "jet/text_match.h"
#include "jet/utf.h"

namespace jet {
namespace {

constexpr std::size_t kMaxNameLength = 64;
constexpr std::size_t kMaxColumns = 255;

std::uint16_t DeclaredLength(const Column& c) {
    switch (c.type) {
        case ColumnType::Text: return c.size ? c.size : 510;
        case ColumnType::Binary: return c.size ? c.size : 255;
        case ColumnType::Memo:
        case ColumnType::OleObject: return 0;
        case ColumnType::Boolean: return 1;
        default: return static_cast<std::uint16_t>(format::FixedSize(c.type));
    }
}

}  // namespace

bool PlanTable(const Table& table, TablePlan& plan, std::string* error, const std::vector<std::uint8_t>* flags) {
    const std::string tableName = Utf16ToUtf8(table.name);
    if (table.name.empty() || table.name.size() > kMaxNameLength)
        return Fail(error, "table name must have 1 to 64 characters: '" + tableName + "'");
    if (table.columns.empty() || table.columns.size() > kMaxColumns)
        return Fail(error, "table '" + tableName + "' must have 1 to 255 columns");
    if (flags && flags->size() != table.columns.size())
        return Fail(error, "table '" + tableName + "': column flags do not match its columns");
    plan = TablePlan{};
    std::set<std::u16string> seen;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const Column& c = table.columns[i];
        const std::string name = Utf16ToUtf8(c.name);
        if (c.name.empty() || c.name.size() > kMaxNameLength)
            return Fail(error, "column name must have 1 to 64 characters in table '" + tableName + "'");
        if (!seen.insert(FoldAsciiCase(c.name)).second)
            return Fail(error, "duplicate column '" + name + "' in table '" + tableName + "'");
        if ((static_cast<std::uint8_t>(c.type) < 1 || static_cast<std::uint8_t>(c.type) > 0x0C) &&
            c.type != ColumnType::AccessObjectData)
            return Fail(error, "unsupported type of column '" + name + "'");
        if (c.type == ColumnType::Text && (c.size > 510 || c.size % 2 != 0))
            return Fail(error, "text column '" + name + "' must hold at most 255 characters");
        if (c.type == ColumnType::Binary && c.size > 510)
            return Fail(error, "binary column '" + name + "' must hold at most 510 bytes");
        ColumnPlan p;
        p.type = c.type;
        p.number = static_cast<std::uint16_t>(i);
        p.length = DeclaredLength(c);
        if (flags) {
            p.flags = (*flags)[i];
            p.fixed = (p.flags & format::kColFlagFixed) != 0;
            // Numbers may sit among the variable columns; texts never among the fixed ones.
            if (p.fixed == format::IsVariable(c.type) && (p.fixed || c.type == ColumnType::Boolean))
                return Fail(error, "column '" + name + "' cannot be stored as its flags say");
        } else {
            p.fixed = !format::IsVariable(c.type);
            p.flags = static_cast<std::uint8_t>(format::kColFlagUpdatable | (p.fixed ? format::kColFlagFixed : 0));
            p.compressed = format::IsTextual(c.type);
        }
        if (p.fixed) {
            // A Boolean lives in the null mask and takes no room: Access gives it offset 0.
            p.fixedOffset = c.type == ColumnType::Boolean ? 0 : plan.fixedSize;
            plan.fixedSize = static_cast<std::uint16_t>(plan.fixedSize + format::FixedSize(c.type));
        } else {
            p.varIndex = plan.varCount++;
        }
        plan.columns.push_back(p);
    }
    return true;
}

}  // namespace jet
