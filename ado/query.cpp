#include "ado/query.h"

#include <algorithm>
#include <memory>

#include "ado/jet_text.h"
#include "ado/like.h"
#include "ado/utf8.h"

namespace ado {
namespace {

bool Fail(SqlError* error, SqlFault fault, std::string text) {
    *error = {fault, std::move(text)};
    return false;
}

bool FindColumn(const TableShape& table, std::u16string_view name, std::size_t* index, SqlError* error) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (JetTextEqual(table.columns[i].name, name)) {
            *index = i;
            return true;
        }
    }
    return Fail(error, SqlFault::UnknownColumn,
                "The table '" + ToUtf8(table.name) + "' has no column '" + ToUtf8(name) + "'.");
}

bool HoldsText(const jet::Column& c) { return c.type == jet::ColumnType::Text || c.type == jet::ColumnType::Memo; }

// A condition with its columns found in the table.
struct Bound {
    Condition::Kind kind = Condition::Kind::Compare;
    bool isLike = false;
    Condition::Op op = Condition::Op::Equal;
    std::size_t column = 0;
    std::u16string_view literal;  // in the statement, which outlives the run
    std::shared_ptr<LikePattern> like;
    std::vector<Bound> parts;
};

bool Bind(const TableShape& table, const Condition& c, Bound* out, SqlError* error) {
    out->kind = c.kind == Condition::Kind::Like ? Condition::Kind::Compare : c.kind;
    if (out->kind != Condition::Kind::Compare) {
        for (const Condition& part : c.parts) {
            out->parts.emplace_back();
            if (!Bind(table, part, &out->parts.back(), error)) return false;
        }
        return true;
    }
    const std::u16string& name = c.operands[0].column.column;
    if (!FindColumn(table, name, &out->column, error)) return false;
    if (!HoldsText(table.columns[out->column]))
        return Fail(error, SqlFault::TypeMismatch,
                    "Data type mismatch in criteria expression: '" + ToUtf8(name) + "' does not hold text.");
    out->op = c.op;
    out->isLike = c.kind == Condition::Kind::Like;
    out->literal = c.operands[1].literal.value.text;
    if (out->isLike) {
        out->like = std::make_shared<LikePattern>(out->literal);
        if (!out->like->Valid())
            return Fail(error, SqlFault::Syntax, "Syntax error: unclosed [ in the LIKE pattern '" + ToUtf8(out->literal) + "'.");
    }
    return true;
}

// SQL's three values: a comparison with Null is neither true nor false.
enum class Truth { False, True, Unknown };

Truth Not(Truth t) { return t == Truth::Unknown ? t : (t == Truth::True ? Truth::False : Truth::True); }

Truth Evaluate(const Bound& b, const Row& row) {
    switch (b.kind) {
    case Condition::Kind::Not: return Not(Evaluate(b.parts.front(), row));
    case Condition::Kind::And: {
        Truth result = Truth::True;
        for (const Bound& p : b.parts) {
            Truth t = Evaluate(p, row);
            if (t == Truth::False) return t;
            if (t == Truth::Unknown) result = t;
        }
        return result;
    }
    case Condition::Kind::Or: {
        Truth result = Truth::False;
        for (const Bound& p : b.parts) {
            Truth t = Evaluate(p, row);
            if (t == Truth::True) return t;
            if (t == Truth::Unknown) result = t;
        }
        return result;
    }
    default: break;
    }
    const jet::Value& v = row.at(b.column);
    if (v.kind != jet::Value::Kind::Text) return Truth::Unknown;
    bool hit = false;
    if (b.isLike) hit = b.like->Matches(v.text);
    else if (b.op == Condition::Op::Equal) hit = JetTextEqual(v.text, b.literal);
    else hit = !JetTextEqual(v.text, b.literal);
    return hit ? Truth::True : Truth::False;
}

// Reads only the rows an index can give when one comparison must hold for
// every row: an equality first, else a LIKE with a fixed prefix; else all rows.
std::vector<Row> Candidates(DataSource& source, const TableShape& table, const Bound* where) {
    if (!where) return source.ReadAll(table);
    const bool conjunction = where->kind == Condition::Kind::And;
    const std::size_t n = conjunction ? where->parts.size() : 1;
    auto must = [&](std::size_t i) -> const Bound& { return conjunction ? where->parts[i] : *where; };
    for (std::size_t i = 0; i < n; ++i)
        if (must(i).kind == Condition::Kind::Compare && !must(i).isLike && must(i).op == Condition::Op::Equal)
            return source.Lookup(table, must(i).column, jet::Value::FromText(std::u16string(must(i).literal)));
    for (std::size_t i = 0; i < n; ++i)
        if (must(i).kind == Condition::Kind::Compare && must(i).isLike &&
            !must(i).like->FixedPrefix().empty())
            return source.LookupPrefix(table, must(i).column, must(i).like->FixedPrefix());
    return source.ReadAll(table);
}

// Jet's order for the values of one column: Null first, text without regard to ASCII case.
int CompareValues(const jet::Value& a, const jet::Value& b) {
    if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
    switch (a.kind) {
    case jet::Value::Kind::Null: return 0;
    case jet::Value::Kind::Text: {
        std::size_t n = std::min(a.text.size(), b.text.size());
        for (std::size_t i = 0; i < n; ++i) {
            char16_t x = JetFoldChar(a.text[i]), y = JetFoldChar(b.text[i]);
            if (x != y) return x < y ? -1 : 1;
        }
        return a.text.size() == b.text.size() ? 0 : (a.text.size() < b.text.size() ? -1 : 1);
    }
    case jet::Value::Kind::Integer: return a.integer == b.integer ? 0 : (a.integer < b.integer ? -1 : 1);
    case jet::Value::Kind::Double: return a.real == b.real ? 0 : (a.real < b.real ? -1 : 1);
    case jet::Value::Kind::Binary: return a.binary == b.binary ? 0 : (a.binary < b.binary ? -1 : 1);
    }
    return 0;
}

struct BoundKey {
    std::size_t column;
    bool descending;
};

void Sort(std::vector<Row>* rows, const std::vector<BoundKey>& keys) {
    if (keys.empty()) return;
    std::stable_sort(rows->begin(), rows->end(), [&](const Row& a, const Row& b) {
        for (const BoundKey& k : keys) {
            int c = CompareValues(a.at(k.column), b.at(k.column));
            if (c != 0) return k.descending ? c > 0 : c < 0;
        }
        return false;
    });
}

ResultColumn Named(const jet::Column& c, const std::u16string& alias) {
    ResultColumn r = ResultColumnOf(c);
    if (!alias.empty()) r.name = alias;
    return r;
}

}  // namespace

ResultColumn ResultColumnOf(const jet::Column& column) {
    ResultColumn r;
    static_cast<jet::Column&>(r) = column;
    r.dataType = DataTypeOf(column.type);
    r.nullable = column.type != jet::ColumnType::Boolean;
    return r;
}

bool RunSelect(DataSource& source, const SelectStatement& statement, const Parameters& parameters, ResultSet* out,
               SqlError* error) {
    if (!parameters.empty() || statement.parameterCount)
        return Fail(error, SqlFault::Unsupported, "Parameters are not supported yet.");
    return RunSelect(source, statement, out, error);
}

bool RunSelect(DataSource& source, const SelectStatement& statement, ResultSet* out, SqlError* error) {
    const std::u16string& name = statement.tables.front().name;
    const TableShape* table = source.FindTable(name);
    if (!table)
        return Fail(error, SqlFault::UnknownTable, "The table '" + ToUtf8(name) + "' does not exist.");
    const bool count = statement.columns.size() == 1 && statement.columns[0].value.star;
    ResultSet result;
    std::vector<std::size_t> selected;
    if (statement.allColumns) {
        for (std::size_t i = 0; i < table->columns.size(); ++i) selected.push_back(i);
    }
    for (const SelectItem& item : statement.columns) {
        if (count) break;
        std::size_t i;
        if (!FindColumn(*table, item.value.column.column, &i, error)) return false;
        selected.push_back(i);
    }
    Bound bound;
    const Bound* where = statement.hasWhere ? &bound : nullptr;
    if (where && !Bind(*table, statement.where, &bound, error)) return false;
    std::vector<BoundKey> keys;
    for (const SortKey& k : statement.orderBy) {
        std::size_t i;
        if (!FindColumn(*table, k.key.column.column, &i, error)) return false;
        keys.push_back({i, k.descending});
    }

    if (count) {
        std::size_t n = 0;
        if (!where) {
            n = source.CountRows(*table);
        } else {
            for (const Row& row : Candidates(source, *table, where)) n += Evaluate(*where, row) == Truth::True;
        }
        const std::u16string& alias = statement.columns[0].alias;
        result.columns.push_back(Named({u"Expr1000", jet::ColumnType::LongInteger, 4}, alias));
        result.columns.back().nullable = false;
        if (statement.top != 0) result.rows.push_back({jet::Value::FromInteger(std::int64_t(n))});
        *out = std::move(result);
        return true;
    }

    std::vector<Row> rows = Candidates(source, *table, where);
    if (where) {
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [&](const Row& row) { return Evaluate(*where, row) != Truth::True; }),
                   rows.end());
    }
    Sort(&rows, keys);
    if (statement.top >= 0 && rows.size() > std::size_t(statement.top)) rows.resize(std::size_t(statement.top));

    for (std::size_t k = 0; k < selected.size(); ++k) {
        const std::u16string& alias = statement.allColumns ? std::u16string() : statement.columns[k].alias;
        result.columns.push_back(Named(table->columns[selected[k]], alias));
    }
    result.rows.reserve(rows.size());
    for (const Row& row : rows) {
        Row picked;
        picked.reserve(selected.size());
        for (std::size_t i : selected) picked.push_back(row.at(i));
        result.rows.push_back(std::move(picked));
    }
    *out = std::move(result);
    return true;
}

bool RunSql(DataSource& source, std::u16string_view sql, ResultSet* out, SqlError* error) {
    SelectStatement statement;
    return ParseSelect(sql, &statement, error) && RunSelect(source, statement, out, error);
}

bool RunSql(DataSource& source, std::u16string_view sql, const Parameters& parameters, ResultSet* out,
            SqlError* error) {
    SelectStatement statement;
    return ParseSelect(sql, &statement, error) && RunSelect(source, statement, parameters, out, error);
}

bool DescribeParameters(DataSource&, std::u16string_view, std::vector<ParameterInfo>*, SqlError* error) {
    return Fail(error, SqlFault::Unsupported, "Parameters are not supported yet.");
}

bool RunSql(DataSource& source, std::u16string_view sql, ResultSet* out, std::string* error) {
    SqlError why;
    if (RunSql(source, sql, out, &why)) return true;
    if (error) *error = std::move(why.text);
    return false;
}

}  // namespace ado
