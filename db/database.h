#pragma once
// 数据库类: one ADO Connection and one ADO Recordset driven by member name.
// The member functions keep the declared order of the class's operations.
#include <cstdint>
#include <memory>
#include <optional>

#include "bridge/com_object.h"
#include "bridge/variant.h"
#include "core/types.h"

namespace db {

using bridge::ComObject;
using bridge::Variant;
using core::Bytes;
using core::Text;

class 数据库类 {
public:
    // Creates "ADODB.Connection", then "ADODB.RecordSet"; a failure leaves an
    // empty object whose calls all fail.
    数据库类();
    ~数据库类();
    // Shares both automation objects.
    数据库类(const 数据库类& other);
    数据库类& operator=(const 数据库类&) = delete;

    // A path or password holding ';' or a brace goes braced into the connection string.
    bool OpenDatabase(const Text& path, const Text& password = Text());
    // recordsAffected, when given and not empty, receives the affected-records count.
    ComObject Execute(const Text& commandText, Variant* recordsAffected = nullptr,
                      std::optional<std::int32_t> options = std::nullopt);
    bool OpenRecordSet(const Text& sql);
    void Move(std::int32_t numRecords);
    void MovePrevious();
    void MoveNext();
    void MoveFirst();
    void MoveLast();
    void Update();
    void CloseRecordSet();
    Variant GetRows(std::optional<std::int32_t> rows = std::nullopt,
                    std::optional<std::int32_t> start = std::nullopt,
                    std::optional<std::int32_t> fields = std::nullopt);
    void CloseDatabase();
    void AddNew();
    bool IsEof();
    int RecordCount();
    ComObject GetRecordSet();

    Text ReadText(const Text& fieldName);
    std::int32_t ReadInt(const Text& fieldName);
    std::int64_t ReadInt64(const Text& fieldName);
    float ReadFloat(const Text& fieldName);
    double ReadDouble(const Text& fieldName);
    bool ReadBool(const Text& fieldName);
    double ReadDateTime(const Text& fieldName);  // OLE Automation date
    Bytes ReadBytes(const Text& fieldName);
    Variant ReadVariant(const Text& fieldName);

    // Writes hand the value to the current row's field; storing the row is
    // left to Update.
    bool WriteText(const Text& fieldName, const Text& value);
    bool WriteInt(const Text& fieldName, std::int32_t value);
    bool WriteInt64(const Text& fieldName, std::int64_t value);  // low 32 bits go
    bool WriteFloat(const Text& fieldName, float value);
    bool WriteDouble(const Text& fieldName, double value);
    bool WriteBool(const Text& fieldName, bool value);
    bool WriteDateTime(const Text& fieldName, double value);
    bool WriteBytes(const Text& fieldName, const Bytes& value);
    bool WriteVariant(const Text& fieldName, Variant& value);

    Text LastError() const;

private:
    std::unique_ptr<ComObject> connection;
    std::unique_ptr<ComObject> recordSet;
    Text lastError;
};

}  // namespace db

