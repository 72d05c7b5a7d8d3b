#pragma once
// An automation object for tests: its type information comes from a real type
// library, and the test scripts what each member answers and reads back every
// call it received.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testautomation {

// One argument as the object received it, in the caller's order.
struct ReceivedArg {
    VARTYPE vt = VT_EMPTY;  // as passed, VT_BYREF included
    VARIANT value;          // a dereferenced copy
    ReceivedArg();
    ReceivedArg(const ReceivedArg& other);
    ReceivedArg& operator=(const ReceivedArg& other);
    ~ReceivedArg();
    bool Missing() const { return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND; }
    std::wstring Text() const;  // the value coerced to text, "" when it has none
};

struct ReceivedCall {
    std::string object;   // the label the test gave the object
    std::string member;   // the member's name from the type information
    DISPID memberId = 0;
    WORD flags = 0;
    std::vector<DISPID> named;
    std::vector<ReceivedArg> args;
};

// What a member does: args are the rgvarg cells in the caller's order (they may
// be written through when VT_BYREF); result may be null.
using Handler = std::function<HRESULT(std::vector<VARIANT*>& args, VARIANT* result)>;

// Every call to every scripted object, in order of arrival.
std::vector<ReceivedCall>& CallLog();
// The labels of scripted objects in the order they were destroyed.
std::vector<std::string>& ReleaseLog();
// Scripted objects alive now: zero once every reference taken was given back.
long LiveObjects();

class ScriptedDispatch final : public IDispatch {
public:
    // info may be null: the object then gives no type information, though its
    // Invoke still answers by member id.
    static ScriptedDispatch* New(ITypeInfo* info, const std::string& label);

    // Member names are matched without regard to case.
    void On(const std::string& member, Handler handler);
    // Answers with a copy of value on every call; takes value over.
    void Returns(const std::string& member, VARIANT value);
    void ReturnsHresult(const std::string& member, HRESULT hr);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

    ULONG References() const { return references_; }
    ITypeInfo* TypeInfo() const { return info_; }

private:
    ScriptedDispatch(ITypeInfo* info, const std::string& label);
    ~ScriptedDispatch();
    std::string MemberName(DISPID id) const;

    LONG references_ = 1;
    ITypeInfo* info_;
    std::string label_;
    std::map<std::string, Handler> handlers_;
};

// A type library loaded from a file beside the test executable.
class TypeLibrary {
public:
    explicit TypeLibrary(const char* fileName);
    TypeLibrary(const TypeLibrary&) = delete;
    TypeLibrary& operator=(const TypeLibrary&) = delete;
    ~TypeLibrary();
    ITypeLib* Get() const { return library_; }
    // The type information of the named type (held by the library); null when absent.
    ITypeInfo* Info(const char* typeName);
    std::string Path() const { return path_; }

private:
    ITypeLib* library_ = nullptr;
    std::string path_;
    std::map<std::string, ITypeInfo*> infos_;
};

// A class object registered in this process for a CLSID, optionally with a
// ProgID mapped to it under HKEY_CURRENT_USER\Software\Classes; undone at the end.
class ClassRegistration {
public:
    using Maker = std::function<IUnknown*()>;  // null: creation fails
    ClassRegistration(const CLSID& clsid, Maker maker);
    ClassRegistration(const CLSID& clsid, const std::string& progId, Maker maker);
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
    ~ClassRegistration();
    bool Ok() const { return cookie_ != 0; }

private:
    void Register(const CLSID& clsid, Maker maker);
    DWORD cookie_ = 0;
    std::string progId_;
    bool machineKey_ = false;
};

std::wstring Widen(const std::string& ansi);
VARIANT MakeText(const wchar_t* text);
VARIANT MakeI4(LONG value);
VARIANT MakeR8(double value);
VARIANT MakeNull();

}  // namespace testautomation
