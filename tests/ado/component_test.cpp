// Connection and Recordset driven the way the program drives them.
#include "component_fixture.h"
#include "win/sys_kind.h"

using namespace ado_test;

namespace {

const Text kQuery = "select 常量值,备注 from api_const where 宏或常量名='";

bool Succeeded() { return LastCallStatus() == CallStatus::Ok; }

}  // namespace

TEST_F(ComponentTest, TypeInformationBindsTheProgramsNamesAsTheirKinds) {
    ComObject rs = NewRecordset();
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, rs.Interface()->QueryInterface(IID_IDispatch, dispatch.put_void()));
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, info.put()));
    ComPtr<ITypeComp> comp;
    ASSERT_EQ(S_OK, info->GetTypeComp(comp.put()));
    struct Expect {
        const wchar_t* name;
        WORD tryKind;
        INVOKEKIND bound;
        SHORT params;
    } cases[] = {
        {L"open", INVOKE_FUNC, INVOKE_FUNC, 5},       {L"eof", INVOKE_PROPERTYGET, INVOKE_PROPERTYGET, 0},
        {L"UpDate", INVOKE_FUNC, INVOKE_FUNC, 2},     {L"RecordCount", INVOKE_PROPERTYGET, INVOKE_PROPERTYGET, 0},
        {L"fields", INVOKE_PROPERTYGET, INVOKE_PROPERTYGET, 0}, {L"MOVENEXT", INVOKE_FUNC, INVOKE_FUNC, 0},
        {L"getrows", INVOKE_FUNC, INVOKE_FUNC, 3},    {L"close", INVOKE_FUNC, INVOKE_FUNC, 0},
    };
    for (const Expect& c : cases) {
        std::wstring name = c.name;
        ITypeInfo* boundInfo = nullptr;
        DESCKIND kind = DESCKIND_NONE;
        BINDPTR ptr;
        ptr.lpfuncdesc = nullptr;
        ULONG hash = LHashValOfNameSys(win::kModuleSysKind, 0, name.c_str());
        ASSERT_EQ(S_OK, comp->Bind(&name[0], hash, c.tryKind, &boundInfo, &kind, &ptr));
        ASSERT_EQ(kind, DESCKIND_FUNCDESC) << std::string(name.begin(), name.end());
        ComPtr<ITypeInfo> owner = ComPtr<ITypeInfo>(boundInfo);
        EXPECT_EQ(ptr.lpfuncdesc->invkind, c.bound);
        EXPECT_EQ(ptr.lpfuncdesc->cParams, c.params);  // no HRESULT or retval plumbing in the dispatch view
        owner->ReleaseFuncDesc(ptr.lpfuncdesc);
    }
}

TEST_F(ComponentTest, TheProgramsQueryReadsEveryMatchingRow) {
    ComObject connection = OpenMemoryConnection();
    EXPECT_EQ(connection.GetNumberProperty("State"), 1.0);
    ComObject rs = NewRecordset();
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, kQuery + "wm_create'"));
    EXPECT_EQ(rs.GetNumberProperty("RecordCount"), 2.0);
    EXPECT_FALSE(rs.GetBoolProperty("eof"));
    EXPECT_TRUE(rs.GetBoolProperty("BOF") == false && Succeeded());
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "0001");
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "备注"), "窗口创建");
    rs.CallMethod("MoveNext");
    EXPECT_TRUE(Succeeded());
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "");
    EXPECT_TRUE(Succeeded());  // an empty text is a value, not a failure
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "备注"), "lower-case twin");
    rs.CallMethod("MoveNext");
    EXPECT_TRUE(rs.GetBoolProperty("eof"));
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "");
    EXPECT_FALSE(Succeeded());  // no current row
    rs.CallMethod("MoveNext");
    EXPECT_FALSE(Succeeded());
    rs.CallMethod("Close");
    EXPECT_TRUE(Succeeded());
    EXPECT_EQ(rs.GetNumberProperty("State"), 0.0);
    connection.CallMethod("Close");
    EXPECT_TRUE(Succeeded());
    EXPECT_EQ(connection.GetNumberProperty("State"), 0.0);
}

TEST_F(ComponentTest, FieldValuesKeepTheirTypes) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, "select * from api_const where 宏或常量名='WS_OVERLAPPEDWINDOW'"));
    ComObject fields = rs.CallObjectMethod("Fields");
    EXPECT_EQ(fields.GetNumberProperty("Count"), 4.0);
    Text remark = "备注";
    ComObject nullField = fields.GetObjectProperty("Item", RefText(remark));
    EXPECT_EQ(nullField.GetTextProperty("Value"), "");
    EXPECT_FALSE(Succeeded());  // Null has no text form
    EXPECT_EQ(nullField.GetVariantProperty("Value").Type(), VT_NULL);
    ComObject number = fields.GetObjectProperty("Item", ArgInt(3));
    Variant n = number.GetVariantProperty("Value");
    EXPECT_EQ(n.Type(), VT_I4);
    EXPECT_EQ(n.Raw().lVal, 2);
    EXPECT_EQ(number.GetTextProperty("Name"), "序号");
    EXPECT_EQ(number.GetNumberProperty("Type"), 3.0);  // adInteger
    Text upper = "常量值";
    EXPECT_EQ(fields.GetObjectProperty("Item", RefText(upper)).GetNumberProperty("Type"), 202.0);  // adVarWChar
    Text unknown = "nope";
    EXPECT_TRUE(fields.GetObjectProperty("Item", RefText(unknown)).IsEmpty());
    EXPECT_TRUE(fields.GetObjectProperty("Item", ArgInt(4)).IsEmpty());
    EXPECT_TRUE(fields.GetObjectProperty("Item", ArgInt(-1)).IsEmpty());
}

TEST_F(ComponentTest, NoMatchingRowIsAnOpenEmptySet) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, kQuery + "NOT_THERE'"));
    EXPECT_EQ(rs.GetNumberProperty("RecordCount"), 0.0);
    EXPECT_TRUE(rs.GetBoolProperty("EOF"));
    EXPECT_TRUE(rs.GetBoolProperty("bof"));
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "");
    EXPECT_FALSE(Succeeded());
    rs.CallMethod("MoveFirst");
    EXPECT_FALSE(Succeeded());
}

TEST_F(ComponentTest, RefusedStatementsLeaveTheSetClosedAndSayWhy) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    const Text bad[] = {
        "delete from api_const",
        "select 常量值 from api_const where 宏或常量名='unterminated",
        "select 常量值 from nowhere",
        "select 值 from api_const",
        "select * from api_const where 序号='1'",
        "",
    };
    for (const Text& sql : bad) {
        EXPECT_FALSE(OpenLikeTheProgram(rs, connection, sql)) << sql;
        EXPECT_FALSE(connection.GetTextProperty("Errors").empty()) << sql;
        EXPECT_EQ(rs.GetNumberProperty("RecordCount"), 0.0);
        EXPECT_FALSE(Succeeded());  // refused on a closed set
    }
    EXPECT_EQ(connection.GetTextProperty("Errors"), "The record set has no source statement.");
    EXPECT_FALSE(OpenLikeTheProgram(rs, connection, "select 值 from api_const"));
    EXPECT_EQ(connection.GetTextProperty("Errors"), "The table 'api_const' has no column '值'.");
    // A refused open needs no Close before the next one.
    EXPECT_TRUE(OpenLikeTheProgram(rs, connection, kQuery + "常量'"));
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "42");
    EXPECT_TRUE(connection.GetTextProperty("Errors").empty());
}

TEST_F(ComponentTest, WritesAreRefused) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, kQuery + "WM_CREATE'"));
    rs.CallMethod("AddNew");
    EXPECT_FALSE(Succeeded());
    ComObject fields = rs.CallObjectMethod("Fields");
    Text name = "常量值";
    ComObject field = fields.GetObjectProperty("Item", RefText(name));
    Variant value;
    value.Assign(ArgText("9999"));
    EXPECT_FALSE(field.SetProperty("Value", RefVariant(value)));
    rs.CallMethod("UpDate");
    EXPECT_FALSE(Succeeded());
    EXPECT_EQ(field.GetTextProperty("Value"), "0001");
    rs.CallMethod("Close");
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, kQuery + "WM_CREATE'"));
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "0001");
}

TEST_F(ComponentTest, OpenAndCloseFollowTheObjectsState) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    rs.CallMethod("Close");
    EXPECT_FALSE(Succeeded());  // nothing open
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, kQuery + "WM_CREATE'"));
    ComObject fields = rs.CallObjectMethod("Fields");
    Variant source, active;
    source.Assign(ArgText(kQuery + "常量'"));
    active.Assign(ArgObject(connection));
    rs.CallMethod("open", RefVariant(source), RefVariant(active), ArgInt(1), ArgInt(3));
    EXPECT_FALSE(Succeeded());
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "0001");  // the second open was refused
    rs.CallMethod("Close");
    Text name = "常量值";
    EXPECT_TRUE(fields.GetObjectProperty("Item", RefText(name)).IsEmpty());  // from the closed opening
    EXPECT_EQ(fields.GetNumberProperty("Count"), 0.0);

    // Closing the connection closes what was opened on it, and nothing opens on it afterwards.
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, kQuery + "WM_CREATE'"));
    connection.CallMethod("Close");
    EXPECT_EQ(rs.GetNumberProperty("State"), 0.0);
    EXPECT_FALSE(OpenLikeTheProgram(rs, connection, kQuery + "WM_CREATE'"));
    connection.CallMethod("close");
    EXPECT_FALSE(Succeeded());
}

TEST_F(ComponentTest, ActiveConnectionMustBeOneOfOurs) {
    ComObject rs = NewRecordset();
    ComObject other = NewRecordset();  // an object, but not a connection
    EXPECT_FALSE(OpenLikeTheProgram(rs, other, kQuery + "WM_CREATE'"));
    EXPECT_FALSE(OpenLikeTheProgram(rs, ComObject(), kQuery + "WM_CREATE'"));
    EXPECT_FALSE(OpenLikeTheProgram(rs, NewConnection(), kQuery + "WM_CREATE'"));  // never opened
}

TEST_F(ComponentTest, MovesFollowAdo) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, "SELECT [序号] FROM api_const"));
    auto current = [&] { return rs.CallObjectMethod("Fields").GetObjectProperty("Item", ArgInt(0)).GetNumberProperty("Value"); };
    EXPECT_EQ(current(), 1.0);
    std::int32_t three = 3;
    rs.CallMethod("Move", RefInt(three));
    EXPECT_EQ(current(), 4.0);
    rs.CallMethod("MoveLast");
    EXPECT_EQ(current(), 5.0);
    rs.CallMethod("MovePrevious");
    EXPECT_EQ(current(), 4.0);
    rs.CallMethod("MoveFirst");
    rs.CallMethod("MovePrevious");
    EXPECT_TRUE(rs.GetBoolProperty("BOF"));
    rs.CallMethod("MovePrevious");
    EXPECT_FALSE(Succeeded());
    std::int32_t beyond = 100;
    rs.CallMethod("Move", RefInt(beyond));
    EXPECT_TRUE(rs.GetBoolProperty("eof"));
}

TEST_F(ComponentTest, GetRowsGivesFieldsByRowsAndAdvances) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    ASSERT_TRUE(OpenLikeTheProgram(rs, connection, "select 宏或常量名, 序号 from api_const"));
    std::int32_t two = 2;
    Variant rows = rs.CallVariantMethod("GetRows", RefInt(two));
    ASSERT_EQ(rows.Type(), VT_ARRAY | VT_VARIANT);
    SAFEARRAY* a = rows.Raw().parray;
    ASSERT_EQ(SafeArrayGetDim(a), 2u);
    LONG fieldsHigh = 0, rowsHigh = 0;
    SafeArrayGetUBound(a, 1, &fieldsHigh);
    SafeArrayGetUBound(a, 2, &rowsHigh);
    EXPECT_EQ(fieldsHigh, 1);
    EXPECT_EQ(rowsHigh, 1);
    VARIANT cell;
    VariantInit(&cell);
    LONG at[2] = {1, 1};
    ASSERT_EQ(S_OK, SafeArrayGetElement(a, at, &cell));
    EXPECT_EQ(cell.vt, VT_I4);
    EXPECT_EQ(cell.lVal, 2);
    VariantClear(&cell);
    LONG first[2] = {0, 0};
    ASSERT_EQ(S_OK, SafeArrayGetElement(a, first, &cell));
    EXPECT_EQ(std::wstring(cell.bstrVal), L"WM_CREATE");
    VariantClear(&cell);

    // The rest, one field named; the cursor ends at EOF, where nothing more is given.
    std::int32_t all = -1, current = 0;
    Text field = "序号";
    Variant rest = rs.CallVariantMethod("GetRows", RefInt(all), RefInt(current), RefText(field));
    ASSERT_EQ(rest.Type(), VT_ARRAY | VT_VARIANT);
    SafeArrayGetUBound(rest.Raw().parray, 1, &fieldsHigh);
    SafeArrayGetUBound(rest.Raw().parray, 2, &rowsHigh);
    EXPECT_EQ(fieldsHigh, 0);
    EXPECT_EQ(rowsHigh, 2);
    EXPECT_TRUE(rs.GetBoolProperty("EOF"));
    EXPECT_TRUE(rs.CallVariantMethod("GetRows", RefInt(all)).IsEmpty());
    EXPECT_FALSE(Succeeded());
}

TEST_F(ComponentTest, ExecuteGivesAnOpenRecordset) {
    ComObject connection = OpenMemoryConnection();
    Text sql = kQuery + "WS_OVERLAPPEDWINDOW'";
    Variant affected;
    std::int32_t options = 1;
    ComObject rs = connection.CallObjectMethod("Execute", RefText(sql), RefVariant(affected), RefInt(options));
    ASSERT_FALSE(rs.IsEmpty());
    EXPECT_EQ(rs.GetNumberProperty("State"), 1.0);
    EXPECT_EQ(ReadTextLikeTheProgram(rs, "常量值"), "13565952");
    Text bad = "drop table api_const";
    EXPECT_TRUE(connection.CallObjectMethod("Execute", RefText(bad), RefVariant(affected), RefInt(options)).IsEmpty());
    EXPECT_NE(connection.GetTextProperty("Errors").find("read-only"), Text::npos);
    Text bad2 = "select from api_const";
    EXPECT_TRUE(connection.CallObjectMethod("Execute", RefText(bad2), RefVariant(affected), RefInt(options)).IsEmpty());
    EXPECT_NE(connection.GetTextProperty("Errors").find("Syntax error"), Text::npos);
}

// Another client may pass every argument as a VARIANT by reference, the Variants
// themselves holding references; each level is taken off.
TEST_F(ComponentTest, ArgumentsByReferenceAtAnyDepth) {
    ComObject connection = OpenMemoryConnection();
    ComObject rs = NewRecordset();
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, rs.Interface()->QueryInterface(IID_IDispatch, dispatch.put_void()));

    VARIANT sql, sqlRef, active, activeRef, cursor, lock;
    sql.vt = VT_BSTR;
    sql.bstrVal = SysAllocString(L"select 常量值 from api_const where 宏或常量名='WM_CREATE'");
    sqlRef.vt = VT_BYREF | VT_VARIANT;
    sqlRef.pvarVal = &sql;
    active.vt = VT_DISPATCH;
    connection.Interface()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&active.pdispVal));
    activeRef.vt = VT_BYREF | VT_VARIANT;
    activeRef.pvarVal = &active;
    LONG cursorType = 1;
    cursor.vt = VT_BYREF | VT_I4;
    cursor.plVal = &cursorType;
    lock.vt = VT_I4;
    lock.lVal = 3;
    VARIANT args[4] = {lock, cursor, activeRef, sqlRef};  // last argument first
    DISPPARAMS params{args, nullptr, 4, 0};
    EXPECT_EQ(S_OK, dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    VariantClear(&sql);
    VariantClear(&active);
    EXPECT_EQ(rs.GetNumberProperty("State"), 1.0);

    ComObject fields = rs.CallObjectMethod("Fields");
    ComPtr<IDispatch> fieldsDispatch;
    ASSERT_EQ(S_OK, fields.Interface()->QueryInterface(IID_IDispatch, fieldsDispatch.put_void()));
    BSTR name = SysAllocString(L"常量值");
    VARIANT nameRef, result;
    nameRef.vt = VT_BYREF | VT_BSTR;
    nameRef.pbstrVal = &name;
    VariantInit(&result);
    DISPPARAMS one{&nameRef, nullptr, 1, 0};
    ASSERT_EQ(S_OK, 
        fieldsDispatch->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &one, &result, nullptr, nullptr));
    SysFreeString(name);
    ASSERT_EQ(result.vt, VT_DISPATCH);
    // The default member of the Field is its Value.
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(S_OK, 
        result.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr));
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(value.bstrVal), L"0001");
    VariantClear(&value);
    VariantClear(&result);
}
