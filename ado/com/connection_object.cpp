#include "ado/com/connection_object.h"

#include <new>

#include "ado/com/access_file.h"
#include "ado/com/ado_enums.h"
#include "ado/com/arguments.h"
#include "ado/com/command_text.h"
#include "ado/com/errors_object.h"
#include "ado/com/out_values.h"
#include "ado/com/property_objects.h"
#include "ado/com/recordset_object.h"
#include "ado/connection_string.h"
#include "jetsql/jet_text.h"
#include "jet/utf.h"

namespace ado_com {
namespace {


// The file a connection string names, or empty.
std::u16string DataSourceOf(std::u16string_view connectionString) {
    ado::ConnectionSettings settings;
    std::string why;
    return ado::ParseConnectionString(connectionString, &settings, &why) ? settings.database : std::u16string();
}

// OpenSchema's restrictions: left out, or an array with one entry per
// restriction column (Empty or Null for none, text for names, a number for TYPE).
HRESULT ReadRestrictions(const VARIANT& given, std::vector<jet::Value>* out) {
    if (IsMissing(given)) return S_OK;
    return ForEachElement(given, [out](const VARIANT& r) -> HRESULT {
        if (r.vt == VT_EMPTY || r.vt == VT_NULL || (r.vt == VT_ERROR && r.scode == DISP_E_PARAMNOTFOUND)) {
            out->push_back(jet::Value::Null());
        } else if (r.vt == VT_BSTR) {
            out->push_back(jet::Value::FromText(std::u16string(BstrText(r.bstrVal))));
        } else {
            long n = 0;
            if (FAILED(ArgumentLong(r, &n))) return kInvalidArgument;
            out->push_back(jet::Value::FromInteger(n));
        }
        return S_OK;
    });
}

const char16_t* SchemaName(long schema) {
    switch (schema) {
    case long(ado::Schema::Tables): return u"adSchemaTables";
    case long(ado::Schema::Columns): return u"adSchemaColumns";
    case long(ado::Schema::Indexes): return u"adSchemaIndexes";
    default: return nullptr;
    }
}

bool NamesJetProvider(const std::u16string& provider) {
    return jetsql::JetTextStartsWith(provider, u"Microsoft.Jet.OLEDB") ||
           jetsql::JetTextStartsWith(provider, u"Microsoft.ACE.OLEDB");
}

PropertyEntry TextProperty(const char16_t* name, const std::u16string& value) {
    PropertyEntry entry;
    entry.name = name;
    entry.value.put()->vt = VT_BSTR;
    entry.value.get().bstrVal = NewBstr(value);
    if (!entry.value.get().bstrVal) throw std::bad_alloc();
    return entry;
}

PropertyEntry NumberProperty(const char16_t* name, long type, VARIANT value) {
    PropertyEntry entry;
    entry.name = name;
    entry.type = type;
    *entry.value.put() = value;
    return entry;
}

}  // namespace

// {0B7C1B52-3B0E-4E1F-9E55-6C0D9A4F2C71}
const IID IID_ConnectionImplementation = {0x0b7c1b52, 0x3b0e, 0x4e1f, {0x9e, 0x55, 0x6c, 0x0d, 0x9a, 0x4f, 0x2c, 0x71}};

ConnectionObject::ConnectionObject() : errors_(std::make_shared<ErrorLog>()) {}

// Ending quietly: a destructor must not replace the error its caller is reporting.
ConnectionObject::~ConnectionObject() { Shut(); }

HRESULT ConnectionObject::get_ConnectionString(BSTR* text) { return GiveText(connectionString_, text); }

HRESULT ConnectionObject::put_ConnectionString(BSTR text) {
    return SetWhileClosed(IsOpen(), connectionString_, std::u16string(BstrText(text)));
}

HRESULT ConnectionObject::Open(BSTR connectionString, BSTR, BSTR, long) {
    if (IsOpen()) return Fail(kObjectOpen, AdoErrorText(kObjectOpen));
    return Reported([&]() -> HRESULT {
        // Open with no string opens what ConnectionString was set to.
        std::u16string text(BstrText(connectionString));
        return OpenFile(text.empty() ? connectionString_ : text);
    });
}

HRESULT ConnectionObject::OpenFile(const std::u16string& text) {
    ado::ConnectionSettings settings;
    std::string why;
    if (!ado::ParseConnectionString(text, &settings, &why)) return Fail(kOpenFailed, jet::Utf8ToUtf16(why));
    std::u16string error;
    std::shared_ptr<jetsql::DataSource> source = OpenAccessFile(settings.database, &error);
    if (!source) return Fail(kOpenFailed, error);
    if (!settings.provider.empty()) provider_ = settings.provider;
    return OpenSource(std::move(source), text);
}

HRESULT ConnectionObject::OpenSource(std::shared_ptr<jetsql::DataSource> source, std::u16string connectionString) {
    if (IsOpen()) return Fail(kObjectOpen, AdoErrorText(kObjectOpen));
    dataSource_ = DataSourceOf(connectionString);
    source_ = std::move(source);
    connectionString_ = std::move(connectionString);
    errors_->records.clear();
    return S_OK;
}

HRESULT ConnectionObject::get_State(long* state) { return GiveLong(IsOpen() ? adStateOpen : adStateClosed, state); }

HRESULT ConnectionObject::get_Errors(Errors** errors) {
    if (!errors) return E_POINTER;
    *errors = nullptr;
    return Guard([&]() -> HRESULT {
        *errors = MakeObject<ErrorsObject>(errors_).release();
        return S_OK;
    });
}

HRESULT ConnectionObject::Execute(BSTR commandText, VARIANT* recordsAffected, long options, Recordset** recordset) {
    if (!recordset) return E_POINTER;
    *recordset = nullptr;
    if (!IsOpen()) return Refuse(kObjectClosed);
    return Reported([&]() -> HRESULT {
        std::u16string text(BstrText(commandText));
        CommandPlan plan;
        std::u16string why;
        HRESULT hr = PlanCommand(text, adCmdUnspecified, options, &plan, &why);
        if (FAILED(hr)) return Fail(hr, why);
        ComPtr<RecordsetObject> rows = MakeObject<RecordsetObject>();
        hr = rows->OpenCommand(*this, StatementRows(std::move(plan.sql), {}), std::move(text));
        if (FAILED(hr)) return hr;
        GiveNoRecordsAffected(recordsAffected);
        if (!plan.noRecords) *recordset = rows.release();
        return S_OK;
    });
}

HRESULT ConnectionObject::Close() {
    if (!IsOpen()) return Refuse(kObjectClosed);
    Shut();
    return S_OK;
}

void ConnectionObject::Shut() {
    for (auto& weak : dependents_)
        if (SharedRows rows = weak.lock()) rows->cursor.reset();
    dependents_.clear();
    source_.reset();
}

HRESULT ConnectionObject::get_Provider(BSTR* name) { return GiveText(provider_, name); }

HRESULT ConnectionObject::put_Provider(BSTR name) {
    return SetWhileClosed(IsOpen(), provider_, std::u16string(BstrText(name)));
}

HRESULT ConnectionObject::get_Version(BSTR* version) { return GiveText(u"2.8", version); }

HRESULT ConnectionObject::get_CursorLocation(long* location) { return GiveLong(cursorLocation_, location); }

HRESULT ConnectionObject::put_CursorLocation(long location) {
    if (location != adUseServer && location != adUseClient) return Refuse(kInvalidArgument);
    cursorLocation_ = location;
    return S_OK;
}

// An open connection reads only: adModeRead unless a stricter share mode was asked for.
HRESULT ConnectionObject::get_Mode(long* mode) { return GiveLong(IsOpen() && mode_ == 0 ? 1 : mode_, mode); }

HRESULT ConnectionObject::put_Mode(long mode) {
    if (mode < 0 || mode > 0x3FFFFF) return Refuse(kInvalidArgument);
    return SetWhileClosed(IsOpen(), mode_, mode);
}

HRESULT ConnectionObject::get_ConnectionTimeout(long* seconds) { return GiveLong(connectionTimeout_, seconds); }
HRESULT ConnectionObject::put_ConnectionTimeout(long seconds) { return SetWhileClosed(IsOpen(), connectionTimeout_, seconds); }
HRESULT ConnectionObject::get_CommandTimeout(long* seconds) { return GiveLong(commandTimeout_, seconds); }

HRESULT ConnectionObject::put_CommandTimeout(long seconds) {
    if (seconds < 0) return Refuse(kInvalidArgument);
    commandTimeout_ = seconds;
    return S_OK;
}

template <class Error, class Call>
HRESULT ConnectionObject::Engine(Call call, bool report) {
    if (!IsOpen()) return Fail(kInvalidConnection, AdoErrorText(kInvalidConnection));
    return Reported([&]() -> HRESULT {
        Error why;
        if (!call(*source_, &why)) {
            FaultCode code = CodeOf(why.fault);
            return report ? Fail(code.hr, jet::Utf8ToUtf16(why.text), code.sqlState, code.native) : code.hr;
        }
        errors_->records.clear();
        return S_OK;
    });
}

HRESULT ConnectionObject::Query(std::u16string_view sql, const jetsql::Parameters& parameters, jetsql::ResultSet* out) {
    return Engine<jetsql::SqlError>([&](jetsql::DataSource& source, jetsql::SqlError* why) {
        return jetsql::RunSql(source, sql, parameters, out, why);
    });
}

HRESULT ConnectionObject::Schema(ado::Schema schema, const std::vector<jet::Value>& restrictions,
                                 jetsql::ResultSet* out) {
    return Engine<ado::RecordsetError>([&](jetsql::DataSource& source, ado::RecordsetError* why) {
        return ado::OpenSchema(source, schema, restrictions, out, why);
    });
}

HRESULT ConnectionObject::DescribeParameters(std::u16string_view sql, std::vector<jetsql::ParameterInfo>* out,
                                             bool report) {
    return Engine<jetsql::SqlError>([&](jetsql::DataSource& source, jetsql::SqlError* why) {
        return jetsql::DescribeParameters(source, sql, out, why);
    }, report);
}

HRESULT ConnectionObject::OpenSchema(long schema, VARIANT restrictions, VARIANT, Recordset** rows) {
    if (!rows) return E_POINTER;
    *rows = nullptr;
    if (!IsOpen()) return Refuse(kObjectClosed);
    const char16_t* name = SchemaName(schema);
    if (!name)
        return Refuse(kNotAvailable, u"Object or provider is not capable of performing requested operation: "
                                     u"OpenSchema answers adSchemaTables (20), adSchemaColumns (4) and "
                                     u"adSchemaIndexes (12), not schema " + jet::Utf8ToUtf16(std::to_string(schema)) + u".");
    return Reported([&]() -> HRESULT {
        std::vector<jet::Value> given;
        if (FAILED(ReadRestrictions(restrictions, &given)))
            return Fail(kInvalidArgument, u"OpenSchema: the restrictions must be an array of names (Empty for none).");
        ComPtr<RecordsetObject> made = MakeObject<RecordsetObject>();
        HRESULT hr = made->OpenSchemaRows(*this, ado::Schema(schema), std::move(given), name);
        if (FAILED(hr)) return hr;
        *rows = made.release();
        return S_OK;
    });
}

std::vector<PropertyEntry> ConnectionObject::PropertyList() const {
    std::vector<PropertyEntry> list;
    list.push_back(TextProperty(u"Data Source", IsOpen() ? dataSource_ : DataSourceOf(connectionString_)));
    if (!IsOpen()) return list;  // before Open, only what opening takes
    const bool jet = NamesJetProvider(provider_);
    list.push_back(TextProperty(u"Provider Name", jet ? u"MSJETOLEDB40.DLL" : u"MSDASQL.DLL"));
    list.push_back(TextProperty(u"DBMS Name", jet ? u"MS Jet" : u"ACCESS"));
    list.push_back(TextProperty(u"DBMS Version", u"04.00.0000"));
    VARIANT yes;
    VariantInit(&yes);
    yes.vt = VT_BOOL;
    yes.boolVal = VARIANT_TRUE;
    list.push_back(NumberProperty(u"Read-Only Data Source", 11 /* adBoolean */, yes));
    if (jet) {
        VARIANT engine;
        VariantInit(&engine);
        engine.vt = VT_I4;
        engine.lVal = 5;  // a Jet 4 file
        list.push_back(NumberProperty(u"Jet OLEDB:Engine Type", 3 /* adInteger */, engine));
    }
    return list;
}

HRESULT ConnectionObject::get_Properties(Properties** collection) {
    if (!collection) return E_POINTER;
    *collection = nullptr;
    return Guard([&]() -> HRESULT {
        ComPtr<ConnectionObject> self = ComPtr<ConnectionObject>::share(this);
        *collection = MakeObject<PropertiesObject>([self] { return self->PropertyList(); }).release();
        return S_OK;
    });
}

void ConnectionObject::Track(const SharedRows& rows) {
    for (auto it = dependents_.begin(); it != dependents_.end();)
        it = it->expired() ? dependents_.erase(it) : it + 1;
    dependents_.push_back(rows);
}

HRESULT ConnectionObject::Fail(HRESULT hr, std::u16string text, std::u16string sqlState, long nativeError) {
    // ADO's own errors name ADO as their source; the rest come from the engine.
    std::u16string source = *AdoErrorText(hr) && hr != E_OUTOFMEMORY ? u"ADODB.Connection" : kProviderSource;
    Raise(hr, text, source, IID_Connection);
    ErrorRecord record{hr, std::move(text), std::move(source), std::move(sqlState), nativeError};
    errors_->records.assign(1, std::move(record));
    return hr;
}

ComPtr<ConnectionObject> ConnectionObject::FromObject(IUnknown* object) {
    ComPtr<Connection> found;
    if (!object || FAILED(object->QueryInterface(IID_ConnectionImplementation, found.put_void())) || !found)
        return {};
    return ComPtr<ConnectionObject>(static_cast<ConnectionObject*>(found.release()));
}

}  // namespace ado_com
