#include "ado/com/connection_object.h"

#include <new>

#include "ado/com/access_file.h"
#include "ado/com/errors_object.h"
#include "ado/com/out_values.h"
#include "ado/com/recordset_object.h"
#include "ado/connection_string.h"

namespace ado_com {
namespace {

const char16_t kOutOfMemory[] = u"Not enough memory to complete the operation.";

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
    try {
        // Open with no string opens what ConnectionString was set to.
        std::u16string text(BstrText(connectionString));
        return OpenFile(text.empty() ? connectionString_ : text);
    } catch (const std::bad_alloc&) {
        try {
            return Fail(E_OUTOFMEMORY, kOutOfMemory);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
}

HRESULT ConnectionObject::OpenFile(const std::u16string& text) {
    ado::ConnectionSettings settings;
    std::string why;
    if (!ado::ParseConnectionString(text, &settings, &why)) return Fail(kOpenFailed, Widen(why));
    std::u16string error;
    std::shared_ptr<ado::DataSource> source = OpenAccessFile(settings.database, &error);
    if (!source) return Fail(kOpenFailed, error);
    if (!settings.provider.empty()) provider_ = settings.provider;
    return OpenSource(std::move(source), text);
}

HRESULT ConnectionObject::OpenSource(std::shared_ptr<ado::DataSource> source, std::u16string connectionString) {
    if (IsOpen()) return Fail(kObjectOpen, AdoErrorText(kObjectOpen));
    source_ = std::move(source);
    connectionString_ = std::move(connectionString);
    errors_->records.clear();
    return S_OK;
}

HRESULT ConnectionObject::get_State(long* state) { return GiveLong(IsOpen() ? 1 : 0, state); }  // adStateOpen : adStateClosed

HRESULT ConnectionObject::get_Errors(Errors** errors) {
    if (!errors) return E_POINTER;
    *errors = new (std::nothrow) ErrorsObject(errors_);
    return *errors ? S_OK : Refuse(E_OUTOFMEMORY);
}

HRESULT ConnectionObject::Execute(BSTR commandText, VARIANT* recordsAffected, long options, Recordset** recordset) {
    if (!recordset) return E_POINTER;
    *recordset = nullptr;
    if (!IsOpen()) return Refuse(kObjectClosed);
    ComPtr<RecordsetObject> rows(new (std::nothrow) RecordsetObject());
    if (!rows) return Refuse(E_OUTOFMEMORY);
    HRESULT hr = rows->OpenCommand(*this, std::u16string(BstrText(commandText)), options);
    if (FAILED(hr)) return hr;
    if (recordsAffected && recordsAffected->vt != VT_ERROR) {
        VariantClear(recordsAffected);
        recordsAffected->vt = VT_I4;
        recordsAffected->lVal = -1;  // a SELECT changes no records
    }
    *recordset = rows.release();
    return S_OK;
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
    if (location != 2 && location != 3) return Refuse(kInvalidArgument);  // adUseServer, adUseClient
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

HRESULT ConnectionObject::Query(std::u16string_view sql, ado::ResultSet* out) {
    if (!IsOpen()) return Fail(kInvalidConnection, AdoErrorText(kInvalidConnection));
    ado::SqlError why;
    try {
        if (!ado::RunSql(*source_, sql, out, &why)) {
            FaultCode code = CodeOf(why.fault);
            return Fail(code.hr, Widen(why.text), code.sqlState, code.native);
        }
    } catch (const std::bad_alloc&) {
        try {
            return Fail(E_OUTOFMEMORY, kOutOfMemory);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    } catch (const std::exception& e) {
        return Fail(E_FAIL, u"The database file could not be read: " + Widen(e.what()));
    }
    errors_->records.clear();
    return S_OK;
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
