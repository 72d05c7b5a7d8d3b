#include "bridge/com_object.h"

#include <ole2.h>

#include "bridge/bstr.h"
#include "win/sys_kind.h"

namespace bridge {
namespace {

using win::ComPtr;

constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                             CLSCTX_REMOTE_SERVER;  // 0x17
constexpr DWORD kLocalServers = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// The candidate object made from a coclass found by name in typeLibraryFile.
ComPtr<IUnknown> CreateThroughTypeLibrary(const Text& progId, const Text& typeLibraryFile) {
    ComPtr<ITypeLib> library;
    std::wstring file = AnsiToWide(typeLibraryFile);
    if (FAILED(LoadTypeLib(file.c_str(), library.put()))) return {};
    std::wstring name = AnsiToWide(progId);  // FindName may rewrite it in place, in the case found
    ULONG hash = LHashValOfNameSys(win::kModuleSysKind, GetUserDefaultLCID(), name.c_str());
    ITypeInfo* found[1] = {nullptr};
    MEMBERID memberIds[1] = {0};
    USHORT count = 1;
    ComPtr<IUnknown> candidate;
    if (SUCCEEDED(library->FindName(&name[0], hash, found, memberIds, &count)) && count == 1 &&
        found[0]) {
        ComPtr<ITypeInfo> info(found[0]);
        if (FAILED(info->CreateInstance(nullptr, IID_IUnknown, candidate.put_void()))) candidate.reset();
        if (candidate && typeLibraryFile.find('\\') != Text::npos)
            RegisterTypeLib(library.get(), &file[0], nullptr);
    }
    return candidate;
}

ComPtr<IUnknown> CreateThroughClassId(const Text& progId) {
    std::wstring wide = AnsiToWide(progId);
    CLSID clsid;
    HRESULT hr = progId[0] == '{' ? CLSIDFromString(&wide[0], &clsid) : CLSIDFromProgID(wide.c_str(), &clsid);
    if (FAILED(hr)) return {};
    ComPtr<IUnknown> object;
    hr = CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, object.put_void());
    if (hr == E_INVALIDARG) hr = CoCreateInstance(clsid, nullptr, kLocalServers, IID_IUnknown, object.put_void());
    if (FAILED(hr)) object.reset();
    return object;
}

}  // namespace

ComObject& ComObject::operator=(ComObject other) noexcept {
    Clear();
    objectInterface_ = std::move(other.objectInterface_);
    recordData_ = std::exchange(other.recordData_, nullptr);
    return *this;
}

bool ComObject::Create(const Text& progId) { return Create(progId, Text()); }

bool ComObject::Create(const Text& progId, const Text& typeLibraryFile) {
    if (progId.empty()) return false;
    ComPtr<IUnknown> candidate;
    if (progId[0] != '{' && !typeLibraryFile.empty()) candidate = CreateThroughTypeLibrary(progId, typeLibraryFile);
    if (!candidate) candidate = CreateThroughClassId(progId);
    if (!candidate || FAILED(OleRun(candidate.get()))) return false;
    Clear();
    objectInterface_ = std::move(candidate);
    return true;
}

void ComObject::CopyFrom(const ComObject& source) {
    objectInterface_.release();  // the old content is not given back: callers copy into fresh values
    objectInterface_ = source.objectInterface_;
    recordData_ = nullptr;
}

void ComObject::Clear() {
    void* record = std::exchange(recordData_, nullptr);
    if (record && objectInterface_)
        static_cast<IRecordInfo*>(objectInterface_.get())->RecordDestroy(record);
    else if (record)
        CoTaskMemFree(record);
    objectInterface_.reset();
}

ComObject ComObject::FromInterface(IUnknown* unknown) {
    ComObject object;
    object.objectInterface_ = ComPtr<IUnknown>::share(unknown);
    return object;
}

void ComObject::AttachRecord(IRecordInfo* info, void* data) {
    if (!info) return;
    Clear();
    objectInterface_ = ComPtr<IUnknown>::share(info);  // IRecordInfo is an IUnknown
    recordData_ = data;
}

OleSession::OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}

OleSession::~OleSession() {
    if (ok_) OleUninitialize();
}

}  // namespace bridge
