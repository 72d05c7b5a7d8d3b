#pragma once
// ADODB.Recordset: the rows of one SELECT (or schema rowset), read-only,
// with ADO's cursor moves and the view over them (filter, sort, find,
// bookmarks, pages). An open record set holds its connection, so the
// connection lives as long as the rows do; closing the connection still
// closes them, as ADO's does.
#include <functional>
#include <string>
#include <vector>

#include "ado/com/ado_enums.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"
#include "ado/com/open_rows.h"
#include "ado/schema.h"

namespace ado_com {

class ConnectionObject;

// How a record set's rows are made, so that Requery can make them again.
using RowsMaker = std::function<HRESULT(ConnectionObject&, jetsql::ResultSet*)>;

// The rows of a statement with these parameter values.
RowsMaker StatementRows(std::u16string sql, jetsql::Parameters parameters);

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
    HRESULT STDMETHODCALLTYPE get_MaxRecords(long* rows) override;
    HRESULT STDMETHODCALLTYPE put_MaxRecords(long rows) override;
    HRESULT STDMETHODCALLTYPE get_ActiveCommand(IDispatch** origin) override;

    // The view (recordset_view.cpp).
    HRESULT STDMETHODCALLTYPE get_Filter(VARIANT* criteria) override;
    HRESULT STDMETHODCALLTYPE put_Filter(VARIANT criteria) override;
    HRESULT STDMETHODCALLTYPE get_Sort(BSTR* criteria) override;
    HRESULT STDMETHODCALLTYPE put_Sort(BSTR criteria) override;
    HRESULT STDMETHODCALLTYPE Find(BSTR criteria, long skipRecords, long searchDirection, VARIANT start) override;
    HRESULT STDMETHODCALLTYPE get_Bookmark(VARIANT* mark) override;
    HRESULT STDMETHODCALLTYPE put_Bookmark(VARIANT mark) override;
    HRESULT STDMETHODCALLTYPE CompareBookmarks(VARIANT first, VARIANT second, long* order) override;
    HRESULT STDMETHODCALLTYPE get_AbsolutePosition(long* position) override;
    HRESULT STDMETHODCALLTYPE put_AbsolutePosition(long position) override;
    HRESULT STDMETHODCALLTYPE get_PageSize(long* rows) override;
    HRESULT STDMETHODCALLTYPE put_PageSize(long rows) override;
    HRESULT STDMETHODCALLTYPE get_PageCount(long* pages) override;
    HRESULT STDMETHODCALLTYPE get_AbsolutePage(long* page) override;
    HRESULT STDMETHODCALLTYPE put_AbsolutePage(long page) override;
    HRESULT STDMETHODCALLTYPE Supports(long cursorOptions, VARIANT_BOOL* supported) override;
    HRESULT STDMETHODCALLTYPE Clone(long lockType, Recordset** copy) override;
    HRESULT STDMETHODCALLTYPE Requery(long options) override;
    HRESULT STDMETHODCALLTYPE Resync(long affectRecords, long resyncValues) override;
    HRESULT STDMETHODCALLTYPE GetString(long stringFormat, long numRows, VARIANT columnDelimiter, VARIANT rowDelimiter,
                                        VARIANT nullExpr, BSTR* text) override;

    // What a read-only Jet record set refuses (recordset_view.cpp).
    HRESULT STDMETHODCALLTYPE Delete(long affectRecords) override;
    HRESULT STDMETHODCALLTYPE UpdateBatch(long affectRecords) override;
    HRESULT STDMETHODCALLTYPE CancelBatch(long affectRecords) override;
    HRESULT STDMETHODCALLTYPE Seek(VARIANT keyValues, long seekOption) override;
    HRESULT STDMETHODCALLTYPE get_Index(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE put_Index(BSTR name) override;
    HRESULT STDMETHODCALLTYPE NextRecordset(VARIANT* recordsAffected, Recordset** next) override;
    HRESULT STDMETHODCALLTYPE Save(VARIANT destination, long persistFormat) override;

    // Opens the rows of a command, as Connection.Execute and Command.Execute
    // give them: forward-only, or static on a connection whose cursors are the
    // client's. source: the command text; command: the Command, if any.
    HRESULT OpenCommand(ConnectionObject& connection, RowsMaker make, std::u16string source,
                        ComPtr<IDispatch> command = {});
    // Opens a schema rowset (OpenSchema), static.
    HRESULT OpenSchemaRows(ConnectionObject& connection, ado::Schema schema, std::vector<jet::Value> restrictions,
                           std::u16string name);

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Recordset"; }

private:
    bool IsOpen() const { return Rows().cursor != nullptr; }
    OpenRows& Rows() const { return *slot_->current; }
    ado::Cursor& Cursor() const { return *Rows().cursor; }
    bool ForwardOnly() const { return cursorType_ == adOpenForwardOnly; }
    HRESULT OpenWith(ComPtr<ConnectionObject> connection, RowsMaker make, std::u16string source);
    HRESULT OpenCommandSource(IUnknown* origin, const VARIANT& activeConnection, long options);
    // The rows make gives on connection, cut to MaxRecords.
    HRESULT MakeRows(ConnectionObject& connection, const RowsMaker& make, jetsql::ResultSet* out) const;
    // Takes a cursor over rows already made as this record set's opening.
    void Show(ComPtr<ConnectionObject> connection, std::unique_ptr<ado::Cursor> cursor);
    HRESULT Moved(bool ok) const;
    HRESULT Backward() const;    // refusal of a backward move on a forward-only cursor
    HRESULT NoBookmarks() const;  // refusal of bookmarks on a forward-only cursor
    // Moves to a Start argument, as Move and GetRows take it.
    HRESULT GoToStart(const VARIANT& start);
    // A place in the view (AbsolutePosition, PageCount, AbsolutePage), which a
    // forward-only cursor does not know (adPosUnknown); and moving to one,
    // which it refuses saying `refusal`.
    HRESULT ReadPlace(long (ado::Cursor::*read)() const, long* out) const;
    HRESULT MoveToPlace(bool (ado::Cursor::*move)(long), long place, const char16_t* refusal);
    // Raises an engine refusal of a view operation.
    HRESULT RefuseView(const ado::RecordsetError& why) const;
    // What a write or a feature Jet's record sets lack refuses with, saying what.
    HRESULT Unavailable(const char16_t* text) const;

    SharedSlot slot_;
    ComPtr<ConnectionObject> connection_;  // while open
    ComPtr<IDispatch> command_;            // the Command the rows came from, while open
    RowsMaker make_;                       // while open
    UniqueVariant nextConnection_;         // ActiveConnection set before Open: an object or a string
    UniqueVariant filter_;                 // what Filter was set to (Empty: adFilterNone)
    std::u16string source_;
    long cursorType_ = adOpenForwardOnly;
    long lockType_ = adLockReadOnly;
    long cursorLocation_ = adUseServer;
    long pageSize_ = 10;
    long maxRecords_ = 0;  // no limit
};

}  // namespace ado_com
