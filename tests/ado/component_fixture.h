#pragma once
// The component's objects made in this process (no registration needed), over
// the sample table in memory, and driven by member name through the program's
// own late-bound engine, with the argument forms 数据库类 uses.
#include <gtest/gtest.h>

#include <memory>

#include "ado/com/connection_object.h"
#include "ado/com/recordset_object.h"
#include "jetsql/memory_source.h"
#include "bridge/com_object.h"
#include "win/com_ptr.h"
#include "tests/jetsql/sample_tables.h"

using win::ComPtr;

namespace ado_test {

using namespace bridge;

inline ComObject NewConnection() {
    auto made = ado_com::MakeObject<ado_com::ConnectionObject>();
    return ComObject::FromInterface(static_cast<Connection*>(made.get()));
}

inline ComObject OpenMemoryConnection() {
    auto made = ado_com::MakeObject<ado_com::ConnectionObject>();
    std::vector<jet::Table> tables;
    tables.push_back(jetsql_test::ApiConstTable());
    made->OpenSource(std::make_shared<jetsql::MemorySource>(std::move(tables)), u"DBQ=memory");
    return ComObject::FromInterface(static_cast<Connection*>(made.get()));
}

inline ComObject NewRecordset() {
    auto made = ado_com::MakeObject<ado_com::RecordsetObject>();
    return ComObject::FromInterface(static_cast<Recordset*>(made.get()));
}

// The record set opening of 数据库类: source and connection as Variants by
// reference, cursor type 1, lock type 3; true when State reads above 1e-7.
inline bool OpenLikeTheProgram(const ComObject& recordset, const ComObject& connection, const Text& sql) {
    Variant source, active;
    source.Assign(ArgText(sql));
    active.Assign(ArgObject(connection));
    recordset.CallMethod("open", RefVariant(source), RefVariant(active), ArgInt(1), ArgInt(3));
    return recordset.GetNumberProperty("State") > 1e-7;
}

// Fields, then Item with the name by reference, then Value as text.
inline Text ReadTextLikeTheProgram(const ComObject& recordset, Text fieldName) {
    ComObject fields = recordset.CallObjectMethod("Fields");
    ComObject field = fields.GetObjectProperty("Item", RefText(fieldName));
    return field.GetTextProperty("Value");
}

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ole_.Ok()); }
    OleSession ole_;
};

}  // namespace ado_test
