// Connection.OpenSchema and Connection.Properties through their own
// interfaces, on the catalog file (tables header, constant and kind, with
// their indexes), and the type names a script's TypeName reads.
#include <algorithm>

#include "ado/com/command_object.h"
#include "conformance_fixture.h"

using namespace ado_test;

namespace {

// SchemaEnum values.
const long adSchemaColumns = 4, adSchemaIndexes = 12, adSchemaTables = 20, adSchemaForeignKeys = 27;

// Restrictions as a script's Array(...) gives them: Empty for none.
class Restrictions {
public:
    explicit Restrictions(std::initializer_list<const wchar_t*> names) {
        SAFEARRAYBOUND bound = {ULONG(names.size()), 0};
        v_.vt = VT_ARRAY | VT_VARIANT;
        v_.parray = SafeArrayCreate(VT_VARIANT, 1, &bound);
        LONG at = 0;
        for (const wchar_t* name : names) {
            VARIANT item;
            VariantInit(&item);
            if (name) {
                item.vt = VT_BSTR;
                item.bstrVal = SysAllocString(name);
            }
            SafeArrayPutElement(v_.parray, &at, &item);
            VariantClear(&item);
            ++at;
        }
    }
    ~Restrictions() { VariantClear(&v_); }
    VARIANT get() const { return v_; }
    void Put(LONG at, VARIANT value) { SafeArrayPutElement(v_.parray, &at, &value); }

private:
    VARIANT v_;
};

ComPtr<Recordset> Schema(ado_com::ConnectionObject& cn, long schema, VARIANT restrictions = Missing()) {
    ComPtr<Recordset> rows;
    EXPECT_EQ(S_OK, cn.OpenSchema(schema, restrictions, Missing(), rows.put())) << TakeErrorText();
    return rows;
}

// The field's VARIANT type on the current row.
VARTYPE TypeOf(Recordset& rs, const wchar_t* field) {
    ComPtr<Fields> fields;
    ComPtr<Field> one;
    Bstr name(field);
    VARIANT v;
    if (FAILED(rs.get_Fields(fields.put())) || FAILED(fields->get_Item(Str(name), one.put())) ||
        FAILED(one->get_Value(&v)))
        return VT_ILLEGAL;
    VARTYPE vt = v.vt;
    VariantClear(&v);
    return vt;
}

std::wstring FieldNames(Recordset& rs) {
    ComPtr<Fields> fields;
    EXPECT_EQ(S_OK, rs.get_Fields(fields.put()));
    long count = 0;
    fields->get_Count(&count);
    std::wstring names;
    for (long i = 0; i < count; ++i) {
        ComPtr<Field> f;
        BSTR name = nullptr;
        fields->get_Item(Long(i), f.put());
        f->get_Name(&name);
        names += (i ? L"," : L"") + Text(name);
    }
    return names;
}

ComPtr<Property> PropertyNamed(ado_com::ConnectionObject& cn, const wchar_t* name, HRESULT* hr = nullptr) {
    ComPtr<Properties> list;
    EXPECT_EQ(S_OK, cn.get_Properties(list.put()));
    Bstr text(name);
    ComPtr<Property> found;
    HRESULT got = list->get_Item(Str(text), found.put());
    if (hr) *hr = got;
    return found;
}

std::wstring PropertyText(ado_com::ConnectionObject& cn, const wchar_t* name) {
    ComPtr<Property> p = PropertyNamed(cn, name);
    if (!p) return L"(missing)";
    VARIANT v;
    if (FAILED(p->get_Value(&v)) || FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) return L"(?)";
    return Text(v.bstrVal);
}

}  // namespace

TEST_F(ConformanceTest, SchemaTablesListsEachTableWithItsType) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs = Schema(*cn.get(), adSchemaTables);
    EXPECT_EQ(FieldNames(*rs.get()), L"TABLE_CATALOG,TABLE_SCHEMA,TABLE_NAME,TABLE_TYPE,TABLE_GUID,DESCRIPTION,"
                                     L"TABLE_PROPID,DATE_CREATED,DATE_MODIFIED");
    long type = -1;
    rs->get_CursorType(&type);
    EXPECT_EQ(type, 3);  // static: counted, scrollable
    std::wstring kinds = Column(*rs.get(), L"TABLE_TYPE");
    EXPECT_EQ(kinds.substr(0, 12), L"SYSTEM TABLE");  // system tables sort first
    EXPECT_EQ(kinds.substr(kinds.size() - 19), L"E,TABLE,TABLE,TABLE");  // after the last SYSTEM TABLE
    EXPECT_EQ(Count(*rs.get()), long(std::count(kinds.begin(), kinds.end(), L',') + 1));
    // Restrictions by position: catalog, schema, name, type.
    Restrictions user{nullptr, nullptr, nullptr, L"TABLE"};
    rs = Schema(*cn.get(), adSchemaTables, user.get());
    EXPECT_EQ(Column(*rs.get(), L"TABLE_NAME"), L"constant,header,kind");
    ASSERT_EQ(S_OK, rs->MoveFirst());
    EXPECT_EQ(TypeOf(*rs.get(), L"TABLE_NAME"), VT_BSTR);
    EXPECT_EQ(TypeOf(*rs.get(), L"TABLE_CATALOG"), VT_NULL);  // Jet has no catalogs
    EXPECT_EQ(TypeOf(*rs.get(), L"DATE_CREATED"), VT_DATE);
    Restrictions one{nullptr, nullptr, L"KIND"};  // names as Jet matches them
    rs = Schema(*cn.get(), adSchemaTables, one.get());
    EXPECT_EQ(Column(*rs.get(), L"TABLE_NAME"), L"kind");
    Restrictions catalog{L"somewhere"};  // a catalog that is not there matches nothing
    rs = Schema(*cn.get(), adSchemaTables, catalog.get());
    EXPECT_EQ(Count(*rs.get()), 0);
    // The rows run again on Requery and take Filter like any others.
    ASSERT_EQ(S_OK, rs->Requery(-1));
    rs = Schema(*cn.get(), adSchemaTables);
    Bstr criteria(L"TABLE_TYPE = 'TABLE' AND TABLE_NAME LIKE 'h*'");
    ASSERT_EQ(S_OK, rs->put_Filter(Str(criteria)));
    EXPECT_EQ(Column(*rs.get(), L"TABLE_NAME"), L"header");
}

TEST_F(ConformanceTest, SchemaColumnsAndIndexesDescribeATable) {
    auto cn = OpenCatalog();
    Restrictions kind{nullptr, nullptr, L"kind"};
    ComPtr<Recordset> rs = Schema(*cn.get(), adSchemaColumns, kind.get());
    EXPECT_EQ(Column(*rs.get(), L"COLUMN_NAME"), L"meaning,name");  // by name; ORDINAL_POSITION says the order
    EXPECT_EQ(Column(*rs.get(), L"ORDINAL_POSITION"), L"2,1");
    EXPECT_EQ(Column(*rs.get(), L"DATA_TYPE"), L"130,130");  // DBTYPE_WSTR
    EXPECT_EQ(Column(*rs.get(), L"CHARACTER_MAXIMUM_LENGTH"), L"255,20");
    ASSERT_EQ(S_OK, rs->MoveFirst());
    EXPECT_EQ(TypeOf(*rs.get(), L"ORDINAL_POSITION"), VT_UI4);
    EXPECT_EQ(TypeOf(*rs.get(), L"DATA_TYPE"), VT_UI2);
    EXPECT_EQ(TypeOf(*rs.get(), L"IS_NULLABLE"), VT_BOOL);
    EXPECT_EQ(TypeOf(*rs.get(), L"COLUMN_GUID"), VT_NULL);
    Restrictions column{nullptr, nullptr, L"header", L"price"};
    rs = Schema(*cn.get(), adSchemaColumns, column.get());
    EXPECT_EQ(Column(*rs.get(), L"DATA_TYPE"), L"6");  // adCurrency
    EXPECT_EQ(Column(*rs.get(), L"NUMERIC_PRECISION"), L"19");
    // Indexes: catalog, schema, index name, type, table.
    Restrictions constant{nullptr, nullptr, nullptr, nullptr, L"constant"};
    rs = Schema(*cn.get(), adSchemaIndexes, constant.get());
    EXPECT_EQ(Column(*rs.get(), L"INDEX_NAME"), L"header,name");  // not unique first
    EXPECT_EQ(Column(*rs.get(), L"COLUMN_NAME"), L"header,name");
    ASSERT_EQ(S_OK, rs->MoveLast());
    EXPECT_EQ(ValueOf(*rs.get(), L"UNIQUE"), L"-1");  // VT_BOOL's text
    EXPECT_EQ(ValueOf(*rs.get(), L"PRIMARY_KEY"), L"0");
    EXPECT_EQ(ValueOf(*rs.get(), L"ORDINAL_POSITION"), L"1");
    Restrictions byType{nullptr, nullptr, L"PrimaryKey"};
    byType.Put(3, Long(1));  // DBPROPVAL_IT_BTREE
    rs = Schema(*cn.get(), adSchemaIndexes, byType.get());
    EXPECT_EQ(Column(*rs.get(), L"TABLE_NAME"), L"header,kind");
    EXPECT_EQ(Column(*rs.get(), L"PRIMARY_KEY"), L"-1,-1");
}

TEST_F(ConformanceTest, OpenSchemaRefusesOtherSchemasAndMalformedRestrictions) {
    auto cn = OpenCatalog();
    ComPtr<Recordset> rs;
    EXPECT_EQ(cn->OpenSchema(adSchemaForeignKeys, Missing(), Missing(), rs.put()), ado_com::kNotAvailable);
    EXPECT_EQ(TakeErrorText(), L"Object or provider is not capable of performing requested operation: OpenSchema "
                               L"answers adSchemaTables (20), adSchemaColumns (4) and adSchemaIndexes (12), not "
                               L"schema 27.");
    EXPECT_EQ(cn->OpenSchema(-1, Missing(), Missing(), rs.put()), ado_com::kNotAvailable);  // provider-specific
    Bstr text(L"constant");
    EXPECT_EQ(cn->OpenSchema(adSchemaTables, Str(text), Missing(), rs.put()), ado_com::kInvalidArgument);
    EXPECT_EQ(TakeErrorText(), L"OpenSchema: the restrictions must be an array of names (Empty for none).");
    Restrictions tooMany{nullptr, nullptr, nullptr, nullptr, L"x"};
    EXPECT_EQ(cn->OpenSchema(adSchemaTables, tooMany.get(), Missing(), rs.put()), ado_com::kInvalidArgument);
    EXPECT_EQ(TakeErrorText(), L"OpenSchema: 5 restrictions given where the rowset has 4.");
    Restrictions numberForName{nullptr, nullptr, nullptr};
    numberForName.Put(2, Long(7));
    EXPECT_EQ(cn->OpenSchema(adSchemaColumns, numberForName.get(), Missing(), rs.put()), ado_com::kInvalidArgument);
    EXPECT_EQ(TakeErrorText(), L"OpenSchema: Restriction 3 must be text.");
    ComPtr<Errors> errors;
    ASSERT_EQ(S_OK, cn->get_Errors(errors.put()));
    long count = 0;
    errors->get_Count(&count);
    EXPECT_EQ(count, 1);  // the provider's refusal is in Errors too
    EXPECT_FALSE(rs);
    ASSERT_EQ(S_OK, cn->Close());
    EXPECT_EQ(cn->OpenSchema(adSchemaTables, Missing(), Missing(), rs.put()), ado_com::kObjectClosed);
}

TEST_F(ConformanceTest, PropertiesDescribeTheProviderAndTheOpenFile) {
    auto cn = ado_com::MakeObject<ado_com::ConnectionObject>();
    Bstr string(L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\data\\api.mdb");
    ASSERT_EQ(S_OK, cn->put_ConnectionString(string.b));
    ComPtr<Properties> list;
    ASSERT_EQ(S_OK, cn->get_Properties(list.put()));
    long count = 0;
    ASSERT_EQ(S_OK, list->get_Count(&count));
    EXPECT_EQ(count, 1);  // before Open, only what opening takes
    EXPECT_EQ(PropertyText(*cn.get(), L"Data Source"), L"C:\\data\\api.mdb");
    HRESULT hr = S_OK;
    PropertyNamed(*cn.get(), L"DBMS Name", &hr);
    EXPECT_EQ(hr, ado_com::kItemNotFound);
    // The same collection follows the connection as it opens.
    Bstr jet(L"Microsoft.Jet.OLEDB.4.0");
    ASSERT_EQ(S_OK, cn->put_Provider(jet.b));
    ASSERT_EQ(S_OK, cn->OpenSource(Catalog(), u"Data Source=catalog.mdb"));
    ASSERT_EQ(S_OK, list->get_Count(&count));
    EXPECT_EQ(count, 6);
    EXPECT_EQ(PropertyText(*cn.get(), L"Data Source"), L"catalog.mdb");
    EXPECT_EQ(PropertyText(*cn.get(), L"provider name"), L"MSJETOLEDB40.DLL");  // names without regard to case
    EXPECT_EQ(PropertyText(*cn.get(), L"DBMS Name"), L"MS Jet");
    EXPECT_EQ(PropertyText(*cn.get(), L"DBMS Version"), L"04.00.0000");
    EXPECT_EQ(PropertyText(*cn.get(), L"Jet OLEDB:Engine Type"), L"5");
    ComPtr<Property> readOnly = PropertyNamed(*cn.get(), L"Read-Only Data Source");
    ASSERT_TRUE(readOnly);
    VARIANT value;
    long type = 0, attributes = 0;
    ASSERT_EQ(S_OK, readOnly->get_Value(&value));
    EXPECT_EQ(value.vt, VT_BOOL);
    EXPECT_EQ(value.boolVal, VARIANT_TRUE);
    EXPECT_EQ(S_OK, readOnly->get_Type(&type));
    EXPECT_EQ(type, 11);  // adBoolean
    EXPECT_EQ(S_OK, readOnly->get_Attributes(&attributes));
    EXPECT_EQ(attributes, 512);  // adPropRead
    ComPtr<Property> name = PropertyNamed(*cn.get(), L"DBMS Name");
    EXPECT_EQ(S_OK, name->get_Type(&type));
    EXPECT_EQ(type, 8);  // adBSTR
    EXPECT_EQ(name->put_Value(Long(1)), ado_com::kPropertyReadOnly);
    EXPECT_EQ(TakeErrorText(), L"Property is read-only: 'DBMS Name' describes the provider or the open file, and this "
                               L"read-only connection sets none of its properties.");
    // By position, and For Each.
    ComPtr<Property> first;
    ASSERT_EQ(S_OK, list->get_Item(Long(0), first.put()));
    BSTR firstName = nullptr;
    first->get_Name(&firstName);
    EXPECT_EQ(Text(firstName), L"Data Source");
    EXPECT_EQ(list->get_Item(Long(6), first.put()), ado_com::kItemNotFound);
    EXPECT_EQ(list->get_Item(Long(-1), first.put()), ado_com::kItemNotFound);
    ComPtr<IEnumVARIANT> walk = EnumeratorOf(*list.get());
    EXPECT_EQ(Remaining(*walk.get()), 6);
    // Through ODBC (the default provider) the driver names Access.
    auto odbc = OpenCatalog();
    EXPECT_EQ(PropertyText(*odbc.get(), L"Provider Name"), L"MSDASQL.DLL");
    EXPECT_EQ(PropertyText(*odbc.get(), L"DBMS Name"), L"ACCESS");
    PropertyNamed(*odbc.get(), L"Jet OLEDB:Engine Type", &hr);
    EXPECT_EQ(hr, ado_com::kItemNotFound);
}

TEST_F(ConformanceTest, EveryNewObjectCarriesAdosTypeName) {
    auto cn = OpenCatalog();
    auto cmd = ado_com::MakeObject<ado_com::CommandObject>();
    ComPtr<Parameters> parameters;
    ASSERT_EQ(S_OK, cmd->get_Parameters(parameters.put()));
    ComPtr<Parameter> parameter;
    Bstr none(L"");
    ASSERT_EQ(S_OK, cmd->CreateParameter(none.b, 3, 1, 0, Missing(), parameter.put()));
    ComPtr<Properties> properties;
    ASSERT_EQ(S_OK, cn->get_Properties(properties.put()));
    ComPtr<Property> property;
    ASSERT_EQ(S_OK, properties->get_Item(Long(0), property.put()));
    struct {
        IDispatch* object;
        const wchar_t* name;
    } cases[] = {{static_cast<Command*>(cmd.get()), L"Command"},
                 {parameters.get(), L"Parameters"},
                 {parameter.get(), L"Parameter"},
                 {properties.get(), L"Properties"},
                 {property.get(), L"Property"}};
    for (const auto& c : cases) EXPECT_EQ(TypeNameOf(c.object), c.name);
}
