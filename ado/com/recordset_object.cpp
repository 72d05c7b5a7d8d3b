#include "ado/com/recordset_object.h"

#include <new>
#include <vector>

#include "ado/com/ado_errors.h"
#include "ado/com/connection_object.h"
#include "ado/com/field_objects.h"
#include "ado/com/owners.h"
#include "ado/com/value_variant.h"
#include "ado/jet_text.h"

namespace ado_com {
namespace {

bool KnownCursorType(long t) { return t >= -1 && t <= 3; }  // adOpenUnspecified .. adOpenStatic
bool KnownLockType(long t) { return t >= -1 && t <= 4; }    // adLockUnspecified .. adLockBatchOptimistic

bool NamesTable(long options) {
    long kind = options == -1 ? 0 : (options & 0x20F);  // the CommandTypeEnum bits
    return kind == 2 || kind == 0x200;                     // adCmdTable, adCmdTableDirect
}

// The connection a record set opens on: this component's connection object,
// or a connection string, for which a connection of its own is opened.
HRESULT ResolveConnection(const VARIANT& arg, ComPtr<ConnectionObject>* out) {
    UniqueVariant v;
    if (IsMissing(arg) || FAILED(ArgumentValue(arg, v.Get()))) return kInvalidConnection;
    if ((*v).vt == VT_UNKNOWN || (*v).vt == VT_DISPATCH) {
        *out = ConnectionObject::FromObject((*v).punkVal);
        return *out ? S_OK : kInvalidConnection;
    }
    if ((*v).vt != VT_BSTR) return kInvalidConnection;
    ComPtr<ConnectionObject> own = ComPtr<ConnectionObject>::Attach(new (std::nothrow) ConnectionObject());
    if (!own) return E_OUTOFMEMORY;
    HRESULT hr = own->Open((*v).bstrVal, nullptr, nullptr, -1);
    if (FAILED(hr)) return hr;
    *out = std::move(own);
    return S_OK;
}

// GetRows' and Move's Start: the current row, or the bookmarks adBookmarkFirst/Last.
HRESULT ApplyStart(const VARIANT& start, ado::Cursor& cursor) {
    if (IsMissing(start)) return S_OK;
    long mark = 0;
    if (FAILED(ArgumentLong(start, &mark))) return kInvalidArgument;
    switch (mark) {
    case 0: return S_OK;
    case 1: return cursor.MoveFirst() ? S_OK : kNoCurrentRecord;
    case 2: return cursor.MoveLast() ? S_OK : kNoCurrentRecord;
    default: return kInvalidArgument;
    }
}

// GetRows' Fields: all, one field by name or position, or an array of those.
HRESULT SelectColumns(const VARIANT& fields, const ado::Cursor& cursor, std::vector<std::size_t>* out) {
    const auto& columns = cursor.Columns();
    if (IsMissing(fields)) {
        for (std::size_t i = 0; i < columns.size(); ++i) out->push_back(i);
        return S_OK;
    }
    UniqueVariant v;
    if (FAILED(ArgumentValue(fields, v.Get()))) return kInvalidArgument;
    auto one = [&](const VARIANT& item) -> HRESULT {
        UniqueVariant name;
        if (FAILED(ArgumentValue(item, name.Get()))) return kInvalidArgument;
        if ((*name).vt == VT_BSTR) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (ado::JetTextEqual(columns[i].name, BstrText((*name).bstrVal))) {
                    out->push_back(i);
                    return S_OK;
                }
            }
            return kItemNotFound;
        }
        long position = 0;
        if (FAILED(ArgumentLong(*name, &position)) || position < 0 || std::size_t(position) >= columns.size())
            return kItemNotFound;
        out->push_back(std::size_t(position));
        return S_OK;
    };
    if ((*v).vt != (VT_ARRAY | VT_VARIANT)) return one(*v);
    SAFEARRAY* list = (*v).parray;
    LONG low = 0, high = -1;
    if (SafeArrayGetDim(list) != 1 || FAILED(SafeArrayGetLBound(list, 1, &low)) ||
        FAILED(SafeArrayGetUBound(list, 1, &high)))
        return kInvalidArgument;
    for (LONG i = low; i <= high; ++i) {
        UniqueVariant item;
        if (FAILED(SafeArrayGetElement(list, &i, item.Get()))) return kInvalidArgument;
        HRESULT hr = one(*item);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// ADO's layout: the first index is the field, the second the row.
HRESULT RowsToArray(const std::vector<const ado::Row*>& rows, const std::vector<std::size_t>& picked,
                    const std::vector<jet::Column>& columns, VARIANT* out) {
    SAFEARRAYBOUND bounds[2] = {{ULONG(picked.size()), 0}, {ULONG(rows.size()), 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!array) return E_OUTOFMEMORY;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t f = 0; f < picked.size(); ++f) {
            UniqueVariant cell;
            std::size_t c = picked[f];
            HRESULT hr = c < rows[r]->size() ? ValueToVariant((*rows[r])[c], columns[c].type, cell.Get()) : S_OK;
            LONG at[2] = {LONG(f), LONG(r)};
            if (SUCCEEDED(hr)) hr = SafeArrayPutElement(array, at, cell.Get());
            if (FAILED(hr)) {
                SafeArrayDestroy(array);
                return hr;
            }
        }
    }
    out->vt = VT_ARRAY | VT_VARIANT;
    out->parray = array;
    return S_OK;
}

}  // namespace

RecordsetObject::RecordsetObject() : rows_(std::make_shared<OpenRows>()) {}

HRESULT RecordsetObject::get_Fields(Fields** fields) {
    if (!fields) return E_POINTER;
    *fields = new (std::nothrow) FieldsObject(rows_);
    return *fields ? S_OK : E_OUTOFMEMORY;
}

HRESULT RecordsetObject::Open(VARIANT source, VARIANT activeConnection, long cursorType, long lockType,
                              long options) {
    if (IsOpen()) return kObjectOpen;
    ComPtr<ConnectionObject> connection;
    HRESULT hr = ResolveConnection(activeConnection, &connection);
    if (FAILED(hr)) return hr;
    if (!connection->IsOpen()) return connection->Fail(kInvalidConnection, u"The connection is closed.");
    if (!KnownCursorType(cursorType) || !KnownLockType(lockType))
        return connection->Fail(kInvalidArgument, u"Unknown cursor type or lock type.");
    std::u16string sql;
    if (FAILED(ArgumentText(source, &sql)) || sql.empty())
        return connection->Fail(kInvalidArgument, u"The record set has no source statement.");
    if (NamesTable(options)) {
        if (sql.find(u']') != std::u16string::npos) return connection->Fail(kCommandFailed, u"Bad table name.");
        sql = u"SELECT * FROM [" + sql + u"]";
    }
    return OpenOn(*connection.Get(), sql);
}

HRESULT RecordsetObject::OpenOn(ConnectionObject& connection, std::u16string_view sql) {
    if (IsOpen()) return kObjectOpen;
    try {
        ado::ResultSet result;
        HRESULT hr = connection.Query(sql, &result);
        if (FAILED(hr)) return hr;
        auto rows = std::make_shared<OpenRows>();
        rows->cursor = std::make_unique<ado::Cursor>(std::move(result));
        connection.Track(rows);
        rows_ = std::move(rows);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT RecordsetObject::get_State(long* state) {
    if (!state) return E_POINTER;
    *state = IsOpen() ? 1 : 0;
    return S_OK;
}

HRESULT RecordsetObject::get_RecordCount(long* count) {
    if (!count) return E_POINTER;
    if (!IsOpen()) return kObjectClosed;
    *count = rows_->cursor->Count();
    return S_OK;
}

HRESULT RecordsetObject::get_EOF(VARIANT_BOOL* eof) {
    if (!eof) return E_POINTER;
    if (!IsOpen()) return kObjectClosed;
    *eof = rows_->cursor->Eof() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT RecordsetObject::get_BOF(VARIANT_BOOL* bof) {
    if (!bof) return E_POINTER;
    if (!IsOpen()) return kObjectClosed;
    *bof = rows_->cursor->Bof() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT RecordsetObject::Moved(bool ok) const { return ok ? S_OK : kNoCurrentRecord; }

HRESULT RecordsetObject::MoveFirst() { return IsOpen() ? Moved(rows_->cursor->MoveFirst()) : kObjectClosed; }
HRESULT RecordsetObject::MoveLast() { return IsOpen() ? Moved(rows_->cursor->MoveLast()) : kObjectClosed; }
HRESULT RecordsetObject::MoveNext() { return IsOpen() ? Moved(rows_->cursor->MoveNext()) : kObjectClosed; }
HRESULT RecordsetObject::MovePrevious() { return IsOpen() ? Moved(rows_->cursor->MovePrevious()) : kObjectClosed; }

HRESULT RecordsetObject::Move(long numRecords, VARIANT start) {
    if (!IsOpen()) return kObjectClosed;
    HRESULT hr = ApplyStart(start, *rows_->cursor);
    return FAILED(hr) ? hr : Moved(rows_->cursor->Move(numRecords));
}

HRESULT RecordsetObject::AddNew(VARIANT, VARIANT) { return IsOpen() ? kNotUpdatable : kObjectClosed; }
HRESULT RecordsetObject::Update(VARIANT, VARIANT) { return IsOpen() ? kNotUpdatable : kObjectClosed; }

HRESULT RecordsetObject::Close() {
    if (!IsOpen()) return kObjectClosed;
    rows_->cursor.reset();
    rows_ = std::make_shared<OpenRows>();
    return S_OK;
}

HRESULT RecordsetObject::GetRows(long rows, VARIANT start, VARIANT fields, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    if (!IsOpen()) return kObjectClosed;
    ado::Cursor& cursor = *rows_->cursor;
    if (rows < -1) return kInvalidArgument;
    std::vector<std::size_t> picked;
    HRESULT hr = SelectColumns(fields, cursor, &picked);
    if (SUCCEEDED(hr)) hr = ApplyStart(start, cursor);
    if (FAILED(hr)) return hr;
    std::vector<const ado::Row*> taken;
    if (!cursor.TakeRows(rows, &taken)) return kNoCurrentRecord;
    return RowsToArray(taken, picked, cursor.Columns(), result);
}

}  // namespace ado_com
