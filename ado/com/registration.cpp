#include "ado/com/registration.h"

#include <oleauto.h>

#include <string>

#include "ado/com/failure.h"
#include "ado/com/library.h"
#include "ado/com/module.h"
#include "ado/com/owners.h"

namespace ado_com {
namespace {

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* progId;
    const wchar_t* description;
};

const ClassEntry kClasses[] = {
    {&CLSID_ConnectionClass, L"ADODB.Connection", L"Qalomir read-only ADO Connection"},
    {&CLSID_RecordsetClass, L"ADODB.Recordset", L"Qalomir read-only ADO Recordset"},
};

// Values under the component's class key that remember what registering replaced.
const wchar_t kReplacedClsid[] = L"ReplacedProgIdClsid";  // the CLSID the ProgID named before
const wchar_t kMadeProgId[] = L"MadeProgIdKey";           // present when there was no ProgID key at all

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT SetValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    UniqueKey key;
    LONG r = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    if (r == ERROR_SUCCESS)
        r = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           DWORD((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(r);
}

// The text value, or false when the key or the value is not there.
bool ReadValue(const std::wstring& keyPath, const wchar_t* name, std::wstring* out) {
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, keyPath.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    *out = buffer;
    return true;
}

bool KeyExists(const std::wstring& keyPath) {
    UniqueKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameW(ThisModule(), path, MAX_PATH * 2);
    return std::wstring(path, n);
}

// Notes what the ProgID named before, unless it already names this class
// (registering twice must not forget the original).
HRESULT RememberReplaced(const ClassEntry& c, const std::wstring& classKey, const std::wstring& clsid) {
    std::wstring before;
    bool named = ReadValue(std::wstring(c.progId) + L"\\CLSID", nullptr, &before);
    if (named && before == clsid) return S_OK;
    if (named) return SetValue(classKey, kReplacedClsid, before);
    if (!KeyExists(c.progId)) return SetValue(classKey, kMadeProgId, L"1");
    return S_OK;
}

HRESULT WriteClassKeys(const ClassEntry& c, const std::wstring& path) {
    std::wstring clsid = GuidText(*c.clsid);
    std::wstring key = L"CLSID\\" + clsid;
    HRESULT hr = SetValue(key, nullptr, c.description);
    if (SUCCEEDED(hr)) hr = RememberReplaced(c, key, clsid);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\InprocServer32", nullptr, path);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\ProgID", nullptr, c.progId);
    if (SUCCEEDED(hr)) hr = SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_QalomirADO));
    if (SUCCEEDED(hr) && !KeyExists(c.progId)) hr = SetValue(c.progId, nullptr, c.description);
    // The ProgID now names this class, in place of whatever ADO stood there.
    if (SUCCEEDED(hr)) hr = SetValue(std::wstring(c.progId) + L"\\CLSID", nullptr, clsid);
    return hr;
}

// Gives the ProgID back to what it named before, if it still names this class.
void RestoreProgId(const ClassEntry& c, const std::wstring& classKey, const std::wstring& clsid) {
    std::wstring now, before, made;
    if (!ReadValue(std::wstring(c.progId) + L"\\CLSID", nullptr, &now) || now != clsid) return;
    if (ReadValue(classKey, kReplacedClsid, &before))
        SetValue(std::wstring(c.progId) + L"\\CLSID", nullptr, before);
    else if (ReadValue(classKey, kMadeProgId, &made))
        RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progId);
    else
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(c.progId) + L"\\CLSID").c_str());
}

}  // namespace

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

HRESULT RegisterServer(bool underWine) {
    if (!underWine) {
        static const char16_t why[] =
            u"qalomir_ado.dll registers only under Wine: on Windows the system's ADO serves, and its ProgIDs must "
            u"not be redirected.";
        // regsvr32 shows only the HRESULT; a debugger sees the reason too.
        OutputDebugStringW(reinterpret_cast<const wchar_t*>(why));
        return Raise(kNotUnderWine, why, u"qalomir_ado.dll", IID_NULL);
    }
    std::wstring path = ModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    for (const ClassEntry& c : kClasses) {
        HRESULT hr = WriteClassKeys(c, path);
        if (FAILED(hr)) return hr;
    }
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.put());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.get(), &path[0], nullptr);
    return hr;
}

HRESULT UnregisterServer() {
    for (const ClassEntry& c : kClasses) {
        std::wstring clsid = GuidText(*c.clsid);
        std::wstring key = L"CLSID\\" + clsid;
        RestoreProgId(c, key, clsid);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    }
    UnRegisterTypeLib(LIBID_QalomirADO, 1, 0, LANG_NEUTRAL, SYS_WIN32);
    return S_OK;
}

}  // namespace ado_com
