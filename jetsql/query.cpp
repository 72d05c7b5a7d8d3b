#include "jetsql/query.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "jetsql/expression.h"
#include "jetsql/like.h"
#include "jet/utf.h"

namespace jetsql {
namespace {

// A join that would hold more values than this is taken for a runaway and refused.
constexpr std::size_t kMostJoinedValues = 8000000;
// A slot at or past this names a column neither grouped nor aggregated.
constexpr std::size_t kUngrouped = std::size_t(1) << 30;

bool Fail(SqlError* error, SqlFault fault, std::string text) {
    *error = {fault, std::move(text)};
    return false;
}

struct FromTable {
    const TableShape* shape = nullptr;
    std::u16string name;  // the alias, else the table's name
    std::size_t offset = 0;  // its first slot in a joined row
};

bool ResolveTables(DataSource& source, const SelectStatement& s, std::vector<FromTable>* tables, Scope* scope,
                   SqlError* error) {
    std::size_t offset = 0;
    for (const TableRef& ref : s.tables) {
        const TableShape* shape = source.FindTable(ref.name);
        if (!shape)
            return Fail(error, SqlFault::UnknownTable, "The table '" + jet::Utf16ToUtf8(ref.name) + "' does not exist.");
        const std::u16string& name = ref.alias.empty() ? ref.name : ref.alias;
        for (const FromTable& known : *tables)
            if (JetTextEqual(known.name, name))
                return Fail(error, SqlFault::Syntax,
                            "Syntax error: the table '" + jet::Utf16ToUtf8(name) + "' stands twice in FROM; give one an alias.");
        for (std::size_t c = 0; c < shape->columns.size(); ++c)
            scope->columns.push_back({name, shape->columns[c], offset + c, tables->size(), c});
        tables->push_back({shape, name, offset});
        offset += shape->columns.size();
    }
    return true;
}

// The columns of one table alone, their slots its own positions.
Scope LocalScope(const Scope& all, std::size_t table) {
    Scope local;
    for (const ScopeColumn& c : all.columns)
        if (c.source == table) local.columns.push_back({c.table, c.column, c.position, table, c.position});
    return local;
}

// ---- reading one table ----

enum class KeyAnswer { Key, NoRow, NoLookup };

// The key a lookup on a column of `type` takes for a constant: integers for
// integer columns (a fraction or a value out of range matches no row).
KeyAnswer LookupKey(jet::ColumnType type, const BoundOperand& constant, jet::Value* key) {
    const jet::Value& v = constant.value;
    switch (type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo:
        if (v.kind != jet::Value::Kind::Text) return KeyAnswer::NoLookup;
        *key = v;
        return KeyAnswer::Key;
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::LongInteger: {
        if (v.kind == jet::Value::Kind::Text) return KeyAnswer::NoLookup;
        const double d = JetNumber(v, constant.type);
        if (d != std::floor(d) || std::fabs(d) > 4294967296.0) return KeyAnswer::NoRow;
        *key = jet::Value::FromInteger(std::int64_t(d));
        return KeyAnswer::Key;
    }
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
    case jet::ColumnType::DateTime:
        if (v.kind == jet::Value::Kind::Text) return KeyAnswer::NoLookup;
        *key = jet::Value::FromDouble(JetNumber(v, constant.type));
        return KeyAnswer::Key;
    default: return KeyAnswer::NoLookup;
    }
}

// A predicate of one column against constants: which column, and the constant operands.
const BoundOperand* ColumnSide(const BoundCondition& c) {
    if (c.operands.empty() || c.operands[0].constant) return nullptr;
    for (std::size_t i = 1; i < c.operands.size(); ++i)
        if (!c.operands[i].constant || c.operands[i].value.IsNull()) return nullptr;
    return &c.operands[0];
}

Condition::Op Flipped(Condition::Op op) {
    switch (op) {
    case Condition::Op::Less: return Condition::Op::Greater;
    case Condition::Op::LessEqual: return Condition::Op::GreaterEqual;
    case Condition::Op::Greater: return Condition::Op::Less;
    case Condition::Op::GreaterEqual: return Condition::Op::LessEqual;
    default: return op;
    }
}

// A comparison with the column written first (`5 < n` is `n > 5`).
BoundCondition Oriented(const BoundCondition& c) {
    if (c.kind != Condition::Kind::Compare || !c.operands[0].constant || c.operands[1].constant) return c;
    BoundCondition flipped = c;
    std::swap(flipped.operands[0], flipped.operands[1]);
    flipped.op = Flipped(c.op);
    return flipped;
}

// Reads only the rows an index can give when a predicate on one column must
// hold for every row: an equality (on an indexed column first, then on
// text), a LIKE with a fixed prefix, a range on an indexed number or date
// column; else every row. The caller tests every row it gets.
std::vector<Row> Candidates(DataSource& source, const TableShape& table, const std::vector<BoundCondition>& must) {
    std::vector<BoundCondition> oriented;
    for (const BoundCondition& c : must) oriented.push_back(Oriented(c));
    for (int pass = 0; pass < 2; ++pass) {
        for (const BoundCondition& c : oriented) {
            const BoundOperand* column = ColumnSide(c);
            if (!column || c.kind != Condition::Kind::Compare || c.op != Condition::Op::Equal) continue;
            const jet::ColumnType type = table.columns[column->slot].type;
            const bool indexed = source.Indexed(table, column->slot);
            if (pass == 0 ? !indexed : type != jet::ColumnType::Text) continue;
            jet::Value key;
            switch (LookupKey(type, c.operands[1], &key)) {
            case KeyAnswer::Key: return source.Lookup(table, column->slot, key);
            case KeyAnswer::NoRow: return {};
            case KeyAnswer::NoLookup: break;
            }
        }
    }
    for (const BoundCondition& c : oriented) {
        const BoundOperand* column = ColumnSide(c);
        if (column && c.kind == Condition::Kind::Like && !c.negated && c.like && !c.like->FixedPrefix().empty() &&
            table.columns[column->slot].type == jet::ColumnType::Text)
            return source.LookupPrefix(table, column->slot, c.like->FixedPrefix());
    }
    for (const BoundCondition& c : oriented) {
        const BoundOperand* column = ColumnSide(c);
        if (!column || !RangeLookupType(table.columns[column->slot].type) || !source.Indexed(table, column->slot))
            continue;
        if (c.kind == Condition::Kind::Between && !c.negated && c.operands[1].value.kind != jet::Value::Kind::Text &&
            c.operands[2].value.kind != jet::Value::Kind::Text) {
            jet::Value low = jet::Value::FromDouble(JetNumber(c.operands[1].value, c.operands[1].type));
            jet::Value high = jet::Value::FromDouble(JetNumber(c.operands[2].value, c.operands[2].type));
            if (low.real > high.real) std::swap(low, high);
            return source.LookupRange(table, column->slot, &low, &high);
        }
        if (c.kind != Condition::Kind::Compare || c.op == Condition::Op::Equal || c.op == Condition::Op::NotEqual ||
            c.operands[1].value.kind == jet::Value::Kind::Text)
            continue;
        const jet::Value bound = jet::Value::FromDouble(JetNumber(c.operands[1].value, c.operands[1].type));
        const bool upper = c.op == Condition::Op::Less || c.op == Condition::Op::LessEqual;
        return source.LookupRange(table, column->slot, upper ? nullptr : &bound, upper ? &bound : nullptr);
    }
    return source.ReadAll(table);
}

void KeepWhere(std::vector<Row>* rows, const std::vector<BoundCondition>& must) {
    if (must.empty()) return;
    rows->erase(std::remove_if(rows->begin(), rows->end(),
                               [&](const Row& row) {
                                   for (const BoundCondition& c : must)
                                       if (Evaluate(c, row) != Truth::True) return true;
                                   return false;
                               }),
                rows->end());
}

// The rows of one table that hold its own conditions, read through an index where one serves.
std::vector<Row> MatchingRows(DataSource& source, const TableShape& table, const std::vector<BoundCondition>& must) {
    std::vector<Row> rows = Candidates(source, table, must);
    KeepWhere(&rows, must);
    return rows;
}

// ---- joining ----

// A value as a hash key that equal values (in Jet's sense) share.
bool JoinKey(const jet::Value& v, jet::ColumnType type, std::u16string* key) {
    key->clear();
    switch (v.kind) {
    case jet::Value::Kind::Null: return false;
    case jet::Value::Kind::Text: *key = u'T' + JetFold(v.text); return true;
    case jet::Value::Kind::Binary: *key = u'B' + std::u16string(v.binary.begin(), v.binary.end()); return true;
    default: break;
    }
    double d = JetNumber(v, type);
    if (d == 0) d = 0;  // -0 joins 0
    char16_t bits[4];
    std::memcpy(bits, &d, sizeof d);
    *key = u'N' + std::u16string(bits, 4);
    return true;
}

struct Conjunct {
    const Condition* written = nullptr;
    BoundCondition joined;             // over joined-row slots
    std::vector<std::size_t> tables;   // the FROM tables it reads, ascending
};

// One table's part of a join: its rows, and how the rows joined so far reach them.
struct JoinStep {
    const FromTable* table = nullptr;
    std::vector<BoundCondition> local;  // its own conditions, over its own columns
};

Row Joined(const Row& left, const Row& right) {
    Row row;
    row.reserve(left.size() + right.size());
    row.insert(row.end(), left.begin(), left.end());
    row.insert(row.end(), right.begin(), right.end());
    return row;
}

bool TooLarge(SqlError* error) {
    return Fail(error, SqlFault::Unsupported,
                "A join giving more than " + std::to_string(kMostJoinedValues) + " values is not supported by this engine.");
}

// An equality between a column of the table being joined and one of a table
// joined before it: `mine` in the new table's own row, `theirs` in the joined row.
struct JoinEquality {
    std::size_t mine = 0, theirs = 0;
};

bool FindJoinEquality(const std::vector<Conjunct>& across, const Scope& scope, const FromTable& table, std::size_t t,
                      JoinEquality* out) {
    for (const Conjunct& c : across) {
        const BoundCondition& b = c.joined;
        if (c.tables.back() != t || b.kind != Condition::Kind::Compare || b.op != Condition::Op::Equal ||
            b.operands[0].constant || b.operands[1].constant)
            continue;
        const std::size_t a = scope.columns[b.operands[0].slot].source, z = scope.columns[b.operands[1].slot].source;
        if ((a == t) == (z == t)) continue;
        out->mine = b.operands[a == t ? 0 : 1].slot - table.offset;
        out->theirs = b.operands[a == t ? 1 : 0].slot;
        return true;
    }
    return false;
}

// Whether the table's own conditions seek one of its indexes by equality:
// then its rows are read that way rather than probed key by key.
bool SeeksOwnIndex(DataSource& source, const TableShape& shape, const std::vector<BoundCondition>& local) {
    for (const BoundCondition& c : local) {
        const BoundCondition oriented = Oriented(c);
        const BoundOperand* column = ColumnSide(oriented);
        if (column && c.kind == Condition::Kind::Compare && c.op == Condition::Op::Equal &&
            source.Indexed(shape, column->slot))
            return true;
    }
    return false;
}

using JoinKeys = std::unordered_map<std::u16string, const jet::Value*>;
using Matches = std::unordered_map<std::u16string, std::vector<Row>>;

// The new table's rows for each key, one index lookup per key.
Matches ProbeIndex(DataSource& source, const TableShape& shape, const JoinStep& step, std::size_t mine,
                   const JoinKeys& keys, jet::ColumnType theirType) {
    Matches matches;
    for (const auto& [k, value] : keys) {
        BoundOperand constant;
        constant.constant = true;
        constant.value = *value;
        constant.type = theirType;
        jet::Value lookup;
        if (LookupKey(shape.columns[mine].type, constant, &lookup) != KeyAnswer::Key) continue;
        std::vector<Row> found = source.Lookup(shape, mine, lookup);
        KeepWhere(&found, step.local);
        matches[k] = std::move(found);
    }
    return matches;
}

// The new table read once, its rows hashed by key.
Matches HashRows(DataSource& source, const TableShape& shape, const JoinStep& step, std::size_t mine,
                 const JoinKeys& keys) {
    Matches matches;
    std::u16string key;
    for (Row& row : MatchingRows(source, shape, step.local))
        if (JoinKey(row[mine], shape.columns[mine].type, &key) && keys.count(key)) matches[key].push_back(std::move(row));
    return matches;
}

// Joins on the equality: through the new table's index when it has one and
// the joined rows bring few keys, else through a hash of its rows.
bool JoinOnEquality(DataSource& source, const FromTable& table, const JoinStep& step, const Scope& scope,
                    const JoinEquality& equal, const std::vector<Row>& rows, std::vector<Row>* next, SqlError* error) {
    const TableShape& shape = *table.shape;
    const std::size_t width = table.offset + shape.columns.size();
    const jet::ColumnType theirType = scope.columns[equal.theirs].column.type;
    JoinKeys keys;
    std::u16string key;
    for (const Row& row : rows)
        if (JoinKey(row[equal.theirs], theirType, &key)) keys.emplace(key, &row[equal.theirs]);
    const bool probe = !SeeksOwnIndex(source, shape, step.local) && source.Indexed(shape, equal.mine) &&
                       keys.size() * 4 < source.CountRows(shape);
    const Matches matches = probe ? ProbeIndex(source, shape, step, equal.mine, keys, theirType)
                                  : HashRows(source, shape, step, equal.mine, keys);
    for (const Row& left : rows) {
        if (!JoinKey(left[equal.theirs], theirType, &key)) continue;
        auto found = matches.find(key);
        if (found == matches.end()) continue;
        if ((next->size() + found->second.size()) * width > kMostJoinedValues) return TooLarge(error);
        for (const Row& right : found->second) next->push_back(Joined(left, right));
    }
    return true;
}

// Joins every joined row with every row of the new table.
bool JoinEveryPair(DataSource& source, const FromTable& table, const JoinStep& step, const std::vector<Row>& rows,
                   std::vector<Row>* next, SqlError* error) {
    const std::size_t width = table.offset + table.shape->columns.size();
    const std::vector<Row> candidates = MatchingRows(source, *table.shape, step.local);
    if (!candidates.empty() && rows.size() > kMostJoinedValues / width / candidates.size()) return TooLarge(error);
    for (const Row& left : rows)
        for (const Row& right : candidates) next->push_back(Joined(left, right));
    return true;
}

// The conditions across the tables joined so far, which hold from table t on.
void KeepAcross(std::vector<Row>* rows, const std::vector<Conjunct>& across, std::size_t t) {
    std::vector<BoundCondition> now;
    for (const Conjunct& c : across)
        if (c.tables.back() == t) now.push_back(c.joined);
    KeepWhere(rows, now);
}

// The rows of every table joined in FROM order.
bool JoinTables(DataSource& source, const std::vector<FromTable>& tables, const Scope& scope,
                const std::vector<JoinStep>& steps, const std::vector<Conjunct>& across, std::vector<Row>* out,
                SqlError* error) {
    std::vector<Row> rows = MatchingRows(source, *tables[0].shape, steps[0].local);
    for (std::size_t t = 1; t < tables.size(); ++t) {
        std::vector<Row> next;
        JoinEquality equal;
        const bool joined = FindJoinEquality(across, scope, tables[t], t, &equal)
                                ? JoinOnEquality(source, tables[t], steps[t], scope, equal, rows, &next, error)
                                : JoinEveryPair(source, tables[t], steps[t], rows, &next, error);
        if (!joined) return false;
        rows = std::move(next);
        KeepAcross(&rows, across, t);
    }
    *out = std::move(rows);
    return true;
}

// ---- grouping ----

struct AggregateCall {
    Aggregate function = Aggregate::None;
    bool star = false;
    std::size_t slot = 0;  // of its column in a joined row
    jet::ColumnType argument = jet::ColumnType::LongInteger;
    ResultColumn result;
};

// Aggregates met while binding, each given the slot after the grouped columns.
class GroupAggregates : public AggregateSlots {
public:
    GroupAggregates(const Scope& scope, std::size_t grouped) : scope_(scope), grouped_(grouped) {}

    bool SlotOf(const Operand& a, BoundOperand* out, SqlError* error) override {
        AggregateCall call;
        call.function = a.aggregate;
        call.star = a.star;
        if (!a.star) {
            const ScopeColumn* column = scope_.Resolve(a.column, error);
            if (!column) return false;
            call.slot = column->slot;
            call.argument = column->column.type;
        }
        const TypeFamily family = FamilyOf(call.argument);
        if ((a.aggregate == Aggregate::Sum || a.aggregate == Aggregate::Avg) && family != TypeFamily::Number)
            return Fail(error, SqlFault::TypeMismatch, "Data type mismatch in criteria expression: SUM and AVG take numbers.");
        std::size_t i = 0;
        for (; i < calls.size(); ++i)
            if (calls[i].function == call.function && calls[i].star == call.star && calls[i].slot == call.slot) break;
        if (i == calls.size()) {
            call.result = ResultOf(call);
            calls.push_back(call);
        }
        out->slot = grouped_ + i;
        out->type = calls[i].result.type;
        return true;
    }

    std::vector<AggregateCall> calls;

private:
    ResultColumn ResultOf(const AggregateCall& call) const {
        switch (call.function) {
        case Aggregate::Count: {
            ResultColumn c = ResultColumnOf({u"", jet::ColumnType::LongInteger, 4});
            c.nullable = false;
            return c;
        }
        case Aggregate::Min:
        case Aggregate::Max: {
            ResultColumn c = ResultColumnOf(scope_.columns[call.slot].column);
            c.nullable = true;
            return c;
        }
        default:
            return ResultColumnOf({u"", call.argument == jet::ColumnType::Currency ? jet::ColumnType::Currency
                                                                                   : jet::ColumnType::Double, 8});
        }
    }

    const Scope& scope_;
    std::size_t grouped_;
};

jet::Value Compute(const AggregateCall& call, const std::vector<const Row*>& rows) {
    if (call.function == Aggregate::Count) {
        std::int64_t n = 0;
        for (const Row* row : rows) n += call.star || !(*row)[call.slot].IsNull();
        return jet::Value::FromInteger(n);
    }
    const jet::Value* best = nullptr;
    std::int64_t whole = 0, count = 0;
    double sum = 0;
    bool integral = true;
    for (const Row* row : rows) {
        const jet::Value& v = (*row)[call.slot];
        if (v.IsNull()) continue;
        ++count;
        if (call.function == Aggregate::Min || call.function == Aggregate::Max) {
            const int c = best ? JetOrder(v, *best, call.argument) : 0;
            if (!best || (call.function == Aggregate::Min ? c < 0 : c > 0)) best = &v;
        } else if (v.kind == jet::Value::Kind::Integer) {
            whole += call.argument == jet::ColumnType::Boolean ? (v.integer ? -1 : 0) : v.integer;
        } else {
            integral = false;
            sum += v.real;
        }
    }
    if (count == 0) return jet::Value::Null();
    if (best) return *best;
    double total = integral ? double(whole) : sum + double(whole);
    if (call.function == Aggregate::Avg) total /= double(count);
    if (call.argument == jet::ColumnType::Currency) total = std::round(total * 10000.0) / 10000.0;
    return jet::Value::FromDouble(total);
}

// ---- the output ----

std::u16string Decimal(long n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

struct OutputRow {
    Row out;
    Row keys;
};

struct Plan {
    std::vector<ResultColumn> columns;
    std::vector<BoundOperand> values;  // per output column, over the working rows
    std::vector<BoundOperand> keys;    // ORDER BY, over the working rows
    std::vector<bool> descending;
};

// A working row's values in the output's order (and its sort keys), moved
// where a value is wanted once; a row shown whole as it stands is kept.
OutputRow MakeOutputRow(Row row, const Plan& plan) {
    OutputRow one;
    bool whole = plan.keys.empty() && plan.values.size() == row.size();
    for (std::size_t i = 0; whole && i < plan.values.size(); ++i) whole = plan.values[i].slot == i;
    if (whole) {
        one.out = std::move(row);
        return one;
    }
    std::vector<int> uses(row.size());
    for (const BoundOperand& v : plan.values) ++uses[v.slot];
    for (const BoundOperand& k : plan.keys) ++uses[k.slot];
    auto take = [&](std::size_t slot) { return --uses[slot] == 0 ? std::move(row[slot]) : row[slot]; };
    one.out.reserve(plan.values.size());
    one.keys.reserve(plan.keys.size());
    for (const BoundOperand& k : plan.keys) one.keys.push_back(row[k.slot]);
    for (const BoundOperand& k : plan.keys) --uses[k.slot];
    for (const BoundOperand& v : plan.values) one.out.push_back(take(v.slot));
    return one;
}

bool CheckGrouped(const BoundOperand& o, const Scope& scope, SqlError* error) {
    if (o.constant || o.slot < kUngrouped) return true;
    const ScopeColumn& c = scope.columns[o.slot - kUngrouped];
    return Fail(error, SqlFault::NotAggregated,
                "You tried to execute a query that does not include the specified expression '" +
                    jet::Utf16ToUtf8(c.table + u"." + c.column.name) + "' as part of an aggregate function.");
}

void NameColumns(std::vector<ResultColumn>* columns, const std::vector<std::u16string>& tables,
                 const std::vector<bool>& named) {
    // Two columns of one name from different tables are called table.column, as Jet calls them.
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < columns->size(); ++i) {
        std::u16string name = (*columns)[i].name;
        if (!named[i] && !tables[i].empty()) {
            for (std::size_t j = 0; j < columns->size(); ++j)
                if (j != i && !named[j] && !tables[j].empty() && !JetTextEqual(tables[i], tables[j]) &&
                    JetTextEqual((*columns)[i].name, (*columns)[j].name))
                    name = tables[i] + u"." + (*columns)[i].name;
        }
        names.push_back(std::move(name));
    }
    for (std::size_t i = 0; i < columns->size(); ++i) (*columns)[i].name = names[i];
}

// Rows past the TOP count, keeping those that tie with the last one kept.
void KeepTop(std::vector<OutputRow>* rows, const SelectStatement& s, const Plan& plan) {
    std::size_t limit = rows->size();
    if (s.top >= 0) limit = std::size_t(s.top);
    if (s.topPercent > 0) limit = std::size_t(std::ceil(double(rows->size()) * s.topPercent / 100.0 - 1e-9));
    if (limit >= rows->size()) return;
    if (limit > 0 && !s.orderBy.empty()) {
        const Row& last = (*rows)[limit - 1].keys;
        auto ties = [&](const Row& keys) {
            for (std::size_t k = 0; k < keys.size(); ++k)
                if (JetOrder(keys[k], last[k], plan.keys[k].type) != 0) return false;
            return true;
        };
        while (limit < rows->size() && ties((*rows)[limit].keys)) ++limit;
    }
    rows->resize(limit);
}

bool Aggregated(const SelectStatement& s) {
    if (!s.groupBy.empty() || s.hasHaving) return true;
    for (const SelectItem& item : s.columns)
        if (item.kind == SelectItem::Kind::Value && item.value.kind == Operand::Kind::Aggregate) return true;
    for (const SortKey& key : s.orderBy)
        if (key.key.kind == Operand::Kind::Aggregate) return true;
    return false;
}

// COUNT(*) of one whole table: the count the table keeps.
bool CountsOnly(const SelectStatement& s) {
    if (s.tables.size() != 1 || s.hasWhere || s.hasHaving || !s.groupBy.empty() || s.columns.empty()) return false;
    for (const SelectItem& item : s.columns)
        if (item.kind != SelectItem::Kind::Value || !item.value.star) return false;
    return true;
}

// ORDER BY's keys; a key may name a column of the result by its alias.
bool BindKeys(const SelectStatement& s, const BindContext& context, const std::vector<bool>& named, Plan* plan,
              SqlError* error) {
    for (const SortKey& key : s.orderBy) {
        BoundOperand bound;
        SqlError why;
        if (!BindOperand(context, key.key, &bound, &why)) {
            bool found = false;
            if (why.fault == SqlFault::UnknownColumn && key.key.kind == Operand::Kind::Column && key.key.column.table.empty())
                for (std::size_t i = 0; i < plan->columns.size() && !found; ++i)
                    if (named[i] && JetTextEqual(plan->columns[i].name, key.key.column.column))
                        bound = plan->values[i], found = true;
            if (!found) return Fail(error, why.fault, why.text);
        }
        if (!CheckGrouped(bound, *context.scope, error)) return false;
        if (s.distinct) {
            bool shown = false;
            for (const BoundOperand& v : plan->values) shown |= v.slot == bound.slot;
            if (!shown)
                return Fail(error, SqlFault::Syntax,
                            "Syntax error: ORDER BY clause (" + jet::Utf16ToUtf8(key.key.column.column) + ") conflicts with DISTINCT.");
        }
        plan->keys.push_back(bound);
        plan->descending.push_back(key.descending);
    }
    return true;
}

void SortOutput(std::vector<OutputRow>* rows, const Plan& plan, bool byOutput) {
    std::stable_sort(rows->begin(), rows->end(), [&](const OutputRow& a, const OutputRow& b) {
        const Row& x = byOutput ? a.out : a.keys;
        const Row& y = byOutput ? b.out : b.keys;
        for (std::size_t k = 0; k < x.size(); ++k) {
            const jet::ColumnType type = byOutput ? plan.columns[k].type : plan.keys[k].type;
            const int c = JetOrder(x[k], y[k], type);
            if (c != 0) return byOutput || !plan.descending[k] ? c < 0 : c > 0;
        }
        return false;
    });
}

// ---- the steps of a SELECT ----

bool CheckParameterCount(const SelectStatement& s, const Parameters& parameters, SqlError* error) {
    if (parameters.size() < s.parameterCount)
        return Fail(error, SqlFault::MissingParameter, "No value given for one or more required parameters.");
    if (parameters.size() > s.parameterCount)
        return Fail(error, SqlFault::ExtraParameter,
                    std::to_string(parameters.size()) + " parameter values given for a statement with " +
                        std::to_string(s.parameterCount) + " placeholders.");
    return true;
}

// WHERE and ON as one list of AND terms, each bound over the joined row and,
// when it reads one table only, over that table's own row too.
bool BindConditions(const SelectStatement& s, const Scope& scope, const Parameters& parameters,
                    std::vector<JoinStep>* steps, std::vector<Conjunct>* across, SqlError* error) {
    const BindContext plain{&scope, &parameters, nullptr, false};
    std::vector<const Condition*> written;
    if (s.hasWhere) Conjuncts(s.where, &written);
    for (const Condition& on : s.joinConditions) Conjuncts(on, &written);
    for (const Condition* c : written) {
        Conjunct conjunct{c, {}, {}};
        if (!Bind(plain, *c, &conjunct.joined, error)) return false;
        std::vector<std::size_t> slots;
        SlotsOf(conjunct.joined, &slots);
        for (std::size_t slot : slots) conjunct.tables.push_back(scope.columns[slot].source);
        std::sort(conjunct.tables.begin(), conjunct.tables.end());
        conjunct.tables.erase(std::unique(conjunct.tables.begin(), conjunct.tables.end()), conjunct.tables.end());
        if (conjunct.tables.size() > 1) {
            across->push_back(std::move(conjunct));
            continue;
        }
        const std::size_t t = conjunct.tables.empty() ? 0 : conjunct.tables[0];
        const Scope local = LocalScope(scope, t);
        (*steps)[t].local.emplace_back();
        if (!Bind({&local, &parameters, nullptr, false}, *c, &(*steps)[t].local.back(), error)) return false;
    }
    return true;
}

// GROUP BY: the grouped columns' slots in a joined row, and the scope the
// output sees, where a grouped row holds the grouped columns first.
struct Grouping {
    bool grouped = false;
    std::vector<std::size_t> slots;
    Scope scope;
};

bool BindGroupBy(const SelectStatement& s, const Scope& scope, Grouping* out, SqlError* error) {
    out->grouped = Aggregated(s);
    for (const ColumnRef& ref : s.groupBy) {
        const ScopeColumn* column = scope.Resolve(ref, error);
        if (!column) return false;
        out->slots.push_back(column->slot);
    }
    for (const ScopeColumn& c : scope.columns) {
        auto at = std::find(out->slots.begin(), out->slots.end(), c.slot);
        ScopeColumn shown = c;
        shown.slot = at == out->slots.end() ? kUngrouped + c.slot : std::size_t(at - out->slots.begin());
        out->scope.columns.push_back(shown);
    }
    return true;
}

// The column list: what each output column reads and what it is called.
// named: whether each was given its name (AS) in the statement.
bool BindColumns(const SelectStatement& s, const Scope& scope, const Grouping& grouping, const BindContext& output,
                 const GroupAggregates& aggregates, Plan* plan, std::vector<bool>* named, SqlError* error) {
    std::vector<std::u16string> sourceTables;
    int expressions = 0;
    auto show = [&](const ScopeColumn& c, const std::u16string& alias) {
        BoundOperand bound;
        bound.slot = grouping.grouped ? grouping.scope.columns[c.slot].slot : c.slot;
        bound.type = c.column.type;
        if (!CheckGrouped(bound, scope, error)) return false;
        plan->values.push_back(bound);
        plan->columns.push_back(ResultColumnOf(c.column));
        if (!alias.empty()) plan->columns.back().name = alias;
        sourceTables.push_back(c.table);
        named->push_back(!alias.empty());
        return true;
    };
    if (s.allColumns) {
        for (const ScopeColumn& c : scope.columns)
            if (!show(c, {})) return false;
    }
    for (const SelectItem& item : s.columns) {
        if (item.kind == SelectItem::Kind::AllOf) {
            bool any = false;
            for (const ScopeColumn& c : scope.columns) {
                if (!JetTextEqual(c.table, item.table)) continue;
                any = true;
                if (!show(c, {})) return false;
            }
            if (!any) return Fail(error, SqlFault::UnknownTable, "The table '" + jet::Utf16ToUtf8(item.table) + "' is not in FROM.");
            continue;
        }
        if (item.value.kind == Operand::Kind::Column) {
            const ScopeColumn* column = scope.Resolve(item.value.column, error);
            if (!column || !show(*column, item.alias)) return false;
            continue;
        }
        BoundOperand bound;
        if (!BindOperand(output, item.value, &bound, error)) return false;
        plan->values.push_back(bound);
        plan->columns.push_back(aggregates.calls[bound.slot - grouping.slots.size()].result);
        plan->columns.back().name =
            item.alias.empty() ? u"Expr" + Decimal(1000 + expressions++) : item.alias;
        sourceTables.emplace_back();
        named->push_back(!item.alias.empty());
    }
    NameColumns(&plan->columns, sourceTables, *named);
    return true;
}

// HAVING, over grouped rows: it may read grouped columns and aggregates only.
bool BindHaving(const SelectStatement& s, const Scope& scope, const BindContext& output, BoundCondition* having,
                SqlError* error) {
    if (!s.hasHaving) return true;
    if (!Bind(output, s.having, having, error)) return false;
    std::vector<std::size_t> slots;
    SlotsOf(*having, &slots);
    for (std::size_t slot : slots) {
        BoundOperand o;
        o.slot = slot;
        if (!CheckGrouped(o, scope, error)) return false;
    }
    return true;
}

// Groups in the order of their keys, Null first; one group of every row
// without GROUP BY. Each group becomes one row (its keys, then its
// aggregates), kept when HAVING holds.
std::vector<Row> GroupRows(const std::vector<Row>& rows, const SelectStatement& s, const Scope& scope,
                           const Grouping& grouping, const GroupAggregates& aggregates, const BoundCondition& having) {
    std::vector<Row> grouped;
    std::vector<const Row*> order;
    for (const Row& row : rows) order.push_back(&row);
    auto compare = [&](const Row* a, const Row* b) {
        for (std::size_t slot : grouping.slots)
            if (int c = JetOrder((*a)[slot], (*b)[slot], scope.columns[slot].column.type)) return c;
        return 0;
    };
    std::stable_sort(order.begin(), order.end(), [&](const Row* a, const Row* b) { return compare(a, b) < 0; });
    auto add = [&](std::vector<const Row*> group, const Row* first) {
        Row row;
        for (std::size_t slot : grouping.slots) row.push_back((*first)[slot]);
        for (const AggregateCall& call : aggregates.calls) row.push_back(Compute(call, group));
        if (!s.hasHaving || Evaluate(having, row) == Truth::True) grouped.push_back(std::move(row));
    };
    if (grouping.slots.empty()) add(order, nullptr);
    for (std::size_t begin = 0, end = 0; !grouping.slots.empty() && begin < order.size(); begin = end) {
        for (end = begin + 1; end < order.size() && compare(order[begin], order[end]) == 0;) ++end;
        add({order.begin() + long(begin), order.begin() + long(end)}, order[begin]);
    }
    return grouped;
}

// COUNT(*) alone over one table: the count its definition stores, no row read.
std::vector<Row> CountedRow(DataSource& source, const FromTable& table, const GroupAggregates& aggregates) {
    Row row;
    for (std::size_t i = 0; i < aggregates.calls.size(); ++i)
        row.push_back(jet::Value::FromInteger(std::int64_t(source.CountRows(*table.shape))));
    return {std::move(row)};
}

// Jet finds duplicates by sorting on every column shown; the order stays.
void RemoveDuplicates(std::vector<OutputRow>* shown, const Plan& plan) {
    SortOutput(shown, plan, true);
    shown->erase(std::unique(shown->begin(), shown->end(),
                             [&](const OutputRow& a, const OutputRow& b) {
                                 for (std::size_t k = 0; k < a.out.size(); ++k)
                                     if (JetOrder(a.out[k], b.out[k], plan.columns[k].type) != 0) return false;
                                 return true;
                             }),
                 shown->end());
}

ResultSet ResultOf(Plan plan, std::vector<OutputRow> shown) {
    ResultSet result;
    result.columns = std::move(plan.columns);
    result.rows.reserve(shown.size());
    for (OutputRow& one : shown) result.rows.push_back(std::move(one.out));
    return result;
}

}  // namespace

ResultColumn ResultColumnOf(const jet::Column& column) {
    ResultColumn r;
    static_cast<jet::Column&>(r) = column;
    r.nullable = column.type != jet::ColumnType::Boolean;
    return r;
}

// Everything is bound (names checked) before any row is read; then the rows
// are read and joined, grouped, shaped to the output, made distinct, ordered
// and cut to TOP.
bool RunSelect(DataSource& source, const SelectStatement& s, const Parameters& parameters, ResultSet* out,
               SqlError* error) {
    if (!CheckParameterCount(s, parameters, error)) return false;
    std::vector<FromTable> tables;
    Scope scope;
    if (!ResolveTables(source, s, &tables, &scope, error)) return false;
    std::vector<JoinStep> steps(tables.size());
    std::vector<Conjunct> across;
    if (!BindConditions(s, scope, parameters, &steps, &across, error)) return false;

    Grouping grouping;
    if (!BindGroupBy(s, scope, &grouping, error)) return false;
    GroupAggregates aggregates(scope, grouping.slots.size());
    const BindContext output = grouping.grouped ? BindContext{&grouping.scope, &parameters, &aggregates, false}
                                                : BindContext{&scope, &parameters, nullptr, false};
    Plan plan;
    std::vector<bool> named;
    BoundCondition having;
    if (!BindColumns(s, scope, grouping, output, aggregates, &plan, &named, error) ||
        !BindHaving(s, scope, output, &having, error) || !BindKeys(s, output, named, &plan, error))
        return false;

    std::vector<Row> working;
    if (CountsOnly(s)) {
        working = CountedRow(source, tables[0], aggregates);
    } else {
        if (!JoinTables(source, tables, scope, steps, across, &working, error)) return false;
        if (grouping.grouped) working = GroupRows(working, s, scope, grouping, aggregates, having);
    }

    std::vector<OutputRow> shown;
    shown.reserve(working.size());
    for (Row& row : working) shown.push_back(MakeOutputRow(std::move(row), plan));
    if (s.distinct) RemoveDuplicates(&shown, plan);
    if (!plan.keys.empty()) SortOutput(&shown, plan, false);
    KeepTop(&shown, s, plan);
    *out = ResultOf(std::move(plan), std::move(shown));
    return true;
}

bool RunSql(DataSource& source, std::u16string_view sql, const Parameters& parameters, ResultSet* out,
            SqlError* error) {
    SelectStatement statement;
    return ParseSelect(sql, &statement, error) && RunSelect(source, statement, parameters, out, error);
}

namespace {

// The column, literal or aggregate a `?` is measured against in one predicate.
const Operand* Partner(const Condition& c, std::size_t parameter) {
    for (std::size_t i = 0; i < c.operands.size(); ++i) {
        if (c.operands[i].kind != Operand::Kind::Parameter || c.operands[i].parameter != parameter) continue;
        if (i > 0) return &c.operands[0];
        for (const Operand& other : c.operands)
            if (other.kind != Operand::Kind::Parameter) return &other;
    }
    return nullptr;
}

bool Describe(const Condition& c, const Scope& scope, std::vector<ParameterInfo>* out, SqlError* error) {
    for (const Condition& part : c.parts)
        if (!Describe(part, scope, out, error)) return false;
    for (const Operand& o : c.operands) {
        if (o.kind != Operand::Kind::Parameter || o.parameter >= out->size()) continue;
        ParameterInfo& info = (*out)[o.parameter];
        const Operand* partner = Partner(c, o.parameter);
        if (c.kind == Condition::Kind::Like && &o == &c.operands[1]) {
            info.typeKnown = true;
            info.type = jet::ColumnType::Text;
        }
        if (!partner || (c.kind == Condition::Kind::Like && &o == &c.operands[1])) continue;
        if (partner->kind == Operand::Kind::Literal) {
            info.typeKnown = !partner->literal.value.IsNull();
            info.type = partner->literal.type;
        } else if (partner->kind == Operand::Kind::Aggregate && partner->aggregate == Aggregate::Count) {
            info.typeKnown = true;
            info.type = jet::ColumnType::LongInteger;
        } else if (partner->kind != Operand::Kind::Parameter) {
            const ScopeColumn* column = scope.Resolve(partner->column, error);
            if (!column) return false;
            info.typeKnown = true;
            info.type = column->column.type;
            info.size = column->column.size;
            info.column = column->column.name;
            if (partner->aggregate == Aggregate::Sum || partner->aggregate == Aggregate::Avg) {
                if (info.type != jet::ColumnType::Currency) info.type = jet::ColumnType::Double;
                info.size = 8;
                info.column.clear();
            }
        }
    }
    return true;
}

}  // namespace

bool DescribeParameters(DataSource& source, std::u16string_view sql, std::vector<ParameterInfo>* out,
                        SqlError* error) {
    SelectStatement s;
    if (!ParseSelect(sql, &s, error)) return false;
    std::vector<FromTable> tables;
    Scope scope;
    if (!ResolveTables(source, s, &tables, &scope, error)) return false;
    std::vector<ParameterInfo> info(s.parameterCount);
    if (s.hasWhere && !Describe(s.where, scope, &info, error)) return false;
    for (const Condition& on : s.joinConditions)
        if (!Describe(on, scope, &info, error)) return false;
    if (s.hasHaving && !Describe(s.having, scope, &info, error)) return false;
    *out = std::move(info);
    return true;
}

}  // namespace jetsql
