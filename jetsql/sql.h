#pragma once
// The statements the engine answers, in Jet's SQL (read only):
//   SELECT [DISTINCT] [TOP n [PERCENT]] * | item [, ...]
//     FROM table [[AS] alias] { , table | INNER JOIN table ON condition } (parentheses allowed)
//     [WHERE condition] [GROUP BY column [, ...]] [HAVING condition]
//     [ORDER BY column | aggregate [ASC|DESC] [, ...]] [;]
// where an item is `column [AS name]`, `table.*` or an aggregate
// (COUNT(*), COUNT, MIN, MAX, SUM, AVG of a column) [AS name]; a column is
// `name` or `table.name`; a condition joins predicates with AND, OR, NOT and
// parentheses; a predicate is `a op b` (= <> < > <= >=), `a [NOT] BETWEEN b
// AND c`, `a [NOT] IN (b, ...)`, `a IS [NOT] NULL`, `a [NOT] LIKE b`, or a
// Yes/No column alone; an operand is a column, a literal ('text' or "text",
// a number, #date#, TRUE, FALSE, NULL) or a `?` parameter, and in HAVING and
// ORDER BY an aggregate. Keywords in any case; identifiers bare (letters,
// digits, '_', any non-ASCII character) or in [brackets].
// Anything else Jet has (other joins, subqueries, functions, arithmetic,
// UNION, TRANSFORM, PARAMETERS, DISTINCTROW) is refused as Unsupported,
// naming it; statements that write are refused as ReadOnly.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "jetsql/values.h"

namespace jetsql {

// Why the engine refused a statement, or the ADO criteria it was asked to
// read (the record set above reports those as its own faults). Each says
// what went wrong; jetsql/README.md, "How jetsql fails", lists them.
enum class SqlFault {
    Syntax,            // a malformed statement or criteria
    ReadOnly,          // a statement that would write
    UnknownTable,      // FROM names no table
    UnknownColumn,     // a statement (or criteria) names no column of its tables (fields)
    TypeMismatch,      // values that Jet cannot compare or total
    Unsupported,       // Jet SQL the engine does not answer; the text names it
    MissingParameter,  // fewer values than the statement has `?`
    ExtraParameter,    // more values than the statement has `?`
    Ambiguous,         // an unqualified name found in two tables
    NotAggregated,     // a column neither grouped nor inside an aggregate
};

struct SqlError {
    SqlFault fault = SqlFault::Syntax;
    std::string text;
};

struct ColumnRef {
    std::u16string table;  // as written (a table name or alias); empty when unqualified
    std::u16string column;
};

enum class Aggregate { None, Count, Min, Max, Sum, Avg };

struct Operand {
    enum class Kind { Column, Literal, Parameter, Aggregate };
    Kind kind = Kind::Column;
    ColumnRef column;           // Column; Aggregate's argument unless star
    TypedValue literal;         // Literal
    std::size_t parameter = 0;  // Parameter: 0-based, in the order the `?` stand
    Aggregate aggregate = Aggregate::None;
    bool star = false;          // COUNT(*)
};

struct Condition {
    enum class Kind { Compare, Like, Between, In, IsNull, Truth, And, Or, Not };
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };
    Kind kind = Kind::Compare;
    Op op = Op::Equal;              // Compare
    bool negated = false;           // NOT LIKE, NOT BETWEEN, NOT IN, IS NOT NULL
    std::vector<Operand> operands;  // Compare: a, b; Like: subject, pattern; Between: subject, low,
                                    // high; In: subject, items...; IsNull, Truth: the operand
    std::vector<Condition> parts;   // And, Or: two or more; Not: one
};

struct SelectItem {
    enum class Kind { Value, AllOf };
    Kind kind = Kind::Value;
    Operand value;          // Value: a Column or an Aggregate
    std::u16string table;   // AllOf: `table.*`
    std::u16string alias;   // empty: named by the engine
};

struct TableRef {
    std::u16string name;
    std::u16string alias;  // empty: the table is known by its name
};

struct SortKey {
    Operand key;  // a Column, or an Aggregate in a grouped statement
    bool descending = false;
};

struct SelectStatement {
    bool distinct = false;
    bool allColumns = false;           // SELECT *
    std::vector<SelectItem> columns;   // as written, when not SELECT *
    std::vector<TableRef> tables;      // every table of FROM, in the order written
    std::vector<Condition> joinConditions;  // the ON conditions of the inner joins
    bool hasWhere = false;
    Condition where;
    std::vector<ColumnRef> groupBy;
    bool hasHaving = false;
    Condition having;
    std::vector<SortKey> orderBy;
    long top = -1;             // TOP n; -1: every row
    double topPercent = -1;    // TOP n PERCENT (0 < n <= 100); -1: none
    std::size_t parameterCount = 0;
};

// Parses sql into *out. On failure returns false and says why in *error.
bool ParseSelect(std::u16string_view sql, SelectStatement* out, SqlError* error);

// ADO's criteria for a record set's Filter and Find: clauses `field op value`
// (op one of = <> < > <= >= LIKE; value 'text', #date#, a number with an
// optional $, or Null after = and <>) joined by AND and OR, grouped with
// parentheses, but no OR group joined to another clause by AND, as ADO
// refuses it. Faults are Syntax, or Unsupported for what Jet's SQL has and
// criteria do not.
bool ParseCriteria(std::u16string_view criteria, Condition* out, SqlError* error);

}  // namespace jetsql
