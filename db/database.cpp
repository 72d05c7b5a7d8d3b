#include "db/database.h"

#include "core/read_from_bytes.h"
#include "core/text_commands.h"
#include "core/value_number.h"

namespace db {

using namespace bridge;

namespace {

constexpr double kOpenThreshold = 1e-7;

// A connection-string value as ODBC reads it: braced, with '}' doubled, when it
// holds ';' or a brace, which would otherwise end the value or open a braced one.
Text OdbcValue(const Text& value) {
    if (value.find_first_of(";{}") == Text::npos) return value;
    return ConcatTexts("{", ReplaceText(value, "}", "}}", 1, -1, true), "}");
}

// The rows, start and fields arguments of GetRows: omitted stays omitted.
BridgeArg OptionalInt(std::optional<std::int32_t>& value) {
    return value ? RefInt(*value) : ArgOmitted();
}

}  // namespace

数据库类::数据库类() : connection(new ComObject), recordSet(new ComObject) {
    connection->Create("ADODB.Connection");
    recordSet->Create("ADODB.RecordSet");
}

数据库类::~数据库类() {
    recordSet->CallMethod("close");
    recordSet->Clear();
    connection->CallMethod("close");
    connection->Clear();
}

数据库类::数据库类(const 数据库类& other)
    : connection(new ComObject), recordSet(new ComObject), lastError(other.lastError) {
    connection->CopyFrom(*other.connection);
    recordSet->CopyFrom(*other.recordSet);
}

bool 数据库类::OpenDatabase(const Text& path, const Text& password) {
    Text connectionString =
        ConcatTexts("DBQ=", OdbcValue(path), ";Pwd=", OdbcValue(password), ";DRIVER={Microsoft Access Driver (*.mdb)};");
    connection->CallMethod("open", ArgText(connectionString));
    if (connection->GetNumberProperty("State") > kOpenThreshold) {
        lastError.clear();
        return true;
    }
    lastError = connection->GetTextProperty("Errors");
    return false;
}

ComObject 数据库类::Execute(const Text& commandText, Variant* recordsAffected, std::optional<std::int32_t> options) {
    Text command = commandText;
    Variant discarded;
    Variant& affected = recordsAffected ? *recordsAffected : discarded;
    std::int32_t optionValue = options.value_or(-1);
    return connection->CallObjectMethod("Execute", RefText(command), RefVariant(affected), RefInt(optionValue));
}

bool 数据库类::OpenRecordSet(const Text& sql) {
    Variant source;
    Variant activeConnection;
    source.Assign(ArgText(sql));
    activeConnection.Assign(ArgObject(*connection));
    recordSet->CallMethod("open", RefVariant(source), RefVariant(activeConnection), ArgInt(1), ArgInt(3));
    double state = recordSet->GetNumberProperty("State");
    source.Clear();
    activeConnection.Clear();
    return state > kOpenThreshold;
}

void 数据库类::Move(std::int32_t numRecords) { recordSet->CallMethod("Move", RefInt(numRecords)); }
void 数据库类::MovePrevious() { recordSet->CallMethod("MovePrevious"); }
void 数据库类::MoveNext() { recordSet->CallMethod("MoveNext"); }
void 数据库类::MoveFirst() { recordSet->CallMethod("MoveFirst"); }
void 数据库类::MoveLast() { recordSet->CallMethod("MoveLast"); }
void 数据库类::Update() { recordSet->CallMethod("UpDate"); }
void 数据库类::CloseRecordSet() { recordSet->CallMethod("Close"); }

Variant 数据库类::GetRows(std::optional<std::int32_t> rows, std::optional<std::int32_t> start,
                         std::optional<std::int32_t> fields) {
    std::int32_t rowCount = rows.value_or(-1);
    return recordSet->CallVariantMethod("GetRows", RefInt(rowCount), OptionalInt(start), OptionalInt(fields));
}

void 数据库类::CloseDatabase() {
    recordSet->CallMethod("Close");
    connection->CallMethod("Close");
}

void 数据库类::AddNew() { recordSet->CallMethod("AddNew"); }
bool 数据库类::IsEof() { return recordSet->GetBoolProperty("eof"); }
int 数据库类::RecordCount() { return TruncateToInt32(recordSet->GetNumberProperty("RecordCount")); }
ComObject 数据库类::GetRecordSet() {
    ComObject copy;
    copy.CopyFrom(*recordSet);
    return copy;
}

namespace {

// Fields, then Item with the name, then read; the collection is released
// before the field on every path.
template <class Read>
auto ReadFromField(const ComObject& recordSet, const Text& fieldName, Read read) {
    ComObject fields = recordSet.CallObjectMethod("Fields");
    Text name = fieldName;
    ComObject field = fields.GetObjectProperty("Item", RefText(name));
    auto value = read(field);
    fields.Clear();
    field.Clear();
    return value;
}

// The value goes to the field only; storing the row is the caller's Update.
bool WriteToField(const ComObject& recordSet, const Text& fieldName, Variant& value) {
    return ReadFromField(recordSet, fieldName, [&](ComObject& f) { return f.SetProperty("Value", RefVariant(value)); });
}

bool AssignAndWrite(const ComObject& recordSet, const Text& fieldName, const BridgeArg& value) {
    Variant local;
    local.Assign(value);
    bool accepted = WriteToField(recordSet, fieldName, local);
    local.Clear();
    return accepted;
}

Bytes FieldBytes(ComObject& field) {
    Variant value = field.GetVariantProperty("Value");
    Bytes bytes = value.ToBytes();
    value.Clear();
    return bytes;
}

// The first size bytes, padded with zero bytes when there are fewer.
Bytes Padded(Bytes bytes, std::size_t size) {
    if (bytes.size() < size) bytes.resize(size, 0);
    return bytes;
}

}  // namespace

Text 数据库类::ReadText(const Text& fieldName) {
    return ReadFromField(*recordSet, fieldName, [](ComObject& f) { return f.GetTextProperty("Value"); });
}

std::int32_t 数据库类::ReadInt(const Text& fieldName) {
    return ReadFromField(*recordSet, fieldName,
                         [](ComObject& f) { return TruncateToInt32(f.GetNumberProperty("Value")); });
}

std::int64_t 数据库类::ReadInt64(const Text& fieldName) {
    Bytes bytes = ReadFromField(*recordSet, fieldName, FieldBytes);
    return ReadFromBytes(Padded(bytes, 8), 4).AsLong();
}

float 数据库类::ReadFloat(const Text& fieldName) {
    Bytes bytes = ReadFromField(*recordSet, fieldName, FieldBytes);
    return ReadFromBytes(Padded(bytes, 4), 5).AsFloat();
}

double 数据库类::ReadDouble(const Text& fieldName) {
    return ReadFromField(*recordSet, fieldName, [](ComObject& f) { return f.GetNumberProperty("Value"); });
}

bool 数据库类::ReadBool(const Text& fieldName) {
    return ReadFromField(*recordSet, fieldName, [](ComObject& f) { return f.GetBoolProperty("Value"); });
}

double 数据库类::ReadDateTime(const Text& fieldName) {
    return ReadFromField(*recordSet, fieldName, [](ComObject& f) { return f.GetDateProperty("Value"); });
}

Bytes 数据库类::ReadBytes(const Text& fieldName) { return ReadFromField(*recordSet, fieldName, FieldBytes); }

Variant 数据库类::ReadVariant(const Text& fieldName) {
    return ReadFromField(*recordSet, fieldName, [](ComObject& f) {
        Variant value = f.GetVariantProperty("Value");
        Variant copy;
        copy.CopyFrom(value);
        value.Clear();
        return copy;
    });
}

bool 数据库类::WriteText(const Text& fieldName, const Text& value) {
    return AssignAndWrite(*recordSet, fieldName, ArgText(value));
}
bool 数据库类::WriteInt(const Text& fieldName, std::int32_t value) {
    return AssignAndWrite(*recordSet, fieldName, ArgInt(value));
}
bool 数据库类::WriteInt64(const Text& fieldName, std::int64_t value) {
    return AssignAndWrite(*recordSet, fieldName, ArgLong(value));
}
bool 数据库类::WriteFloat(const Text& fieldName, float value) {
    return AssignAndWrite(*recordSet, fieldName, ArgFloat(value));
}
bool 数据库类::WriteDouble(const Text& fieldName, double value) {
    return AssignAndWrite(*recordSet, fieldName, ArgDouble(value));
}
bool 数据库类::WriteBool(const Text& fieldName, bool value) {
    return AssignAndWrite(*recordSet, fieldName, ArgBool(value));
}
bool 数据库类::WriteDateTime(const Text& fieldName, double value) {
    return AssignAndWrite(*recordSet, fieldName, ArgDate(value));
}
bool 数据库类::WriteBytes(const Text& fieldName, const Bytes& value) {
    return AssignAndWrite(*recordSet, fieldName, ArgBytes(value));
}
bool 数据库类::WriteVariant(const Text& fieldName, Variant& value) {
    return WriteToField(*recordSet, fieldName, value);
}

Text 数据库类::LastError() const { return lastError; }

}  // namespace db
