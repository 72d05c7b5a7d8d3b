#include "jetsql/sql.h"

#include "jetsql/jet_text.h"
#include "jet/utf.h"

namespace jetsql {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || IsDigit(c) || c == u'_' ||
           (c >= 0x80 && c != 0x3000);
}

enum class Tok {
    End, Name, Bracketed, Text, Number, Date, Param, Star, Comma, Dot, Equals, NotEquals, Less, LessEqual,
    Greater, GreaterEqual, Open, Close, Semicolon, Arithmetic, Bad
};

struct Token {
    Tok kind = Tok::End;
    std::u16string text;
};

Token Bad(const std::string& why) { return {Tok::Bad, std::u16string(why.begin(), why.end())}; }

// Splits the text into tokens; a lexical fault ends the list with a Bad token
// whose text is the message.
class Lexer {
public:
    Lexer(std::u16string_view s, bool criteria) : s_(s), criteria_(criteria) {}

    std::vector<Token> All() {
        std::vector<Token> tokens;
        do tokens.push_back(Next());
        while (tokens.back().kind != Tok::End && tokens.back().kind != Tok::Bad);
        return tokens;
    }

private:
    Token Next() {
        while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
        if (pos_ >= s_.size()) return {Tok::End, {}};
        const char16_t c = s_[pos_];
        const char16_t next = pos_ + 1 < s_.size() ? s_[pos_ + 1] : 0;
        switch (c) {
        case u'*': return One(Tok::Star);
        case u',': return One(Tok::Comma);
        case u'=': return One(Tok::Equals);
        case u'(': return One(Tok::Open);
        case u')': return One(Tok::Close);
        case u';': return One(Tok::Semicolon);
        case u'?': return One(Tok::Param);
        case u'<':
            if (next == u'>') return Two(Tok::NotEquals);
            if (next == u'=') return Two(Tok::LessEqual);
            return One(Tok::Less);
        case u'>': return next == u'=' ? Two(Tok::GreaterEqual) : One(Tok::Greater);
        case u'[': return Bracketed();
        case u'#': return Hashed();
        case u'\'':
        case u'"': return Quoted(c);
        case u'+':
        case u'-':
        case u'/':
        case u'\\':
        case u'&':
        case u'^':
            ++pos_;
            return {Tok::Arithmetic, std::u16string(1, c)};
        default: break;
        }
        if (IsDigit(c) || (c == u'.' && IsDigit(next)) || (criteria_ && c == u'$')) return Number();
        if (c == u'.') return One(Tok::Dot);
        if (!IsNameChar(c)) return Bad("unexpected character '" + jet::Utf16ToUtf8(std::u16string(1, c)) + "'");
        const std::size_t start = pos_;
        while (pos_ < s_.size() && IsNameChar(s_[pos_])) ++pos_;
        return {Tok::Name, std::u16string(s_.substr(start, pos_ - start))};
    }

    Token One(Tok kind) {
        ++pos_;
        return {kind, {}};
    }
    Token Two(Tok kind) {
        pos_ += 2;
        return {kind, {}};
    }

    // Digits, a fraction, an exponent (the parser reads the value).
    Token Number() {
        const std::size_t start = pos_;
        if (s_[pos_] == u'$') ++pos_;
        while (pos_ < s_.size() && (IsDigit(s_[pos_]) || s_[pos_] == u'.')) ++pos_;
        if (pos_ < s_.size() && (s_[pos_] == u'e' || s_[pos_] == u'E')) {
            std::size_t at = pos_ + 1;
            if (at < s_.size() && (s_[at] == u'+' || s_[at] == u'-')) ++at;
            if (at < s_.size() && IsDigit(s_[at])) {
                pos_ = at;
                while (pos_ < s_.size() && IsDigit(s_[pos_])) ++pos_;
            }
        }
        return {Tok::Number, std::u16string(s_.substr(start, pos_ - start))};
    }

    Token Bracketed() {
        const std::size_t close = s_.find(u']', pos_ + 1);
        if (close == std::u16string_view::npos) return Bad("unclosed [ in identifier");
        std::u16string name(s_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        if (name.empty()) return Bad("empty identifier []");
        if (name.find(u'[') != std::u16string::npos) return Bad("[ inside a bracketed identifier");
        return {Tok::Bracketed, name};
    }

    Token Hashed() {
        const std::size_t close = s_.find(u'#', pos_ + 1);
        if (close == std::u16string_view::npos) return Bad("unclosed # in a date");
        std::u16string text(s_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        return {Tok::Date, text};
    }

    // Jet takes text in either quote; the same quote written twice stands for itself.
    Token Quoted(char16_t quote) {
        std::u16string text;
        ++pos_;
        while (pos_ < s_.size()) {
            const char16_t c = s_[pos_++];
            if (c != quote) {
                text += c;
                continue;
            }
            if (pos_ < s_.size() && s_[pos_] == quote) {
                text += quote;
                ++pos_;
                continue;
            }
            return {Tok::Text, text};
        }
        return Bad("unterminated text literal");
    }

    std::u16string_view s_;
    bool criteria_;
    std::size_t pos_ = 0;
};

bool IsWord(const Token& t, std::u16string_view word) { return t.kind == Tok::Name && JetTextEqual(t.text, word); }

bool IsOneOf(const Token& t, std::initializer_list<const char16_t*> words) {
    if (t.kind != Tok::Name || t.text.size() > 11) return false;
    for (const char16_t* w : words)
        if (IsWord(t, w)) return true;
    return false;
}

bool IsReserved(const Token& t) {
    return IsOneOf(t, {u"SELECT", u"FROM",   u"WHERE", u"AND",   u"OR",      u"NOT",   u"LIKE",   u"ORDER",
                       u"BY",     u"ASC",    u"DESC",  u"TOP",   u"AS",      u"INTO",  u"DISTINCT", u"GROUP",
                       u"HAVING", u"BETWEEN", u"IN",   u"IS",    u"NULL",    u"INNER", u"JOIN",   u"ON",
                       u"LEFT",   u"RIGHT",  u"OUTER", u"UNION", u"PERCENT", u"TRUE",  u"FALSE",  u"ALL",
                       u"DISTINCTROW", u"EXISTS"});
}

// Statements that would change the file: refused as the file is open read-only.
bool IsWriteVerb(const Token& t) {
    return IsOneOf(t, {u"INSERT", u"UPDATE", u"DELETE", u"DROP", u"CREATE", u"ALTER", u"GRANT", u"REVOKE"});
}

Aggregate AggregateNamed(const Token& t) {
    if (IsWord(t, u"COUNT")) return Aggregate::Count;
    if (IsWord(t, u"MIN")) return Aggregate::Min;
    if (IsWord(t, u"MAX")) return Aggregate::Max;
    if (IsWord(t, u"SUM")) return Aggregate::Sum;
    if (IsWord(t, u"AVG")) return Aggregate::Avg;
    return Aggregate::None;
}

std::string Narrow(const std::u16string& text) { return jet::Utf16ToUtf8(text); }

class Parser {
public:
    Parser(std::u16string_view text, bool criteria, SqlError* error)
        : tokens_(Lexer(text, criteria).All()), criteria_(criteria), error_(error) {}

    bool Statement(SelectStatement* out) {
        if (IsWriteVerb(Cur())) return ReadOnly(Narrow(JetFold(Cur().text)));
        if (IsOneOf(Cur(), {u"TRANSFORM", u"PARAMETERS", u"EXEC", u"EXECUTE", u"PROCEDURE"}))
            return Unsupported(Narrow(JetFold(Cur().text)) + " statements are");
        if (!Keyword(u"SELECT", "statement must begin with SELECT")) return false;
        if (!SelectQualifiers(out) || !Columns(out)) return false;
        if (IsWord(Cur(), u"INTO")) return ReadOnly("SELECT ... INTO");
        if (!Keyword(u"FROM", "FROM expected after the column list") || !From(out)) return false;
        if (Accept(u"WHERE")) {
            out->hasWhere = true;
            if (!Or(&out->where, 0)) return false;
        }
        if (Accept(u"GROUP") && !GroupBy(out)) return false;
        if (Accept(u"HAVING")) {
            out->hasHaving = true;
            if (!Or(&out->having, 0)) return false;
        }
        if (Accept(u"ORDER") && !OrderBy(out)) return false;
        if (IsWord(Cur(), u"UNION")) return Unsupported("UNION is");
        if (Cur().kind == Tok::Semicolon) Advance();
        if (!AtEnd("unexpected text after the statement")) return false;
        out->parameterCount = parameters_;
        return true;
    }

    bool Criteria(Condition* out) { return Or(out, 0) && AtEnd("unexpected text after the criteria"); }

private:
    // ---- SELECT's parts ----

    bool SelectQualifiers(SelectStatement* out) {
        for (;;) {
            if (Accept(u"ALL")) continue;
            if (Accept(u"DISTINCT")) {
                out->distinct = true;
                continue;
            }
            if (IsWord(Cur(), u"DISTINCTROW")) return Unsupported("DISTINCTROW is");
            if (Accept(u"TOP")) {
                if (!Top(out)) return false;
                continue;
            }
            return true;
        }
    }

    bool Top(SelectStatement* out) {
        TypedValue n;
        if (Cur().kind != Tok::Number || !ParseJetNumber(Cur().text, false, &n))
            return Fail("a row count expected after TOP");
        Advance();
        const double value = n.value.kind == jet::Value::Kind::Integer ? double(n.value.integer) : n.value.real;
        if (Accept(u"PERCENT")) {
            if (!(value > 0 && value <= 100)) return Fail("TOP n PERCENT takes a number above 0 and at most 100");
            out->topPercent = value;
            return true;
        }
        if (n.value.kind != jet::Value::Kind::Integer || value < 0) return Fail("TOP takes a whole number of rows");
        out->top = long(n.value.integer);
        return true;
    }

    bool Columns(SelectStatement* out) {
        if (Cur().kind == Tok::Star) {
            out->allColumns = true;
            Advance();
            return true;
        }
        for (;;) {
            SelectItem item;
            if (Ahead(1).kind == Tok::Dot && Ahead(2).kind == Tok::Star && IsIdentifier(Cur())) {
                item.kind = SelectItem::Kind::AllOf;
                item.table = Cur().text;
                Advance(3);
            } else {
                if (IsLiteralStart()) return Unsupported("Constants in the column list are");
                if (!ColumnOrAggregate(&item.value, "column name or * expected")) return false;
                if (Cur().kind == Tok::Arithmetic || Cur().kind == Tok::Star)
                    return Unsupported("Arithmetic in the column list is");
                if (Accept(u"AS") && !Identifier(&item.alias, "name expected after AS")) return false;
            }
            out->columns.push_back(std::move(item));
            if (Cur().kind != Tok::Comma) return true;
            Advance();
        }
    }

    // FROM a [, b] and INNER JOINs, with Access's parentheses around joins.
    bool From(SelectStatement* out) {
        for (;;) {
            if (!Joined(out, 0)) return false;
            if (Cur().kind != Tok::Comma) return true;
            Advance();
        }
    }

    bool Joined(SelectStatement* out, int depth) {
        if (!FromPrimary(out, depth)) return false;
        for (;;) {
            if (IsOneOf(Cur(), {u"LEFT", u"RIGHT", u"OUTER", u"FULL", u"CROSS"}))
                return Unsupported(Narrow(JetFold(Cur().text)) + " JOIN is");
            if (IsWord(Cur(), u"JOIN")) return Fail("INNER expected before JOIN");
            if (!Accept(u"INNER")) return true;
            if (!Keyword(u"JOIN", "JOIN expected after INNER") || !FromPrimary(out, depth)) return false;
            if (!Keyword(u"ON", "ON expected after the joined table")) return false;
            out->joinConditions.emplace_back();
            if (!Or(&out->joinConditions.back(), 0)) return false;
        }
    }

    bool FromPrimary(SelectStatement* out, int depth) {
        if (depth > 32) return Fail("joins nested too deeply");
        if (Cur().kind == Tok::Open) {
            if (IsWord(Ahead(1), u"SELECT")) return Unsupported("Subqueries are");
            Advance();
            if (!Joined(out, depth + 1)) return false;
            return Expect(Tok::Close, ") expected after the joined tables");
        }
        TableRef table;
        if (!Identifier(&table.name, "table name expected")) return false;
        if (Cur().kind == Tok::Dot || IsWord(Cur(), u"IN")) return Unsupported("Tables of another database are");
        if (Accept(u"AS")) {
            if (!Identifier(&table.alias, "name expected after AS")) return false;
        } else if (IsIdentifier(Cur())) {
            table.alias = Cur().text;
            Advance();
        }
        out->tables.push_back(std::move(table));
        return true;
    }

    bool GroupBy(SelectStatement* out) {
        if (!Keyword(u"BY", "BY expected after GROUP")) return false;
        for (;;) {
            ColumnRef column;
            if (AggregateNamed(Cur()) != Aggregate::None && Ahead(1).kind == Tok::Open)
                return Fail("an aggregate cannot be grouped by");
            if (!ColumnReference(&column, "column name expected in GROUP BY")) return false;
            out->groupBy.push_back(std::move(column));
            if (Cur().kind != Tok::Comma) return true;
            Advance();
        }
    }

    bool OrderBy(SelectStatement* out) {
        if (!Keyword(u"BY", "BY expected after ORDER")) return false;
        for (;;) {
            SortKey key;
            if (Cur().kind == Tok::Number) return Unsupported("ORDER BY a column position is");
            if (!ColumnOrAggregate(&key.key, "column name expected in ORDER BY")) return false;
            if (IsWord(Cur(), u"DESC") || IsWord(Cur(), u"ASC")) {
                key.descending = IsWord(Cur(), u"DESC");
                Advance();
            }
            out->orderBy.push_back(std::move(key));
            if (Cur().kind != Tok::Comma) return true;
            Advance();
        }
    }

    // ---- conditions ----

    // condition := and {OR and}; and := unary {AND unary}; unary := NOT unary | ( condition ) | predicate
    bool Or(Condition* out, int depth) { return Chain(out, depth, u"OR", Condition::Kind::Or, &Parser::And); }
    bool And(Condition* out, int depth) { return Chain(out, depth, u"AND", Condition::Kind::And, &Parser::Unary); }

    bool Chain(Condition* out, int depth, std::u16string_view word, Condition::Kind kind,
               bool (Parser::*operand)(Condition*, int)) {
        Condition first;
        if (!(this->*operand)(&first, depth)) return false;
        if (!IsWord(Cur(), word)) {
            *out = std::move(first);
            return true;
        }
        Condition chain;
        chain.kind = kind;
        chain.parts.push_back(std::move(first));
        while (Accept(word)) {
            chain.parts.emplace_back();
            if (!(this->*operand)(&chain.parts.back(), depth)) return false;
        }
        *out = std::move(chain);
        return true;
    }

    bool Unary(Condition* out, int depth) {
        // Deep nesting is refused rather than followed down the stack.
        if (depth > 64) return Fail("conditions nested too deeply");
        if (Accept(u"NOT")) {
            out->kind = Condition::Kind::Not;
            out->parts.emplace_back();
            return Unary(&out->parts.back(), depth + 1);
        }
        if (Cur().kind == Tok::Open) {
            if (IsWord(Ahead(1), u"SELECT")) return Unsupported("Subqueries are");
            Advance();
            if (!Or(out, depth + 1)) return false;
            return Expect(Tok::Close, ") expected");
        }
        if (IsWord(Cur(), u"EXISTS")) return Unsupported("EXISTS is");
        return Predicate(out);
    }

    bool Predicate(Condition* out) {
        out->operands.emplace_back();
        if (!Value(&out->operands.back())) return false;
        const Tok t = Cur().kind;
        if (t == Tok::Equals || t == Tok::NotEquals || t == Tok::Less || t == Tok::LessEqual || t == Tok::Greater ||
            t == Tok::GreaterEqual) {
            out->kind = Condition::Kind::Compare;
            out->op = t == Tok::Equals      ? Condition::Op::Equal
                      : t == Tok::NotEquals ? Condition::Op::NotEqual
                      : t == Tok::Less      ? Condition::Op::Less
                      : t == Tok::LessEqual ? Condition::Op::LessEqual
                      : t == Tok::Greater   ? Condition::Op::Greater
                                            : Condition::Op::GreaterEqual;
            Advance();
            return Operand2(out);
        }
        if (t == Tok::Arithmetic || t == Tok::Star) return Unsupported("Arithmetic in conditions is");
        if (Accept(u"IS")) {
            out->kind = Condition::Kind::IsNull;
            out->negated = Accept(u"NOT");
            return Keyword(u"NULL", "NULL expected after IS");
        }
        out->negated = Accept(u"NOT");
        if (Accept(u"LIKE")) {
            out->kind = Condition::Kind::Like;
            return Operand2(out);
        }
        if (Accept(u"BETWEEN")) {
            out->kind = Condition::Kind::Between;
            return Operand2(out) && Keyword(u"AND", "AND expected in BETWEEN") && Operand2(out);
        }
        if (Accept(u"IN")) {
            out->kind = Condition::Kind::In;
            if (!Expect(Tok::Open, "( expected after IN")) return false;
            if (IsWord(Cur(), u"SELECT")) return Unsupported("Subqueries are");
            for (;;) {
                if (!Operand2(out)) return false;
                if (Cur().kind != Tok::Comma) break;
                Advance();
            }
            return Expect(Tok::Close, ") expected after the IN list");
        }
        if (out->negated) return Fail("LIKE, BETWEEN or IN expected after NOT");
        if (criteria_) return Fail("an operator expected after the field name");
        out->kind = Condition::Kind::Truth;
        return true;
    }

    bool Operand2(Condition* out) {
        out->operands.emplace_back();
        if (!Value(&out->operands.back())) return false;
        if (Cur().kind == Tok::Arithmetic || Cur().kind == Tok::Star) return Unsupported("Arithmetic in conditions is");
        return true;
    }

    bool IsLiteralStart() const {
        const Tok t = Cur().kind;
        return t == Tok::Text || t == Tok::Number || t == Tok::Date || t == Tok::Param ||
               (t == Tok::Arithmetic && Ahead(1).kind == Tok::Number) ||
               IsOneOf(Cur(), {u"NULL", u"TRUE", u"FALSE"});
    }

    // A literal, a `?`, a column or an aggregate.
    bool Value(Operand* out) {
        const Token& t = Cur();
        switch (t.kind) {
        case Tok::Text: return Literal(out, TypedValue::Text(t.text));
        case Tok::Number:
        case Tok::Arithmetic: return Number(out);
        case Tok::Date: return DateLiteral(out);
        case Tok::Param:
            if (criteria_) return Fail("? is not a value");
            out->kind = Operand::Kind::Parameter;
            out->parameter = parameters_++;
            Advance();
            return true;
        default: break;
        }
        if (IsWord(t, u"NULL")) return Literal(out, TypedValue::Null());
        if (IsWord(t, u"TRUE") || IsWord(t, u"FALSE")) return Literal(out, TypedValue::Boolean(IsWord(t, u"TRUE")));
        return ColumnOrAggregate(out, criteria_ ? "field name expected" : "column name or value expected");
    }

    bool Literal(Operand* out, TypedValue value) {
        out->kind = Operand::Kind::Literal;
        out->literal = std::move(value);
        Advance();
        return true;
    }

    bool Number(Operand* out) {
        std::u16string text;
        if (Cur().kind == Tok::Arithmetic) {
            if ((Cur().text != u"-" && Cur().text != u"+") || Ahead(1).kind != Tok::Number)
                return Unsupported("Arithmetic in conditions is");
            text = Cur().text;
            Advance();
        }
        text += Cur().text;
        TypedValue value;
        if (!ParseJetNumber(text, criteria_, &value)) return Fail("malformed number " + Narrow(text));
        return Literal(out, std::move(value));
    }

    // #date#; in criteria, #text# that is no date stands for the text itself.
    bool DateLiteral(Operand* out) {
        double date = 0;
        if (ParseJetDate(Cur().text, &date)) return Literal(out, TypedValue::Date(date));
        if (criteria_) return Literal(out, TypedValue::Text(Cur().text));
        return Fail("malformed date #" + Narrow(Cur().text) + "#");
    }

    bool ColumnOrAggregate(Operand* out, const char* what) {
        const Aggregate aggregate = AggregateNamed(Cur());
        if (Ahead(1).kind == Tok::Open && Cur().kind == Tok::Name) {
            if (aggregate == Aggregate::None || criteria_)
                return Unsupported("The function " + Narrow(Cur().text) + " is");
            Advance(2);
            out->kind = Operand::Kind::Aggregate;
            out->aggregate = aggregate;
            if (Cur().kind == Tok::Star && aggregate == Aggregate::Count) {
                out->star = true;
                Advance();
            } else if (IsWord(Cur(), u"DISTINCT")) {
                return Unsupported("DISTINCT inside an aggregate is");
            } else if (!ColumnReference(&out->column, "column name expected in the aggregate")) {
                return false;
            }
            if (Cur().kind != Tok::Close)
                return Cur().kind == Tok::Arithmetic || Cur().kind == Tok::Star ? Unsupported("Arithmetic inside an aggregate is")
                                                      : Fail(") expected after the aggregate's column");
            Advance();
            return true;
        }
        out->kind = Operand::Kind::Column;
        return ColumnReference(&out->column, what);
    }

    bool ColumnReference(ColumnRef* out, const char* what) {
        if (!Identifier(&out->column, what)) return false;
        if (Cur().kind != Tok::Dot) return true;
        Advance();
        out->table = std::move(out->column);
        return Identifier(&out->column, "column name expected after the table name and .");
    }

    // ---- tokens ----

    bool IsIdentifier(const Token& t) const {
        return t.kind == Tok::Bracketed || (t.kind == Tok::Name && !IsReserved(t));
    }

    bool Identifier(std::u16string* out, const char* what) {
        if (Cur().kind == Tok::Bad) return Fail(Narrow(Cur().text));
        if (!IsIdentifier(Cur())) return Fail(what);
        *out = Cur().text;
        Advance();
        return true;
    }

    bool Keyword(std::u16string_view word, const char* what) {
        if (Cur().kind == Tok::Bad) return Fail(Narrow(Cur().text));
        if (!Accept(word)) return Fail(what);
        return true;
    }

    bool Expect(Tok kind, const char* what) {
        if (Cur().kind == Tok::Bad) return Fail(Narrow(Cur().text));
        if (Cur().kind != kind) return Fail(what);
        Advance();
        return true;
    }

    bool Accept(std::u16string_view word) {
        if (!IsWord(Cur(), word)) return false;
        Advance();
        return true;
    }

    bool AtEnd(const char* what) {
        if (Cur().kind == Tok::Bad) return Fail(Narrow(Cur().text));
        return Cur().kind == Tok::End || Fail(what);
    }

    const Token& Cur() const { return tokens_[at_]; }
    const Token& Ahead(std::size_t ahead) const { return tokens_[std::min(at_ + ahead, tokens_.size() - 1)]; }
    void Advance(std::size_t n = 1) { at_ = std::min(at_ + n, tokens_.size() - 1); }

    bool Fail(const std::string& why) {
        if (Cur().kind == Tok::Bad && why != Narrow(Cur().text)) return Fail(Narrow(Cur().text));
        *error_ = {SqlFault::Syntax, (criteria_ ? "Malformed criteria: " : "Syntax error: ") + why + "."};
        return false;
    }

    bool Unsupported(const std::string& what) {
        *error_ = {SqlFault::Unsupported, what + " not supported by this engine."};
        return false;
    }

    bool ReadOnly(const std::string& verb) {
        *error_ = {SqlFault::ReadOnly, "The database is open read-only: " + verb + " statements are refused."};
        return false;
    }

    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    bool criteria_;
    std::size_t parameters_ = 0;
    SqlError* error_;
};

// ADO's criteria are `field op value` clauses; `= Null` and `<> Null` test for Null.
bool CheckCriteria(Condition* c, bool underAnd, SqlError* error) {
    auto refuse = [&](const std::string& why) {
        *error = {SqlFault::Syntax, "Malformed criteria: " + why + "."};
        return false;
    };
    switch (c->kind) {
    case Condition::Kind::Or:
        if (underAnd) return refuse("an OR group cannot be joined to another clause with AND");
        // fall through
    case Condition::Kind::And:
        for (Condition& part : c->parts)
            if (!CheckCriteria(&part, underAnd || c->kind == Condition::Kind::And, error)) return false;
        return true;
    case Condition::Kind::Compare:
    case Condition::Kind::Like: break;
    default: return refuse("each clause is a field, an operator (= <> < > <= >= LIKE) and a value");
    }
    if (c->operands[0].kind != Operand::Kind::Column || c->operands[1].kind != Operand::Kind::Literal)
        return refuse("each clause is a field name, an operator and a value");
    if (c->kind == Condition::Kind::Like && c->operands[1].literal.type != jet::ColumnType::Text)
        return refuse("LIKE takes a quoted pattern");
    if (c->operands[1].literal.value.IsNull()) {
        if (c->kind != Condition::Kind::Compare || (c->op != Condition::Op::Equal && c->op != Condition::Op::NotEqual))
            return refuse("Null compares only with = and <>");
        c->kind = Condition::Kind::IsNull;
        c->negated = c->op == Condition::Op::NotEqual;
        c->operands.pop_back();
    }
    return true;
}

}  // namespace

bool ParseSelect(std::u16string_view sql, SelectStatement* out, SqlError* error) {
    SelectStatement result;
    SqlError why;
    if (!Parser(sql, false, &why).Statement(&result)) {
        if (error) *error = std::move(why);
        return false;
    }
    *out = std::move(result);
    return true;
}

bool ParseCriteria(std::u16string_view criteria, Condition* out, SqlError* error) {
    Condition result;
    SqlError why;
    if (!Parser(criteria, true, &why).Criteria(&result) || !CheckCriteria(&result, false, &why)) {
        if (error) *error = std::move(why);
        return false;
    }
    *out = std::move(result);
    return true;
}

}  // namespace jetsql
