#pragma once
// Values as the engine compares them: a jet::Value with the column type that
// says what it means (a Double may be a date, an Integer a Boolean), Jet's
// order over them, and their text forms.
#include <cstdint>
#include <string>
#include <string_view>

#include "jet/table.h"

namespace jetsql {

// A value with its type: a literal of a statement, a parameter bound at run
// time, a restriction of a schema rowset. The kinds are those the jet reader
// gives for the type: Integer for Boolean (0 or 1), Byte, Integer and
// LongInteger; Double for Single, Double, Currency (units) and DateTime (an
// OLE Automation date); Text for Text and Memo; Binary for the rest.
struct TypedValue {
    jet::ColumnType type = jet::ColumnType::Text;
    jet::Value value;  // Null: SQL's Null, whatever the type

    static TypedValue Null() { return {}; }
    static TypedValue Text(std::u16string text) { return {jet::ColumnType::Text, jet::Value::FromText(std::move(text))}; }
    static TypedValue Integer(std::int64_t n) { return {jet::ColumnType::LongInteger, jet::Value::FromInteger(n)}; }
    static TypedValue Double(double d) { return {jet::ColumnType::Double, jet::Value::FromDouble(d)}; }
    static TypedValue Currency(double units) { return {jet::ColumnType::Currency, jet::Value::FromDouble(units)}; }
    static TypedValue Date(double oleDate) { return {jet::ColumnType::DateTime, jet::Value::FromDouble(oleDate)}; }
    static TypedValue Boolean(bool b) { return {jet::ColumnType::Boolean, jet::Value::FromInteger(b ? 1 : 0)}; }
};

// How values of one type sort in Jet: Null first, then text in Jet's General
// order (letters without regard to case), numbers and dates by value, Yes
// (-1) before No (0), bytes by value. Zero exactly when Jet calls them equal
// (text: JetTextEqual). Both values must be of the kinds `type` gives.
int JetOrder(const jet::Value& a, const jet::Value& b, jet::ColumnType type);

// The same across two types of one family (text with memo, any number with
// any number, date or Yes/No): the order of their values. Values of
// different families order by family alone; callers refuse to compare them.
int JetCompare(const jet::Value& a, jet::ColumnType typeA, const jet::Value& b, jet::ColumnType typeB);

enum class TypeFamily { Text, Number, Bytes };

// A number's value in Jet's arithmetic: Yes is -1. Text and bytes give 0.
double JetNumber(const jet::Value& value, jet::ColumnType type);
TypeFamily FamilyOf(jet::ColumnType type);

// A value's text as a record set's GetString gives it without a locale of
// its own (the COM layer may pass one of its own): text as it is, numbers in
// the shortest form that reads back (at most 15 significant digits, 7 for
// Single), Yes/No as "True"/"False", dates as M/D/YYYY h:mm:ss AM/PM (the
// date alone at midnight, the time alone on 12/30/1899), bytes one character
// each. Null gives the empty text.
std::u16string TextOf(const jet::Value& value, jet::ColumnType type);

// Jet's #date# literals (without the #): m/d/y (a first part above 12 with a
// second of 12 or less is read d/m/y), y-m-d and y/m/d with a four-digit year,
// d-mon-y and mon d, y with English month names; two-digit years 30-99 are
// 1930-1999, 00-29 2000-2029; an optional time h:mm[:ss] [AM|PM], or a time
// alone. False for anything else or an impossible date.
bool ParseJetDate(std::u16string_view text, double* oleDate);

// A number as Jet reads one in a statement or an ADO criteria string:
// digits with an optional fraction and exponent, an optional sign, and in
// criteria a leading $. Integers that fit 32 bits come back as LongInteger,
// others as Double. False when text is not all number.
bool ParseJetNumber(std::u16string_view text, bool dollarAllowed, TypedValue* out);

}  // namespace jetsql
