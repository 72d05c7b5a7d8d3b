#include "ado/com/registration.h"

#include <oleauto.h>

#include <string>

#include "ado/com/failure.h"
#include "ado/com/library.h"
#include "ado/com/module.h"
#include "ado/com/arguments.h"
#include "win/sys_kind.h"

namespace ado_com {
namespace {

struct ClassEntry {
    const CLSID* clsid;
    const char16_t* progId;
    const char16_t* description;
};

const ClassEntry kClasses[] = {
    {&CLSID_ConnectionClass, u"ADODB.Connection", u"Qalomir read-only ADO Connection"},
    {&CLSID_RecordsetClass, u"ADODB.Recordset", u"Qalomir read-only ADO Recordset"},
    {&CLSID_CommandClass, u"ADODB.Command", u"Qalomir read-only ADO Command"},
    {&CLSID_ParameterClass, u"ADODB.Parameter", u"Qalomir ADO Parameter"},
};

// Values under the component's class key that remember what registering replaced.
const char16_t kReplacedClsid[] = u"ReplacedProgIdClsid";  // the CLSID the ProgID named before
const char16_t kMadeProgId[] = u"MadeProgIdKey";           // present when there was no ProgID key at all

// Texts are char16_t throughout: std::wstring would bring a second copy of the
// C++ library's string code into the component.
std::u16string GuidText(REFGUID guid) {
    char16_t text[40] = {};
    StringFromGUID2(guid, reinterpret_cast<wchar_t*>(text), 40);
    return text;
}

HRESULT SetValue(const std::u16string& keyPath, const char16_t* name, const std::u16string& value) {
    UniqueKey key;
    LONG r = RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(keyPath), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    if (r == ERROR_SUCCESS)
        r = RegSetValueExW(key.get(), Wide(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           DWORD((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(r);
}

// The text value, or false when the key or the value is not there.
bool ReadValue(const std::u16string& keyPath, const char16_t* name, std::u16string* out) {
    char16_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(char16_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, Wide(keyPath), Wide(name), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    *out = buffer;
    return true;
}

bool KeyExists(const std::u16string& keyPath) {
    UniqueKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(keyPath), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Notes what the ProgID named before, unless it already names this class
// (registering twice must not forget the original).
HRESULT RememberReplaced(const ClassEntry& c, const std::u16string& classKey, const std::u16string& clsid) {
    std::u16string before;
    bool named = ReadValue(std::u16string(c.progId) + u"\\CLSID", nullptr, &before);
    if (named && before == clsid) return S_OK;
    if (named) return SetValue(classKey, kReplacedClsid, before);
    if (!KeyExists(c.progId)) return SetValue(classKey, kMadeProgId, u"1");
    return S_OK;
}

HRESULT WriteClassKeys(const ClassEntry& c, const std::u16string& path) {
    std::u16string clsid = GuidText(*c.clsid);
    std::u16string key = u"CLSID\\" + clsid;
    HRESULT hr = SetValue(key, nullptr, c.description);
    if (SUCCEEDED(hr)) hr = RememberReplaced(c, key, clsid);
    if (SUCCEEDED(hr)) hr = SetValue(key + u"\\InprocServer32", nullptr, path);
    if (SUCCEEDED(hr)) hr = SetValue(key + u"\\InprocServer32", u"ThreadingModel", u"Apartment");
    if (SUCCEEDED(hr)) hr = SetValue(key + u"\\ProgID", nullptr, c.progId);
    if (SUCCEEDED(hr)) hr = SetValue(key + u"\\TypeLib", nullptr, GuidText(LIBID_QalomirADO));
    if (SUCCEEDED(hr) && !KeyExists(c.progId)) hr = SetValue(c.progId, nullptr, c.description);
    // The ProgID now names this class, in place of whatever ADO stood there.
    if (SUCCEEDED(hr)) hr = SetValue(std::u16string(c.progId) + u"\\CLSID", nullptr, clsid);
    return hr;
}

// Gives the ProgID back to what it named before, if it still names this class.
void RestoreProgId(const ClassEntry& c, const std::u16string& classKey, const std::u16string& clsid) {
    std::u16string now, before, made;
    if (!ReadValue(std::u16string(c.progId) + u"\\CLSID", nullptr, &now) || now != clsid) return;
    if (ReadValue(classKey, kReplacedClsid, &before))
        SetValue(std::u16string(c.progId) + u"\\CLSID", nullptr, before);
    else if (ReadValue(classKey, kMadeProgId, &made))
        RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(c.progId));
    else
        RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(std::u16string(c.progId) + u"\\CLSID"));
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
        OutputDebugStringW(Wide(why));
        return Raise(kNotUnderWine, why, u"qalomir_ado.dll", IID_NULL);
    }
    std::u16string path = ModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    for (const ClassEntry& c : kClasses) {
        HRESULT hr = WriteClassKeys(c, path);
        if (FAILED(hr)) return hr;
    }
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(Wide(path), REGKIND_NONE, lib.put());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.get(), reinterpret_cast<wchar_t*>(&path[0]), nullptr);
    return hr;
}

HRESULT UnregisterServer() {
    for (const ClassEntry& c : kClasses) {
        std::u16string clsid = GuidText(*c.clsid);
        std::u16string key = u"CLSID\\" + clsid;
        RestoreProgId(c, key, clsid);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(key));
    }
    UnRegisterTypeLib(LIBID_QalomirADO, 1, 0, LANG_NEUTRAL, win::kModuleSysKind);
    return S_OK;
}

}  // namespace ado_com
