#pragma once
// ADODB.Recordset: the rows of one SELECT, read-only, with ADO's cursor moves.
#include "ado/com/library.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/open_rows.h"

namespace ado_com {

class ConnectionObject;

class RecordsetObject : public DispatchObject<_Recordset, &IID__Recordset> {
public:
    RecordsetObject();

    HRESULT STDMETHODCALLTYPE get_Fields(Fields** fields) override;
    HRESULT STDMETHODCALLTYPE Open(VARIANT source, VARIANT activeConnection, long cursorType, long lockType,
                                   long options) override;
    HRESULT STDMETHODCALLTYPE get_State(long* state) override;
    HRESULT STDMETHODCALLTYPE get_RecordCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL* eof) override;
    HRESULT STDMETHODCALLTYPE get_BOF(VARIANT_BOOL* bof) override;
    HRESULT STDMETHODCALLTYPE MoveFirst() override;
    HRESULT STDMETHODCALLTYPE MoveLast() override;
    HRESULT STDMETHODCALLTYPE MoveNext() override;
    HRESULT STDMETHODCALLTYPE MovePrevious() override;
    HRESULT STDMETHODCALLTYPE Move(long numRecords, VARIANT start) override;
    HRESULT STDMETHODCALLTYPE AddNew(VARIANT fieldList, VARIANT values) override;
    HRESULT STDMETHODCALLTYPE Update(VARIANT fields, VARIANT values) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE GetRows(long rows, VARIANT start, VARIANT fields, VARIANT* result) override;

    // Opens the rows of sql on connection (Connection.Execute and Open).
    HRESULT OpenOn(ConnectionObject& connection, std::u16string_view sql);

private:
    bool IsOpen() const { return rows_->cursor != nullptr; }
    HRESULT Moved(bool ok) const;

    SharedRows rows_;
};

}  // namespace ado_com
