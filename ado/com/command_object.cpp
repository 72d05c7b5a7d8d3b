#include "ado/com/command_object.h"

#include <new>

#include "ado/com/ado_enums.h"
#include "ado/com/arguments.h"
#include "ado/com/connection_object.h"
#include "ado/com/failure.h"
#include "ado/com/out_values.h"
#include "ado/com/recordset_object.h"
#include "ado/com/value_variant.h"
#include "jet/utf.h"

namespace ado_com {
namespace {

// Execute's Parameters argument: an array of values, or one value.
HRESULT ReadValues(const VARIANT& given, std::vector<UniqueVariant>* out) {
    UniqueVariant v;
    if (FAILED(ArgumentValue(given, v.put()))) return kInvalidArgument;
    if (!(v.get().vt & VT_ARRAY)) {
        out->push_back(std::move(v));
        return S_OK;
    }
    return ForEachElement(v.get(), [out](const VARIANT& item) {
        out->emplace_back();
        return VariantCopy(out->back().put(), const_cast<VARIANT*>(&item));
    });
}

}  // namespace

// {2B9E6D14-7C3A-4F85-B0E1-8D4A5C2F7E93}
const IID IID_CommandImplementation = {0x2b9e6d14, 0x7c3a, 0x4f85, {0xb0, 0xe1, 0x8d, 0x4a, 0x5c, 0x2f, 0x7e, 0x93}};

CommandObject::CommandObject() : parameters_(std::make_shared<ParameterList>()) {}

CommandObject::~CommandObject() = default;

HRESULT CommandObject::get_Parameters(Parameters** collection) {
    if (!collection) return E_POINTER;
    *collection = nullptr;
    return Guard([&]() -> HRESULT {
        *collection = MakeObject<ParametersObject>(ComPtr<CommandObject>::share(this), parameters_).release();
        return S_OK;
    });
}

HRESULT CommandObject::get_ActiveConnection(Connection** active) {
    if (!active) return E_POINTER;
    *active = connection_ ? ComPtr<ConnectionObject>(connection_).release() : nullptr;
    return S_OK;
}

// An object, Nothing (none), or a connection string, for which ADO opens a connection of its own.
HRESULT CommandObject::put_ActiveConnection(VARIANT active) {
    UniqueVariant v;
    if (FAILED(ArgumentValue(active, v.put()))) return Refuse(kInvalidArgument);
    const VARIANT& given = v.get();
    if (given.vt == VT_DISPATCH || given.vt == VT_UNKNOWN || given.vt == VT_EMPTY || given.vt == VT_NULL) {
        ComPtr<ConnectionObject> found = ConnectionObject::FromObject(given.vt == VT_EMPTY || given.vt == VT_NULL
                                                                          ? nullptr
                                                                          : given.punkVal);
        if (!found && given.vt != VT_EMPTY && given.vt != VT_NULL && given.punkVal) return Refuse(kInvalidArgument);
        connection_ = std::move(found);
        return S_OK;
    }
    if (given.vt != VT_BSTR) return Refuse(kInvalidArgument);
    return Guard([&]() -> HRESULT {
        ComPtr<ConnectionObject> own = MakeObject<ConnectionObject>();
        HRESULT hr = own->Open(given.bstrVal, nullptr, nullptr, -1);
        if (FAILED(hr)) return hr;
        connection_ = std::move(own);
        return S_OK;
    });
}

HRESULT CommandObject::putref_ActiveConnection(Connection* active) {
    ComPtr<ConnectionObject> found = ConnectionObject::FromObject(active);
    if (active && !found) return Refuse(kInvalidArgument);
    connection_ = std::move(found);
    return S_OK;
}

HRESULT CommandObject::get_CommandText(BSTR* text) { return GiveText(text_, text); }
HRESULT CommandObject::put_CommandText(BSTR text) { return SetChecked(text_, std::u16string(BstrText(text))); }
HRESULT CommandObject::get_CommandType(long* type) { return GiveLong(type_, type); }
HRESULT CommandObject::put_CommandType(long type) { return SetChecked(type_, type, KnownCommandType(type)); }
HRESULT CommandObject::get_CommandTimeout(long* seconds) { return GiveLong(timeout_, seconds); }
HRESULT CommandObject::put_CommandTimeout(long seconds) { return SetChecked(timeout_, seconds, seconds >= 0); }

HRESULT CommandObject::get_Prepared(VARIANT_BOOL* prepared) {
    if (!prepared) return E_POINTER;
    *prepared = prepared_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// A hint only: each run parses the statement, which costs a query here next to nothing.
HRESULT CommandObject::put_Prepared(VARIANT_BOOL prepared) {
    prepared_ = prepared != VARIANT_FALSE;
    return S_OK;
}

HRESULT CommandObject::get_Name(BSTR* name) { return GiveText(name_, name); }
HRESULT CommandObject::put_Name(BSTR name) { return SetChecked(name_, std::u16string(BstrText(name))); }

// Runs finish before Execute returns: a command is never seen executing.
HRESULT CommandObject::get_State(long* state) { return GiveLong(adStateClosed, state); }

HRESULT CommandObject::Prepare(const VARIANT* values, long options, CommandRun* out) {
    if (!connection_ || !connection_->IsOpen()) return Refuse(kInvalidConnection);
    if (text_.empty()) return Refuse(kNoCommandText);
    std::u16string why;
    HRESULT hr = PlanCommand(text_, type_, options, &out->plan, &why);
    if (FAILED(hr)) return Refuse(hr, why);
    const auto& items = parameters_->items;
    std::vector<UniqueVariant> given;
    if (values && !IsMissing(*values) && FAILED(ReadValues(*values, &given))) return Refuse(kInvalidArgument);
    const std::size_t count = given.empty() ? items.size() : given.size();
    for (std::size_t i = 0; i < count; ++i) {
        jetsql::TypedValue value;
        const VARIANT* one = given.empty() ? nullptr : &given[i].get();
        // A value given in the array takes the Type of the parameter at its place, if there is one.
        hr = i < items.size() ? items[i]->Bound(one, &value) : VariantToTypedValue(*one, &value);
        if (FAILED(hr))
            return i < items.size() ? hr
                                    : Refuse(kDataConversion, std::u16string(AdoErrorText(kDataConversion)) +
                                                                  u" Value " + jet::Utf8ToUtf16(std::to_string(i + 1)) +
                                                                  u" is neither text, a number, a date nor Yes/No.");
        out->parameters.push_back(std::move(value));
    }
    out->connection = connection_;
    out->text = text_;
    return S_OK;
}

HRESULT CommandObject::Execute(VARIANT* recordsAffected, VARIANT values, long options, Recordset** rows) {
    if (!rows) return E_POINTER;
    *rows = nullptr;
    return Guard([&]() -> HRESULT {
        CommandRun run;
        HRESULT hr = Prepare(&values, options, &run);
        if (FAILED(hr)) return hr;
        // Values given here stay with the rows; else Requery reads the Parameters anew.
        RowsMaker make = IsMissing(values) ? CurrentRows(options)
                                           : StatementRows(std::move(run.plan.sql), std::move(run.parameters));
        ComPtr<RecordsetObject> made = MakeObject<RecordsetObject>();
        hr = made->OpenCommand(*run.connection.get(), std::move(make), std::move(run.text),
                               ComPtr<IDispatch>::share(static_cast<Command*>(this)));
        if (FAILED(hr)) return hr;
        GiveNoRecordsAffected(recordsAffected);
        if (!run.plan.noRecords) *rows = made.release();
        return S_OK;
    });
}

RowsMaker CommandObject::CurrentRows(long options) {
    ComPtr<CommandObject> self = ComPtr<CommandObject>::share(this);
    return [self, options](ConnectionObject& on, jetsql::ResultSet* out) {
        CommandRun run;
        HRESULT hr = self->Prepare(nullptr, options, &run);
        return FAILED(hr) ? hr : on.Query(run.plan.sql, run.parameters, out);
    };
}

HRESULT CommandObject::CreateParameter(BSTR name, long type, long direction, long size, VARIANT value,
                                       Parameter** made) {
    if (!made) return E_POINTER;
    *made = nullptr;
    return Guard([&]() -> HRESULT {
        ComPtr<ParameterObject> parameter = MakeObject<ParameterObject>();
        HRESULT hr = parameter->Define(name, type, direction, size, value);
        if (FAILED(hr)) return hr;
        *made = parameter.release();
        return S_OK;
    });
}

HRESULT CommandObject::Describe(bool quiet, std::vector<jetsql::ParameterInfo>* out) {
    if (!connection_ || !connection_->IsOpen()) return quiet ? kInvalidConnection : Refuse(kInvalidConnection);
    if (text_.empty()) return quiet ? kNoCommandText : Refuse(kNoCommandText);
    CommandPlan plan;
    std::u16string why;
    HRESULT hr = PlanCommand(text_, type_, -1, &plan, &why);
    if (FAILED(hr)) return quiet ? hr : Refuse(hr, why);
    hr = connection_->DescribeParameters(plan.sql, out, !quiet);
    if (FAILED(hr)) return hr;
    for (std::size_t i = 0; i < out->size(); ++i) {
        if ((*out)[i].typeKnown) continue;
        if (quiet) return kParamUnavailable;
        return Refuse(kParamUnavailable, std::u16string(AdoErrorText(kParamUnavailable)) + u" The type of `?` number " +
                                             jet::Utf8ToUtf16(std::to_string(i + 1)) +
                                             u" cannot be told from the statement: append Parameters of the types "
                                             u"wanted instead.");
    }
    return S_OK;
}

HRESULT CommandObject::DescribeParameters() {
    return Guard([&]() -> HRESULT {
        std::vector<jetsql::ParameterInfo> info;
        HRESULT hr = Describe(false, &info);
        if (FAILED(hr)) return hr;
        std::vector<ComPtr<ParameterObject>> items;
        for (std::size_t i = 0; i < info.size(); ++i) items.push_back(ParameterObject::Described(i, info[i]));
        parameters_->items = std::move(items);
        parameters_->settled = true;
        return S_OK;
    });
}

void CommandObject::DescribeQuietly() {
    Guarded([&]() -> HRESULT {
        std::vector<jetsql::ParameterInfo> info;
        if (FAILED(Describe(true, &info))) return S_OK;
        for (std::size_t i = 0; i < info.size(); ++i)
            parameters_->items.push_back(ParameterObject::Described(i, info[i]));
        return S_OK;
    }, [&](HRESULT hr, const std::u16string&) {
        parameters_->items.clear();
        return hr;
    });
}

ComPtr<CommandObject> CommandObject::FromObject(IUnknown* object) {
    ComPtr<Command> found;
    if (!object || FAILED(object->QueryInterface(IID_CommandImplementation, found.put_void())) || !found) return {};
    return ComPtr<CommandObject>(static_cast<CommandObject*>(found.release()));
}

}  // namespace ado_com
