// InvokeByName and the call family, against scripted objects described by probe.tlb.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "bridge/com_object.h"
#include "tests/automation/scripted_dispatch.h"

using namespace core;
using namespace bridge;

using namespace testautomation;

namespace {

class Invoke : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library_ = new TypeLibrary("probe.tlb"); }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(library_->Info("Probe"), nullptr);
        CallLog().clear();
        probe_ = ScriptedDispatch::New(library_->Info("Probe"), "probe");
        object_ = ComObject::FromInterface(probe_);
        probe_->Release();
    }
    void TearDown() override {
        object_.Clear();
        EXPECT_EQ(LiveObjects(), 0) << "a reference was not given back";
    }

    ScriptedDispatch* NewPartner() { return ScriptedDispatch::New(library_->Info("Partner"), "partner"); }
    const ReceivedCall& OnlyCall() {
        EXPECT_EQ(CallLog().size(), 1u);
        static ReceivedCall none;
        return CallLog().empty() ? none : CallLog().back();
    }

    static TypeLibrary* library_;
    ScriptedDispatch* probe_ = nullptr;
    ComObject object_;
};

TypeLibrary* Invoke::library_ = nullptr;

// Answers with the argument it received.
HRESULT EchoFirst(std::vector<VARIANT*>& args, VARIANT* result) {
    return args.empty() || !result ? S_OK : VariantCopyInd(result, args[0]);
}

}  // namespace

TEST_F(Invoke, NamesBindWhateverTheirCase) {
    probe_->On("Echo", EchoFirst);
    for (const char* name : {"Echo", "echo", "ECHO", "eChO"}) {
        Variant result = object_.CallVariantMethod(name, ArgInt(5));
        EXPECT_EQ(LastCallStatus(), CallStatus::Ok) << name;
        EXPECT_EQ(result.Type(), VT_I4);
        EXPECT_EQ(result.Raw().lVal, 5);
    }
    ASSERT_EQ(CallLog().size(), 4u);
    for (const ReceivedCall& call : CallLog()) {
        EXPECT_EQ(call.member, "Echo");
        EXPECT_EQ(call.memberId, 1);
        EXPECT_EQ(call.flags, DISPATCH_METHOD);
        EXPECT_TRUE(call.named.empty());
    }
}

TEST_F(Invoke, UnknownAndEmptyNamesDoNotBind) {
    EXPECT_EQ(object_.GetTextProperty("Missing"), "");
    EXPECT_EQ(LastCallStatus(), CallStatus::NotBound);
    object_.CallMethod("");
    EXPECT_EQ(LastCallStatus(), CallStatus::NotBound);
    // A Get never binds a put-only or a plain method name to a put.
    EXPECT_TRUE(CallLog().empty());
}

TEST_F(Invoke, GetPassesItsArgumentsToTheMember) {
    probe_->On("Item", [](std::vector<VARIANT*>& args, VARIANT* result) {
        if (args.size() != 1 || args[0]->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        VARIANT text = MakeText((std::wstring(args[0]->bstrVal) + L"=1").c_str());
        *result = text;
        return S_OK;
    });
    EXPECT_EQ(object_.GetTextProperty("item", ArgText("常量值")), "常量值=1");
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    const ReceivedCall& call = OnlyCall();
    EXPECT_EQ(call.flags, DISPATCH_PROPERTYGET);
    ASSERT_EQ(call.args.size(), 1u);
    EXPECT_EQ(call.args[0].Text(), L"常量值");
}

TEST_F(Invoke, OmittedArguments) {
    object_.CallMethod("Optional", ArgInt(1), ArgOmitted(), ArgInt(3), ArgOmitted(), ArgOmitted());
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);  // trailing omissions are not counted
    Variant empty;
    object_.CallMethod("Optional", ArgVariant(empty), ArgText("b"));
    object_.CallMethod("Optional", ArgOmitted(), ArgOmitted());
    ASSERT_EQ(CallLog().size(), 3u);

    const ReceivedCall& first = CallLog()[0];
    ASSERT_EQ(first.args.size(), 3u);
    EXPECT_EQ(first.args[0].vt, VT_I4);
    EXPECT_EQ(first.args[0].value.lVal, 1);
    EXPECT_EQ(first.args[1].vt, VT_ERROR);
    EXPECT_TRUE(first.args[1].Missing());
    EXPECT_EQ(first.args[2].value.lVal, 3);

    const ReceivedCall& second = CallLog()[1];
    ASSERT_EQ(second.args.size(), 2u);
    EXPECT_TRUE(second.args[0].Missing()) << "an empty Variant goes as missing";
    EXPECT_EQ(second.args[1].vt, VT_BSTR);

    EXPECT_TRUE(CallLog()[2].args.empty());
}

TEST_F(Invoke, VariableArgumentListsTakeAnyNumber) {
    probe_->On("Sum", [](std::vector<VARIANT*>& args, VARIANT* result) {
        LONG sum = 0;
        for (VARIANT* arg : args) sum += arg->lVal;
        *result = MakeI4(sum);
        return S_OK;
    });
    Variant sum = object_.CallVariantMethod("Sum", ArgInt(1), ArgInt(2), ArgInt(3), ArgInt(4), ArgInt(5));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    EXPECT_EQ(sum.Raw().lVal, 15);
    ASSERT_EQ(CallLog().back().args.size(), 5u);
    EXPECT_EQ(CallLog().back().args[4].vt, VT_I4);
    object_.CallMethod("Sum");
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    EXPECT_EQ(CallLog().back().args.size(), 0u);
}

TEST_F(Invoke, TooManyArgumentsMakeNoCall) {
    object_.CallMethod("Echo", ArgInt(1), ArgInt(2));
    EXPECT_EQ(LastCallStatus(), CallStatus::TooManyArguments);
    object_.GetNumberProperty("Plain", ArgInt(1));
    EXPECT_EQ(LastCallStatus(), CallStatus::TooManyArguments);
    EXPECT_EQ(object_.CallVariantMethod("Nothing", ArgOmitted(), ArgOmitted()).Type(), VT_EMPTY);
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);  // omitted trailing arguments do not count
    ASSERT_EQ(CallLog().size(), 1u);
    EXPECT_EQ(CallLog()[0].member, "Nothing");
}

TEST_F(Invoke, OutputParametersAreWrittenBackOnlyToReferences) {
    probe_->On("Twice", [](std::vector<VARIANT*>& args, VARIANT*) {
        if (args.size() != 2 || args[1]->vt != (VT_BYREF | VT_I4)) return DISP_E_TYPEMISMATCH;
        *args[1]->plVal = args[0]->lVal * 2;
        args[0]->lVal = -1;  // a by-value input is the server's own copy
        return S_OK;
    });
    std::int32_t value = 21;
    std::int32_t doubled = 0;
    object_.CallMethod("Twice", RefInt(value), RefInt(doubled));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    EXPECT_EQ(doubled, 42);
    EXPECT_EQ(value, 21);
    EXPECT_EQ(CallLog().back().args[0].vt, VT_I4);
    EXPECT_EQ(CallLog().back().args[1].vt, VT_BYREF | VT_I4);

    // By value: the server still gets a reference, to the engine's own cell.
    object_.CallMethod("Twice", ArgInt(5), ArgInt(0));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    EXPECT_EQ(CallLog().back().args[1].vt, VT_BYREF | VT_I4);

    // A text argument is coerced to the declared long before it is referenced.
    Text number = "17";
    object_.CallMethod("Twice", ArgInt(1), RefText(number));
    EXPECT_EQ(CallLog().back().args[1].vt, VT_BYREF | VT_I4);
    EXPECT_EQ(number, "2");
}

TEST_F(Invoke, InOutTextsAndVariantsComeBack) {
    probe_->On("Swap", [](std::vector<VARIANT*>& args, VARIANT*) {
        if (args[0]->vt != (VT_BYREF | VT_BSTR) || args[1]->vt != (VT_BYREF | VT_VARIANT))
            return DISP_E_TYPEMISMATCH;
        SysFreeString(*args[0]->pbstrVal);
        *args[0]->pbstrVal = SysAllocString(L"新值");
        VariantClear(args[1]->pvarVal);
        *args[1]->pvarVal = MakeR8(0.5);
        return S_OK;
    });
    Text text = "旧值";
    Variant any;
    any.Assign(ArgInt(3));
    object_.CallMethod("swap", RefText(text), RefVariant(any));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    EXPECT_EQ(CallLog().back().args[0].Text(), L"旧值");
    EXPECT_EQ(text, "新值");
    EXPECT_EQ(any.Type(), VT_R8);
    EXPECT_EQ(any.Raw().dblVal, 0.5);
}

TEST_F(Invoke, PutsUsePutRefForObjectVariables) {
    ScriptedDispatch* partner = NewPartner();
    ComObject other = ComObject::FromInterface(partner);
    partner->Release();

    EXPECT_TRUE(object_.SetProperty("plain", ArgInt(7)));
    EXPECT_TRUE(object_.SetProperty("LINKED", ArgObject(other)));
    std::int32_t numbers[] = {1, 2};
    Variant array;
    array.Assign(ArgArray({TC_Int, numbers, 2}));
    EXPECT_TRUE(object_.SetProperty("Numbers", ArgVariant(array)));
    EXPECT_TRUE(object_.SetProperty("Label", ArgText("x")));
    ASSERT_EQ(CallLog().size(), 4u);

    EXPECT_EQ(CallLog()[0].flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(CallLog()[1].flags, DISPATCH_PROPERTYPUTREF);
    EXPECT_EQ(CallLog()[2].flags, DISPATCH_PROPERTYPUTREF);
    EXPECT_EQ(CallLog()[3].flags, DISPATCH_PROPERTYPUT);
    for (const ReceivedCall& call : CallLog()) {
        ASSERT_EQ(call.named.size(), 1u) << call.member;
        EXPECT_EQ(call.named[0], DISPID_PROPERTYPUT);
        ASSERT_EQ(call.args.size(), 1u);
    }
    EXPECT_EQ(CallLog()[0].args[0].vt, VT_I4);
    EXPECT_EQ(CallLog()[1].args[0].vt, VT_DISPATCH);
    EXPECT_EQ(CallLog()[1].args[0].value.pdispVal, static_cast<IDispatch*>(partner));
    EXPECT_EQ(CallLog()[2].args[0].vt, VT_ARRAY | VT_I4);
    EXPECT_EQ(CallLog()[3].args[0].vt, VT_BSTR);

    probe_->ReturnsHresult("Plain", DISP_E_TYPEMISMATCH);
    EXPECT_FALSE(object_.SetProperty("Plain", ArgText("x")));
    EXPECT_EQ(LastCallStatus(), CallStatus::TypeMismatch);
    CallLog().clear();
}

TEST_F(Invoke, UserDefinedParameterTypes) {
    ScriptedDispatch* partner = NewPartner();
    ComObject other = ComObject::FromInterface(partner);
    partner->Release();

    Text shade = "1";
    object_.CallMethod("Paint", RefText(shade));  // enum: a long
    object_.CallMethod("Spend", RefText(shade));  // alias of long
    object_.CallMethod("Meet", ArgObject(other));  // pointer to a dispinterface
    object_.CallMethod("Keep", ArgObject(other));  // alias of IDispatch*
    object_.CallMethod("Hold", ArgObject(other));  // IUnknown*
    object_.CallMethod("Echo", ArgObject(other));  // VARIANT: no interface passed
    ASSERT_EQ(CallLog().size(), 6u);
    EXPECT_EQ(CallLog()[0].args[0].vt, VT_BYREF | VT_I4);
    EXPECT_EQ(CallLog()[0].args[0].value.lVal, 1);
    EXPECT_EQ(CallLog()[1].args[0].vt, VT_BYREF | VT_I4);
    EXPECT_EQ(CallLog()[2].args[0].vt, VT_BYREF | VT_DISPATCH);
    EXPECT_EQ(CallLog()[2].args[0].value.pdispVal, static_cast<IDispatch*>(partner));
    EXPECT_EQ(CallLog()[3].args[0].vt, VT_DISPATCH);
    EXPECT_EQ(CallLog()[4].args[0].vt, VT_UNKNOWN);
    EXPECT_EQ(CallLog()[4].args[0].value.punkVal, static_cast<IUnknown*>(partner));
    EXPECT_EQ(CallLog()[5].args[0].vt, VT_UNKNOWN);
    EXPECT_EQ(CallLog()[5].args[0].value.punkVal, nullptr);
    CallLog().clear();
    EXPECT_EQ(partner->References(), 1u);
}

TEST_F(Invoke, ByReferenceArrays) {
    probe_->On("Fill", [](std::vector<VARIANT*>& args, VARIANT*) {
        if (args[0]->vt != (VT_BYREF | VT_ARRAY | VT_I4)) return DISP_E_TYPEMISMATCH;
        LONG index = 1, value = 99;
        return SafeArrayPutElement(*args[0]->pparray, &index, &value);
    });
    std::int32_t numbers[] = {1, 2};
    Variant array;
    array.Assign(ArgArray({TC_Int, numbers, 2}));
    object_.CallMethod("Fill", RefVariant(array));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    ASSERT_EQ(array.Type(), VT_ARRAY | VT_I4);
    LONG index = 1, value = 0;
    SafeArrayGetElement(array.Raw().parray, &index, &value);
    EXPECT_EQ(value, 99);
}

TEST_F(Invoke, UnsupportedArgumentsMakeNoCall) {
    Bytes bytes{1, 2};
    object_.CallMethod("Echo", ArgBytes(bytes));
    EXPECT_EQ(LastCallStatus(), CallStatus::UnsupportedArgument);
    object_.CallMethod("Echo", BridgeArg{0x401000, TC_SubPointer});
    EXPECT_EQ(LastCallStatus(), CallStatus::UnsupportedArgument);
    Text text = "kept";
    object_.CallMethod("Swap", RefText(text), BridgeArg{0, 0x80000701u});
    EXPECT_EQ(LastCallStatus(), CallStatus::UnsupportedArgument);
    EXPECT_TRUE(CallLog().empty());
}

TEST_F(Invoke, LongArgumentsGoAsTheirLow32Bits) {
    object_.CallMethod("Echo", ArgLong(4294967297LL));
    EXPECT_EQ(OnlyCall().args[0].vt, VT_I4);
    EXPECT_EQ(OnlyCall().args[0].value.lVal, 1);
}

TEST_F(Invoke, EveryFailingHresultHasItsStatus) {
    probe_->On("Fail", [](std::vector<VARIANT*>& args, VARIANT* result) {
        if (result) *result = MakeText(L"not delivered");
        return static_cast<HRESULT>(args[0]->lVal);
    });
    const struct {
        HRESULT hr;
        CallStatus status;
    } table[] = {
        {DISP_E_BADPARAMCOUNT, CallStatus::BadParamCount},     {DISP_E_BADVARTYPE, CallStatus::BadVarType},
        {DISP_E_EXCEPTION, CallStatus::ServerException},       {DISP_E_MEMBERNOTFOUND, CallStatus::MemberNotFound},
        {DISP_E_NONAMEDARGS, CallStatus::NoNamedArgs},         {DISP_E_OVERFLOW, CallStatus::Overflow},
        {DISP_E_PARAMNOTFOUND, CallStatus::ParamNotFound},     {DISP_E_TYPEMISMATCH, CallStatus::TypeMismatch},
        {DISP_E_PARAMNOTOPTIONAL, CallStatus::ParamNotOptional}, {E_FAIL, CallStatus::InvokeFailed},
        {DISP_E_UNKNOWNNAME, CallStatus::InvokeFailed},        {S_FALSE, CallStatus::Ok},
    };
    for (const auto& row : table) {
        Text text = object_.GetTextProperty("Fail", ArgInt(row.hr));
        EXPECT_EQ(LastCallStatus(), row.status) << std::hex << row.hr;
        if (row.status != CallStatus::Ok) {
            EXPECT_EQ(text, "");
        }
    }
    probe_->ReturnsHresult("Fail", DISP_E_EXCEPTION);
    EXPECT_FALSE(object_.SetProperty("Fail", ArgInt(0)));  // a method bound by a put
    EXPECT_EQ(LastCallStatus(), CallStatus::ServerException);
    EXPECT_EQ(object_.CallObjectMethod("Fail", ArgInt(0)).Interface(), nullptr);
    EXPECT_EQ(object_.CallVariantMethod("Fail", ArgInt(0)).Type(), VT_EMPTY);
    EXPECT_EQ(object_.GetDateProperty("Fail", ArgInt(0)), 0.0);
}

TEST_F(Invoke, DatabaseNullInEveryRequestedType) {
    probe_->Returns("Nothing", MakeNull());
    EXPECT_EQ(object_.GetTextProperty("Nothing"), "");
    EXPECT_EQ(LastCallStatus(), CallStatus::ResultNotConvertible);
    EXPECT_EQ(object_.GetNumberProperty("Nothing"), 0.0);
    EXPECT_EQ(LastCallStatus(), CallStatus::ResultNotConvertible);
    EXPECT_FALSE(object_.GetBoolProperty("Nothing"));
    EXPECT_EQ(LastCallStatus(), CallStatus::ResultNotConvertible);
    EXPECT_EQ(object_.GetDateProperty("Nothing"), 0.0);
    EXPECT_EQ(LastCallStatus(), CallStatus::ResultNotConvertible);
    EXPECT_TRUE(object_.GetObjectProperty("Nothing").IsEmpty());
    EXPECT_EQ(LastCallStatus(), CallStatus::ResultNotConvertible);
    Variant value = object_.GetVariantProperty("Nothing");
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    EXPECT_EQ(value.Type(), VT_NULL);
    EXPECT_EQ(CallLog().size(), 6u);
}

TEST_F(Invoke, ObjectResultsHoldTheirOwnReference) {
    ScriptedDispatch* partner = NewPartner();
    VARIANT held;
    VariantInit(&held);
    held.vt = VT_DISPATCH;
    held.pdispVal = partner;  // the probe's answer now owns the creation reference
    probe_->Returns("Echo", held);
    ComObject got = object_.CallObjectMethod("Echo", ArgInt(0));
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
    EXPECT_EQ(got.Interface(), static_cast<IUnknown*>(partner));
    EXPECT_EQ(partner->References(), 2u);
    got.Clear();
    EXPECT_EQ(partner->References(), 1u);
}

TEST_F(Invoke, ObjectsThatCannotBeCalled) {
    ComObject empty;
    EXPECT_EQ(empty.GetNumberProperty("Plain"), 0.0);
    EXPECT_EQ(LastCallStatus(), CallStatus::EmptyObject);

    ScriptedDispatch* blind = ScriptedDispatch::New(nullptr, "blind");
    ComObject noTypes = ComObject::FromInterface(blind);
    blind->Release();
    EXPECT_EQ(noTypes.GetNumberProperty("Plain"), 0.0);
    EXPECT_EQ(LastCallStatus(), CallStatus::NoTypeInfo);
    EXPECT_TRUE(CallLog().empty()) << "never falls back to GetIDsOfNames";

    // Its Invoke itself works.
    IDispatch* dispatch = nullptr;
    noTypes.Interface()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(dispatch->Invoke(20, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr), S_OK);
    dispatch->Release();
    CallLog().clear();

    ComObject noDispatch;
    {
        IClassFactory* factory = nullptr;
        // Any object without IDispatch: a class factory of the scripted kind will do.
        ClassRegistration registration(CLSID_NULL, [] { return nullptr; });
        CoGetClassObject(CLSID_NULL, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                         reinterpret_cast<void**>(&factory));
        if (factory) {
            noDispatch = ComObject::FromInterface(factory);
            factory->Release();
        }
    }
    ASSERT_FALSE(noDispatch.IsEmpty());
    noDispatch.CallMethod("Echo");
    EXPECT_EQ(LastCallStatus(), CallStatus::NoDispatch);
}

TEST_F(Invoke, StatusSlotBelongsToTheCallingThread) {
    object_.CallMethod("Echo", ArgInt(1));
    ASSERT_EQ(LastCallStatus(), CallStatus::Ok);
    CallStatus seen = CallStatus::Ok;
    std::thread other([&seen] {
        ComObject empty;
        empty.CallMethod("Echo");
        seen = LastCallStatus();
    });
    other.join();
    EXPECT_EQ(seen, CallStatus::EmptyObject);
    EXPECT_EQ(LastCallStatus(), CallStatus::Ok);
}

TEST_F(Invoke, ThousandsOfCallsGiveEveryReferenceBack) {
    ScriptedDispatch* partner = NewPartner();
    ComObject other = ComObject::FromInterface(partner);
    partner->Release();
    VARIANT answer;
    VariantInit(&answer);
    answer.vt = VT_DISPATCH;
    answer.pdispVal = partner;
    partner->AddRef();
    probe_->Returns("Item", answer);
    probe_->On("Echo", EchoFirst);
    Text text = "t";
    for (int i = 0; i < 2000; ++i) {
        object_.CallObjectMethod("Item", ArgText(text));
        object_.CallMethod("Meet", ArgObject(other));
        object_.CallMethod("Hold", ArgObject(other));
        object_.SetProperty("Linked", ArgObject(other));
        Variant wrapped;
        wrapped.Assign(ArgObject(other));
        object_.CallVariantMethod("Echo", RefVariant(wrapped));
        object_.GetTextProperty("Item", RefText(text));
        CallLog().clear();
    }
    EXPECT_EQ(probe_->References(), 1u);
    EXPECT_EQ(partner->References(), 2u);  // ours and the scripted answer's
}
