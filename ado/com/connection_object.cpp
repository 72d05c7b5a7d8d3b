#include "ado/com/connection_object.h"

#include <new>

#include "ado/com/access_file.h"
#include "ado/com/errors_object.h"
#include "ado/com/owners.h"
#include "ado/com/recordset_object.h"
#include "ado/connection_string.h"
#include "bridge/bstr.h"

namespace ado_com {

// {0B7C1B52-3B0E-4E1F-9E55-6C0D9A4F2C71}
const IID IID_ConnectionImplementation = {0x0b7c1b52, 0x3b0e, 0x4e1f, {0x9e, 0x55, 0x6c, 0x0d, 0x9a, 0x4f, 0x2c, 0x71}};

ConnectionObject::ConnectionObject() : errors_(std::make_shared<ErrorLog>()) {}

ConnectionObject::~ConnectionObject() { Close(); }

HRESULT ConnectionObject::get_ConnectionString(BSTR* text) {
    if (!text) return E_POINTER;
    *text = NewBstr(connectionString_);
    return *text ? S_OK : E_OUTOFMEMORY;
}

HRESULT ConnectionObject::Open(BSTR connectionString, BSTR, BSTR, long) {
    if (IsOpen()) return Fail(kObjectOpen, u"Operation is not allowed when the object is open.");
    std::u16string text(BstrText(connectionString));
    ado::ConnectionSettings settings;
    std::string why;
    try {
        if (!ado::ParseConnectionString(text, &settings, &why)) return Fail(kOpenFailed, Widen(why));
        std::u16string error;
        std::shared_ptr<ado::DataSource> source = OpenAccessFile(settings.database, &error);
        if (!source) return Fail(kOpenFailed, error);
        return OpenSource(std::move(source), std::move(text));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ConnectionObject::OpenSource(std::shared_ptr<ado::DataSource> source, std::u16string connectionString) {
    if (IsOpen()) return Fail(kObjectOpen, u"Operation is not allowed when the object is open.");
    source_ = std::move(source);
    connectionString_ = std::move(connectionString);
    errors_->text.clear();
    return S_OK;
}

HRESULT ConnectionObject::get_State(long* state) {
    if (!state) return E_POINTER;
    *state = IsOpen() ? 1 : 0;  // adStateOpen : adStateClosed
    return S_OK;
}

HRESULT ConnectionObject::get_Errors(Errors** errors) {
    if (!errors) return E_POINTER;
    *errors = new (std::nothrow) ErrorsObject(errors_);
    return *errors ? S_OK : E_OUTOFMEMORY;
}

HRESULT ConnectionObject::Execute(BSTR commandText, VARIANT* recordsAffected, long, _Recordset** recordset) {
    if (!recordset) return E_POINTER;
    *recordset = nullptr;
    if (!IsOpen()) return Fail(kObjectClosed, u"Operation is not allowed when the object is closed.");
    ComPtr<RecordsetObject> rows = ComPtr<RecordsetObject>::Attach(new (std::nothrow) RecordsetObject());
    if (!rows) return E_OUTOFMEMORY;
    HRESULT hr = rows->OpenOn(*this, BstrText(commandText));
    if (FAILED(hr)) return hr;
    if (recordsAffected && !(recordsAffected->vt == VT_ERROR)) {
        VariantClear(recordsAffected);
        recordsAffected->vt = VT_I4;
        recordsAffected->lVal = -1;  // a SELECT changes no records
    }
    *recordset = rows.Detach();
    return S_OK;
}

HRESULT ConnectionObject::Close() {
    if (!IsOpen()) return kObjectClosed;
    for (auto& weak : dependents_)
        if (SharedRows rows = weak.lock()) rows->cursor.reset();
    dependents_.clear();
    source_.reset();
    return S_OK;
}

HRESULT ConnectionObject::Query(std::u16string_view sql, ado::ResultSet* out) {
    if (!IsOpen()) return Fail(kInvalidConnection, u"The connection is closed.");
    std::string why;
    try {
        if (!ado::RunSql(*source_, sql, out, &why)) return Fail(kCommandFailed, Widen(why));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        return Fail(kCommandFailed, u"The database file could not be read: " + Widen(e.what()));
    }
    errors_->text.clear();
    return S_OK;
}

void ConnectionObject::Track(const SharedRows& rows) {
    for (auto it = dependents_.begin(); it != dependents_.end();)
        it = it->expired() ? dependents_.erase(it) : it + 1;
    dependents_.push_back(rows);
}

HRESULT ConnectionObject::Fail(HRESULT hr, std::u16string text) {
    errors_->text = std::move(text);
    return hr;
}

ComPtr<ConnectionObject> ConnectionObject::FromObject(IUnknown* object) {
    ComPtr<_Connection> found;
    if (!object || FAILED(object->QueryInterface(IID_ConnectionImplementation, found.PutVoid())) || !found)
        return {};
    return ComPtr<ConnectionObject>::Attach(static_cast<ConnectionObject*>(found.Detach()));
}

}  // namespace ado_com
