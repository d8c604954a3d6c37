// Automation values: strings, class ids and the coercions that callers rely on.
#include <gtest/gtest.h>

#include "platform/com/com.h"

TEST(Bstr, KeepsLengthAndEmbeddedZeros) {
    const char16_t text[] = {u'a', 0, u'b'};
    BSTR s = SysAllocStringLen(text, 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 3u);
    EXPECT_EQ(SysStringByteLen(s), 6u);
    EXPECT_EQ(s[1], 0);
    EXPECT_EQ(s[3], 0); // terminated after the counted characters
    SysFreeString(s);
    SysFreeString(nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
}

TEST(Bstr, Utf8RoundTripIncludingJapaneseAndAstralCharacters) {
    const char* texts[] = {"/tmp/a b/frame.cm8", "オープンされていません。", "\xF0\x9F\x98\x80 x", ""};
    for (const char* t : texts) {
        BSTR s = BstrFromUtf8(t);
        EXPECT_EQ(Utf8FromBstr(s), t);
        SysFreeString(s);
    }
    EXPECT_EQ(Utf16FromUtf8("\xE3\x82\xAA").size(), 1u);
    EXPECT_EQ(Utf16FromUtf8("\xF0\x9F\x98\x80").size(), 2u);
}

// File names in other encodings (Latin-1, Shift-JIS) reach a server as they are, and back.
TEST(Bstr, BytesThatAreNoUtf8CrossUnchanged) {
    const char* texts[] = {"a\xFF"
                           "b\xC3",
                           "/tmp/\xE9t\xE9.cm8",
                           "/tmp/\x93\xFA\x96\x7B.cm8", // Shift-JIS
                           "\xC0\xAF",                  // overlong '/'
                           "\xED\xB2\x80",              // an encoded surrogate
                           "\xE3\x82",                  // cut in a character
                           "\xF4\x90\x80\x80 x"};       // past U+10FFFF
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        BSTR s = BstrFromUtf8(t);
        EXPECT_EQ(Utf8FromBstr(s), t);
        SysFreeString(s);
    }
    const std::u16string s = Utf16FromUtf8("a\xFF"
                                           "b\xC3");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[1], 0xDCFF);
    EXPECT_EQ(s[3], 0xDCC3);
    // Other lone surrogates are no text.
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC10, 0};
    EXPECT_EQ(Utf8FromBstr(lone), "a\xEF\xBF\xBD"
                                  "b\xEF\xBF\xBD");
}

TEST(Guid, TextRoundTripAndMalformedTexts) {
    const GUID g = {0x1234ABCD, 0x0102, 0xA0B0, {1, 2, 3, 4, 5, 6, 7, 0xFF}};
    const std::string text = GuidToString(g);
    EXPECT_EQ(text, "{1234ABCD-0102-A0B0-0102-0304050607FF}");
    GUID back{};
    ASSERT_TRUE(GuidFromString(text.c_str(), &back));
    EXPECT_EQ(back, g);
    ASSERT_TRUE(GuidFromString("1234abcd-0102-a0b0-0102-0304050607ff", &back));
    EXPECT_EQ(back, g);
    for (const char* bad :
         {"", "{1234ABCD-0102-A0B0-0102-0304050607FF", "{1234ABCD-0102-A0B0-0102-0304050607FG}",
          "{1234ABCD-0102-A0B0-0102-0304050607FF}x", "{1234ABCD0102-A0B0-0102-0304050607FF}"})
        EXPECT_FALSE(GuidFromString(bad, &back)) << bad;
}

TEST(Variant, CoercesIntegersWithinRangeAndRefusesOverflow) {
    VARIANT out;
    VariantInit(&out);
    const VARIANT i4 = MakeVariantI4(40000);
    ASSERT_EQ(VariantChangeType(&out, &i4, 0, VT_INT), S_OK);
    EXPECT_EQ(out.vt, VT_INT);
    EXPECT_EQ(out.intVal, 40000);
    EXPECT_EQ(VariantChangeType(&out, &i4, 0, VT_I2), DISP_E_OVERFLOW);

    SHORT target = -7;
    const VARIANT ref = MakeVariantRef(VT_I2, &target);
    ASSERT_EQ(VariantChangeType(&out, &ref, 0, VT_I4), S_OK);
    EXPECT_EQ(out.lVal, -7);

    VARIANT text = MakeVariantBstr("-123");
    ASSERT_EQ(VariantChangeType(&out, &text, 0, VT_I2), S_OK);
    EXPECT_EQ(out.iVal, -123);
    VariantClear(&text);
    text = MakeVariantBstr("12x");
    EXPECT_EQ(VariantChangeType(&out, &text, 0, VT_I4), DISP_E_TYPEMISMATCH);
    VariantClear(&text);

    ASSERT_EQ(VariantChangeType(&out, &i4, 0, VT_BSTR), S_OK);
    EXPECT_EQ(Utf8FromBstr(out.bstrVal), "40000");
    VariantClear(&out);
    EXPECT_EQ(out.vt, VT_EMPTY);
}

TEST(Variant, CopyDuplicatesStrings) {
    VARIANT a = MakeVariantBstr("frame");
    VARIANT b;
    VariantInit(&b);
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_NE(a.bstrVal, b.bstrVal);
    VariantClear(&a);
    EXPECT_EQ(Utf8FromBstr(b.bstrVal), "frame");
    VariantClear(&b);
}

namespace {
// Counts its references; VariantCopy and VariantClear must keep the count right.
class Counted final : public IDispatch {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    ULONG refs = 1;
};
} // namespace

TEST(Variant, CopyOfAnInterfaceAddsAReferenceAndClearReleasesIt) {
    for (const VARTYPE vt : {VT_DISPATCH, VT_UNKNOWN}) {
        Counted object;
        Counted other;
        VARIANT source;
        VariantInit(&source);
        source.vt = vt;
        source.pdispVal = &object;
        VARIANT copy;
        VariantInit(&copy);
        ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
        EXPECT_EQ(copy.vt, vt);
        EXPECT_EQ(copy.punkVal, static_cast<IUnknown*>(&object));
        EXPECT_EQ(object.refs, 2u) << "type " << vt;
        // Copying over a held interface releases it.
        VARIANT second;
        VariantInit(&second);
        second.vt = vt;
        second.pdispVal = &other;
        ASSERT_EQ(VariantCopy(&copy, &second), S_OK);
        EXPECT_EQ(object.refs, 1u);
        EXPECT_EQ(other.refs, 2u);
        ASSERT_EQ(VariantClear(&copy), S_OK);
        EXPECT_EQ(other.refs, 1u);
        EXPECT_EQ(copy.vt, VT_EMPTY);
        // A copy onto itself changes nothing.
        ASSERT_EQ(VariantCopy(&source, &source), S_OK);
        EXPECT_EQ(object.refs, 1u);
    }
}
