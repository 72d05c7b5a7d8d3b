#include "bridge/com_object.h"

#include <ole2.h>

#include <vector>

#include "bridge/bstr.h"
#include "bridge/com_ptr.h"

namespace {

constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                             CLSCTX_REMOTE_SERVER;  // 0x17
constexpr DWORD kLocalServers = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// The candidate object made from a coclass found by name in typeLibraryFile.
ComPtr<IUnknown> CreateThroughTypeLibrary(const Text& progId, const Text& typeLibraryFile) {
    ComPtr<ITypeLib> library;
    std::wstring file = AnsiToWide(typeLibraryFile);
    if (FAILED(LoadTypeLib(file.c_str(), library.Put()))) return {};
    std::wstring name = AnsiToWide(progId);
    std::vector<wchar_t> nameBuffer(name.begin(), name.end());
    nameBuffer.push_back(L'\0');
    ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), nameBuffer.data());
    ITypeInfo* found[1] = {nullptr};
    MEMBERID memberIds[1] = {0};
    USHORT count = 1;
    ComPtr<IUnknown> candidate;
    if (SUCCEEDED(library->FindName(nameBuffer.data(), hash, found, memberIds, &count)) && count == 1 &&
        found[0]) {
        ComPtr<ITypeInfo> info = ComPtr<ITypeInfo>::Attach(found[0]);
        if (FAILED(info->CreateInstance(nullptr, IID_IUnknown, candidate.PutVoid()))) candidate.Reset();
        if (candidate && typeLibraryFile.find('\\') != Text::npos)
            RegisterTypeLib(library.Get(), &file[0], nullptr);
    }
    return candidate;
}

ComPtr<IUnknown> CreateThroughClassId(const Text& progId) {
    std::wstring wide = AnsiToWide(progId);
    CLSID clsid;
    HRESULT hr = progId[0] == '{' ? CLSIDFromString(&wide[0], &clsid) : CLSIDFromProgID(wide.c_str(), &clsid);
    if (FAILED(hr)) return {};
    ComPtr<IUnknown> object;
    hr = CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, object.PutVoid());
    if (hr == E_INVALIDARG) hr = CoCreateInstance(clsid, nullptr, kLocalServers, IID_IUnknown, object.PutVoid());
    if (FAILED(hr)) object.Reset();
    return object;
}

}  // namespace

ComObject::ComObject(ComObject&& other) noexcept
    : objectInterface_(other.objectInterface_), recordData_(other.recordData_) {
    other.objectInterface_ = nullptr;
    other.recordData_ = nullptr;
}

ComObject& ComObject::operator=(const ComObject& other) {
    if (this != &other) {
        Clear();
        CopyFrom(other);
    }
    return *this;
}

ComObject& ComObject::operator=(ComObject&& other) noexcept {
    if (this != &other) {
        Clear();
        objectInterface_ = other.objectInterface_;
        recordData_ = other.recordData_;
        other.objectInterface_ = nullptr;
        other.recordData_ = nullptr;
    }
    return *this;
}

bool ComObject::Create(const Text& progId) { return Create(progId, Text()); }

bool ComObject::Create(const Text& progId, const Text& typeLibraryFile) {
    if (progId.empty()) return false;
    ComPtr<IUnknown> candidate;
    if (progId[0] != '{' && !typeLibraryFile.empty()) candidate = CreateThroughTypeLibrary(progId, typeLibraryFile);
    if (!candidate) candidate = CreateThroughClassId(progId);
    if (!candidate || FAILED(OleRun(candidate.Get()))) return false;
    Clear();
    objectInterface_ = candidate.Detach();
    return true;
}

void ComObject::CopyFrom(const ComObject& source) {
    objectInterface_ = source.objectInterface_;
    if (objectInterface_) objectInterface_->AddRef();
    recordData_ = nullptr;
}

void ComObject::Clear() {
    if (objectInterface_) {
        if (recordData_) {
            static_cast<IRecordInfo*>(objectInterface_)->RecordDestroy(recordData_);
            recordData_ = nullptr;
        }
        IUnknown* old = objectInterface_;
        objectInterface_ = nullptr;
        old->Release();
    } else if (recordData_) {
        CoTaskMemFree(recordData_);
        recordData_ = nullptr;
    }
}

ComObject ComObject::FromInterface(IUnknown* unknown) {
    ComObject object;
    object.objectInterface_ = unknown;
    if (unknown) unknown->AddRef();
    return object;
}

void ComObject::AttachRecord(IRecordInfo* info, void* data) {
    if (!info) return;
    Clear();
    info->AddRef();
    objectInterface_ = info;  // IRecordInfo is an IUnknown
    recordData_ = data;
}

OleSession::OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}

OleSession::~OleSession() {
    if (ok_) OleUninitialize();
}
