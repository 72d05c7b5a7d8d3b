#include "tests/db/ado_standin.h"

#include <algorithm>
#include <cctype>

using namespace core;
using namespace bridge;

using namespace testautomation;

namespace adostandin {
namespace {

const CLSID kConnectionClass = {0x3c7d2e10, 0x5a4b, 0x4e8f, {0x8c, 0x61, 0xd2, 0xf0, 0xa9, 0xb7, 0xc1, 0x08}};
const CLSID kRecordsetClass = {0x3c7d2e10, 0x5a4b, 0x4e8f, {0x8c, 0x61, 0xd2, 0xf0, 0xa9, 0xb7, 0xc1, 0x09}};

using ScriptPtr = std::shared_ptr<Script>;
using Args = std::vector<VARIANT*>;

std::string LowerAnsi(BSTR name) {
    std::string s;
    if (name) {
        int n = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
        s.resize(n > 0 ? n - 1 : 0);
        if (n > 1) WideCharToMultiByte(CP_ACP, 0, name, -1, &s[0], n, nullptr, nullptr);
    }
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

HRESULT Answer(VARIANT* result, IDispatch* object) {
    if (!result) {
        object->Release();
        return S_OK;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}

// Every member of label may be refused by the script.
void Member(ScriptedDispatch* object, const ScriptPtr& script, const std::string& label,
            const std::string& member, Handler handler) {
    object->On(member, [script, label, member, handler](Args& args, VARIANT* result) {
        if (script->refused.count(label + "." + member)) return DISP_E_EXCEPTION;
        return handler ? handler(args, result) : S_OK;
    });
}

HRESULT Number(VARIANT* result, double value) {
    if (result) *result = MakeR8(value);
    return S_OK;
}

IDispatch* NewField(TypeLibrary& library, const ScriptPtr& script, std::size_t row, const std::string& name) {
    ScriptedDispatch* field = ScriptedDispatch::New(library.Info("Field"), "Field");
    Member(field, script, "Field", "Value", [script, row, name](Args& args, VARIANT* result) {
        Row& values = script->rows[row];
        if (args.empty()) return result ? VariantCopy(result, &values[name].Raw()) : S_OK;
        Variant stored;
        VariantCopyInd(&stored.Raw(), args[0]);
        values[name] = stored;
        return S_OK;
    });
    return field;
}

IDispatch* NewFields(TypeLibrary& library, const ScriptPtr& script) {
    ScriptedDispatch* fields = ScriptedDispatch::New(library.Info("Fields"), "Fields");
    TypeLibrary* lib = &library;
    Member(fields, script, "Fields", "Item", [lib, script](Args& args, VARIANT* result) {
        VARIANT name;
        VariantInit(&name);
        if (args.size() != 1 || FAILED(VariantChangeType(&name, args[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
        std::string key = LowerAnsi(name.bstrVal);
        VariantClear(&name);
        if (script->current >= script->rows.size() || !script->rows[script->current].count(key))
            return DISP_E_EXCEPTION;
        return Answer(result, NewField(*lib, script, script->current, key));
    });
    return fields;
}

IDispatch* NewRecordset(TypeLibrary& library, const ScriptPtr& script) {
    ScriptedDispatch* rs = ScriptedDispatch::New(library.Info("Recordset"), "Recordset");
    TypeLibrary* lib = &library;
    Member(rs, script, "Recordset", "Open", nullptr);
    Member(rs, script, "Recordset", "Close", nullptr);
    Member(rs, script, "Recordset", "State", [script](Args&, VARIANT* r) { return Number(r, script->recordSetState); });
    Member(rs, script, "Recordset", "RecordCount", [script](Args&, VARIANT* r) {
        return r ? VariantCopy(r, &script->recordCount.Raw()) : S_OK;
    });
    Member(rs, script, "Recordset", "Fields", [lib, script](Args&, VARIANT* r) { return Answer(r, NewFields(*lib, script)); });
    Member(rs, script, "Recordset", "Move", [script](Args& args, VARIANT*) {
        script->current += args[0]->lVal;
        return S_OK;
    });
    Member(rs, script, "Recordset", "MovePrevious", [script](Args&, VARIANT*) {
        if (script->current > 0) --script->current;
        return S_OK;
    });
    Member(rs, script, "Recordset", "MoveNext", [script](Args&, VARIANT*) {
        ++script->current;
        return S_OK;
    });
    Member(rs, script, "Recordset", "MoveFirst", [script](Args&, VARIANT*) {
        script->current = 0;
        return S_OK;
    });
    Member(rs, script, "Recordset", "MoveLast", [script](Args&, VARIANT*) {
        script->current = script->rows.empty() ? 0 : script->rows.size() - 1;
        return S_OK;
    });
    Member(rs, script, "Recordset", "Update", nullptr);
    Member(rs, script, "Recordset", "AddNew", nullptr);
    Member(rs, script, "Recordset", "GetRows", [script](Args&, VARIANT* r) {
        return Number(r, static_cast<double>(script->rows.size()));
    });
    Member(rs, script, "Recordset", "EOF", [script](Args&, VARIANT* r) {
        if (r) {
            r->vt = VT_BOOL;
            r->boolVal = script->current >= script->rows.size() ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    });
    return static_cast<IDispatch*>(rs);
}

IDispatch* NewConnection(TypeLibrary& library, const ScriptPtr& script) {
    ScriptedDispatch* c = ScriptedDispatch::New(library.Info("Connection"), "Connection");
    TypeLibrary* lib = &library;
    Member(c, script, "Connection", "Open", nullptr);
    Member(c, script, "Connection", "Close", nullptr);
    Member(c, script, "Connection", "State", [script](Args&, VARIANT* r) { return Number(r, script->connectionState); });
    Member(c, script, "Connection", "Errors", [script](Args&, VARIANT* r) {
        if (r) *r = MakeText(script->errors.c_str());
        return S_OK;
    });
    Member(c, script, "Connection", "Execute", [lib, script](Args& args, VARIANT* r) {
        if (args.size() > 1 && args[1]->vt == (VT_BYREF | VT_VARIANT)) {
            VariantClear(args[1]->pvarVal);
            *args[1]->pvarVal = MakeI4(script->recordsAffected);
        }
        return Answer(r, NewRecordset(*lib, script));
    });
    script->connection = static_cast<IDispatch*>(c);
    return static_cast<IDispatch*>(c);
}

}  // namespace

AdoStandIn::AdoStandIn() : script_(std::make_shared<Script>()), library_(new TypeLibrary("ado_standin.tlb")) {
    ScriptPtr script = script_;
    TypeLibrary* library = library_.get();
    connectionClass_.reset(new ClassRegistration(kConnectionClass, "ADODB.Connection", [script, library]() -> IUnknown* {
        script->created.push_back("Connection");
        return script->creationFails ? nullptr : NewConnection(*library, script);
    }));
    recordSetClass_.reset(new ClassRegistration(kRecordsetClass, "ADODB.RecordSet", [script, library]() -> IUnknown* {
        script->created.push_back("Recordset");
        return script->creationFails ? nullptr : NewRecordset(*library, script);
    }));
}

AdoStandIn::~AdoStandIn() {
    recordSetClass_.reset();
    connectionClass_.reset();
}

bool AdoStandIn::Registered() const {
    return library_->Get() && connectionClass_->Ok() && recordSetClass_->Ok();
}

Variant TextValue(const wchar_t* text) {
    Variant v;
    v.Raw() = MakeText(text);
    return v;
}

Variant NumberValue(double value) {
    Variant v;
    v.Raw() = MakeR8(value);
    return v;
}

Variant NullValue() {
    Variant v;
    v.Raw().vt = VT_NULL;
    return v;
}

Variant BytesValue(const Bytes& bytes) {
    Variant v;
    v.Assign(ArgBytes(bytes));
    return v;
}

}  // namespace adostandin
