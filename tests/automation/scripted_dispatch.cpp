#include "tests/automation/scripted_dispatch.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace testautomation {
namespace {

long gLiveObjects = 0;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string Narrow(const wchar_t* wide) {
    if (!wide) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_ACP, 0, wide, -1, &s[0], n, nullptr, nullptr);
    return s;
}

std::string ExeDirectory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.rfind('\\'));
}

std::string GuidText(const CLSID& clsid) {
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    return Narrow(text);
}

class Factory final : public IClassFactory {
public:
    explicit Factory(ClassRegistration::Maker maker) : maker_(std::move(maker)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&references_);
        if (n == 0) delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IUnknown* made = maker_ ? maker_() : nullptr;
        if (!made) return E_OUTOFMEMORY;
        HRESULT hr = made->QueryInterface(iid, out);
        made->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    LONG references_ = 1;
    ClassRegistration::Maker maker_;
};

}  // namespace

ReceivedArg::ReceivedArg() { VariantInit(&value); }
ReceivedArg::ReceivedArg(const ReceivedArg& other) : vt(other.vt) {
    VariantInit(&value);
    VariantCopy(&value, const_cast<VARIANT*>(&other.value));
}
ReceivedArg& ReceivedArg::operator=(const ReceivedArg& other) {
    if (this != &other) {
        vt = other.vt;
        VariantClear(&value);
        VariantCopy(&value, const_cast<VARIANT*>(&other.value));
    }
    return *this;
}
ReceivedArg::~ReceivedArg() { VariantClear(&value); }

std::wstring ReceivedArg::Text() const {
    VARIANT copy;
    VariantInit(&copy);
    std::wstring text;
    if (SUCCEEDED(VariantChangeType(&copy, const_cast<VARIANT*>(&value), 0, VT_BSTR)) && copy.bstrVal)
        text.assign(copy.bstrVal, SysStringLen(copy.bstrVal));
    VariantClear(&copy);
    return text;
}

std::vector<ReceivedCall>& CallLog() {
    static std::vector<ReceivedCall> log;
    return log;
}

std::vector<std::string>& ReleaseLog() {
    static std::vector<std::string> log;
    return log;
}

long LiveObjects() { return gLiveObjects; }

ScriptedDispatch* ScriptedDispatch::New(ITypeInfo* info, const std::string& label) {
    return new ScriptedDispatch(info, label);
}

ScriptedDispatch::ScriptedDispatch(ITypeInfo* info, const std::string& label) : info_(info), label_(label) {
    if (info_) info_->AddRef();
    ++gLiveObjects;
}

ScriptedDispatch::~ScriptedDispatch() {
    handlers_.clear();  // handlers may hold references to other objects
    if (info_) info_->Release();
    --gLiveObjects;
    ReleaseLog().push_back(label_);
}

void ScriptedDispatch::On(const std::string& member, Handler handler) { handlers_[Lower(member)] = std::move(handler); }

void ScriptedDispatch::Returns(const std::string& member, VARIANT value) {
    auto held = std::shared_ptr<VARIANT>(new VARIANT(value), [](VARIANT* v) {
        VariantClear(v);
        delete v;
    });
    On(member, [held](std::vector<VARIANT*>&, VARIANT* result) {
        return result ? VariantCopy(result, held.get()) : S_OK;
    });
}

void ScriptedDispatch::ReturnsHresult(const std::string& member, HRESULT hr) {
    On(member, [hr](std::vector<VARIANT*>&, VARIANT*) { return hr; });
}

HRESULT ScriptedDispatch::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG ScriptedDispatch::AddRef() { return InterlockedIncrement(&references_); }

ULONG ScriptedDispatch::Release() {
    LONG n = InterlockedDecrement(&references_);
    if (n == 0) delete this;
    return n;
}

HRESULT ScriptedDispatch::GetTypeInfoCount(UINT* count) {
    *count = info_ ? 1 : 0;
    return S_OK;
}

HRESULT ScriptedDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    *out = nullptr;
    if (!info_) return E_NOTIMPL;
    if (index != 0) return DISP_E_BADINDEX;
    info_->AddRef();
    *out = info_;
    return S_OK;
}

HRESULT ScriptedDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    // Callers must bind through the type information.
    ReceivedCall call;
    call.object = label_;
    call.member = "GetIDsOfNames";
    CallLog().push_back(call);
    return E_NOTIMPL;
}

std::string ScriptedDispatch::MemberName(DISPID id) const {
    if (!info_) return "#" + std::to_string(id);
    BSTR name = nullptr;
    UINT count = 0;
    std::string text;
    if (SUCCEEDED(info_->GetNames(id, &name, 1, &count)) && count == 1) text = Narrow(name);
    SysFreeString(name);
    return text;
}

HRESULT ScriptedDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
    ReceivedCall call;
    call.object = label_;
    call.member = MemberName(id);
    call.memberId = id;
    call.flags = flags;
    std::vector<VARIANT*> args;
    if (params) {
        call.named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
        for (UINT i = params->cArgs; i-- > 0;) {
            VARIANT* cell = &params->rgvarg[i];
            args.push_back(cell);
            ReceivedArg arg;
            arg.vt = cell->vt;
            VariantCopyInd(&arg.value, cell);
            call.args.push_back(arg);
        }
    }
    CallLog().push_back(call);
    auto handler = handlers_.find(Lower(call.member));
    if (handler == handlers_.end()) return S_OK;
    // The handler may outlive a call that replaces it.
    Handler run = handler->second;
    return run(args, result);
}

TypeLibrary::TypeLibrary(const char* fileName) : path_(ExeDirectory() + "\\" + fileName) {
    if (FAILED(LoadTypeLib(Widen(path_).c_str(), &library_))) library_ = nullptr;
}

TypeLibrary::~TypeLibrary() {
    for (auto& entry : infos_) entry.second->Release();
    if (library_) library_->Release();
}

ITypeInfo* TypeLibrary::Info(const char* typeName) {
    auto found = infos_.find(typeName);
    if (found != infos_.end()) return found->second;
    if (!library_) return nullptr;
    std::wstring name = Widen(typeName);
    ITypeInfo* info[1] = {nullptr};
    MEMBERID ids[1];
    USHORT count = 1;
    if (FAILED(library_->FindName(&name[0], 0, info, ids, &count)) || count != 1) return nullptr;
    infos_[typeName] = info[0];
    return info[0];
}

ClassRegistration::ClassRegistration(const CLSID& clsid, Maker maker) { Register(clsid, std::move(maker)); }

ClassRegistration::ClassRegistration(const CLSID& clsid, const std::string& progId, Maker maker)
    : progId_(progId) {
    std::string key = "Software\\Classes\\" + progId + "\\CLSID";
    std::string value = GuidText(clsid);
    RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
    CLSID check;
    if (FAILED(CLSIDFromProgID(Widen(progId).c_str(), &check))) {
        // Wine's merged class view does not read the user's classes: a ProgID
        // that is nowhere else goes to the machine's classes for the test's span.
        RegSetKeyValueA(HKEY_CLASSES_ROOT, (progId + "\\CLSID").c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size() + 1));
        machineKey_ = true;
    }
    // Whatever class the ProgID resolves to in this prefix is served from here.
    CLSID resolved;
    if (SUCCEEDED(CLSIDFromProgID(Widen(progId).c_str(), &resolved)))
        Register(resolved, std::move(maker));
    else
        Register(clsid, std::move(maker));
}

void ClassRegistration::Register(const CLSID& clsid, Maker maker) {
    Factory* factory = new Factory(std::move(maker));
    if (FAILED(CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                     &cookie_)))
        cookie_ = 0;
    factory->Release();
}

ClassRegistration::~ClassRegistration() {
    if (cookie_) CoRevokeClassObject(cookie_);
    if (!progId_.empty()) RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Classes\\" + progId_).c_str());
    if (machineKey_) RegDeleteTreeA(HKEY_CLASSES_ROOT, progId_.c_str());
}

std::wstring Widen(const std::string& ansi) {
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], n);
    return wide;
}

VARIANT MakeText(const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT MakeI4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT MakeR8(double value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

VARIANT MakeNull() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_NULL;
    return v;
}

}  // namespace testautomation
