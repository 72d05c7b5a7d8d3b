// Command, Parameters and Parameter through their own interfaces, on the
// catalog file: statements with `?` run with appended parameters, with
// Execute's values and after Refresh; every refusal's exact HRESULT.
#include "ado/com/command_object.h"
#include "ado/com/parameter_objects.h"
#include "conformance_fixture.h"

using namespace ado_test;

namespace {

// DataTypeEnum and ParameterDirectionEnum values the tests use.
const long adInteger = 3, adVarWChar = 202, adNumeric = 131, adVarBinary = 204, adDate = 7;
const long adParamOutput = 2;

ComPtr<ado_com::CommandObject> NewCommand(ado_com::ConnectionObject* cn, const wchar_t* text) {
    auto cmd = ado_com::MakeObject<ado_com::CommandObject>();
    if (cn) {
        EXPECT_EQ(S_OK, cmd->putref_ActiveConnection(cn));
    }
    Bstr sql(text);
    EXPECT_EQ(S_OK, cmd->put_CommandText(sql.b));
    return cmd;
}

ComPtr<Parameter> NewParameter(Command& cmd, const wchar_t* name, long type, long size, VARIANT value) {
    Bstr text(name);
    ComPtr<Parameter> made;
    EXPECT_EQ(S_OK, cmd.CreateParameter(text.b, type, 1, size, value, made.put()));
    return made;
}

ComPtr<Parameters> ParametersOf(Command& cmd) {
    ComPtr<Parameters> list;
    EXPECT_EQ(S_OK, cmd.get_Parameters(list.put()));
    return list;
}

ComPtr<Recordset> RunCommand(Command& cmd, VARIANT values = Missing(), HRESULT* hr = nullptr, long options = -1) {
    ComPtr<Recordset> rows;
    HRESULT got = cmd.Execute(nullptr, values, options, rows.put());
    if (hr) {
        *hr = got;
    } else {
        EXPECT_EQ(S_OK, got) << TakeErrorText();
    }
    return rows;
}

// A SAFEARRAY of VARIANTs, as VBScript's Array() gives it.
class ValueArray {
public:
    explicit ValueArray(std::initializer_list<VARIANT> values) {
        SAFEARRAYBOUND bound = {ULONG(values.size()), 0};
        v_.vt = VT_ARRAY | VT_VARIANT;
        v_.parray = SafeArrayCreate(VT_VARIANT, 1, &bound);
        LONG at = 0;
        for (VARIANT item : values) {
            SafeArrayPutElement(v_.parray, &at, &item);
            ++at;
        }
    }
    ~ValueArray() { VariantClear(&v_); }
    VARIANT get() const { return v_; }

private:
    VARIANT v_;
};

}  // namespace

TEST_F(ConformanceTest, ACommandRunsItsStatementWithTheAppendedParameters) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"select name from constant where value = ? and kind = ? order by name");
    Bstr message(L"message");
    ComPtr<Parameters> list = ParametersOf(*cmd.get());
    ASSERT_EQ(S_OK, list->Append(NewParameter(*cmd.get(), L"v", adInteger, 0, Long(0)).get()));
    ASSERT_EQ(S_OK, list->Append(NewParameter(*cmd.get(), L"k", adVarWChar, 20, Str(message)).get()));
    ComPtr<Recordset> rs = RunCommand(*cmd.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WM_NULL");
    // Values change between runs; text converts to the parameter's type.
    ComPtr<Parameter> v;
    Bstr fifteen(L"15"), name(L"V");
    ASSERT_EQ(S_OK, list->get_Item(Str(name), v.put()));  // names without regard to case
    ASSERT_EQ(S_OK, v->put_Value(Str(fifteen)));
    rs = RunCommand(*cmd.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WM_PAINT");
    // Execute's values serve that run only; the collection keeps its own.
    ValueArray values{Long(2), Str(message)};
    VARIANT affected = Long(99);
    ComPtr<Recordset> once;
    ASSERT_EQ(S_OK, cmd->Execute(&affected, values.get(), -1, once.put()));
    EXPECT_EQ(affected.lVal, -1);  // a SELECT changes no records
    EXPECT_EQ(Walk(*once.get(), L"name"), L"WM_DESTROY");
    rs = RunCommand(*cmd.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WM_PAINT");
    // The rows: forward-only, read-only, knowing their command and text.
    long type = -1;
    rs->get_CursorType(&type);
    EXPECT_EQ(type, 0);
    ComPtr<IDispatch> origin;
    ASSERT_EQ(S_OK, rs->get_ActiveCommand(origin.put()));
    EXPECT_EQ(origin.get(), static_cast<IDispatch*>(static_cast<Command*>(cmd.get())));
    BSTR source = nullptr;
    ASSERT_EQ(S_OK, rs->get_Source(&source));
    EXPECT_EQ(Text(source), L"select name from constant where value = ? and kind = ? order by name");
}

TEST_F(ConformanceTest, ExecuteTakesOneValueOrAnArrayWithoutAppendedParameters) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"select name from constant where value > ? and name like ?");
    Bstr pattern(L"W*");
    ValueArray values{Long(1), Str(pattern)};
    ComPtr<Recordset> rs = RunCommand(*cmd.get(), values.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WM_DESTROY,WM_PAINT");
    auto single = NewCommand(cn.get(), L"select name from constant where value = ?");
    rs = RunCommand(*single.get(), Real(4096));
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"LVM_FIRST");
    VARIANT date;
    date.vt = VT_DATE;
    date.date = 36893.0;
    auto dated = NewCommand(cn.get(), L"select file from header where added >= ? order by added");
    rs = RunCommand(*dated.get(), date);
    EXPECT_EQ(Walk(*rs.get(), L"file"), L"winuser.h,winbase.h,WinError.h");
    // Too few values, too many, and one the engine cannot compare.
    HRESULT hr = S_OK;
    RunCommand(*cmd.get(), Long(1), &hr);
    EXPECT_EQ(hr, HRESULT(0x80040E10));
    ValueArray three{Long(1), Str(pattern), Long(3)};
    RunCommand(*cmd.get(), three.get(), &hr);
    EXPECT_EQ(hr, ado_com::kInvalidArgument);
    IDispatch* self = static_cast<Command*>(cmd.get());
    ValueArray object{Object(self), Str(pattern)};
    RunCommand(*cmd.get(), object.get(), &hr);
    EXPECT_EQ(hr, ado_com::kDataConversion);
    EXPECT_EQ(TakeErrorText(), L"Application uses a value of the wrong type for the current operation. Value 1 is "
                               L"neither text, a number, a date nor Yes/No.");
}

TEST_F(ConformanceTest, ARecordsetOpenedOnACommandReadsItsParametersAgainOnRequery) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"select name from constant where header = ? order by name");
    ComPtr<Parameter> header = NewParameter(*cmd.get(), L"h", adInteger, 0, Long(2));
    ASSERT_EQ(S_OK, ParametersOf(*cmd.get())->Append(header.get()));
    auto rs = ado_com::MakeObject<ado_com::RecordsetObject>();
    ASSERT_EQ(S_OK, rs->Open(Object(static_cast<Command*>(cmd.get())), Missing(), 1, 1, -1));
    EXPECT_EQ(Count(*rs.get()), 2);
    EXPECT_EQ(Column(*rs.get(), L"name"), L"INFINITE,WAIT_OBJECT_0");
    ASSERT_EQ(S_OK, header->put_Value(Long(5)));
    ASSERT_EQ(S_OK, rs->Requery(-1));
    EXPECT_EQ(Column(*rs.get(), L"name"), L"E_FAIL,S_OK");
    ComPtr<IDispatch> origin;
    ASSERT_EQ(S_OK, rs->get_ActiveCommand(origin.put()));
    EXPECT_TRUE(origin);
    ASSERT_EQ(S_OK, rs->Close());
    ASSERT_EQ(S_OK, rs->get_ActiveCommand(origin.put()));
    EXPECT_FALSE(origin);
    // The command brings its connection: none may be given beside it.
    EXPECT_EQ(rs->Open(Object(static_cast<Command*>(cmd.get())), Object(static_cast<Connection*>(cn.get())), 1, 1, -1),
              ado_com::kInvalidArgument);
    auto lone = NewCommand(nullptr, L"select * from kind");
    EXPECT_EQ(rs->Open(Object(static_cast<Command*>(lone.get())), Missing(), 1, 1, -1), ado_com::kInvalidConnection);
    EXPECT_EQ(rs->Open(Object(static_cast<Connection*>(cn.get())), Missing(), 1, 1, -1), ado_com::kInvalidArgument);
}

TEST_F(ConformanceTest, RefreshDescribesTheParametersTheStatementCompares) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"select name from constant where value > ? and kind = ? and name like ?");
    ComPtr<Parameters> list = ParametersOf(*cmd.get());
    ASSERT_EQ(S_OK, list->Refresh());
    long count = 0;
    ASSERT_EQ(S_OK, list->get_Count(&count));
    ASSERT_EQ(count, 3);
    struct {
        const wchar_t* name;
        long type, size;  // a pattern may be longer than the column it matches
    } expected[] = {{L"Param1", adInteger, 4}, {L"Param2", adVarWChar, 20}, {L"Param3", adVarWChar, 255}};
    for (long i = 0; i < 3; ++i) {
        ComPtr<Parameter> p;
        ASSERT_EQ(S_OK, list->get_Item(Long(i), p.put()));
        BSTR name = nullptr;
        long type = 0, size = 0, direction = 0;
        p->get_Name(&name);
        p->get_Type(&type);
        p->get_Size(&size);
        p->get_Direction(&direction);
        EXPECT_EQ(Text(name), expected[i].name);
        EXPECT_EQ(type, expected[i].type);
        EXPECT_EQ(size, expected[i].size);
        EXPECT_EQ(direction, 1);
    }
    // The described parameters take values and run.
    ComPtr<Parameter> p;
    Bstr wait(L"wait"), pattern(L"w*");
    const VARIANT values[] = {Long(-5), Str(wait), Str(pattern)};
    for (long i = 0; i < 3; ++i) {
        ASSERT_EQ(S_OK, list->get_Item(Long(i), p.put()));
        ASSERT_EQ(S_OK, p->put_Value(values[i]));
    }
    ComPtr<Recordset> rs = RunCommand(*cmd.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WAIT_OBJECT_0");
    // Read before anything was appended, the collection describes itself.
    auto fresh = NewCommand(cn.get(), L"select * from header where added between ? and ?");
    ASSERT_EQ(S_OK, ParametersOf(*fresh.get())->get_Count(&count));
    EXPECT_EQ(count, 2);
    ASSERT_EQ(S_OK, ParametersOf(*fresh.get())->get_Item(Long(1), p.put()));
    long type = 0;
    p->get_Type(&type);
    EXPECT_EQ(type, adDate);
}

TEST_F(ConformanceTest, RefreshRefusesWhatTheProviderCannotDescribe) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"select * from constant where ? = ?");
    ComPtr<Parameters> list = ParametersOf(*cmd.get());
    long count = -1;
    ASSERT_EQ(S_OK, list->get_Count(&count));  // quietly empty
    EXPECT_EQ(count, 0);
    EXPECT_EQ(TakeErrorText(), L"(none)");
    EXPECT_EQ(list->Refresh(), ado_com::kParamUnavailable);
    EXPECT_EQ(TakeErrorText(), L"Provider cannot derive parameter information and SetParameterInfo has not been "
                               L"called. The type of `?` number 1 cannot be told from the statement: append "
                               L"Parameters of the types wanted instead.");
    auto broken = NewCommand(cn.get(), L"select * from nowhere where a = ?");
    EXPECT_EQ(ParametersOf(*broken.get())->Refresh(), HRESULT(0x80040E37));
    auto lone = NewCommand(nullptr, L"select * from constant where value = ?");
    EXPECT_EQ(ParametersOf(*lone.get())->Refresh(), ado_com::kInvalidConnection);
    auto empty = NewCommand(cn.get(), L"");
    EXPECT_EQ(ParametersOf(*empty.get())->Refresh(), ado_com::kNoCommandText);
    EXPECT_EQ(TakeErrorText(), L"Command text was not set for the command object.");
    // A table's name has no parameters.
    auto table = NewCommand(cn.get(), L"kind");
    ASSERT_EQ(S_OK, table->put_CommandType(2));  // adCmdTable
    ASSERT_EQ(S_OK, ParametersOf(*table.get())->Refresh());
    ASSERT_EQ(S_OK, ParametersOf(*table.get())->get_Count(&count));
    EXPECT_EQ(count, 0);
}

TEST_F(ConformanceTest, AppendChecksEachParameterAndDeleteTakesItOut) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"select * from constant where value = ?");
    ComPtr<Parameters> list = ParametersOf(*cmd.get());
    const std::wstring improper = L"Parameter object is improperly defined. Inconsistent or incomplete information was "
                                  L"provided: ";
    EXPECT_EQ(list->Append(NewParameter(*cmd.get(), L"none", 0, 0, Missing()).get()), ado_com::kInvalidParamInfo);
    EXPECT_EQ(TakeErrorText(), improper + L"'none' has no Type.");
    EXPECT_EQ(list->Append(NewParameter(*cmd.get(), L"", adVarWChar, 0, Missing()).get()), ado_com::kInvalidParamInfo);
    EXPECT_EQ(TakeErrorText(), improper + L"the unnamed parameter is of a variable-length type and needs a Size.");
    ComPtr<Parameter> decimal = NewParameter(*cmd.get(), L"d", adNumeric, 0, Long(1));
    EXPECT_EQ(list->Append(decimal.get()), ado_com::kInvalidParamInfo);
    EXPECT_EQ(TakeErrorText(), improper + L"'d' is a decimal and needs a Precision.");
    ASSERT_EQ(S_OK, decimal->put_Precision(10));
    ASSERT_EQ(S_OK, list->Append(decimal.get()));
    EXPECT_EQ(list->Append(decimal.get()), ado_com::kInCollection);
    EXPECT_EQ(TakeErrorText(), L"Object is already in collection. Cannot append.");
    EXPECT_EQ(list->Append(NewParameter(*cmd.get(), L"D", adInteger, 0, Long(1)).get()), ado_com::kInCollection);
    EXPECT_EQ(list->Append(static_cast<Command*>(cmd.get())), ado_com::kInvalidArgument);
    EXPECT_EQ(list->Append(nullptr), ado_com::kInvalidArgument);
    ASSERT_EQ(S_OK, list->Append(NewParameter(*cmd.get(), L"", adInteger, 0, Long(2)).get()));
    ASSERT_EQ(S_OK, list->Append(NewParameter(*cmd.get(), L"", adInteger, 0, Long(3)).get()));
    long count = 0;
    list->get_Count(&count);
    EXPECT_EQ(count, 3);
    ComPtr<Parameter> item;
    EXPECT_EQ(list->get_Item(Long(3), item.put()), ado_com::kItemNotFound);
    Bstr missing(L"nosuch");
    EXPECT_EQ(list->get_Item(Str(missing), item.put()), ado_com::kItemNotFound);
    EXPECT_EQ(list->Delete(Str(missing)), ado_com::kItemNotFound);
    Bstr d(L"d");
    ASSERT_EQ(S_OK, list->Delete(Str(d)));
    ASSERT_EQ(S_OK, list->Delete(Long(1)));
    list->get_Count(&count);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(S_OK, list->get_Item(Long(0), item.put()));
    VARIANT value;
    ASSERT_EQ(S_OK, item->get_Value(&value));
    EXPECT_EQ(value.lVal, 2);
    // For Each walks what is there; what is deleted no longer runs.
    EXPECT_EQ(Remaining(*EnumeratorOf(*list.get()).get()), 1);
    ComPtr<Recordset> rs = RunCommand(*cmd.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WM_DESTROY");
}

TEST_F(ConformanceTest, AParameterStandsAloneAndChecksEachProperty) {
    auto made = ado_com::MakeObject<ado_com::ParameterObject>();  // CreateObject("ADODB.Parameter")
    long value = -1;
    unsigned char digits = 9;
    VARIANT v;
    BSTR name = nullptr;
    EXPECT_EQ(S_OK, made->get_Type(&value));
    EXPECT_EQ(value, 0);  // adEmpty
    EXPECT_EQ(S_OK, made->get_Direction(&value));
    EXPECT_EQ(value, 1);  // adParamInput
    EXPECT_EQ(S_OK, made->get_Size(&value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(S_OK, made->get_Precision(&digits));
    EXPECT_EQ(digits, 0);
    EXPECT_EQ(S_OK, made->get_Value(&v));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(S_OK, made->get_Name(&name));
    EXPECT_EQ(Text(name), L"");
    EXPECT_EQ(made->put_Type(1), ado_com::kInvalidArgument);  // no DataTypeEnum value
    EXPECT_EQ(made->put_Type(999), ado_com::kInvalidArgument);
    EXPECT_EQ(made->put_Direction(5), ado_com::kInvalidArgument);
    EXPECT_EQ(made->put_Direction(-1), ado_com::kInvalidArgument);
    EXPECT_EQ(made->put_Size(-1), ado_com::kInvalidArgument);
    EXPECT_EQ(made->put_Attributes(1), ado_com::kInvalidArgument);
    EXPECT_EQ(S_OK, made->put_Attributes(16 | 64));  // adParamSigned | adParamNullable
    EXPECT_EQ(S_OK, made->get_Attributes(&value));
    EXPECT_EQ(value, 80);
    ASSERT_EQ(S_OK, made->put_Value(Real(2.5)));
    EXPECT_EQ(S_OK, made->get_Value(&v));
    EXPECT_EQ(v.vt, VT_R8);
    // Value is the default member, as a script reads `p` alone.
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT read;
    VariantInit(&read);
    ASSERT_EQ(S_OK, 
        made->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &read, nullptr, nullptr));
    EXPECT_EQ(read.vt, VT_R8);
    EXPECT_EQ(read.dblVal, 2.5);
    // CreateParameter checks as the puts do.
    auto cmd = NewCommand(nullptr, L"");
    ComPtr<Parameter> refused;
    Bstr p(L"p");
    EXPECT_EQ(cmd->CreateParameter(p.b, 999, 1, 0, Missing(), refused.put()), ado_com::kInvalidArgument);
    EXPECT_EQ(cmd->CreateParameter(p.b, adInteger, 7, 0, Missing(), refused.put()), ado_com::kInvalidArgument);
    EXPECT_EQ(cmd->CreateParameter(p.b, adInteger, 1, -5, Missing(), refused.put()), ado_com::kInvalidArgument);
    EXPECT_FALSE(refused);
}

TEST_F(ConformanceTest, ExecuteRefusesEachThingItCannotRun) {
    auto cn = OpenCatalog();
    HRESULT hr = S_OK;
    auto lone = NewCommand(nullptr, L"select * from kind");
    RunCommand(*lone.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kInvalidConnection);
    auto empty = NewCommand(cn.get(), L"");
    RunCommand(*empty.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kNoCommandText);
    auto cmd = NewCommand(cn.get(), L"select name from constant where value = ?");
    // A value that does not convert to the parameter's type; an output parameter; bytes.
    Bstr words(L"not a number");
    ComPtr<Parameter> p = NewParameter(*cmd.get(), L"v", adInteger, 0, Str(words));
    ASSERT_EQ(S_OK, ParametersOf(*cmd.get())->Append(p.get()));
    RunCommand(*cmd.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kDataConversion);
    EXPECT_EQ(TakeErrorText(), L"Application uses a value of the wrong type for the current operation. The value of "
                               L"'v' does not convert to its Type.");
    ASSERT_EQ(S_OK, p->put_Value(Long(1)));
    ASSERT_EQ(S_OK, p->put_Direction(adParamOutput));
    RunCommand(*cmd.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Object or provider is not capable of performing requested operation: Jet's statements "
                               L"take input parameters only, and 'v' is an output or return value.");
    ASSERT_EQ(S_OK, p->put_Direction(1));
    ASSERT_EQ(S_OK, p->put_Type(adVarBinary));
    RunCommand(*cmd.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kNotAvailable);
    ASSERT_EQ(S_OK, p->put_Type(adInteger));
    ComPtr<Recordset> rs = RunCommand(*cmd.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"WM_CREATE");
    // Command types a Jet file has nothing for, and one that is none.
    ASSERT_EQ(S_OK, cmd->put_CommandType(4));  // adCmdStoredProc
    RunCommand(*cmd.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Object or provider is not capable of performing requested operation: saved queries "
                               L"(adCmdStoredProc) are not read from the file; send the statement itself.");
    ASSERT_EQ(S_OK, cmd->put_CommandType(256));  // adCmdFile
    RunCommand(*cmd.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kNotAvailable);
    EXPECT_EQ(cmd->put_CommandType(3), ado_com::kInvalidArgument);
    ASSERT_EQ(S_OK, cmd->put_CommandType(1));
    RunCommand(*cmd.get(), Missing(), &hr, 0x400);  // adExecuteStream
    EXPECT_EQ(hr, ado_com::kNotAvailable);
    // Writes stay refused, saying the file is open read-only.
    auto write = NewCommand(cn.get(), L"update constant set value = ? where name = 'S_OK'");
    RunCommand(*write.get(), Long(1), &hr);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(TakeErrorText(), L"The database is open read-only: UPDATE statements are refused.");
    // A closed connection.
    ASSERT_EQ(S_OK, cn->Close());
    RunCommand(*cmd.get(), Missing(), &hr);
    EXPECT_EQ(hr, ado_com::kInvalidConnection);
}

TEST_F(ConformanceTest, ExecuteOptionsNameATableOrAskForNoRows) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"kind");
    ASSERT_EQ(S_OK, cmd->put_CommandType(2));  // adCmdTable
    ComPtr<Recordset> rs = RunCommand(*cmd.get());
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"message,wait,hresult");
    ASSERT_EQ(S_OK, cmd->put_CommandType(8));  // adCmdUnknown: a statement
    HRESULT hr = S_OK;
    RunCommand(*cmd.get(), Missing(), &hr);
    EXPECT_EQ(hr, HRESULT(0x80040E14));
    rs = RunCommand(*cmd.get(), Missing(), nullptr, 0x200);  // adCmdTableDirect in the options
    EXPECT_EQ(Walk(*rs.get(), L"name"), L"message,wait,hresult");
    // adExecuteNoRecords runs the statement (its refusals still surface) and hands back nothing.
    auto check = NewCommand(cn.get(), L"select * from kind");
    ComPtr<Recordset> none;
    ASSERT_EQ(S_OK, check->Execute(nullptr, Missing(), 0x80, none.put()));
    EXPECT_FALSE(none);
    auto wrong = NewCommand(cn.get(), L"select * from nowhere");
    EXPECT_EQ(wrong->Execute(nullptr, Missing(), 0x80, none.put()), HRESULT(0x80040E37));
    ASSERT_EQ(S_OK, cn->Execute(Bstr(L"select * from kind").b, nullptr, 0x80, none.put()));
    EXPECT_FALSE(none);
}

TEST_F(ConformanceTest, ActiveConnectionTakesAConnectionAStringOrNothing) {
    auto cn = OpenCatalog();
    auto cmd = ado_com::MakeObject<ado_com::CommandObject>();
    ComPtr<Connection> active;
    ASSERT_EQ(S_OK, cmd->get_ActiveConnection(active.put()));
    EXPECT_FALSE(active);
    ASSERT_EQ(S_OK, cmd->put_ActiveConnection(Object(static_cast<Connection*>(cn.get()))));
    ASSERT_EQ(S_OK, cmd->get_ActiveConnection(active.put()));
    EXPECT_EQ(active.get(), static_cast<Connection*>(cn.get()));
    VARIANT nothing;
    VariantInit(&nothing);
    nothing.vt = VT_DISPATCH;
    nothing.pdispVal = nullptr;
    ASSERT_EQ(S_OK, cmd->put_ActiveConnection(nothing));
    ASSERT_EQ(S_OK, cmd->get_ActiveConnection(active.put()));
    EXPECT_FALSE(active);
    EXPECT_EQ(cmd->put_ActiveConnection(Long(3)), ado_com::kInvalidArgument);
    auto other = ado_com::MakeObject<ado_com::RecordsetObject>();
    EXPECT_EQ(cmd->put_ActiveConnection(Object(static_cast<Recordset*>(other.get()))), ado_com::kInvalidArgument);
    // A string opens a connection of the command's own; one that fails says why.
    Bstr missing(L"Data Source=C:\\nowhere\\none.mdb");
    EXPECT_EQ(cmd->put_ActiveConnection(Str(missing)), E_FAIL);
    EXPECT_EQ(TakeErrorText(), L"Could not find file 'C:\\nowhere\\none.mdb'.");
    long state = -1, seconds = 0;
    VARIANT_BOOL prepared = VARIANT_TRUE;
    EXPECT_EQ(S_OK, cmd->get_State(&state));
    EXPECT_EQ(state, 0);
    EXPECT_EQ(S_OK, cmd->get_CommandTimeout(&seconds));
    EXPECT_EQ(seconds, 30);
    EXPECT_EQ(cmd->put_CommandTimeout(-1), ado_com::kInvalidArgument);
    EXPECT_EQ(S_OK, cmd->get_Prepared(&prepared));
    EXPECT_EQ(prepared, VARIANT_FALSE);
    EXPECT_EQ(S_OK, cmd->get_CommandType(&state));
    EXPECT_EQ(state, 8);  // adCmdUnknown
}

TEST_F(ConformanceTest, APutWithAnIndexReachesTheDefaultMemberOfWhatItNames) {
    auto cn = OpenCatalog();
    auto cmd = NewCommand(cn.get(), L"select name from constant where value = ?");
    // cmd(0) = 15: Parameters (refreshed on first reading), then Item(0), then Value.
    VARIANT args[2] = {Long(15), Long(0)};
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{args, &put, 2, 1};
    ASSERT_EQ(S_OK, cmd->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                                         nullptr));
    ComPtr<Recordset> rs = RunCommand(*cmd.get());
    EXPECT_EQ(ValueOf(*rs.get(), L"name"), L"WM_PAINT");
    // rs("name") = ...: Fields, Item("name"), then Value, which a read-only set refuses.
    Bstr field(L"name"), text(L"x");
    VARIANT put2[2] = {Str(text), Str(field)};
    DISPPARAMS assign{put2, &put, 2, 1};
    EXCEPINFO info{};
    EXPECT_EQ(rs->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYPUT, &assign, nullptr, &info, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, ado_com::kNotAvailable);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
}
