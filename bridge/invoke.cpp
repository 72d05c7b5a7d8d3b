// The late-bound call engine: binds a member name through the object's type
// information (never GetIDsOfNames) and calls IDispatch::Invoke.
#include <cstring>
#include <vector>

#include "bridge/invoke.h"

#include "bridge/bstr.h"
#include "bridge/com_object.h"
#include "win/com_ptr.h"
#include "win/variant.h"

namespace bridge {
namespace {

using win::ComPtr;

thread_local CallStatus tlsLastStatus = CallStatus::Ok;

// A TYPEATTR held for as long as the owner lives.
class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) {
        if (FAILED(info_->GetTypeAttr(&attr_))) attr_ = nullptr;
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr_) info_->ReleaseTypeAttr(attr_);
    }
    const TYPEATTR* operator->() const { return attr_; }
    explicit operator bool() const { return attr_ != nullptr; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

// Base VT of a declared type, with VT_BYREF and VT_ARRAY added where they apply.
VARTYPE ResolveType(ITypeInfo* info, const TYPEDESC& type) {
    switch (type.vt & VT_TYPEMASK) {
    case VT_INT: return VT_I4;
    case VT_UINT: return VT_UI4;
    case VT_PTR: return ResolveType(info, *type.lptdesc) | VT_BYREF;
    case VT_SAFEARRAY: return ResolveType(info, *type.lptdesc) | VT_ARRAY;
    case VT_CARRAY: return ResolveType(info, type.lpadesc->tdescElem) | VT_ARRAY;
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> referenced;
        if (!info || FAILED(info->GetRefTypeInfo(type.hreftype, referenced.put())) || !referenced)
            return VT_UNKNOWN;
        TypeAttr attr(referenced.get());
        if (!attr) return VT_UNKNOWN;
        switch (attr->typekind) {
        case TKIND_ENUM: return VT_I4;
        case TKIND_DISPATCH: return VT_DISPATCH;
        case TKIND_ALIAS: return ResolveType(referenced.get(), attr->tdescAlias);
        default: return VT_UNKNOWN;
        }
    }
    default: return type.vt & VT_TYPEMASK;
    }
}

// What a name bound to: the description is released with the type information
// that came with it.
class Binding {
public:
    Binding() = default;
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;
    ~Binding() {
        if (func && info) info->ReleaseFuncDesc(func);
        if (var && info) info->ReleaseVarDesc(var);
    }
    ComPtr<ITypeInfo> info;
    FUNCDESC* func = nullptr;
    VARDESC* var = nullptr;
};

const INVOKEKIND kGetKinds[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
const INVOKEKIND kPutKinds[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
const INVOKEKIND kMethodKinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};

CallStatus Bind(ITypeComp* binder, std::wstring& name, ULONG hash, CallKind kind, Binding& binding) {
    const INVOKEKIND* kinds = kMethodKinds;
    std::size_t count = 4;
    if (kind == CallKind::Get) kinds = kGetKinds, count = 2;
    if (kind == CallKind::Put) kinds = kPutKinds, count = 3;
    for (std::size_t i = 0; i < count; ++i) {
        DESCKIND descKind = DESCKIND_NONE;
        BINDPTR bound;
        bound.lpfuncdesc = nullptr;
        ITypeInfo* info = nullptr;
        if (FAILED(binder->Bind(&name[0], hash, static_cast<WORD>(kinds[i]), &info, &descKind, &bound))) continue;
        binding.info.reset(info);
        switch (descKind) {
        case DESCKIND_FUNCDESC: binding.func = bound.lpfuncdesc; return CallStatus::Ok;
        case DESCKIND_VARDESC:
        case DESCKIND_IMPLICITAPPOBJ: binding.var = bound.lpvardesc; return CallStatus::Ok;
        case DESCKIND_TYPECOMP: {
            ComPtr<ITypeComp> typeBinder(bound.lptcomp);  // a type name binds nothing callable
            return CallStatus::NotBound;
        }
        default: return CallStatus::NotBound;
        }
    }
    return CallStatus::NotBound;
}

CallStatus StatusOfInvoke(HRESULT hr) {
    switch (hr) {
    case DISP_E_BADPARAMCOUNT: return CallStatus::BadParamCount;
    case DISP_E_BADVARTYPE: return CallStatus::BadVarType;
    case DISP_E_EXCEPTION: return CallStatus::ServerException;
    case DISP_E_MEMBERNOTFOUND: return CallStatus::MemberNotFound;
    case DISP_E_NONAMEDARGS: return CallStatus::NoNamedArgs;
    case DISP_E_OVERFLOW: return CallStatus::Overflow;
    case DISP_E_PARAMNOTFOUND: return CallStatus::ParamNotFound;
    case DISP_E_TYPEMISMATCH: return CallStatus::TypeMismatch;
    case DISP_E_PARAMNOTOPTIONAL: return CallStatus::ParamNotOptional;
    default: return SUCCEEDED(hr) ? CallStatus::Ok : CallStatus::InvokeFailed;
    }
}

// The 2n VARIANT cells of one call: rgvarg first, then by-reference storage.
class ParameterBlock {
public:
    explicit ParameterBlock(std::size_t n) : n_(n), cells_(2 * n) {
        for (VARIANT& cell : cells_) std::memset(&cell, 0, sizeof cell);
    }
    ParameterBlock(const ParameterBlock&) = delete;
    ParameterBlock& operator=(const ParameterBlock&) = delete;
    ~ParameterBlock() {
        for (VARIANT& cell : cells_) VariantClear(&cell);
    }
    VARIANT* Args() { return n_ ? cells_.data() : nullptr; }
    VARIANT& Arg(std::size_t i) { return cells_[i]; }
    VARIANT& Storage(std::size_t i) { return cells_[n_ + i]; }

private:
    std::size_t n_;
    std::vector<VARIANT> cells_;
};

void MarkMissing(VARIANT& cell) {
    VariantClear(&cell);
    cell.vt = VT_ERROR;
    cell.scode = DISP_E_PARAMNOTFOUND;
}

void MoveCell(VARIANT& from, VARIANT& to) {
    std::memcpy(&to, &from, sizeof to);
    VariantInit(&from);
}

bool HasByRefValue(VARTYPE vt) {
    return (vt >= 2 && vt <= 11) || vt == 13 || (vt >= 16 && vt <= 19) || vt == 22 || vt == 23 || vt == 25;
}

// Turns the rgvarg cell of a by-reference parameter into its reference (or value).
void ReferenceStorage(VARIANT& storage, VARIANT& arg, VARTYPE resolved) {
    VARTYPE base = resolved & VT_TYPEMASK;
    if (storage.vt == VT_ERROR) return MoveCell(storage, arg);
    if (resolved & VT_ARRAY) {
        if ((storage.vt & VT_ARRAY) && !(storage.vt & VT_BYREF)) {
            arg.vt = VT_BYREF | VT_ARRAY | base;
            arg.pparray = &storage.parray;
            return;
        }
        return MoveCell(storage, arg);
    }
    if (base == VT_VARIANT) {
        arg.vt = VT_BYREF | VT_VARIANT;
        arg.pvarVal = &storage;
        return;
    }
    if (base == VT_RECORD) return MoveCell(storage, arg);
    if (SUCCEEDED(VariantChangeType(&storage, &storage, 0, base)) && HasByRefValue(storage.vt)) {
        arg.vt = VT_BYREF | storage.vt;
        arg.byref = &storage.llVal;  // every scalar member starts at the value's offset
        return;
    }
    MoveCell(storage, arg);
}

// A ComObject goes by the parameter's declared type; a record as VT_RECORD.
void ConvertObjectArgument(const ComObject* object, VARTYPE base, VARIANT& cell) {
    if (object && object->RecordData() && object->Interface()) {
        cell.vt = VT_RECORD;
        cell.pvRecord = object->RecordData();
        cell.pRecInfo = static_cast<IRecordInfo*>(object->Interface());
        cell.pRecInfo->AddRef();
        return;
    }
    IUnknown* unknown = object ? object->Interface() : nullptr;
    cell.vt = VT_UNKNOWN;
    cell.punkVal = nullptr;
    if (!unknown) return;
    if (base == VT_UNKNOWN) {
        unknown->AddRef();
        cell.punkVal = unknown;
    } else if (base == VT_DISPATCH) {
        IDispatch* dispatch = nullptr;
        if (SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) && dispatch) {
            cell.vt = VT_DISPATCH;
            cell.pdispVal = dispatch;
        }
    }
}

// The record stays the caller's: a record cell is emptied without being cleared.
void ReleaseRecordCells(ParameterBlock& block, std::size_t cells) {
    for (std::size_t i = 0; i < cells; ++i) {
        for (VARIANT* cell : {&block.Arg(i), &block.Storage(i)}) {
            if (cell->vt == VT_RECORD) {
                if (cell->pRecInfo) cell->pRecInfo->Release();
                VariantInit(cell);
            }
        }
    }
}

struct CallPlan {
    MEMBERID memberId = 0;
    WORD flags = 0;
    std::vector<ELEMDESC> params;
    bool varArgs = false;
};

CallPlan PlanCall(const Binding& binding, CallKind kind) {
    CallPlan plan;
    if (binding.func) {
        const FUNCDESC& f = *binding.func;
        plan.memberId = f.memid;
        plan.flags = static_cast<WORD>(f.invkind);
        plan.params.assign(f.lprgelemdescParam, f.lprgelemdescParam + f.cParams);
        plan.varArgs = f.cParams >= 1 && f.cParamsOpt == -1;
        return plan;
    }
    const VARDESC& v = *binding.var;
    plan.memberId = v.memid;
    if (kind == CallKind::Put) {
        VARTYPE resolved = ResolveType(binding.info.get(), v.elemdescVar.tdesc) & ~VT_BYREF;
        bool byReference = (resolved & VT_ARRAY) || resolved == VT_UNKNOWN || resolved == VT_DISPATCH;
        plan.flags = byReference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
        plan.params.push_back(v.elemdescVar);
    } else {
        plan.flags = DISPATCH_PROPERTYGET;
    }
    return plan;
}

CallStatus PrepareArgument(const BridgeArg& arg, const ELEMDESC& param, ITypeInfo* info, VARIANT& cell,
                           VARIANT& storage) {
    if (arg.typeCode == TC_None) {
        MarkMissing(cell);
        return CallStatus::Ok;
    }
    VARTYPE resolved = ResolveType(info, param.tdesc);
    bool byReference = (resolved & VT_BYREF) != 0;
    VARIANT& target = byReference ? storage : cell;
    VARTYPE base = resolved & VT_TYPEMASK;
    if ((arg.typeCode & ~TC_ByRefOrArray) == TC_ComObject) {
        ConvertObjectArgument(reinterpret_cast<const ComObject*>(static_cast<std::uintptr_t>(arg.payload)), base,
                              target);
    } else if (!ConvertArgument(arg, target, false)) {
        return CallStatus::UnsupportedArgument;
    }
    if (target.vt == VT_EMPTY) MarkMissing(target);
    if (byReference) ReferenceStorage(storage, cell, resolved & ~VT_BYREF);
    return CallStatus::Ok;
}

void WriteBack(const BridgeArg* args, std::size_t n, const CallPlan& plan, ParameterBlock& block) {
    for (std::size_t k = 0; k < n; ++k) {
        const VARIANT& cell = block.Arg(n - 1 - k);
        const BridgeArg& arg = args[k];
        if (!(cell.vt & VT_BYREF) || !(arg.typeCode & TC_ByRefOrArray)) continue;
        if (!(plan.params[k].paramdesc.wParamFlags & PARAMFLAG_FOUT)) continue;
        ConvertResult(cell, arg.typeCode & ~TC_ByRefOrArray,
                      reinterpret_cast<void*>(static_cast<std::uintptr_t>(arg.payload)));
    }
}

CallStatus CallBound(IDispatch* dispatch, LCID lcid, const Binding& binding, CallKind kind,
                     const BridgeArg* args, std::size_t count, std::uint32_t resultType, void* result) {
    CallPlan plan = PlanCall(binding, kind);
    std::size_t n = count;
    while (n > 0 && args[n - 1].typeCode == TC_None) --n;
    if (n > plan.params.size()) {
        if (!plan.varArgs) return CallStatus::TooManyArguments;
        ELEMDESC last = plan.params.back();
        plan.params.resize(n, last);
    }

    ParameterBlock block(n);
    DISPID namedPut = DISPID_PROPERTYPUT;
    bool put = (plan.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS dp{block.Args(), put ? &namedPut : nullptr, static_cast<UINT>(n), put ? 1u : 0u};

    for (std::size_t k = n; k-- > 0;) {
        std::size_t i = n - 1 - k;
        CallStatus s = PrepareArgument(args[k], plan.params[k], binding.info.get(), block.Arg(i), block.Storage(i));
        if (s != CallStatus::Ok) {
            ReleaseRecordCells(block, n);
            return s;
        }
    }

    win::OwnedVariant invokeResult;
    UINT argError = 0;
    HRESULT hr = dispatch->Invoke(plan.memberId, IID_NULL, lcid, plan.flags, &dp, invokeResult.put(), nullptr,
                                  &argError);
    CallStatus status = StatusOfInvoke(hr);
    if (status == CallStatus::Ok) {
        WriteBack(args, n, plan, block);
        if (resultType != TC_None && !ConvertResult(invokeResult.get(), resultType, result))
            status = CallStatus::ResultNotConvertible;
    }
    ReleaseRecordCells(block, n);
    return status;
}

CallStatus Invoke(const ComObject& object, const Text& name, CallKind kind, const BridgeArg* args,
                  std::size_t count, std::uint32_t resultType, void* result) {
    if (object.IsEmpty()) return CallStatus::EmptyObject;
    ComPtr<IDispatch> dispatch;
    if (FAILED(object.Interface()->QueryInterface(IID_IDispatch, dispatch.put_void())) || !dispatch)
        return CallStatus::NoDispatch;

    LCID lcid = GetUserDefaultLCID();
    ComPtr<ITypeComp> binder;
    {
        ComPtr<ITypeInfo> info;
        if (FAILED(dispatch->GetTypeInfo(0, lcid, info.put())) || !info) return CallStatus::NoTypeInfo;
        if (FAILED(info->GetTypeComp(binder.put())) || !binder) return CallStatus::NoTypeInfo;
    }
    if (name.empty()) return CallStatus::NotBound;

    std::wstring wideName = AnsiToWide(name);
    ULONG hash = LHashValOfNameSys(SYS_WIN32, lcid, wideName.c_str());
    Binding binding;
    CallStatus status = Bind(binder.get(), wideName, hash, kind, binding);
    binder.reset();
    if (status != CallStatus::Ok) return status;
    return CallBound(dispatch.get(), lcid, binding, kind, args, count, resultType, result);
}

}  // namespace

CallStatus InvokeByName(const ComObject& object, const Text& name, CallKind kind, const BridgeArg* args,
                        std::size_t count, std::uint32_t resultType, void* result) {
    CallStatus status = Invoke(object, name, kind, args, count, resultType, result);
    if (status != CallStatus::Ok && resultType != TC_None) StoreEmptyResult(resultType, result);
    tlsLastStatus = status;
    return status;
}

CallStatus LastCallStatus() { return tlsLastStatus; }

}  // namespace bridge
