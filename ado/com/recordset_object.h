#pragma once
// ADODB.Recordset: the rows of one SELECT, read-only, with ADO's cursor moves.
// An open record set holds its connection, so the connection lives as long
// as the rows do; closing the connection still closes them, as ADO's does.
#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"
#include "ado/com/open_rows.h"

namespace ado_com {

class ConnectionObject;

class RecordsetObject : public DispatchObject<Recordset, &IID_Recordset> {
public:
    RecordsetObject();
    ~RecordsetObject() override;

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
    HRESULT STDMETHODCALLTYPE get_ActiveConnection(VARIANT* connection) override;
    HRESULT STDMETHODCALLTYPE put_ActiveConnection(VARIANT connection) override;
    HRESULT STDMETHODCALLTYPE putref_ActiveConnection(IDispatch* connection) override;
    HRESULT STDMETHODCALLTYPE get_CursorType(long* type) override;
    HRESULT STDMETHODCALLTYPE put_CursorType(long type) override;
    HRESULT STDMETHODCALLTYPE get_LockType(long* type) override;
    HRESULT STDMETHODCALLTYPE put_LockType(long type) override;
    HRESULT STDMETHODCALLTYPE get_Source(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE put_Source(BSTR text) override;
    HRESULT STDMETHODCALLTYPE get_CursorLocation(long* location) override;
    HRESULT STDMETHODCALLTYPE put_CursorLocation(long location) override;

    // Opens the rows of a command (a statement, or a table name with
    // adCmdTable) on connection, forward-only as Connection.Execute gives them.
    HRESULT OpenCommand(ConnectionObject& connection, std::u16string text, long options);

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Recordset"; }

private:
    bool IsOpen() const { return Rows().cursor != nullptr; }
    OpenRows& Rows() const { return *slot_->current; }
    bool ForwardOnly() const { return cursorType_ == 0; }
    HRESULT OpenOn(ComPtr<ConnectionObject> connection, std::u16string text, long options);
    HRESULT Moved(bool ok) const;
    HRESULT Backward() const;  // refusal of a backward move on a forward-only cursor

    SharedSlot slot_;
    ComPtr<ConnectionObject> connection_;  // while open
    UniqueVariant nextConnection_;         // ActiveConnection set before Open: an object or a string
    std::u16string source_;
    long cursorType_ = 0;  // adOpenForwardOnly
    long lockType_ = 1;    // adLockReadOnly
    long cursorLocation_ = 2;
};

}  // namespace ado_com
