#include "jetsql/expression.h"

#include <algorithm>

#include "jetsql/like.h"
#include "jet/utf.h"

namespace jetsql {
namespace {

bool Fail(SqlError* error, SqlFault fault, std::string text) {
    *error = {fault, std::move(text)};
    return false;
}

std::string NameOf(const ColumnRef& ref) {
    return jet::Utf16ToUtf8(ref.table.empty() ? ref.column : ref.table + u"." + ref.column);
}

const char* FamilyName(TypeFamily f) {
    switch (f) {
    case TypeFamily::Text: return "text";
    case TypeFamily::Number: return "a number";
    case TypeFamily::Bytes: return "bytes";
    }
    return "";
}

// A constant given as text or as a number read the other way, as Jet reads a
// parameter (and ADO a criteria value) against a column of another family.
bool Convert(BoundOperand* constant, jet::ColumnType target) {
    const TypeFamily to = FamilyOf(target);
    if (to == TypeFamily::Text && FamilyOf(constant->type) == TypeFamily::Number) {
        constant->value = jet::Value::FromText(TextOf(constant->value, constant->type));
        constant->type = jet::ColumnType::Text;
        return true;
    }
    if (to != TypeFamily::Number || constant->value.kind != jet::Value::Kind::Text) return false;
    TypedValue number;
    double date = 0;
    if (target == jet::ColumnType::Boolean &&
        (JetTextEqual(constant->value.text, u"True") || JetTextEqual(constant->value.text, u"False"))) {
        number = TypedValue::Boolean(JetTextEqual(constant->value.text, u"True"));
    } else if (target == jet::ColumnType::DateTime && ParseJetDate(constant->value.text, &date)) {
        number = TypedValue::Date(date);
    } else if (!ParseJetNumber(constant->value.text, true, &number)) {
        if (!ParseJetDate(constant->value.text, &date)) return false;
        number = TypedValue::Date(date);
    }
    constant->value = number.value;
    constant->type = number.type;
    return true;
}

bool IsNullConstant(const BoundOperand& o) { return o.constant && o.value.IsNull(); }

// Both sides of a comparison in one family, converting a lenient constant
// (a parameter, a criteria value) where that is how Jet or ADO reads it.
bool Reconcile(BoundOperand* a, bool aLenient, BoundOperand* b, bool bLenient, SqlError* error) {
    if (IsNullConstant(*a) || IsNullConstant(*b)) return true;
    const TypeFamily fa = FamilyOf(a->type), fb = FamilyOf(b->type);
    if (fa == fb) return true;
    if (a->constant && aLenient && Convert(a, b->type)) return true;
    if (b->constant && bLenient && Convert(b, a->type)) return true;
    return Fail(error, SqlFault::TypeMismatch,
                std::string("Data type mismatch in criteria expression: ") + FamilyName(fa) + " compared with " +
                    FamilyName(fb) + ".");
}

bool Lenient(const BindContext& context, const Operand& operand) {
    return operand.kind == Operand::Kind::Parameter || (context.criteria && operand.kind == Operand::Kind::Literal);
}

// ADO's criteria take * or % only at the start and the end of a LIKE
// pattern; every other character stands for itself.
bool CriteriaPattern(std::u16string_view pattern, std::u16string* out, SqlError* error) {
    std::u16string jet;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        const bool wildcard = c == u'*' || c == u'%';
        if (wildcard && (i == 0 || i + 1 == pattern.size())) {
            jet += u'*';
        } else if (wildcard) {
            return Fail(error, SqlFault::Syntax,
                        "Malformed criteria: a LIKE pattern takes * or % only at its start and end.");
        } else if (c == u'?' || c == u'#' || c == u'[' || c == u'_') {
            jet += u'[';
            jet += c;
            jet += u']';
        } else {
            jet += c;
        }
    }
    *out = std::move(jet);
    return true;
}

bool BindLike(const BindContext& context, const Condition& c, BoundCondition* out, SqlError* error) {
    BoundOperand& subject = out->operands[0];
    BoundOperand& pattern = out->operands[1];
    if (FamilyOf(subject.type) == TypeFamily::Bytes)
        return Fail(error, SqlFault::TypeMismatch, "Data type mismatch in criteria expression: LIKE on bytes.");
    if (!pattern.constant) return Fail(error, SqlFault::Unsupported, "LIKE with a column as its pattern is not supported by this engine.");
    if (pattern.value.IsNull()) return true;  // never true
    if (pattern.value.kind != jet::Value::Kind::Text) {
        if (!Lenient(context, c.operands[1]) || !Convert(&pattern, jet::ColumnType::Text))
            return Fail(error, SqlFault::TypeMismatch, "Data type mismatch in criteria expression: LIKE takes text.");
    }
    std::u16string text = pattern.value.text;
    if (context.criteria && !CriteriaPattern(pattern.value.text, &text, error)) return false;
    auto like = std::make_shared<LikePattern>(text);
    if (!like->Valid())
        return Fail(error, SqlFault::Syntax,
                    "Syntax error: unclosed [ in the LIKE pattern '" + jet::Utf16ToUtf8(pattern.value.text) + "'.");
    out->like = std::move(like);
    return true;
}

const jet::Value& ValueOf(const BoundOperand& o, const Row& row) { return o.constant ? o.value : row[o.slot]; }

int Compare(const BoundOperand& a, const BoundOperand& b, const Row& row) {
    return JetCompare(ValueOf(a, row), a.type, ValueOf(b, row), b.type);
}

Truth Of(bool b) { return b ? Truth::True : Truth::False; }
Truth Not(Truth t) { return t == Truth::Unknown ? t : Of(t == Truth::False); }

bool Holds(Condition::Op op, int c) {
    switch (op) {
    case Condition::Op::Equal: return c == 0;
    case Condition::Op::NotEqual: return c != 0;
    case Condition::Op::Less: return c < 0;
    case Condition::Op::LessEqual: return c <= 0;
    case Condition::Op::Greater: return c > 0;
    case Condition::Op::GreaterEqual: return c >= 0;
    }
    return false;
}

Truth Predicate(const BoundCondition& b, const Row& row) {
    const jet::Value& subject = ValueOf(b.operands[0], row);
    if (b.kind == Condition::Kind::IsNull) return Of(subject.IsNull() != b.negated);
    if (subject.IsNull()) return Truth::Unknown;
    switch (b.kind) {
    case Condition::Kind::Compare: {
        const jet::Value& other = ValueOf(b.operands[1], row);
        if (other.IsNull()) return Truth::Unknown;
        // Equality of text needs no order.
        if ((b.op == Condition::Op::Equal || b.op == Condition::Op::NotEqual) &&
            subject.kind == jet::Value::Kind::Text && other.kind == jet::Value::Kind::Text)
            return Of(JetTextEqual(subject.text, other.text) == (b.op == Condition::Op::Equal));
        return Of(Holds(b.op, Compare(b.operands[0], b.operands[1], row)));
    }
    case Condition::Kind::Truth:
        return Of(JetCompare(subject, b.operands[0].type, jet::Value::FromInteger(0), jet::ColumnType::LongInteger) != 0);
    case Condition::Kind::Like: {
        if (!b.like) return Truth::Unknown;
        const bool hit = subject.kind == jet::Value::Kind::Text ? b.like->Matches(subject.text)
                                                                 : b.like->Matches(TextOf(subject, b.operands[0].type));
        return Of(hit != b.negated);
    }
    case Condition::Kind::Between: {
        const BoundOperand *low = &b.operands[1], *high = &b.operands[2];
        if (ValueOf(*low, row).IsNull() || ValueOf(*high, row).IsNull()) return Truth::Unknown;
        if (Compare(*low, *high, row) > 0) std::swap(low, high);  // Jet takes the bounds either way round
        return Of((Compare(b.operands[0], *low, row) >= 0 && Compare(b.operands[0], *high, row) <= 0) != b.negated);
    }
    case Condition::Kind::In: {
        bool unknown = false;
        for (std::size_t i = 1; i < b.operands.size(); ++i) {
            if (ValueOf(b.operands[i], row).IsNull()) unknown = true;
            else if (Compare(b.operands[0], b.operands[i], row) == 0) return Of(!b.negated);
        }
        return unknown ? Truth::Unknown : Of(b.negated);
    }
    default: return Truth::Unknown;
    }
}

}  // namespace

const ScopeColumn* Scope::Resolve(const ColumnRef& ref, SqlError* error) const {
    const ScopeColumn* found = nullptr;
    for (const ScopeColumn& c : columns) {
        bool hit = JetTextEqual(c.column.name, ref.column) && (ref.table.empty() || JetTextEqual(c.table, ref.table));
        // A result's column named "t.col" (two tables had col) answers t.col.
        if (!hit && c.table.empty() && !ref.table.empty()) hit = JetTextEqual(c.column.name, ref.table + u"." + ref.column);
        if (!hit) continue;
        if (found) {
            Fail(error, SqlFault::Ambiguous,
                 "The specified field '" + NameOf(ref) +
                     "' could refer to more than one table listed in the FROM clause of your SQL statement.");
            return nullptr;
        }
        found = &c;
    }
    if (found) return found;
    if (fields) {
        Fail(error, SqlFault::UnknownColumn, "The record set has no field '" + NameOf(ref) + "'.");
    } else {
        std::vector<std::u16string> tables;
        for (const ScopeColumn& c : columns)
            if (std::find(tables.begin(), tables.end(), c.table) == tables.end()) tables.push_back(c.table);
        if (tables.size() == 1) {
            Fail(error, SqlFault::UnknownColumn,
                 "The table '" + jet::Utf16ToUtf8(tables[0]) + "' has no column '" + NameOf(ref) + "'.");
        } else {
            std::u16string list;
            for (const std::u16string& t : tables) list += (list.empty() ? u"'" : u", '") + t + u"'";
            Fail(error, SqlFault::UnknownColumn, "No table of " + jet::Utf16ToUtf8(list) + " has a column '" + NameOf(ref) + "'.");
        }
    }
    return nullptr;
}

bool BindOperand(const BindContext& context, const Operand& operand, BoundOperand* out, SqlError* error) {
    switch (operand.kind) {
    case Operand::Kind::Column: {
        const ScopeColumn* column = context.scope->Resolve(operand.column, error);
        if (!column) return false;
        out->slot = column->slot;
        out->type = column->column.type;
        return true;
    }
    case Operand::Kind::Literal:
        out->constant = true;
        out->value = operand.literal.value;
        out->type = operand.literal.type;
        return true;
    case Operand::Kind::Parameter:
        if (!context.parameters || operand.parameter >= context.parameters->size())
            return Fail(error, SqlFault::MissingParameter, "No value given for one or more required parameters.");
        out->constant = true;
        out->value = (*context.parameters)[operand.parameter].value;
        out->type = (*context.parameters)[operand.parameter].type;
        return true;
    case Operand::Kind::Aggregate:
        if (!context.aggregates)
            return Fail(error, SqlFault::Syntax, "Syntax error: an aggregate function cannot stand in WHERE or ON.");
        return context.aggregates->SlotOf(operand, out, error);
    }
    return false;
}

bool Bind(const BindContext& context, const Condition& c, BoundCondition* out, SqlError* error) {
    out->kind = c.kind;
    out->op = c.op;
    out->negated = c.negated;
    if (c.kind == Condition::Kind::And || c.kind == Condition::Kind::Or || c.kind == Condition::Kind::Not) {
        for (const Condition& part : c.parts) {
            out->parts.emplace_back();
            if (!Bind(context, part, &out->parts.back(), error)) return false;
        }
        return true;
    }
    out->operands.resize(c.operands.size());
    for (std::size_t i = 0; i < c.operands.size(); ++i)
        if (!BindOperand(context, c.operands[i], &out->operands[i], error)) return false;
    switch (c.kind) {
    case Condition::Kind::Like: return BindLike(context, c, out, error);
    case Condition::Kind::Truth:
        if (FamilyOf(out->operands[0].type) != TypeFamily::Number && !IsNullConstant(out->operands[0]))
            return Fail(error, SqlFault::TypeMismatch,
                        "Data type mismatch in criteria expression: a condition must be Yes/No or a number.");
        return true;
    case Condition::Kind::IsNull: return true;
    default: break;
    }
    // Compare, Between and In: each other operand against the first.
    for (std::size_t i = 1; i < out->operands.size(); ++i)
        if (!Reconcile(&out->operands[0], Lenient(context, c.operands[0]), &out->operands[i],
                       Lenient(context, c.operands[i]), error))
            return false;
    return true;
}

Truth Evaluate(const BoundCondition& b, const Row& row) {
    switch (b.kind) {
    case Condition::Kind::Not: return Not(Evaluate(b.parts.front(), row));
    case Condition::Kind::And: {
        Truth result = Truth::True;
        for (const BoundCondition& p : b.parts) {
            const Truth t = Evaluate(p, row);
            if (t == Truth::False) return t;
            if (t == Truth::Unknown) result = t;
        }
        return result;
    }
    case Condition::Kind::Or: {
        Truth result = Truth::False;
        for (const BoundCondition& p : b.parts) {
            const Truth t = Evaluate(p, row);
            if (t == Truth::True) return t;
            if (t == Truth::Unknown) result = t;
        }
        return result;
    }
    default: return Predicate(b, row);
    }
}

void SlotsOf(const BoundCondition& b, std::vector<std::size_t>* slots) {
    for (const BoundOperand& o : b.operands)
        if (!o.constant) slots->push_back(o.slot);
    for (const BoundCondition& p : b.parts) SlotsOf(p, slots);
}

void Conjuncts(const Condition& c, std::vector<const Condition*>* out) {
    if (c.kind != Condition::Kind::And) {
        out->push_back(&c);
        return;
    }
    for (const Condition& part : c.parts) Conjuncts(part, out);
}

}  // namespace jetsql
