// 数据库类 against the scripted ADO stand-in: every call it sends, in order,
// with its arguments and their types.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "db/database.h"
#include "tests/db/ado_standin.h"

using namespace core;
using namespace bridge;
using namespace db;

using namespace testautomation;
using namespace adostandin;

namespace {

class Database : public ::testing::Test {
protected:
    void SetUp() override {
        CallLog().clear();
        ReleaseLog().clear();
        ado_.reset(new AdoStandIn);
        ASSERT_TRUE(ado_->Registered());
    }
    void TearDown() override {
        taken_.clear();  // received arguments hold references
        CallLog().clear();
        db_.reset();
        ado_.reset();
        EXPECT_EQ(LiveObjects(), 0) << "a reference was not given back";
    }

    数据库类& Db() {
        if (!db_) db_.reset(new 数据库类);
        return *db_;
    }
    Script& Ado() { return ado_->script(); }

    // The calls received since the last Take, as "Object.Member".
    std::vector<std::string> Take() {
        std::vector<std::string> names;
        for (const ReceivedCall& call : CallLog()) names.push_back(call.object + "." + call.member);
        taken_ = CallLog();
        CallLog().clear();
        return names;
    }
    const ReceivedCall& Taken(std::size_t i) { return taken_.at(i); }

    void OpenWithRows(std::vector<Row> rows) {
        Ado().recordSetState = 1;
        Ado().rows = std::move(rows);
        Ado().current = 0;
        ASSERT_TRUE(Db().OpenRecordSet("select"));
        CallLog().clear();
        ReleaseLog().clear();
    }

    std::unique_ptr<AdoStandIn> ado_;
    std::unique_ptr<数据库类> db_;
    std::vector<ReceivedCall> taken_;
};

using Names = std::vector<std::string>;

Row OneField(const char* name, Variant value) {
    Row row;
    row[name] = value;
    return row;
}

}  // namespace

TEST_F(Database, ConstructionCreatesTheConnectionFirst) {
    Db();
    EXPECT_EQ(Ado().created, (Names{"Connection", "Recordset"}));
    EXPECT_TRUE(Take().empty());
}

TEST_F(Database, OpenDatabaseSendsTheConnectionStringAndReadsState) {
    Ado().connectionState = 1;
    EXPECT_TRUE(Db().OpenDatabase("D:\\Tools\\API常量.mdb"));
    EXPECT_EQ(Take(), (Names{"Connection.Open", "Connection.State"}));
    EXPECT_EQ(Taken(0).flags, DISPATCH_METHOD);
    ASSERT_EQ(Taken(0).args.size(), 1u);
    EXPECT_EQ(Taken(0).args[0].vt, VT_BSTR);
    EXPECT_EQ(Taken(0).args[0].Text(), L"DBQ=D:\\Tools\\API常量.mdb;Pwd=;DRIVER={Microsoft Access Driver (*.mdb)};");
    EXPECT_EQ(Taken(1).flags, DISPATCH_PROPERTYGET);
    EXPECT_EQ(Db().LastError(), "");

    Db().OpenDatabase("a b;c'.mdb", "p;w");
    Take();
    EXPECT_EQ(Taken(0).args[0].Text(), L"DBQ=a b;c'.mdb;Pwd=p;w;DRIVER={Microsoft Access Driver (*.mdb)};");
}

TEST_F(Database, OpenDatabaseRestsOnStateAlone) {
    EXPECT_EQ(Db().LastError(), "");
    Ado().errors = L"文件不存在";
    Ado().connectionState = 0;
    EXPECT_FALSE(Db().OpenDatabase("x.mdb"));
    EXPECT_EQ(Take(), (Names{"Connection.Open", "Connection.State", "Connection.Errors"}));
    EXPECT_EQ(Db().LastError(), "文件不存在");

    Ado().connectionState = 1e-7;
    EXPECT_FALSE(Db().OpenDatabase("x.mdb"));
    Ado().connectionState = 1.1e-7;
    Ado().refused.insert("Connection.Open");  // already open: the open itself fails
    EXPECT_TRUE(Db().OpenDatabase("x.mdb"));
    EXPECT_EQ(Db().LastError(), "");

    Ado().refused.insert("Connection.State");
    Ado().refused.insert("Connection.Errors");
    EXPECT_FALSE(Db().OpenDatabase("x.mdb"));
    EXPECT_EQ(Db().LastError(), "");
}

TEST_F(Database, ExecuteWritesTheAffectedCountBack) {
    Ado().recordsAffected = 5;
    Variant affected;
    affected.Assign(ArgInt(0));
    ComObject result = Db().Execute("delete from t", &affected);
    EXPECT_FALSE(result.IsEmpty());
    EXPECT_EQ(Take(), (Names{"Connection.Execute"}));
    ASSERT_EQ(Taken(0).args.size(), 3u);
    EXPECT_EQ(Taken(0).args[0].vt, VT_BSTR);
    EXPECT_EQ(Taken(0).args[0].Text(), L"delete from t");
    EXPECT_EQ(Taken(0).args[1].vt, VT_BYREF | VT_VARIANT);
    EXPECT_EQ(Taken(0).args[2].vt, VT_I4);
    EXPECT_EQ(Taken(0).args[2].value.lVal, -1);
    ASSERT_EQ(affected.Type(), VT_I4);
    EXPECT_EQ(affected.Raw().lVal, 5);
    result.Clear();

    Variant empty;
    Db().Execute("x", &empty, 0).Clear();
    Db().Execute("x").Clear();
    Take();
    EXPECT_TRUE(Taken(0).args[1].Missing());
    EXPECT_EQ(Taken(0).args[2].value.lVal, 0);
    EXPECT_EQ(empty.Type(), VT_EMPTY);
    EXPECT_TRUE(Taken(1).args[1].Missing());

    Ado().refused.insert("Connection.Execute");
    EXPECT_TRUE(Db().Execute("x").IsEmpty());
}

TEST_F(Database, OpenRecordSetPassesSourceConnectionCursorAndLock) {
    Db();
    Ado().recordSetState = 1;
    EXPECT_TRUE(Db().OpenRecordSet("select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'"));
    EXPECT_EQ(Take(), (Names{"Recordset.Open", "Recordset.State"}));
    const ReceivedCall& open = Taken(0);
    ASSERT_EQ(open.args.size(), 4u) << "options are not passed";
    EXPECT_EQ(open.args[0].vt, VT_BSTR);
    EXPECT_EQ(open.args[0].Text(), L"select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'");
    EXPECT_EQ(open.args[1].vt, VT_UNKNOWN);
    EXPECT_EQ(open.args[1].value.punkVal, Ado().connection);
    EXPECT_EQ(open.args[2].vt, VT_I4);
    EXPECT_EQ(open.args[2].value.lVal, 1);
    EXPECT_EQ(open.args[3].vt, VT_I4);
    EXPECT_EQ(open.args[3].value.lVal, 3);

    EXPECT_TRUE(Db().OpenRecordSet(""));
    Take();
    EXPECT_EQ(Taken(0).args[0].vt, VT_BSTR);
    EXPECT_EQ(Taken(0).args[0].Text(), L"");

    // Refused: State stays 0, and the next open needs no close first.
    Ado().recordSetState = 0;
    Ado().refused.insert("Recordset.Open");
    EXPECT_FALSE(Db().OpenRecordSet("bad"));
    Ado().refused.clear();
    Ado().recordSetState = 1;
    EXPECT_TRUE(Db().OpenRecordSet("good"));
    EXPECT_EQ(Take(), (Names{"Recordset.Open", "Recordset.State", "Recordset.Open", "Recordset.State"}));
}

TEST_F(Database, RecordCountTruncatesTowardZero) {
    Db();
    const struct {
        double read;
        int count;
    } cases[] = {{3.0, 3}, {2.9, 2}, {-1.0, -1}, {-1.5, -1}, {0.0, 0}, {4294967297.0, 1}};
    for (const auto& c : cases) {
        Ado().recordCount = NumberValue(c.read);
        EXPECT_EQ(Db().RecordCount(), c.count) << c.read;
    }
    Ado().refused.insert("Recordset.RecordCount");
    EXPECT_EQ(Db().RecordCount(), 0);
    EXPECT_EQ(Take().back(), "Recordset.RecordCount");
}

TEST_F(Database, NavigationSendsOneCallEach) {
    OpenWithRows({Row(), Row(), Row()});
    Db().Move(2);
    Db().MovePrevious();
    Db().MoveNext();
    Db().MoveFirst();
    Db().MoveLast();
    Db().Update();
    Db().AddNew();
    Db().CloseRecordSet();
    EXPECT_EQ(Take(), (Names{"Recordset.Move", "Recordset.MovePrevious", "Recordset.MoveNext", "Recordset.MoveFirst",
                             "Recordset.MoveLast", "Recordset.Update", "Recordset.AddNew", "Recordset.Close"}));
    ASSERT_EQ(Taken(0).args.size(), 1u);
    EXPECT_EQ(Taken(0).args[0].vt, VT_I4);
    EXPECT_EQ(Taken(0).args[0].value.lVal, 2);
    for (std::size_t i = 1; i < taken_.size(); ++i) {
        EXPECT_TRUE(Taken(i).args.empty()) << Taken(i).member;
        EXPECT_EQ(Taken(i).flags, DISPATCH_METHOD);
    }
    for (const char* member : {"MoveNext", "Update", "Close"}) Ado().refused.insert(std::string("Recordset.") + member);
    Db().MoveNext();
    Db().Update();
    Db().CloseRecordSet();
    EXPECT_EQ(Take().size(), 3u);
}

TEST_F(Database, IsEofReadsEof) {
    OpenWithRows({Row()});
    EXPECT_FALSE(Db().IsEof());
    Db().MoveNext();
    EXPECT_TRUE(Db().IsEof());
    EXPECT_EQ(Take(), (Names{"Recordset.EOF", "Recordset.MoveNext", "Recordset.EOF"}));
    EXPECT_EQ(Taken(0).flags, DISPATCH_PROPERTYGET);
    Ado().refused.insert("Recordset.EOF");
    EXPECT_FALSE(Db().IsEof());
}

TEST_F(Database, GetRowsDefaultsOnlyTheRowCount) {
    OpenWithRows({Row(), Row()});
    Variant rows = Db().GetRows();
    EXPECT_EQ(rows.Type(), VT_R8);
    Db().GetRows(0);
    Db().GetRows(5, std::nullopt, 2);
    Take();
    ASSERT_EQ(Taken(0).args.size(), 1u);
    EXPECT_EQ(Taken(0).args[0].value.lVal, -1);
    ASSERT_EQ(Taken(1).args.size(), 1u);
    EXPECT_EQ(Taken(1).args[0].value.lVal, 0);
    ASSERT_EQ(Taken(2).args.size(), 3u);
    EXPECT_TRUE(Taken(2).args[1].Missing());
    EXPECT_EQ(Taken(2).args[2].value.lVal, 2);
    Ado().refused.insert("Recordset.GetRows");
    EXPECT_EQ(Db().GetRows().Type(), VT_EMPTY);
}

TEST_F(Database, GetRecordSetSharesTheRecordset) {
    ComObject first = Db().GetRecordSet();
    ComObject second = Db().GetRecordSet();
    EXPECT_FALSE(first.IsEmpty());
    EXPECT_EQ(first.Interface(), second.Interface());
    first.Clear();
    second.Clear();
    EXPECT_TRUE(Take().empty());
}

TEST_F(Database, ReadTextGoesThroughFieldsItemValue) {
    OpenWithRows({OneField("常量值", TextValue(L"0x0001"))});
    EXPECT_EQ(Db().ReadText("常量值"), "0x0001");
    EXPECT_EQ(Take(), (Names{"Recordset.Fields", "Fields.Item", "Field.Value"}));
    EXPECT_EQ(Taken(0).flags, DISPATCH_PROPERTYGET);
    EXPECT_EQ(Taken(1).flags, DISPATCH_PROPERTYGET);
    ASSERT_EQ(Taken(1).args.size(), 1u);
    EXPECT_EQ(Taken(1).args[0].vt, VT_BSTR);
    EXPECT_EQ(Taken(1).args[0].Text(), L"常量值");
    EXPECT_EQ(Taken(2).flags, DISPATCH_PROPERTYGET);
    EXPECT_EQ(ReleaseLog(), (Names{"Fields", "Field"}));
}

TEST_F(Database, FailedReadsReleaseInOrderAndGiveEmptyValues) {
    Row row;
    row["null"] = NullValue();
    row["empty"] = Variant();
    OpenWithRows({row});
    EXPECT_EQ(Db().ReadText("missing"), "");
    EXPECT_EQ(ReleaseLog(), (Names{"Fields"}));
    ReleaseLog().clear();
    EXPECT_EQ(Db().ReadText("NULL"), "");
    EXPECT_EQ(Db().ReadText("empty"), "");
    EXPECT_EQ(Db().ReadDouble("null"), 0.0);
    EXPECT_EQ(Db().ReadInt("null"), 0);
    EXPECT_FALSE(Db().ReadBool("null"));
    EXPECT_EQ(Db().ReadDateTime("null"), 0.0);
    EXPECT_EQ(Db().ReadVariant("null").Type(), VT_NULL);
    EXPECT_EQ(Db().ReadVariant("missing").Type(), VT_EMPTY);
    EXPECT_TRUE(Db().ReadBytes("null").empty());
    EXPECT_EQ(Db().ReadInt64("null"), 0);
    // Every Field went right after its Fields collection.
    for (std::size_t i = 0; i < ReleaseLog().size(); ++i) {
        if (ReleaseLog()[i] == "Field") {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(ReleaseLog()[i - 1], "Fields");
        }
    }
    EXPECT_EQ(std::count(ReleaseLog().begin(), ReleaseLog().end(), "Field"), 9);
    Db().MoveNext();  // no current row
    EXPECT_FALSE(Db().ReadBool("null"));
    Ado().refused.insert("Recordset.Fields");
    Db().MoveFirst();
    EXPECT_EQ(Db().ReadText("null"), "");
}

TEST_F(Database, NumericReads) {
    Row row;
    row["a"] = NumberValue(2.9);
    row["b"] = NumberValue(-2.9);
    row["c"] = NumberValue(3000000000.0);
    row["d"] = NumberValue(0.25);
    row["t"] = NumberValue(45000.5);
    row["yes"] = TextValue(L"True");
    OpenWithRows({row});
    EXPECT_EQ(Db().ReadInt("a"), 2);
    EXPECT_EQ(Db().ReadInt("b"), -2);
    EXPECT_EQ(Db().ReadInt("c"), -1294967296);
    EXPECT_EQ(Db().ReadDouble("d"), 0.25);
    EXPECT_EQ(Db().ReadDateTime("t"), 45000.5);
    EXPECT_TRUE(Db().ReadBool("yes"));
    EXPECT_EQ(Db().ReadText("d"), "0.25");
}

TEST_F(Database, ByteReinterpretingReads) {
    Row row;
    row["nine"] = BytesValue({1, 2, 3, 4, 5, 6, 7, 8, 9});
    row["two"] = BytesValue({255, 0});
    row["one"] = BytesValue({0, 0, 128, 63});
    row["none"] = BytesValue({});
    row["number"] = NumberValue(1.0);
    OpenWithRows({row});
    EXPECT_EQ(Db().ReadInt64("nine"), 578437695752307201LL);
    EXPECT_EQ(Db().ReadInt64("two"), 255);
    EXPECT_EQ(Db().ReadInt64("none"), 0);
    EXPECT_EQ(Db().ReadInt64("number"), 0);
    EXPECT_EQ(Db().ReadFloat("one"), 1.0f);
    EXPECT_EQ(Db().ReadFloat("two"), 0.0f + 3.5733111e-43f);
    EXPECT_EQ(Db().ReadFloat("number"), 0.0f);
    EXPECT_EQ(Db().ReadBytes("nine"), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(Db().ReadBytes("none").empty());
    Variant copy = Db().ReadVariant("two");
    EXPECT_EQ(copy.Type(), VT_ARRAY | VT_UI1);
}

TEST_F(Database, WritesPutTheValueAndNeverUpdate) {
    Row row;
    row["f"] = NumberValue(0);
    OpenWithRows({row});
    EXPECT_TRUE(Db().WriteText("f", ""));
    EXPECT_TRUE(Db().WriteInt("f", -7));
    EXPECT_TRUE(Db().WriteInt64("f", 4294967297LL));
    EXPECT_TRUE(Db().WriteFloat("f", 1.5f));
    EXPECT_TRUE(Db().WriteDouble("f", 2.25));
    EXPECT_TRUE(Db().WriteBool("f", true));
    EXPECT_TRUE(Db().WriteDateTime("f", 45000.0));
    EXPECT_TRUE(Db().WriteBytes("f", Bytes{}));
    Variant any;
    any.Assign(ArgText("v"));
    EXPECT_TRUE(Db().WriteVariant("f", any));
    Variant empty;
    EXPECT_TRUE(Db().WriteVariant("f", empty));

    Names names = Take();
    ASSERT_EQ(names.size(), 30u);
    std::vector<VARTYPE> types;
    for (std::size_t i = 0; i < names.size(); i += 3) {
        EXPECT_EQ(names[i], "Recordset.Fields");
        EXPECT_EQ(names[i + 1], "Fields.Item");
        EXPECT_EQ(names[i + 2], "Field.Value");
        const ReceivedCall& put = Taken(i + 2);
        EXPECT_EQ(put.flags, DISPATCH_PROPERTYPUT);
        ASSERT_EQ(put.named, (std::vector<DISPID>{DISPID_PROPERTYPUT}));
        ASSERT_EQ(put.args.size(), 1u);
        types.push_back(put.args[0].vt);
    }
    EXPECT_EQ(types, (std::vector<VARTYPE>{VT_BSTR, VT_I4, VT_I4, VT_R4, VT_R8, VT_BOOL, VT_DATE,
                                           VT_ARRAY | VT_UI1, VT_BSTR, VT_ERROR}));
    EXPECT_EQ(Taken(5).args[0].value.lVal, -7);
    EXPECT_EQ(Taken(8).args[0].value.lVal, 1);
    EXPECT_EQ(Taken(17).args[0].value.boolVal, VARIANT_TRUE);
    EXPECT_TRUE(Taken(29).args[0].Missing());
    EXPECT_EQ(any.Type(), VT_BSTR);  // the caller's variant is left as it was

    Ado().refused.insert("Field.Value");
    EXPECT_FALSE(Db().WriteText("f", "x"));
    EXPECT_FALSE(Db().WriteText("missing", "x"));
}

TEST_F(Database, CloseDatabaseClosesTheRecordSetThenTheConnection) {
    Db();
    Ado().refused.insert("Recordset.Close");
    Db().CloseDatabase();
    EXPECT_EQ(Take(), (Names{"Recordset.Close", "Connection.Close"}));
}

TEST_F(Database, DestructionClosesAndReleasesRecordSetBeforeConnection) {
    Db();
    ReleaseLog().clear();
    db_.reset();
    EXPECT_EQ(Take(), (Names{"Recordset.Close", "Connection.Close"}));
    EXPECT_EQ(ReleaseLog(), (Names{"Recordset", "Connection"}));
}

TEST_F(Database, CopiesShareBothObjects) {
    Db();
    Ado().errors = L"e";
    Db().OpenDatabase("x");
    {
        数据库类 copy(Db());
        EXPECT_EQ(copy.LastError(), "e");
        EXPECT_EQ(Ado().created.size(), 2u);
        Take();
        copy.MoveNext();
        EXPECT_EQ(Take(), (Names{"Recordset.MoveNext"}));
    }
    EXPECT_TRUE(ReleaseLog().empty()) << "the original still holds both objects";
    Db().MoveNext();
    EXPECT_EQ(Take(), (Names{"Recordset.Close", "Connection.Close", "Recordset.MoveNext"}));
}

TEST_F(Database, WithoutObjectsEverythingFailsQuietly) {
    Ado().creationFails = true;
    Ado().connectionState = 1;
    EXPECT_FALSE(Db().OpenDatabase("x.mdb"));
    EXPECT_EQ(Db().LastError(), "");
    EXPECT_FALSE(Db().OpenRecordSet("select"));
    EXPECT_EQ(Db().RecordCount(), 0);
    EXPECT_EQ(Db().ReadText("a"), "");
    Db().MoveNext();
    Db().CloseRecordSet();
    Db().CloseDatabase();
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(Ado().created, (Names{"Connection", "Recordset"}));
}

TEST_F(Database, TheConstantQueryFlow) {
    Ado().connectionState = 1;
    Ado().recordSetState = 1;
    Ado().recordCount = NumberValue(3);
    Row remarkOnly;
    remarkOnly["常量值"] = NullValue();
    remarkOnly["备注"] = TextValue(L"无");
    Ado().rows = {remarkOnly, OneField("常量值", TextValue(L"0x0001")), OneField("常量值", TextValue(L"2"))};
    ASSERT_TRUE(Db().OpenDatabase("API常量.mdb"));
    ASSERT_TRUE(Db().OpenRecordSet("select 常量值,备注 from api_const where 宏或常量名='WM_CREATE'"));
    Text value;
    for (int row = 0, count = Db().RecordCount(); row < count && value.empty(); ++row) {
        value = Db().ReadText("常量值");
        if (value.empty()) Db().MoveNext();
    }
    Db().CloseRecordSet();
    Db().CloseDatabase();
    EXPECT_EQ(value, "0x0001");
    EXPECT_EQ(Take(), (Names{"Connection.Open", "Connection.State", "Recordset.Open", "Recordset.State",
                             "Recordset.RecordCount", "Recordset.Fields", "Fields.Item", "Field.Value",
                             "Recordset.MoveNext", "Recordset.Fields", "Fields.Item", "Field.Value",
                             "Recordset.Close", "Recordset.Close", "Connection.Close"}));
}

// Whatever this prefix has registered under the ADODB ProgIDs (Wine's own
// msado15, the project's component, or nothing usable), a file that does not
// exist never opens and nothing is shown or thrown.
TEST(DatabaseWithThePrefixComponent, AMissingFileNeverOpens) {
    {
        数据库类 db;
        EXPECT_FALSE(db.OpenDatabase("Z:\\no\\such\\folder\\API常量.mdb"));
        EXPECT_FALSE(db.OpenRecordSet("select 常量值,备注 from api_const"));
        EXPECT_EQ(db.RecordCount(), 0);
        EXPECT_EQ(db.ReadText("常量值"), "");
        db.CloseDatabase();
    }
    EXPECT_EQ(LiveObjects(), 0);
}
