#pragma once
// A connection's Errors collection: a live view of its last error.
#include "ado/com/library.h"
#include "ado/com/ado_errors.h"
#include "ado/com/dispatch_object.h"

namespace ado_com {

class ErrorsObject : public DispatchObject<Errors, &IID_Errors> {
public:
    explicit ErrorsObject(SharedErrorLog log) : log_(std::move(log)) {}

    HRESULT STDMETHODCALLTYPE get_Description(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

private:
    SharedErrorLog log_;
};

}  // namespace ado_com
