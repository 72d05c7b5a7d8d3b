#include "ado/com/registration.h"

#include <oleauto.h>

#include <string>

#include "ado/com/library.h"
#include "ado/com/module.h"
#include "bridge/com_ptr.h"

namespace ado_com {
namespace {

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Put() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* progId;
    const wchar_t* description;
};

const ClassEntry kClasses[] = {
    {&CLSID_Connection, L"ADODB.Connection", L"Qalomir read-only ADO Connection"},
    {&CLSID_Recordset, L"ADODB.Recordset", L"Qalomir read-only ADO Recordset"},
};

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT SetValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    RegKey key;
    LONG r = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr);
    if (r == ERROR_SUCCESS)
        r = RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           DWORD((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(r);
}

std::wstring ReadValue(const std::wstring& keyPath) {
    wchar_t buffer[128] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, keyPath.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return {};
    return buffer;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameW(ThisModule(), path, MAX_PATH * 2);
    return std::wstring(path, n);
}

HRESULT WriteClassKeys(const ClassEntry& c, const std::wstring& path) {
    std::wstring clsid = GuidText(*c.clsid);
    std::wstring key = L"CLSID\\" + clsid;
    HRESULT hr = SetValue(key, nullptr, c.description);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\InprocServer32", nullptr, path);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\ProgID", nullptr, c.progId);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_QalomirADO));
    // The ProgID now names this class, in place of whatever ADO stood there.
    if (SUCCEEDED(hr)) hr = SetValue(c.progId, nullptr, c.description);
    if (SUCCEEDED(hr)) hr = SetValue(std::wstring(c.progId) + L"\\CLSID", nullptr, clsid);
    return hr;
}

void RemoveClassKeys(const ClassEntry& c) {
    std::wstring clsid = GuidText(*c.clsid);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid).c_str());
    // Only a ProgID that still names this class is taken away.
    if (ReadValue(std::wstring(c.progId) + L"\\CLSID") == clsid) RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progId);
}

}  // namespace

HRESULT RegisterServer() {
    std::wstring path = ModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    for (const ClassEntry& c : kClasses) {
        HRESULT hr = WriteClassKeys(c, path);
        if (FAILED(hr)) return hr;
    }
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Put());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.Get(), &path[0], nullptr);
    return hr;
}

HRESULT UnregisterServer() {
    for (const ClassEntry& c : kClasses) RemoveClassKeys(c);
    UnRegisterTypeLib(LIBID_QalomirADO, 1, 0, LANG_NEUTRAL, SYS_WIN32);
    return S_OK;
}

}  // namespace ado_com
