#include "ado/com/recordset_object.h"

#include <new>
#include <vector>

#include "ado/com/ado_enums.h"
#include "ado/com/failure.h"
#include "ado/com/bookmarks.h"
#include "ado/com/command_object.h"
#include "ado/com/command_text.h"
#include "ado/com/connection_object.h"
#include "ado/com/field_objects.h"
#include "ado/com/out_values.h"
#include "ado/com/arguments.h"
#include "ado/com/value_variant.h"
#include "jetsql/jet_text.h"

namespace ado_com {
namespace {

bool KnownLockType(long t) { return t >= adLockUnspecified && t <= adLockBatchOptimistic; }

// The connection a record set opens on: this component's connection object,
// or a connection string, for which a connection of its own is opened. An
// argument left out stands for `preset` (what ActiveConnection was set to).
HRESULT ResolveConnection(const VARIANT& arg, const VARIANT& preset, ComPtr<ConnectionObject>* out) {
    UniqueVariant v;
    if (FAILED(ArgumentValue(arg, v.put()))) return kInvalidConnection;
    const VARIANT& given = v.get().vt == VT_EMPTY || v.get().vt == VT_ERROR ? preset : v.get();
    if (given.vt == VT_UNKNOWN || given.vt == VT_DISPATCH) {
        *out = ConnectionObject::FromObject(given.punkVal);
        return *out ? S_OK : kInvalidConnection;
    }
    if (given.vt != VT_BSTR) return kInvalidConnection;
    return Guarded([&]() -> HRESULT {
        ComPtr<ConnectionObject> own = MakeObject<ConnectionObject>();
        HRESULT hr = own->Open(given.bstrVal, nullptr, nullptr, -1);
        if (FAILED(hr)) return hr;
        *out = std::move(own);
        return S_OK;
    }, [](HRESULT hr, const std::u16string&) { return hr; });
}

// GetRows' Fields: all, one field by name or position, or an array of those.
HRESULT SelectColumns(const VARIANT& fields, const ado::Cursor& cursor, std::vector<std::size_t>* out) {
    const auto& columns = cursor.Columns();
    if (IsMissing(fields)) {
        for (std::size_t i = 0; i < columns.size(); ++i) out->push_back(i);
        return S_OK;
    }
    UniqueVariant v;
    if (FAILED(ArgumentValue(fields, v.put()))) return kInvalidArgument;
    auto one = [&](const VARIANT& item) -> HRESULT {
        std::size_t column = 0;
        const HRESULT hr = FieldPosition(item, cursor, &column);
        if (SUCCEEDED(hr)) out->push_back(column);
        return hr;
    };
    return (v.get().vt & VT_ARRAY) ? ForEachElement(v.get(), one) : one(v.get());
}

// ADO's layout: the first index is the field, the second the row.
HRESULT RowsToArray(const std::vector<const jetsql::Row*>& rows, const std::vector<std::size_t>& picked,
                    const std::vector<jetsql::ResultColumn>& columns, VARIANT* out) {
    SAFEARRAYBOUND bounds[2] = {{ULONG(picked.size()), 0}, {ULONG(rows.size()), 0}};
    win::UniqueSafeArray array(SafeArrayCreate(VT_VARIANT, 2, bounds));
    if (!array) return E_OUTOFMEMORY;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t f = 0; f < picked.size(); ++f) {
            UniqueVariant cell;
            std::size_t c = picked[f];
            HRESULT hr = c < rows[r]->size() ? ValueToVariant((*rows[r])[c], columns[c], cell.put()) : S_OK;
            LONG at[2] = {LONG(f), LONG(r)};
            if (SUCCEEDED(hr)) hr = SafeArrayPutElement(array.get(), at, &cell.get());
            if (FAILED(hr)) return hr;
        }
    }
    out->vt = VT_ARRAY | VT_VARIANT;
    out->parray = array.release();
    return S_OK;
}

}  // namespace

RowsMaker StatementRows(std::u16string sql, jetsql::Parameters parameters) {
    return [sql = std::move(sql), parameters = std::move(parameters)](ConnectionObject& connection,
                                                                      jetsql::ResultSet* out) {
        return connection.Query(sql, parameters, out);
    };
}

RecordsetObject::RecordsetObject() : slot_(std::make_shared<RowsSlot>()) {}

RecordsetObject::~RecordsetObject() = default;

HRESULT RecordsetObject::get_Fields(Fields** fields) {
    if (!fields) return E_POINTER;
    *fields = nullptr;
    return Guard([&]() -> HRESULT {
        *fields = MakeObject<FieldsObject>(slot_).release();
        return S_OK;
    });
}

HRESULT RecordsetObject::Open(VARIANT source, VARIANT activeConnection, long cursorType, long lockType,
                              long options) {
    if (IsOpen()) return Refuse(kObjectOpen);
    if (cursorType < adOpenUnspecified || cursorType > adOpenStatic || !KnownLockType(lockType))
        return Refuse(kInvalidArgument);
    // Jet gives a keyset cursor when a dynamic one is asked for; the client's cursors are static.
    if (cursorType != adOpenUnspecified) cursorType_ = cursorType == adOpenDynamic ? adOpenKeyset : cursorType;
    if (lockType != adLockUnspecified) lockType_ = lockType;
    if (cursorLocation_ == adUseClient) cursorType_ = adOpenStatic;
    UniqueVariant given;
    if (SUCCEEDED(ArgumentValue(source, given.put())) &&
        (given.get().vt == VT_DISPATCH || given.get().vt == VT_UNKNOWN) && given.get().punkVal)
        return OpenCommandSource(given.get().punkVal, activeConnection, options);
    // Left out, they are what ActiveConnection and Source were set to.
    ComPtr<ConnectionObject> connection;
    HRESULT hr = ResolveConnection(activeConnection, nextConnection_.get(), &connection);
    if (FAILED(hr)) return hr == kInvalidConnection ? Refuse(hr) : hr;  // a connection that failed to open raised already
    if (!connection->IsOpen()) return connection->Fail(kInvalidConnection, AdoErrorText(kInvalidConnection));
    std::u16string text;
    HRESULT named = ArgumentText(source, &text);
    if (named == DISP_E_PARAMNOTFOUND || (SUCCEEDED(named) && text.empty())) {
        text = source_;
        named = S_OK;
    }
    if (FAILED(named) || text.empty())
        return connection->Fail(kInvalidArgument, u"The record set has no source statement.");
    CommandPlan plan;
    std::u16string why;
    hr = PlanCommand(text, -1, options, &plan, &why);
    if (SUCCEEDED(hr) && plan.noRecords) hr = kInvalidArgument, why = u"Open gives rows: adExecuteNoRecords is refused.";
    if (FAILED(hr)) return connection->Fail(hr, why);
    command_.reset();
    return OpenWith(std::move(connection), StatementRows(std::move(plan.sql), {}), std::move(text));
}

// The rows of a Command: its connection, text and parameter values.
HRESULT RecordsetObject::OpenCommandSource(IUnknown* origin, const VARIANT& activeConnection, long options) {
    ComPtr<CommandObject> command = CommandObject::FromObject(origin);
    if (!command) return Refuse(kInvalidArgument, u"The source object is not a Command.");
    if (!IsMissing(activeConnection))
        return Refuse(kInvalidArgument, u"ActiveConnection must be left out when the source is a Command: the rows "
                                        u"are read on the command's connection.");
    CommandRun run;
    HRESULT hr = command->Prepare(nullptr, options, &run);
    if (FAILED(hr)) return hr;
    if (run.plan.noRecords)
        return Refuse(kInvalidArgument, u"Open gives rows: adExecuteNoRecords is refused.");
    command_ = ComPtr<IDispatch>::share(static_cast<Command*>(command.get()));
    return OpenWith(std::move(run.connection), command->CurrentRows(options), std::move(run.text));
}

HRESULT RecordsetObject::OpenCommand(ConnectionObject& connection, RowsMaker make, std::u16string source,
                                     ComPtr<IDispatch> command) {
    if (IsOpen()) return Refuse(kObjectOpen);
    cursorLocation_ = connection.CursorLocation();
    cursorType_ = cursorLocation_ == adUseClient ? adOpenStatic : adOpenForwardOnly;
    lockType_ = adLockReadOnly;
    command_ = std::move(command);
    return OpenWith(ComPtr<ConnectionObject>::share(&connection), std::move(make), std::move(source));
}

HRESULT RecordsetObject::OpenSchemaRows(ConnectionObject& connection, ado::Schema schema,
                                        std::vector<jet::Value> restrictions, std::u16string name) {
    if (IsOpen()) return Refuse(kObjectOpen);
    cursorType_ = adOpenStatic;
    lockType_ = adLockReadOnly;
    RowsMaker make = [schema, restrictions = std::move(restrictions)](ConnectionObject& on, jetsql::ResultSet* out) {
        return on.Schema(schema, restrictions, out);
    };
    return OpenWith(ComPtr<ConnectionObject>::share(&connection), std::move(make), std::move(name));
}

HRESULT RecordsetObject::MakeRows(ConnectionObject& connection, const RowsMaker& make, jetsql::ResultSet* out) const {
    HRESULT hr = make(connection, out);
    if (SUCCEEDED(hr) && maxRecords_ > 0 && out->rows.size() > std::size_t(maxRecords_))
        out->rows.resize(std::size_t(maxRecords_));
    return hr;
}

HRESULT RecordsetObject::OpenWith(ComPtr<ConnectionObject> connection, RowsMaker make, std::u16string source) {
    ConnectionObject& on = *connection.get();  // reports the failure once connection has moved on
    return on.Reported([&]() -> HRESULT {
        jetsql::ResultSet result;
        HRESULT hr = MakeRows(*connection.get(), make, &result);
        if (FAILED(hr)) return hr;
        auto cursor = std::make_unique<ado::Cursor>(std::move(result));
        cursor->SetPageSize(pageSize_);
        Show(std::move(connection), std::move(cursor));
        make_ = std::move(make);
        source_ = std::move(source);
        filter_.reset();
        return S_OK;
    });
}

void RecordsetObject::Show(ComPtr<ConnectionObject> connection, std::unique_ptr<ado::Cursor> cursor) {
    auto rows = std::make_shared<OpenRows>();
    rows->cursor = std::move(cursor);
    connection->Track(rows);
    slot_->current = std::move(rows);
    connection_ = std::move(connection);
}

HRESULT RecordsetObject::get_State(long* state) { return GiveLong(IsOpen() ? adStateOpen : adStateClosed, state); }

// A forward-only cursor does not know its count, as ADO's does not.
HRESULT RecordsetObject::get_RecordCount(long* count) {
    if (!count) return E_POINTER;
    if (!IsOpen()) return Refuse(kObjectClosed);
    *count = ForwardOnly() ? -1 : Cursor().Count();
    return S_OK;
}

HRESULT RecordsetObject::get_EOF(VARIANT_BOOL* eof) {
    if (!eof) return E_POINTER;
    if (!IsOpen()) return Refuse(kObjectClosed);
    *eof = Cursor().Eof() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT RecordsetObject::get_BOF(VARIANT_BOOL* bof) {
    if (!bof) return E_POINTER;
    if (!IsOpen()) return Refuse(kObjectClosed);
    *bof = Cursor().Bof() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT RecordsetObject::Moved(bool ok) const { return ok ? S_OK : Refuse(kNoCurrentRecord); }
HRESULT RecordsetObject::Backward() const { return Refuse(kCantFetchBackwards); }

HRESULT RecordsetObject::NoBookmarks() const {
    return Refuse(kNotAvailable, u"Current Recordset does not support bookmarks. This may be a limitation of the "
                                 u"provider or of the selected cursortype.");
}

HRESULT RecordsetObject::MoveFirst() { return IsOpen() ? Moved(Cursor().MoveFirst()) : Refuse(kObjectClosed); }
HRESULT RecordsetObject::MoveNext() { return IsOpen() ? Moved(Cursor().MoveNext()) : Refuse(kObjectClosed); }

HRESULT RecordsetObject::MoveLast() {
    if (!IsOpen()) return Refuse(kObjectClosed);
    return ForwardOnly() ? Backward() : Moved(Cursor().MoveLast());
}

HRESULT RecordsetObject::MovePrevious() {
    if (!IsOpen()) return Refuse(kObjectClosed);
    return ForwardOnly() ? Backward() : Moved(Cursor().MovePrevious());
}

HRESULT RecordsetObject::GoToStart(const VARIANT& start) {
    StartPlace place;
    if (FAILED(ReadStart(start, &place))) return Refuse(kInvalidArgument);
    switch (place.kind) {
    case StartPlace::Current: return S_OK;
    case StartPlace::First: return Moved(Cursor().MoveFirst());
    case StartPlace::Last: return ForwardOnly() ? Backward() : Moved(Cursor().MoveLast());
    case StartPlace::Mark:
        if (ForwardOnly()) return NoBookmarks();
        return Cursor().MoveToBookmark(place.mark) ? S_OK : Refuse(kInvalidArgument);
    }
    return S_OK;
}

HRESULT RecordsetObject::Move(long numRecords, VARIANT start) {
    if (!IsOpen()) return Refuse(kObjectClosed);
    if (numRecords < 0 && ForwardOnly()) return Backward();
    HRESULT hr = GoToStart(start);
    return FAILED(hr) ? hr : Moved(Cursor().Move(numRecords));
}

HRESULT RecordsetObject::AddNew(VARIANT, VARIANT) { return Refuse(IsOpen() ? kNotUpdatable : kObjectClosed); }
HRESULT RecordsetObject::Update(VARIANT, VARIANT) { return Refuse(IsOpen() ? kNotUpdatable : kObjectClosed); }

HRESULT RecordsetObject::Close() {
    if (!IsOpen()) return Refuse(kObjectClosed);
    Rows().cursor.reset();
    slot_->current = std::make_shared<OpenRows>();
    connection_.reset();
    command_.reset();
    make_ = nullptr;
    return S_OK;
}

HRESULT RecordsetObject::GetRows(long rows, VARIANT start, VARIANT fields, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    if (!IsOpen()) return Refuse(kObjectClosed);
    ado::Cursor& cursor = Cursor();
    if (rows < -1) return Refuse(kInvalidArgument);
    std::vector<std::size_t> picked;
    HRESULT hr = SelectColumns(fields, cursor, &picked);
    if (FAILED(hr)) return Refuse(hr);
    hr = GoToStart(start);
    if (FAILED(hr)) return hr;
    std::vector<const jetsql::Row*> taken;
    if (!cursor.TakeRows(rows, &taken)) return Refuse(kNoCurrentRecord);
    hr = RowsToArray(taken, picked, cursor.Columns(), result);
    return FAILED(hr) ? Refuse(hr) : hr;
}

// The connection the rows are open on, else what was set for the next Open (Nothing when neither).
HRESULT RecordsetObject::get_ActiveConnection(VARIANT* connection) {
    if (!connection) return E_POINTER;
    VariantInit(connection);
    if (!IsOpen() && nextConnection_.get().vt != VT_EMPTY) return VariantCopy(connection, &nextConnection_.get());
    connection->vt = VT_DISPATCH;
    if (IsOpen()) connection->pdispVal = ComPtr<IDispatch>::share(static_cast<Connection*>(connection_.get())).release();
    return S_OK;
}

HRESULT RecordsetObject::put_ActiveConnection(VARIANT connection) {
    if (IsOpen()) return Refuse(kObjectOpen);
    return FAILED(ArgumentValue(connection, nextConnection_.put())) ? Refuse(kInvalidArgument) : S_OK;
}

HRESULT RecordsetObject::putref_ActiveConnection(IDispatch* connection) {
    if (IsOpen()) return Refuse(kObjectOpen);
    VARIANT& next = *nextConnection_.put();
    next.vt = VT_DISPATCH;
    next.pdispVal = ComPtr<IDispatch>::share(connection).release();
    return S_OK;
}

HRESULT RecordsetObject::get_CursorType(long* type) { return GiveLong(cursorType_, type); }

HRESULT RecordsetObject::put_CursorType(long type) {
    return SetWhileClosed(IsOpen(), cursorType_, type, type >= adOpenForwardOnly && type <= adOpenStatic);
}

HRESULT RecordsetObject::get_LockType(long* type) { return GiveLong(lockType_, type); }

HRESULT RecordsetObject::put_LockType(long type) {
    return SetWhileClosed(IsOpen(), lockType_, type, type >= adLockReadOnly && type <= adLockBatchOptimistic);
}

HRESULT RecordsetObject::get_Source(BSTR* text) { return GiveText(source_, text); }

HRESULT RecordsetObject::put_Source(BSTR text) {
    return SetWhileClosed(IsOpen(), source_, std::u16string(BstrText(text)));
}

HRESULT RecordsetObject::get_MaxRecords(long* rows) { return GiveLong(maxRecords_, rows); }

HRESULT RecordsetObject::put_MaxRecords(long rows) { return SetWhileClosed(IsOpen(), maxRecords_, rows, rows >= 0); }

HRESULT RecordsetObject::get_ActiveCommand(IDispatch** origin) {
    if (!origin) return E_POINTER;
    *origin = ComPtr<IDispatch>(command_).release();
    return S_OK;
}

HRESULT RecordsetObject::get_CursorLocation(long* location) { return GiveLong(cursorLocation_, location); }

HRESULT RecordsetObject::put_CursorLocation(long location) {
    return SetWhileClosed(IsOpen(), cursorLocation_, location, location == adUseServer || location == adUseClient);
}

}  // namespace ado_com
