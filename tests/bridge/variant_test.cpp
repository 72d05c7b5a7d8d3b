// Variant: Assign, Clear, CopyFrom, ToBytes and the result conversion.
#include <gtest/gtest.h>

#include "bridge/com_object.h"
#include "bridge/variant.h"
#include "tests/automation/scripted_dispatch.h"

using namespace core;
using namespace bridge;

using testautomation::ScriptedDispatch;

namespace {

LONG LowerBound(SAFEARRAY* array) {
    LONG lower = -99;
    SafeArrayGetLBound(array, 1, &lower);
    return lower;
}

LONG UpperBound(SAFEARRAY* array) {
    LONG upper = -99;
    SafeArrayGetUBound(array, 1, &upper);
    return upper;
}

template <class T>
T Element(SAFEARRAY* array, LONG index) {
    T value{};
    SafeArrayGetElement(array, &index, &value);
    return value;
}

SAFEARRAY* ByteArray(LONG lower, ULONG count, const BYTE* bytes) {
    SAFEARRAYBOUND bound{count, lower};
    SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    memcpy(data, bytes, count);
    SafeArrayUnaccessData(array);
    return array;
}

}  // namespace

TEST(VariantAssign, BytesBecomeOneBasedByteArrays) {
    Variant v;
    Bytes none;
    ASSERT_TRUE(v.Assign(ArgBytes(none)));
    EXPECT_EQ(v.Type(), VT_ARRAY | VT_UI1);
    EXPECT_EQ(SafeArrayGetDim(v.Raw().parray), 1u);
    EXPECT_EQ(LowerBound(v.Raw().parray), 1);
    EXPECT_EQ(UpperBound(v.Raw().parray), 0);

    Bytes three{7, 0, 255};
    ASSERT_TRUE(v.Assign(ArgBytes(three)));
    EXPECT_EQ(LowerBound(v.Raw().parray), 1);
    EXPECT_EQ(UpperBound(v.Raw().parray), 3);
    EXPECT_EQ(Element<BYTE>(v.Raw().parray, 1), 7);
    EXPECT_EQ(Element<BYTE>(v.Raw().parray, 2), 0);
    EXPECT_EQ(Element<BYTE>(v.Raw().parray, 3), 255);
    EXPECT_EQ(v.ToBytes(), three);
}

TEST(VariantAssign, Scalars) {
    Variant v;
    ASSERT_TRUE(v.Assign(ArgBool(true)));
    EXPECT_EQ(v.Type(), VT_BOOL);
    EXPECT_EQ(v.Raw().boolVal, VARIANT_TRUE);
    ASSERT_TRUE(v.Assign(ArgBool(false)));
    EXPECT_EQ(v.Raw().boolVal, VARIANT_FALSE);

    ASSERT_TRUE(v.Assign(ArgLong(4294967297LL)));
    EXPECT_EQ(v.Type(), VT_I4);
    EXPECT_EQ(v.Raw().lVal, 1);
    ASSERT_TRUE(v.Assign(ArgLong(0x7fffffffLL + 1)));
    EXPECT_EQ(v.Raw().lVal, static_cast<LONG>(0x80000000u));

    ASSERT_TRUE(v.Assign(ArgDate(45000.25)));
    EXPECT_EQ(v.Type(), VT_DATE);
    EXPECT_EQ(v.Raw().date, 45000.25);
    ASSERT_TRUE(v.Assign(ArgByte(200)));
    EXPECT_EQ(v.Type(), VT_UI1);
    EXPECT_EQ(v.Raw().bVal, 200);
    ASSERT_TRUE(v.Assign(ArgShort(-2)));
    EXPECT_EQ(v.Type(), VT_I2);
    EXPECT_EQ(v.Raw().iVal, -2);
    ASSERT_TRUE(v.Assign(ArgFloat(1.5f)));
    EXPECT_EQ(v.Type(), VT_R4);
    EXPECT_EQ(v.Raw().fltVal, 1.5f);
    ASSERT_TRUE(v.Assign(ArgDouble(-0.125)));
    EXPECT_EQ(v.Type(), VT_R8);
    EXPECT_EQ(v.Raw().dblVal, -0.125);
}

TEST(VariantAssign, TextsBecomeBstrsThroughTheAnsiCodePage) {
    Variant v;
    ASSERT_TRUE(v.Assign(ArgText("常量值")));
    EXPECT_EQ(v.Type(), VT_BSTR);
    EXPECT_STREQ(v.Raw().bstrVal, L"常量值");
    ASSERT_TRUE(v.Assign(ArgText("")));
    EXPECT_EQ(v.Type(), VT_BSTR);
    EXPECT_EQ(SysStringLen(v.Raw().bstrVal), 0u);
}

TEST(VariantAssign, UnconvertibleTypeCodesLeaveItEmpty) {
    Variant v;
    ASSERT_TRUE(v.Assign(ArgInt(5)));
    EXPECT_FALSE(v.Assign(BridgeArg{0x401000, TC_SubPointer}));
    EXPECT_EQ(v.Type(), VT_EMPTY);
    EXPECT_FALSE(v.Assign(BridgeArg{1, 0x80000701u}));
    EXPECT_EQ(v.Type(), VT_EMPTY);
    EXPECT_FALSE(v.Assign(ArgOmitted()));
}

TEST(VariantAssign, ArraysOfEveryElementType) {
    Variant v;
    std::int32_t ints[] = {1, -2, 3};
    ASSERT_TRUE(v.Assign(ArgArray({TC_Int, ints, 3})));
    EXPECT_EQ(v.Type(), VT_ARRAY | VT_I4);
    EXPECT_EQ(LowerBound(v.Raw().parray), 1);
    EXPECT_EQ(Element<LONG>(v.Raw().parray, 2), -2);

    std::int64_t longs[] = {4294967297LL, -1};
    ASSERT_TRUE(v.Assign(ArgArray({TC_Long, longs, 2})));
    EXPECT_EQ(v.Type(), VT_ARRAY | VT_I4);
    EXPECT_EQ(Element<LONG>(v.Raw().parray, 1), 1);
    EXPECT_EQ(Element<LONG>(v.Raw().parray, 2), -1);

    std::int32_t bools[] = {0, 7};
    ASSERT_TRUE(v.Assign(ArgArray({TC_Bool, bools, 2})));
    EXPECT_EQ(v.Type(), VT_ARRAY | VT_BOOL);
    EXPECT_EQ(Element<VARIANT_BOOL>(v.Raw().parray, 1), VARIANT_FALSE);
    EXPECT_EQ(Element<VARIANT_BOOL>(v.Raw().parray, 2), VARIANT_TRUE);

    Text texts[] = {"甲", ""};
    ASSERT_TRUE(v.Assign(ArgArray({TC_Text, texts, 2})));
    EXPECT_EQ(v.Type(), VT_ARRAY | VT_BSTR);
    BSTR first = Element<BSTR>(v.Raw().parray, 1);
    EXPECT_STREQ(first, L"甲");
    SysFreeString(first);

    Variant inner[2];
    inner[0].Assign(ArgDouble(2.5));
    ASSERT_TRUE(v.Assign(ArgArray({TC_Variant, inner, 2})));
    EXPECT_EQ(v.Type(), VT_ARRAY | VT_VARIANT);
    VARIANT element;
    VariantInit(&element);
    LONG index = 1;
    SafeArrayGetElement(v.Raw().parray, &index, &element);
    EXPECT_EQ(element.vt, VT_R8);
    EXPECT_EQ(element.dblVal, 2.5);
    VariantClear(&element);

    EXPECT_FALSE(v.Assign(ArgArray({TC_Bytes, nullptr, 0})));
    EXPECT_EQ(v.Type(), VT_EMPTY);
}

TEST(VariantAssign, ObjectsGoAsUnknownWithOneReference) {
    ScriptedDispatch* target = ScriptedDispatch::New(nullptr, "target");
    {
        ComObject object = ComObject::FromInterface(target);
        EXPECT_EQ(target->References(), 2u);
        Variant v;
        ASSERT_TRUE(v.Assign(ArgObject(object)));
        EXPECT_EQ(v.Type(), VT_UNKNOWN);
        EXPECT_EQ(target->References(), 3u);
        std::vector<ComObject> objects(2, object);
        Variant array;
        ASSERT_TRUE(array.Assign(ArgArray({TC_ComObject, objects.data(), 2})));
        EXPECT_EQ(array.Type(), VT_ARRAY | VT_UNKNOWN);
        EXPECT_EQ(target->References(), 7u);
    }
    EXPECT_EQ(target->References(), 1u);
    target->Release();

    ComObject empty;
    Variant v;
    v.Assign(ArgInt(1));
    EXPECT_TRUE(v.Assign(ArgObject(empty)));
    EXPECT_EQ(v.Type(), VT_EMPTY);
}

TEST(VariantAssign, VariantContentIsDereferenced) {
    LONG number = 42;
    Variant byReference;
    byReference.Raw().vt = VT_BYREF | VT_I4;
    byReference.Raw().plVal = &number;
    Variant v;
    ASSERT_TRUE(v.Assign(ArgVariant(byReference)));
    EXPECT_EQ(v.Type(), VT_I4);
    EXPECT_EQ(v.Raw().lVal, 42);
    byReference.Raw().vt = VT_EMPTY;  // it never owned the long
}

TEST(VariantCopy, IsIndependentOfItsSource) {
    Variant source;
    source.Assign(ArgText("abc"));
    Variant copy;
    copy.CopyFrom(source);
    source.Clear();
    EXPECT_EQ(source.Type(), VT_EMPTY);
    ASSERT_EQ(copy.Type(), VT_BSTR);
    EXPECT_STREQ(copy.Raw().bstrVal, L"abc");
}

TEST(VariantToBytes, ArraysAndCoercions) {
    Variant v;
    EXPECT_TRUE(v.ToBytes().empty());
    v.Assign(ArgInt(258));
    EXPECT_TRUE(v.ToBytes().empty());
    v.Assign(ArgDouble(1.0));
    EXPECT_TRUE(v.ToBytes().empty());

    const BYTE five[] = {1, 2, 3, 4, 5};
    v.Clear();
    v.Raw().vt = VT_ARRAY | VT_UI1;
    v.Raw().parray = ByteArray(0, 5, five);
    EXPECT_EQ(v.ToBytes(), (Bytes{1, 2, 3, 4, 5}));

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 5}};
    SAFEARRAY* grid = SafeArrayCreate(VT_I1, 2, bounds);
    Variant two;
    two.Raw().vt = VT_ARRAY | VT_I1;
    two.Raw().parray = grid;
    EXPECT_EQ(two.ToBytes().size(), 6u);

    Variant byReference;
    byReference.Raw().vt = VT_BYREF | VT_ARRAY | VT_UI1;
    byReference.Raw().pparray = &v.Raw().parray;
    EXPECT_EQ(byReference.ToBytes(), (Bytes{1, 2, 3, 4, 5}));
    byReference.Raw().vt = VT_EMPTY;

    std::int32_t ints[] = {1};
    v.Assign(ArgArray({TC_Int, ints, 1}));
    EXPECT_TRUE(v.ToBytes().empty());

    v.Assign(ArgText("AB"));
    EXPECT_EQ(v.ToBytes(), (Bytes{'A', 0, 'B', 0}));
}

TEST(ResultConversion, NullConvertsOnlyToVariant) {
    VARIANT null = testautomation::MakeNull();
    Text text = "old";
    double number = 9;
    bool flag = true;
    std::int32_t integer = 3;
    EXPECT_FALSE(ConvertResult(null, TC_Text, &text));
    EXPECT_EQ(text, "old");  // nothing written on failure
    EXPECT_FALSE(ConvertResult(null, TC_Double, &number));
    EXPECT_FALSE(ConvertResult(null, TC_Bool, &flag));
    EXPECT_FALSE(ConvertResult(null, TC_Int, &integer));
    Variant v;
    v.Assign(ArgInt(1));
    EXPECT_TRUE(ConvertResult(null, TC_Variant, &v));
    EXPECT_EQ(v.Type(), VT_NULL);
}

TEST(ResultConversion, EmptyConvertsToZeroes) {
    VARIANT empty;
    VariantInit(&empty);
    Text text = "old";
    double number = 9;
    bool flag = true;
    EXPECT_TRUE(ConvertResult(empty, TC_Text, &text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(ConvertResult(empty, TC_Double, &number));
    EXPECT_EQ(number, 0.0);
    EXPECT_TRUE(ConvertResult(empty, TC_Bool, &flag));
    EXPECT_FALSE(flag);
}

TEST(ResultConversion, Scalars) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    bool flag = false;
    ASSERT_TRUE(ConvertResult(value, TC_Bool, &flag));
    EXPECT_TRUE(flag);

    value = testautomation::MakeI4(-5);
    std::int64_t wide = 0;
    ASSERT_TRUE(ConvertResult(value, TC_Long, &wide));
    EXPECT_EQ(wide, -5);
    Text text;
    ASSERT_TRUE(ConvertResult(value, TC_Text, &text));
    EXPECT_EQ(text, "-5");

    value = testautomation::MakeR8(1e10);
    EXPECT_FALSE(ConvertResult(value, TC_Long, &wide));
    EXPECT_EQ(wide, -5);
    EXPECT_FALSE(ConvertResult(value, TC_Int, &wide));
    std::int16_t small = 0;
    value = testautomation::MakeR8(2.5);
    ASSERT_TRUE(ConvertResult(value, TC_Short, &small));
    EXPECT_EQ(small, 2);  // banker's rounding of the platform coercion

    VARIANT text16 = testautomation::MakeText(L"值");
    ASSERT_TRUE(ConvertResult(text16, TC_Text, &text));
    EXPECT_EQ(text, "值");
    VariantClear(&text16);

    EXPECT_FALSE(ConvertResult(value, TC_Bytes, &text));
    EXPECT_FALSE(ConvertResult(value, TC_SubPointer, &text));
}

TEST(ResultConversion, RecordsNeverConvert) {
    VARIANT record;
    VariantInit(&record);
    record.vt = VT_RECORD;
    Variant v;
    EXPECT_FALSE(ConvertResult(record, TC_Variant, &v));
    Text text;
    EXPECT_FALSE(ConvertResult(record, TC_Text, &text));
}

TEST(ResultConversion, ObjectsReplaceTheOldObject) {
    ScriptedDispatch* first = ScriptedDispatch::New(nullptr, "first");
    ScriptedDispatch* second = ScriptedDispatch::New(nullptr, "second");
    ComObject held = ComObject::FromInterface(first);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = second;
    ASSERT_TRUE(ConvertResult(value, TC_ComObject, &held));
    EXPECT_EQ(first->References(), 1u);
    EXPECT_EQ(second->References(), 2u);
    held.Clear();
    EXPECT_EQ(second->References(), 1u);
    first->Release();
    second->Release();
    EXPECT_EQ(testautomation::LiveObjects(), 0);
}
