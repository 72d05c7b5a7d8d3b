// The component's objects called through their own interfaces, one call at a
// time: each call's exact HRESULT, the error information it leaves, and every
// object released to zero.
#include <new>

#include "ado/com/registration.h"
#include "conformance_fixture.h"

using namespace ado_test;

TEST_F(ConformanceTest, EachRefusedStatementGivesJetsCodeAndItsText) {
    auto cn = OpenConnection();
    struct Case {
        const wchar_t* sql;
        HRESULT hr;
        const wchar_t* text;
    } cases[] = {
        {L"select * from nowhere", HRESULT(0x80040E37), L"The table 'nowhere' does not exist."},
        {L"select 值 from api_const", HRESULT(0x80040E10), L"The table 'api_const' has no column '值'."},
        {L"select * from api_const order by 值", HRESULT(0x80040E10), L"The table 'api_const' has no column '值'."},
        {L"select * from api_const where", HRESULT(0x80040E14), L"Syntax error: column name or value expected."},
        {L"delete from api_const", E_FAIL, L"The database is open read-only: DELETE statements are refused."},
        {L"select * from api_const where 序号='1'", HRESULT(0x80040E07),
         L"Data type mismatch in criteria expression: a number compared with text."},
    };
    for (const Case& c : cases) {
        HRESULT hr = S_OK;
        ComPtr<Recordset> rs = Execute(*cn.get(), c.sql, &hr);
        EXPECT_EQ(hr, c.hr) << c.sql;
        EXPECT_FALSE(rs);
        EXPECT_EQ(TakeErrorText(), c.text) << c.sql;
        ComPtr<Errors> errors;
        ASSERT_EQ(S_OK, cn->get_Errors(errors.put()));
        long count = 0;
        EXPECT_EQ(S_OK, errors->get_Count(&count));
        EXPECT_EQ(count, 1);
        VARIANT item;
        ASSERT_EQ(S_OK, errors->get_Item(Long(0), &item));
        ASSERT_EQ(item.vt, VT_DISPATCH);
        ComPtr<Error> error;
        ASSERT_EQ(S_OK, item.pdispVal->QueryInterface(IID_Error, error.put_void()));
        VariantClear(&item);
        long number = 0, native = 0;
        BSTR text = nullptr, source = nullptr, state = nullptr;
        EXPECT_EQ(S_OK, error->get_Number(&number));
        EXPECT_EQ(S_OK, error->get_Description(&text));
        EXPECT_EQ(S_OK, error->get_Source(&source));
        EXPECT_EQ(S_OK, error->get_SQLState(&state));
        EXPECT_EQ(S_OK, error->get_NativeError(&native));
        EXPECT_EQ(HRESULT(number), c.hr);
        EXPECT_EQ(Text(text), c.text);
        EXPECT_EQ(Text(source), L"Microsoft JET Database Engine");
        EXPECT_FALSE(Text(state).empty());
        EXPECT_NE(native, 0);
    }
    // A statement that runs clears the log.
    HRESULT hr = S_OK;
    EXPECT_TRUE(Execute(*cn.get(), L"select * from api_const", &hr));
    ComPtr<Errors> errors;
    ASSERT_EQ(S_OK, cn->get_Errors(errors.put()));
    long count = -1;
    errors->get_Count(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(ConformanceTest, ErrorsReadAsAValueGiveTheLastTextAndRefuseBadPositions) {
    auto cn = OpenConnection();
    HRESULT hr = S_OK;
    Execute(*cn.get(), L"select * from nowhere", &hr);
    ComPtr<Errors> errors;
    ASSERT_EQ(S_OK, cn->get_Errors(errors.put()));
    VARIANT text;
    ASSERT_EQ(S_OK, errors->get_Item(Missing(), &text));
    ASSERT_EQ(text.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(text.bstrVal), L"The table 'nowhere' does not exist.");
    VariantClear(&text);
    VARIANT none;
    EXPECT_EQ(errors->get_Item(Long(1), &none), ado_com::kItemNotFound);
    EXPECT_EQ(errors->get_Item(Long(-1), &none), ado_com::kItemNotFound);
    EXPECT_EQ(TakeErrorText(), L"Item cannot be found in the collection corresponding to the requested name or ordinal.");
    ComPtr<IUnknown> items;
    ASSERT_EQ(S_OK, errors->get__NewEnum(items.put()));
    ComPtr<IEnumVARIANT> walk;
    ASSERT_EQ(S_OK, items->QueryInterface(IID_IEnumVARIANT, walk.put_void()));
    VARIANT got[2];
    ULONG fetched = 9;
    EXPECT_EQ(walk->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].vt, VT_DISPATCH);
    VariantClear(&got[0]);
    EXPECT_EQ(S_OK, errors->Clear());
    long count = -1;
    errors->get_Count(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(ConformanceTest, AdosOwnNumbersOnTheRecordset) {
    auto cn = OpenConnection();
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), L"select 序号 from api_const where 宏或常量名='WM_CREATE'");
    long count = 0;
    EXPECT_EQ(S_OK, rs->get_RecordCount(&count));
    EXPECT_EQ(count, 2);
    Bstr sql(L"select * from api_const");
    EXPECT_EQ(rs->Open(Str(sql), Object(static_cast<Connection*>(cn.get())), 1, 1, -1), ado_com::kObjectOpen);
    EXPECT_EQ(TakeErrorText(), L"Operation is not allowed when the object is open.");
    EXPECT_EQ(rs->AddNew(Missing(), Missing()), ado_com::kNotUpdatable);
    EXPECT_EQ(rs->Update(Missing(), Missing()), ado_com::kNotUpdatable);
    EXPECT_EQ(S_OK, rs->MoveNext());
    EXPECT_EQ(S_OK, rs->MoveNext());
    EXPECT_EQ(rs->MoveNext(), ado_com::kNoCurrentRecord);
    EXPECT_EQ(TakeErrorText(),
              L"Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
              L"current record.");
    EXPECT_EQ(S_OK, rs->Close());
    EXPECT_EQ(rs->Close(), ado_com::kObjectClosed);
    EXPECT_EQ(rs->MoveFirst(), ado_com::kObjectClosed);
    EXPECT_EQ(rs->get_RecordCount(&count), ado_com::kObjectClosed);
    EXPECT_EQ(TakeErrorText(), L"Operation is not allowed when the object is closed.");
    EXPECT_EQ(S_OK, cn->Close());
    EXPECT_EQ(rs->Open(Str(sql), Object(static_cast<Connection*>(cn.get())), 1, 1, -1), ado_com::kInvalidConnection);
    EXPECT_EQ(rs->Open(Str(sql), Missing(), 1, 1, -1), ado_com::kInvalidConnection);
    EXPECT_EQ(rs->Open(Str(sql), Long(4), 7, 1, -1), ado_com::kInvalidArgument);
}

TEST_F(ConformanceTest, ForwardOnlyCountsNothingAndNeverMovesBack) {
    auto cn = OpenConnection();
    HRESULT hr = S_OK;
    ComPtr<Recordset> rs = Execute(*cn.get(), L"select 序号 from api_const", &hr);
    ASSERT_EQ(S_OK, hr);
    long count = 0, type = 9;
    EXPECT_EQ(S_OK, rs->get_RecordCount(&count));
    EXPECT_EQ(count, -1);
    EXPECT_EQ(S_OK, rs->get_CursorType(&type));
    EXPECT_EQ(type, 0);
    EXPECT_EQ(S_OK, rs->MoveNext());
    EXPECT_EQ(rs->MovePrevious(), ado_com::kCantFetchBackwards);
    EXPECT_EQ(TakeErrorText(), L"Rowset does not support fetching backward.");
    EXPECT_EQ(rs->MoveLast(), ado_com::kCantFetchBackwards);
    EXPECT_EQ(rs->Move(-1, Missing()), ado_com::kCantFetchBackwards);
    EXPECT_EQ(S_OK, rs->Move(2, Missing()));
    EXPECT_EQ(S_OK, rs->MoveFirst());  // ADO starts the rows again
    VARIANT_BOOL bof = VARIANT_TRUE;
    rs->get_BOF(&bof);
    EXPECT_EQ(bof, VARIANT_FALSE);
    // Keyset (1) and static (3) count exactly; dynamic (2) becomes keyset, as Jet gives it.
    for (long asked : {1L, 2L, 3L}) {
        ComPtr<Recordset> counted = OpenKeyset(*cn.get(), L"select 序号 from api_const", asked);
        EXPECT_EQ(S_OK, counted->get_RecordCount(&count));
        EXPECT_EQ(count, 5) << asked;
        counted->get_CursorType(&type);
        EXPECT_EQ(type, asked == 2 ? 1 : asked);
        EXPECT_EQ(S_OK, counted->MoveLast());
        EXPECT_EQ(S_OK, counted->MovePrevious());
    }
}

TEST_F(ConformanceTest, InvokeHandsTheFailureToTheCallerAsAnException) {
    auto cn = OpenConnection();
    HRESULT hr = S_OK;
    ComPtr<Recordset> rs = Execute(*cn.get(), L"select * from api_const where 宏或常量名='none'", &hr);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO info{};
    hr = rs->Invoke(8 /* MoveNext */, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, &info, nullptr);
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, ado_com::kNoCurrentRecord);
    EXPECT_EQ(Text(info.bstrSource), L"ADODB.Recordset");
    EXPECT_EQ(Text(info.bstrDescription).substr(0, 28), L"Either BOF or EOF is True, o");
    SysFreeString(info.bstrHelpFile);
    // Without an EXCEPINFO the call still fails (oleaut32 may report it as an exception).
    hr = rs->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    EXPECT_TRUE(hr == ado_com::kNoCurrentRecord || hr == DISP_E_EXCEPTION) << std::hex << hr;
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, rs->QueryInterface(IID_ISupportErrorInfo, support.put_void()));
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_Recordset), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_Connection), S_FALSE);
}

TEST_F(ConformanceTest, TypeInformationNamesTheObjectsAsAdoDoes) {
    auto cn = OpenConnection();
    HRESULT hr = S_OK;
    ComPtr<Recordset> rs = Execute(*cn.get(), L"select * from api_const", &hr);
    ComPtr<Fields> fields;
    ASSERT_EQ(S_OK, rs->get_Fields(fields.put()));
    struct {
        IDispatch* object;
        const wchar_t* name;
    } cases[] = {{static_cast<Connection*>(cn.get()), L"Connection"}, {rs.get(), L"Recordset"}, {fields.get(), L"Fields"}};
    for (const auto& c : cases) EXPECT_EQ(TypeNameOf(c.object), c.name);
}

TEST_F(ConformanceTest, RecordsetKeepsItsConnectionAlive) {
    ComPtr<Recordset> rs;
    {
        auto cn = OpenConnection();
        rs = OpenKeyset(*cn.get(), L"select 常量值 from api_const where 宏或常量名='常量'");
    }  // the script's Set cn = Nothing
    long state = 0;
    EXPECT_EQ(S_OK, rs->get_State(&state));
    EXPECT_EQ(state, 1);
    VARIANT active;
    ASSERT_EQ(S_OK, rs->get_ActiveConnection(&active));
    ASSERT_EQ(active.vt, VT_DISPATCH);
    ComPtr<Connection> cn;
    ASSERT_EQ(S_OK, active.pdispVal->QueryInterface(IID_Connection, cn.put_void()));
    VariantClear(&active);
    EXPECT_EQ(S_OK, cn->get_State(&state));
    EXPECT_EQ(state, 1);
    // Closing the connection still closes the rows opened on it.
    EXPECT_EQ(S_OK, cn->Close());
    EXPECT_EQ(S_OK, rs->get_State(&state));
    EXPECT_EQ(state, 0);
}

TEST_F(ConformanceTest, AConnectionStringThatFailsReportsWhyNotThatItClosed) {
    auto rs = ado_com::MakeObject<ado_com::RecordsetObject>();
    Bstr sql(L"select * from api_const"), missing(L"Data Source='C:\\nowhere\\API.mdb'");
    EXPECT_EQ(rs->Open(Str(sql), Str(missing), 3, 1, -1), E_FAIL);
    // The connection made for the string ends with the call, and says nothing more.
    EXPECT_EQ(TakeErrorText(), L"Could not find file 'C:\\nowhere\\API.mdb'.");
    long state = 1;
    EXPECT_EQ(S_OK, rs->get_State(&state));
    EXPECT_EQ(state, 0);
}

TEST_F(ConformanceTest, FieldsFollowTheRecordsetAcrossCloseAndOpen) {
    auto cn = OpenConnection();
    auto rs = ado_com::MakeObject<ado_com::RecordsetObject>();
    Bstr first(L"select 宏或常量名, 常量值 from api_const"), second(L"select count(*) as n from api_const");
    ASSERT_EQ(S_OK, rs->Open(Str(first), Object(static_cast<Connection*>(cn.get())), 3, 1, -1));
    ComPtr<Fields> fields;
    ASSERT_EQ(S_OK, rs->get_Fields(fields.put()));
    ComPtr<Field> oldField;
    ASSERT_EQ(S_OK, fields->get_Item(Long(1), oldField.put()));
    long count = 0, size = 0;
    EXPECT_EQ(S_OK, oldField->get_DefinedSize(&size));
    EXPECT_EQ(size, 255);
    EXPECT_EQ(S_OK, oldField->get_ActualSize(&size));
    EXPECT_EQ(size, 8);  // "0001" in UTF-16
    ASSERT_EQ(S_OK, rs->Close());
    EXPECT_EQ(S_OK, fields->get_Count(&count));
    EXPECT_EQ(count, 0);
    ASSERT_EQ(S_OK, rs->Open(Str(second), Object(static_cast<Connection*>(cn.get())), 3, 1, -1));
    EXPECT_EQ(S_OK, fields->get_Count(&count));
    EXPECT_EQ(count, 1);
    ComPtr<Field> n;
    ASSERT_EQ(S_OK, fields->get_Item(Long(0), n.put()));
    BSTR name = nullptr;
    EXPECT_EQ(S_OK, n->get_Name(&name));
    EXPECT_EQ(Text(name), L"n");
    // A Field of the closed opening stays closed.
    EXPECT_EQ(oldField->get_Name(&name), ado_com::kObjectClosed);
    // Enumeration: the fields of the current opening, then the end; Skip, Reset and Clone.
    ComPtr<IUnknown> items;
    ASSERT_EQ(S_OK, fields->get__NewEnum(items.put()));
    ComPtr<IEnumVARIANT> walk;
    ASSERT_EQ(S_OK, items->QueryInterface(IID_IEnumVARIANT, walk.put_void()));
    VARIANT got;
    EXPECT_EQ(walk->Next(1, &got, nullptr), S_OK);
    VariantClear(&got);
    EXPECT_EQ(walk->Next(1, &got, nullptr), S_FALSE);
    EXPECT_EQ(walk->Reset(), S_OK);
    EXPECT_EQ(walk->Skip(2), S_FALSE);
    walk->Reset();
    ComPtr<IEnumVARIANT> copy;
    ASSERT_EQ(S_OK, walk->Clone(copy.put()));
    EXPECT_EQ(copy->Next(1, &got, nullptr), S_OK);
    VariantClear(&got);
}

// JScript's Enumerator calls DISPID_NEWENUM as a method, VBScript's For Each as
// method and property at once; both must give an IEnumVARIANT.
TEST_F(ConformanceTest, NewEnumAnswersInvokeAsMethodAndAsProperty) {
    auto cn = OpenConnection();
    auto rs = ado_com::MakeObject<ado_com::RecordsetObject>();
    Bstr sql(L"select 宏或常量名, 常量值 from api_const");
    ASSERT_EQ(S_OK, rs->Open(Str(sql), Object(static_cast<Connection*>(cn.get())), 3, 1, -1));
    ComPtr<Fields> fields;
    ASSERT_EQ(S_OK, rs->get_Fields(fields.put()));
    for (WORD flags : {WORD(DISPATCH_METHOD), WORD(DISPATCH_PROPERTYGET), WORD(DISPATCH_METHOD | DISPATCH_PROPERTYGET)}) {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        ASSERT_EQ(fields->Invoke(DISPID_NEWENUM, IID_NULL, 0, flags, &none, &result, nullptr, nullptr), S_OK) << flags;
        ASSERT_TRUE(V_VT(&result) == VT_UNKNOWN || V_VT(&result) == VT_DISPATCH) << V_VT(&result);
        ComPtr<IEnumVARIANT> walk;
        EXPECT_EQ(S_OK, V_UNKNOWN(&result)->QueryInterface(IID_IEnumVARIANT, walk.put_void()));
        VariantClear(&result);
    }
}

TEST_F(ConformanceTest, ConnectionPropertiesBeforeAndAfterOpen) {
    auto cn = ado_com::MakeObject<ado_com::ConnectionObject>();
    BSTR text = nullptr;
    Bstr string(L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\no such\\file.mdb\"");
    EXPECT_EQ(S_OK, cn->put_ConnectionString(string.b));
    EXPECT_EQ(S_OK, cn->get_ConnectionString(&text));
    EXPECT_EQ(Text(text), string.b);
    // Open with no string opens ConnectionString: here a file that is not there, unquoted.
    Bstr empty(L"");
    EXPECT_EQ(cn->Open(empty.b, empty.b, empty.b, -1), E_FAIL);
    EXPECT_EQ(TakeErrorText(), L"Could not find file 'C:\\no such\\file.mdb'.");
    EXPECT_EQ(S_OK, cn->get_Version(&text));
    EXPECT_EQ(Text(text), L"2.8");
    long value = 0;
    EXPECT_EQ(cn->put_CursorLocation(1), ado_com::kInvalidArgument);
    EXPECT_EQ(S_OK, cn->put_CursorLocation(3));
    EXPECT_EQ(S_OK, cn->get_CursorLocation(&value));
    EXPECT_EQ(value, 3);
    EXPECT_EQ(S_OK, cn->get_Mode(&value));
    EXPECT_EQ(value, 0);  // adModeUnknown until open
    EXPECT_EQ(S_OK, cn->OpenSource(Sample(), u"DBQ=memory"));
    EXPECT_EQ(S_OK, cn->get_Mode(&value));
    EXPECT_EQ(value, 1);  // adModeRead
    EXPECT_EQ(cn->put_ConnectionString(string.b), ado_com::kObjectOpen);
    EXPECT_EQ(cn->put_Provider(string.b), ado_com::kObjectOpen);
    EXPECT_EQ(cn->put_Mode(3), ado_com::kObjectOpen);
    EXPECT_EQ(S_OK, cn->get_Provider(&text));
    EXPECT_EQ(Text(text), L"MSDASQL");
}

namespace {

// A source whose reads run out of memory.
class StarvedSource : public jetsql::MemorySource {
public:
    StarvedSource() : jetsql::MemorySource({jetsql_test::ApiConstTable()}) {}
    std::vector<jetsql::Row> ReadAll(const jetsql::TableShape&) override { throw std::bad_alloc(); }
};

}  // namespace

TEST_F(ConformanceTest, OutOfMemorySaysSoInErrors) {
    auto cn = OpenConnection(std::make_shared<StarvedSource>());
    HRESULT hr = S_OK;
    EXPECT_FALSE(Execute(*cn.get(), L"select * from api_const", &hr));
    EXPECT_EQ(hr, E_OUTOFMEMORY);
    EXPECT_EQ(TakeErrorText(), L"Not enough memory to complete the operation.");
    ComPtr<Errors> errors;
    ASSERT_EQ(S_OK, cn->get_Errors(errors.put()));
    BSTR text = nullptr;
    EXPECT_EQ(S_OK, errors->get_Description(&text));
    EXPECT_EQ(Text(text), L"Not enough memory to complete the operation.");
}

TEST_F(ConformanceTest, RegistrationRefusesOutsideWine) {
    EXPECT_TRUE(ado_com::RunningUnderWine());  // these tests run under Wine
    EXPECT_EQ(ado_com::RegisterServer(false), ado_com::kNotUnderWine);
    std::wstring why = TakeErrorText();
    EXPECT_NE(why.find(L"only under Wine"), std::wstring::npos) << why;
}

TEST_F(ConformanceTest, EverythingReleasedLetsTheModuleUnload) {
    {
        auto cn = OpenConnection();
        ComPtr<Recordset> rs = OpenKeyset(*cn.get(), L"select * from api_const");
        ComPtr<Fields> fields;
        rs->get_Fields(fields.put());
        ComPtr<IUnknown> items;
        fields->get__NewEnum(items.put());
        ComPtr<Errors> errors;
        cn->get_Errors(errors.put());
        EXPECT_TRUE(ado_com::ModuleInUse());
        // Each reference count ends at zero with the last Release.
        rs->AddRef();
        EXPECT_EQ(rs->Release(), 1u);
    }
    EXPECT_FALSE(ado_com::ModuleInUse());
}

namespace {

struct FieldFacts {
    long type, definedSize, attributes;
    unsigned char precision, scale;
    VARTYPE vt;  // of Value on the first row
};

FieldFacts FactsOf(Field& field) {
    FieldFacts f{};
    EXPECT_EQ(S_OK, field.get_Type(&f.type));
    EXPECT_EQ(S_OK, field.get_DefinedSize(&f.definedSize));
    EXPECT_EQ(S_OK, field.get_Attributes(&f.attributes));
    EXPECT_EQ(S_OK, field.get_Precision(&f.precision));
    EXPECT_EQ(S_OK, field.get_NumericScale(&f.scale));
    VARIANT value, original;
    EXPECT_EQ(S_OK, field.get_Value(&value));
    EXPECT_EQ(S_OK, field.get_OriginalValue(&original));
    f.vt = value.vt;
    EXPECT_EQ(original.vt, value.vt);
    EXPECT_EQ(VarCmp(&value, &original, 0, 0), value.vt == VT_NULL ? VARCMP_NULL : VARCMP_EQ);
    VariantClear(&value);
    VariantClear(&original);
    return f;
}

}  // namespace

// Type, size, precision and attributes as the Jet provider reports them, and
// each value in the VARIANT type of its column; OriginalValue is the value.
TEST_F(ConformanceTest, FieldsDescribeEveryColumnTypeOfAFile) {
    auto cn = OpenConnection(Catalog());
    ComPtr<Recordset> rs = OpenKeyset(*cn.get(), L"select * from header where id = 1");
    ComPtr<Fields> fields;
    ASSERT_EQ(S_OK, rs->get_Fields(fields.put()));
    const long kFixedNullable = 0x2 | 0x8 | 0x10 | 0x20 | 0x40;  // may defer, unknown updatable, fixed, nullable
    const long kVariableNullable = 0x2 | 0x8 | 0x20 | 0x40;
    struct {
        const wchar_t* name;
        FieldFacts facts;
    } cases[] = {
        {L"id", {3, 4, kFixedNullable, 10, 255, VT_I4}},
        {L"file", {202, 50, kVariableNullable, 255, 255, VT_BSTR}},
        {L"added", {7, 8, kFixedNullable, 255, 255, VT_DATE}},
        {L"size", {5, 8, kFixedNullable, 15, 255, VT_R8}},
        {L"price", {6, 8, kFixedNullable, 19, 255, VT_CY}},
        {L"shipped", {11, 2, 0x2 | 0x8 | 0x10, 255, 255, VT_BOOL}},  // Yes/No is never Null
        {L"rank", {2, 2, kFixedNullable, 5, 255, VT_I2}},
        {L"level", {17, 1, kFixedNullable, 3, 255, VT_UI1}},
        {L"note", {203, 536870910, kVariableNullable | 0x80, 255, 255, VT_BSTR}},  // long
    };
    for (const auto& c : cases) {
        Bstr name(c.name);
        ComPtr<Field> field;
        ASSERT_EQ(S_OK, fields->get_Item(Str(name), field.put())) << c.name;
        FieldFacts got = FactsOf(*field.get());
        EXPECT_EQ(got.type, c.facts.type) << c.name;
        EXPECT_EQ(got.definedSize, c.facts.definedSize) << c.name;
        EXPECT_EQ(got.attributes, c.facts.attributes) << c.name;
        EXPECT_EQ(got.precision, c.facts.precision) << c.name;
        EXPECT_EQ(got.scale, c.facts.scale) << c.name;
        EXPECT_EQ(got.vt, c.facts.vt) << c.name;
    }
    // 1.25 in currency units travels as 12500 ten-thousandths.
    Bstr price(L"price");
    ComPtr<Field> field;
    ASSERT_EQ(S_OK, fields->get_Item(Str(price), field.put()));
    VARIANT value;
    ASSERT_EQ(S_OK, field->get_Value(&value));
    EXPECT_EQ(value.cyVal.int64, 12500);
    // OriginalValue has no put; writing through the others is refused.
    VARIANT five = Long(5);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS args{&five, &put, 1, 1};
    EXPECT_EQ(field->Invoke(5 /* OriginalValue */, IID_NULL, 0, DISPATCH_PROPERTYPUT, &args, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(field->put_Value(five), ado_com::kNotAvailable);
    EXPECT_EQ(field->AppendChunk(five), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Current Recordset does not support updating. This may be a limitation of the provider, "
                               L"or of the selected locktype.");
    // At EOF the value is gone, the description is not; once closed, neither.
    EXPECT_EQ(S_OK, rs->MoveNext());
    EXPECT_EQ(field->get_OriginalValue(&value), ado_com::kNoCurrentRecord);
    unsigned char digits = 0;
    EXPECT_EQ(S_OK, field->get_Precision(&digits));
    EXPECT_EQ(digits, 19);
    EXPECT_EQ(S_OK, rs->Close());
    long flags = 0;
    EXPECT_EQ(field->get_Attributes(&flags), ado_com::kObjectClosed);
    EXPECT_EQ(field->get_NumericScale(&digits), ado_com::kObjectClosed);
}
