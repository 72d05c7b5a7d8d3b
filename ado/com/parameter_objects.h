#pragma once
// ADODB.Parameter (one value for a `?` of a command's statement, creatable on
// its own as ADO's is) and a command's Parameters collection.
#include <memory>
#include <string>
#include <vector>

#include "ado/com/ado_enums.h"
#include "ado/com/dispatch_object.h"
#include "ado/com/library.h"
#include "jetsql/query.h"

namespace ado_com {

// Answered only by this component's parameters.
extern const IID IID_ParameterImplementation;

class ParameterObject : public DispatchObject<Parameter, &IID_Parameter> {
public:
    ParameterObject() = default;

    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Type(long* type) override;
    HRESULT STDMETHODCALLTYPE put_Type(long type) override;
    HRESULT STDMETHODCALLTYPE get_Direction(long* direction) override;
    HRESULT STDMETHODCALLTYPE put_Direction(long direction) override;
    HRESULT STDMETHODCALLTYPE get_Size(long* size) override;
    HRESULT STDMETHODCALLTYPE put_Size(long size) override;
    HRESULT STDMETHODCALLTYPE get_Precision(unsigned char* digits) override;
    HRESULT STDMETHODCALLTYPE put_Precision(unsigned char digits) override;
    HRESULT STDMETHODCALLTYPE get_NumericScale(unsigned char* digits) override;
    HRESULT STDMETHODCALLTYPE put_NumericScale(unsigned char digits) override;
    HRESULT STDMETHODCALLTYPE get_Attributes(long* flags) override;
    HRESULT STDMETHODCALLTYPE put_Attributes(long flags) override;

    // CreateParameter's arguments, each checked as its property's put checks it.
    HRESULT Define(BSTR name, long type, long direction, long size, const VARIANT& value);
    // What Append checks: a type, a size for a variable-length one, a
    // precision for a decimal one (kInvalidParamInfo, raised).
    HRESULT CheckDefined() const;
    // The value for a `?`: given (Execute's array) or the Value, converted to
    // Type; refuses (raised) what cannot be converted or is not an input.
    HRESULT Bound(const VARIANT* given, jetsql::TypedValue* out) const;
    const std::u16string& Name() const { return name_; }

    // The implementation behind an object of this component, or null.
    static ComPtr<ParameterObject> FromObject(IUnknown* object);

    // A parameter the provider describes (Refresh): named Param1, Param2, ...
    static ComPtr<ParameterObject> Described(std::size_t position, const jetsql::ParameterInfo& info);

protected:
    bool IsPrivateInterface(REFIID iid) const override { return iid == IID_ParameterImplementation; }
    const char16_t* ErrorSource() const override { return u"ADODB.Parameter"; }

private:
    UniqueVariant value_;
    std::u16string name_;
    long type_ = 0;       // adEmpty
    long direction_ = adParamInput;
    long size_ = 0;
    unsigned char precision_ = 0, scale_ = 0;
    long attributes_ = 0;
};

// A command's parameters, shared by the command and the collections it hands out.
struct ParameterList {
    std::vector<ComPtr<ParameterObject>> items;
    bool settled = false;  // appended, deleted or refreshed: no automatic Refresh
};
using SharedParameters = std::shared_ptr<ParameterList>;

class CommandObject;

class ParametersObject : public DispatchObject<Parameters, &IID_Parameters> {
public:
    ParametersObject(ComPtr<CommandObject> command, SharedParameters list);
    ~ParametersObject() override;

    // Index: a parameter's name (without regard to case) or a 0-based position.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, Parameter** item) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE Append(IDispatch* object) override;
    HRESULT STDMETHODCALLTYPE Delete(VARIANT index) override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** items) override;

protected:
    const char16_t* ErrorSource() const override { return u"ADODB.Parameters"; }

private:
    // The position index names, or kItemNotFound / kInvalidArgument.
    HRESULT Find(const VARIANT& index, std::size_t* at);
    // As ADO does, a collection read before anything was appended asks the
    // provider for the statement's parameters; quietly, as nothing asked for it.
    void SettleQuietly();

    ComPtr<CommandObject> command_;
    SharedParameters list_;
};

}  // namespace ado_com
