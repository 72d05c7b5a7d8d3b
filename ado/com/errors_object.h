#pragma once
// A connection's Errors collection (a live view of the errors of its last
// operation) and the Error objects it hands out (each a copy of one entry).
#include "ado/com/failure.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"

namespace ado_com {

class ErrorObject : public DispatchObject<Error, &IID_Error> {
public:
    explicit ErrorObject(ErrorRecord record) : record_(std::move(record)) {}

    HRESULT STDMETHODCALLTYPE get_Description(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_Number(long* number) override;
    HRESULT STDMETHODCALLTYPE get_Source(BSTR* source) override;
    HRESULT STDMETHODCALLTYPE get_SQLState(BSTR* state) override;
    HRESULT STDMETHODCALLTYPE get_NativeError(long* code) override;
    HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* file) override;
    HRESULT STDMETHODCALLTYPE get_HelpContext(long* context) override;

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Error"; }

private:
    ErrorRecord record_;
};

class ErrorsObject : public DispatchObject<Errors, &IID_Errors> {
public:
    explicit ErrorsObject(SharedErrorLog log) : log_(std::move(log)) {}

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, VARIANT* item) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** items) override;

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Errors"; }

private:
    SharedErrorLog log_;
};

}  // namespace ado_com
