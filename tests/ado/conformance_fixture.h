#pragma once
// What the conformance tests share: COM held open for one test and every
// object of the component released by its end; connections over the sample
// table or the catalog file; VARIANT arguments as a caller builds them; and
// the error information a failed call leaves.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "jetsql/access_bytes.h"
#include "ado/com/failure.h"
#include "ado/com/connection_object.h"
#include "ado/com/module.h"
#include "ado/com/recordset_object.h"
#include "jetsql/memory_source.h"
#include "tests/jetsql/counting_source.h"
#include "tests/jetsql/sample_tables.h"

namespace ado_test {

using ado_com::ComPtr;

class ConformanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, OleInitialize(nullptr));
        SetErrorInfo(0, nullptr);  // nothing left by the test before
    }
    void TearDown() override {
        EXPECT_FALSE(ado_com::ModuleInUse()) << "an object of the component is still alive";
        OleUninitialize();
    }
};

inline std::shared_ptr<jetsql::DataSource> Sample() {
    std::vector<jet::Table> tables;
    tables.push_back(jetsql_test::ApiConstTable());
    return std::make_shared<jetsql::MemorySource>(std::move(tables));
}

// The three related tables as an Access file, read by the file reader.
inline std::shared_ptr<jetsql::DataSource> Catalog() {
    std::string error;
    std::shared_ptr<jetsql::DataSource> source = jetsql::OpenAccessBytes(jetsql_test::CatalogFile(), &error);
    EXPECT_TRUE(source) << error;
    return source;
}

inline ComPtr<ado_com::ConnectionObject> OpenConnection(std::shared_ptr<jetsql::DataSource> source = Sample()) {
    auto cn = ado_com::MakeObject<ado_com::ConnectionObject>();
    EXPECT_EQ(S_OK, cn->OpenSource(std::move(source), u"DBQ=memory"));
    return cn;
}

struct Bstr {
    explicit Bstr(const wchar_t* s) : b(SysAllocString(s)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b); }
    BSTR b;
};

// The text of a BSTR the callee handed over, which it frees.
inline std::wstring Text(BSTR s) {
    std::wstring t = s ? std::wstring(s, SysStringLen(s)) : std::wstring();
    SysFreeString(s);
    return t;
}

inline VARIANT Long(long n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}

inline VARIANT Real(double d) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = d;
    return v;
}

inline VARIANT Missing() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

inline VARIANT Object(IDispatch* d) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = d;
    return v;
}

// Lent, not copied: the Bstr outlives the call.
inline VARIANT Str(const Bstr& s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = s.b;
    return v;
}

// The thread's error information after a failed call: its description, or
// "(none)"; taking it clears it.
inline std::wstring TakeErrorText() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return L"(none)";
    BSTR text = nullptr;
    info->GetDescription(&text);
    return Text(text);
}

inline ComPtr<Recordset> Execute(ado_com::ConnectionObject& cn, const wchar_t* sql, HRESULT* hr) {
    Bstr text(sql);
    ComPtr<Recordset> rs;
    *hr = cn.Execute(text.b, nullptr, -1, rs.put());
    return rs;
}

inline ComPtr<Recordset> OpenKeyset(ado_com::ConnectionObject& cn, const wchar_t* sql, long cursorType = 1) {
    auto rs = ado_com::MakeObject<ado_com::RecordsetObject>();
    Bstr text(sql);
    EXPECT_EQ(S_OK, rs->Open(Str(text), Object(static_cast<Connection*>(&cn)), cursorType, 1, -1));
    return ComPtr<Recordset>(rs.release());
}

// What a script's TypeName reads: the name of the object's type information.
inline std::wstring TypeNameOf(IDispatch* object) {
    ComPtr<ITypeInfo> info;
    BSTR name = nullptr;
    if (FAILED(object->GetTypeInfo(0, 0, info.put())) ||
        FAILED(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr)))
        return L"(no type information)";
    return Text(name);
}

// The enumerator a collection's _NewEnum hands out (For Each, Enumerator).
template <class Collection>
ComPtr<IEnumVARIANT> EnumeratorOf(Collection& collection) {
    ComPtr<IUnknown> items;
    ComPtr<IEnumVARIANT> walk;
    EXPECT_EQ(S_OK, collection.get__NewEnum(items.put()));
    if (items) {
        EXPECT_EQ(S_OK, items->QueryInterface(IID_IEnumVARIANT, walk.put_void()));
    }
    return walk;
}

// How many items the enumerator gives from where it stands, each an object.
inline long Remaining(IEnumVARIANT& walk) {
    long n = 0;
    VARIANT got;
    while (walk.Next(1, &got, nullptr) == S_OK) {
        EXPECT_EQ(got.vt, VT_DISPATCH);
        VariantClear(&got);
        ++n;
    }
    return n;
}

inline ComPtr<ado_com::ConnectionObject> OpenCatalog() { return OpenConnection(Catalog()); }

// The current row's value of a field as text: "Null" for Null, "(none)"
// without a current row.
inline std::wstring ValueOf(Recordset& rs, const wchar_t* field) {
    ComPtr<Fields> fields;
    ComPtr<Field> one;
    Bstr name(field);
    if (FAILED(rs.get_Fields(fields.put())) || FAILED(fields->get_Item(Str(name), one.put()))) return L"(no field)";
    VARIANT v;
    if (FAILED(one->get_Value(&v))) return L"(none)";
    if (v.vt == VT_NULL) return L"Null";
    if (FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) return L"(?)";
    return Text(v.bstrVal);
}

// The field's values from the current row to the end of the view, joined by
// ','; the cursor ends on EOF.
inline std::wstring Walk(Recordset& rs, const wchar_t* field) {
    std::wstring out;
    VARIANT_BOOL eof = VARIANT_FALSE;
    while (SUCCEEDED(rs.get_EOF(&eof)) && !eof) {
        if (!out.empty()) out += L',';
        out += ValueOf(rs, field);
        if (FAILED(rs.MoveNext())) break;
    }
    return out;
}

// The same from the first row.
inline std::wstring Column(Recordset& rs, const wchar_t* field) {
    rs.MoveFirst();  // refused on an empty view, which then walks nothing
    return Walk(rs, field);
}

inline long Count(Recordset& rs) {
    long n = -9;
    EXPECT_EQ(S_OK, rs.get_RecordCount(&n));
    return n;
}

}  // namespace ado_test
