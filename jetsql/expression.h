#pragma once
// Conditions bound to the columns they name and evaluated row by row, with
// Jet's rules: SQL's three truth values, typed comparisons within a family
// (text, numbers and dates, bytes), LIKE patterns compiled once. Shared by
// statements (WHERE, ON, HAVING) and record sets (Filter, Find).
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "jetsql/data_source.h"
#include "jetsql/query.h"
#include "jetsql/sql.h"

namespace jetsql {

class LikePattern;

// A column a name can reach: a column of a table of FROM, or of a result.
struct ScopeColumn {
    std::u16string table;  // the name the statement knows the table by; empty for a result's columns
    jet::Column column;
    std::size_t slot = 0;    // where its value is in the rows evaluated
    std::size_t source = 0;  // which table of FROM
    std::size_t position = 0;  // column of that table
};

struct Scope {
    std::vector<ScopeColumn> columns;
    bool fields = false;  // a record set's fields: an unknown name is said to be no field

    // The column ref names: UnknownColumn, or Ambiguous when an unqualified
    // name is found in two tables.
    const ScopeColumn* Resolve(const ColumnRef& ref, SqlError* error) const;
};

// A value of a bound condition: a slot of the row, or a constant (a literal
// or a parameter's value, converted where Jet converts it).
struct BoundOperand {
    bool constant = false;
    std::size_t slot = 0;
    jet::Value value;
    jet::ColumnType type = jet::ColumnType::Text;
};

struct BoundCondition {
    Condition::Kind kind = Condition::Kind::Compare;
    Condition::Op op = Condition::Op::Equal;
    bool negated = false;
    std::vector<BoundOperand> operands;
    std::shared_ptr<const LikePattern> like;
    std::vector<BoundCondition> parts;
};

enum class Truth { False, True, Unknown };

// Where aggregates of HAVING and ORDER BY go: each distinct one gets a slot.
class AggregateSlots {
public:
    virtual ~AggregateSlots() = default;
    virtual bool SlotOf(const Operand& aggregate, BoundOperand* out, SqlError* error) = 0;
};

struct BindContext {
    const Scope* scope = nullptr;
    const Parameters* parameters = nullptr;  // null: `?` has no value (criteria)
    AggregateSlots* aggregates = nullptr;    // null: aggregates are refused
    bool criteria = false;                   // ADO's Filter and Find rules
};

bool Bind(const BindContext& context, const Condition& condition, BoundCondition* out, SqlError* error);
bool BindOperand(const BindContext& context, const Operand& operand, BoundOperand* out, SqlError* error);

Truth Evaluate(const BoundCondition& condition, const Row& row);

// Which slots a bound condition reads.
void SlotsOf(const BoundCondition& condition, std::vector<std::size_t>* slots);

// The top-level AND terms of a condition.
void Conjuncts(const Condition& condition, std::vector<const Condition*>* out);

}  // namespace jetsql
