// The server's type library and its dual interface: every member as the type information declares
// it, and every member called both through Invoke and through IAVIFilter with the same results, on a
// file read through the decompressor and on one the server decodes itself.
#include <stdexcept>
#include <string>
#include <vector>

#include <QImage>

#include "platform/gdi/gdiqt.h"
#include "platform_com/dual_harness.h"
#include "server_fixture.h"
#include "vomCom/Ovisk/IAVIFilter.h"
#include "vomCom/Ovisk/OviskStrings.h"

using namespace ovisktest;

namespace {
using dualtest::CallValues;

std::vector<dualtest::VtableRow> AviFilterCalls(IAVIFilter* s) {
    constexpr INVOKEKIND M = INVOKE_FUNC;
    using C = CallValues;
    return {
        {1, M, [s](C& c) { return s->SetHandle(static_cast<HDC>(c.Buffer(0).pvData)); }},
        {2, M, [s](C& c) { return s->Open(c.Bstr(0)); }},
        {3, M, [s](C&) { return s->Close(); }},
        {4, M, [s](C& c) { return s->Jump(c.I4(0)); }},
        {5, M, [s](C& c) { return s->GetFrameCount(c.OutI4(0)); }},
        {6, M, [s](C& c) { return s->GetImageSize(c.OutI4(0), c.OutI4(1)); }},
        {7, M, [s](C&) { return s->Draw(); }},
        {8, M, [s](C& c) { return s->SetDrawRect(c.I4(0), c.I4(1), c.I4(2), c.I4(3)); }},
        {9, M, [s](C& c) { return s->SetImageRect(c.I4(0), c.I4(1), c.I4(2), c.I4(3)); }},
        {10, INVOKE_PROPERTYGET, [s](C& c) { return s->get_SceneIndex(c.RetI4()); }},
        {10, INVOKE_PROPERTYPUT, [s](C& c) { return s->put_SceneIndex(c.I4(0)); }},
        {11, M, [s](C& c) { return s->GetFrameRate(c.OutI4(0)); }},
        {12, M, [s](C& c) { return s->GetRange(c.I4(0), c.OutI4(1), c.OutI4(2)); }},
        {13, M, [s](C& c) { return s->GetImage(c.I4(0), c.Buffer(1), c.OutI4(2)); }},
        {14, M, [s](C& c) { return s->GetBitmap(c.I4(0), c.Buffer(1), c.OutI4(2)); }},
        {15, M, [s](C& c) { return s->GetBitmapSize(c.I4(0), c.OutI4(1)); }},
        {16, M, [s](C& c) { return s->GetStreamOptionData(c.I4(0), c.Buffer(1), c.OutI4(2)); }},
    };
}

// A second server object, driven through IAVIFilter, beside the fixture's late-bound one.
class OviskDualTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        ASSERT_TRUE(second.CreateDispatch(kAviFilterProgId));
        ASSERT_EQ(second.m_lpDispatch->QueryInterface(IID_IAVIFilter, reinterpret_cast<void**>(&dual)), S_OK);
        rows = dualtest::Rows(server.m_lpDispatch);
        calls = AviFilterCalls(dual);
    }
    void TearDown() override {
        if (dual)
            dual->Release();
        second.ReleaseDispatch();
        ServerTest::TearDown();
    }

    const dualtest::Row& RowOf(DISPID id, INVOKEKIND kind = INVOKE_FUNC) const {
        for (const dualtest::Row& row : rows)
            if (row.id == id && row.kind == kind)
                return row;
        throw std::runtime_error("no row");
    }
    dualtest::Outcome Same(DISPID id, const dualtest::Inputs& in, INVOKEKIND kind = INVOKE_FUNC) {
        return dualtest::ExpectSame(server.m_lpDispatch, calls, RowOf(id, kind), in);
    }
    // Every member but Open, Close and SetHandle, in the table's order.
    void Walk(const dualtest::Inputs& in,
              const std::function<void(const dualtest::Row&, const dualtest::Outcome&)>& check = {}) {
        for (const dualtest::Row& row : rows) {
            if (row.id == AVIFILTER_OPEN || row.id == AVIFILTER_CLOSE || row.id == AVIFILTER_SETHANDLE)
                continue;
            const dualtest::Outcome out = dualtest::ExpectSame(server.m_lpDispatch, calls, row, in);
            if (check)
                check(row, out);
        }
    }
    // Each object draws onto its own surface; the two must end up alike.
    void SetHandles(QImage* forLate, QImage* forDual, HDC* lateDc, HDC* dualDc) {
        *lateDc = CreateDCOnImage(forLate);
        *dualDc = CreateDCOnImage(forDual);
        static const BYTE params[] = VTS_BUFFER;
        server.InvokeHelper(AVIFILTER_SETHANDLE, DISPATCH_METHOD, VT_EMPTY, nullptr, params,
                            static_cast<void*>(*lateDc), size_t{0});
        ASSERT_EQ(dual->SetHandle(*dualDc), S_OK);
    }

    COleDispatchDriver second;
    IAVIFilter* dual = nullptr;
    std::vector<dualtest::Row> rows;
    std::vector<dualtest::VtableRow> calls;
};
} // namespace

TEST_F(OviskDualTest, TypeLibraryDescribesTheLibraryTheClassAndEveryMember) {
    const dualtest::Library library = dualtest::LibraryOf(server.m_lpDispatch);
    EXPECT_EQ(library.guid, LIBID_OVISKLib);
    EXPECT_EQ(library.major, 1);
    EXPECT_EQ(library.minor, 0);
    EXPECT_EQ(library.docs,
              (std::vector<std::string>{"OVISKLib / Ovisk 1.0 Type Library",
                                        "IAVIFilter / IAVIFilter Interface", "AVIFilter / AVIFilter Class"}));

    constexpr VARTYPE I4 = VT_I4, OUT = VT_I4 | VT_BYREF, BUF = VT_BUFFER;
    struct Member {
        DISPID id;
        const char* name;
        std::vector<VARTYPE> params;
    };
    const Member methods[] = {
        {1, "SetHandle", {BUF}},
        {2, "Open", {VT_BSTR}},
        {3, "Close", {}},
        {4, "Jump", {I4}},
        {5, "GetFrameCount", {OUT}},
        {6, "GetImageSize", {OUT, OUT}},
        {7, "Draw", {}},
        {8, "SetDrawRect", {I4, I4, I4, I4}},
        {9, "SetImageRect", {I4, I4, I4, I4}},
        {11, "GetFrameRate", {OUT}},
        {12, "GetRange", {I4, OUT, OUT}},
        {13, "GetImage", {I4, BUF, OUT}},
        {14, "GetBitmap", {I4, BUF, OUT}},
        {15, "GetBitmapSize", {I4, OUT}},
        {16, "GetStreamOptionData", {I4, BUF, OUT}},
    };
    ASSERT_EQ(rows.size(), std::size(methods) + 2);
    for (const Member& m : methods) {
        const dualtest::Row& row = RowOf(m.id);
        EXPECT_EQ(row.name, m.name);
        EXPECT_EQ(row.params, m.params) << m.name;
        EXPECT_EQ(row.result, VT_VOID) << m.name;
    }
    EXPECT_EQ(RowOf(10, INVOKE_PROPERTYGET).result, VT_I4);
    EXPECT_EQ(RowOf(10, INVOKE_PROPERTYPUT).params, std::vector<VARTYPE>{VT_I4});
    EXPECT_EQ(RowOf(10, INVOKE_PROPERTYGET).name, "SceneIndex");
    dualtest::ExpectNamesResolve(server.m_lpDispatch, rows);
}

TEST_F(OviskDualTest, EveryMemberGivesTheSameResultsBeforeAFileIsOpen) {
    dualtest::ExpectSameMembers(rows, calls);
    dualtest::Inputs in;
    in.block = 64;
    in.outStart = 64;
    Walk(in, [&](const dualtest::Row& row, const dualtest::Outcome& out) {
        switch (row.id) {
        case AVIFILTER_GETIMAGESIZE:
        case AVIFILTER_GETFRAMERATE:
        case AVIFILTER_SCENEINDEX:
            if (row.kind != INVOKE_PROPERTYPUT) {
                EXPECT_EQ(out.hr, S_OK) << row.name;
                return;
            }
            break;
        case AVIFILTER_JUMP:
        case AVIFILTER_GETRANGE:
        case AVIFILTER_GETSTREAMOPTIONDATA:
            EXPECT_EQ(out.hr, S_FALSE) << row.name;
            return;
        }
        EXPECT_EQ(out.hr, E_FAIL) << row.name;
        EXPECT_EQ(out.description, OviskString(IDS_NOT_OPENED)) << row.name;
    });
    EXPECT_EQ(Same(AVIFILTER_SETHANDLE, {}).description, OviskString(IDS_INVALID_HANDLE));
    EXPECT_EQ(Same(AVIFILTER_CLOSE, {}).hr, S_OK);
    dualtest::Inputs missing;
    missing.text = dir.File("missing.avi");
    EXPECT_EQ(Same(AVIFILTER_OPEN, missing).description, OviskString(IDS_DISK_OPEN));
}

TEST_F(OviskDualTest, EveryMemberGivesTheSameResultsOnOpenFiles) {
    const std::string plain = dir.File("plain.avi");
    ASSERT_TRUE(WriteProjectAvi(plain, mmioFOURCC('D', 'I', 'B', ' '), 32, 24, 6, "Frame_Rate:250\n"));
    aviblocks::AviDescription desc;
    desc.width = 64;
    desc.height = 48;
    desc.frames = 3;
    const std::string recording = dir.File("rec.avi");
    ASSERT_TRUE(aviblocks::WriteAviFile(recording, desc));

    for (const std::string& path : {plain, recording}) {
        SCOPED_TRACE(path);
        dualtest::Inputs open;
        open.text = path;
        ASSERT_EQ(Same(AVIFILTER_OPEN, open).hr, S_OK);
        LONG width = 0;
        LONG height = 0;
        ASSERT_EQ(dual->GetImageSize(&width, &height), S_OK);
        QImage lateSurface(width, height, QImage::Format_RGB32);
        QImage dualSurface(width, height, QImage::Format_RGB32);
        lateSurface.fill(Qt::black);
        dualSurface.fill(Qt::black);
        HDC lateDc = nullptr;
        HDC dualDc = nullptr;
        SetHandles(&lateSurface, &dualSurface, &lateDc, &dualDc);

        // Frame 1 and a stream that is not there; then frame 0, stream 0, with blocks of each size.
        for (const LONG value : {LONG{1}, LONG{0}}) {
            for (const std::size_t block : {std::size_t{0}, std::size_t{40}, std::size_t{1} << 20}) {
                dualtest::Inputs in;
                in.i4 = value;
                in.block = block;
                in.outStart = static_cast<LONG>(block);
                Walk(in);
            }
        }
        EXPECT_EQ(Same(AVIFILTER_GETFRAMECOUNT, {}).outputs, path == plain ? " out0=6" : " out0=3");
        dualtest::Inputs size;
        size.i4 = 2;
        EXPECT_EQ(Same(AVIFILTER_GETBITMAPSIZE, size).hr, S_OK);
        dualtest::Inputs text;
        text.i4 = static_cast<LONG>(mmioFOURCC('t', 'x', 't', 's'));
        text.block = 64;
        text.outStart = 64;
        const dualtest::Outcome chunk = Same(AVIFILTER_GETSTREAMOPTIONDATA, text);
        if (path == plain) {
            EXPECT_EQ(chunk.hr, S_OK);
            EXPECT_TRUE(chunk.outputs.ends_with(" out2=15")) << chunk.outputs; // "Frame_Rate:250\n"
        }
        // A full-size draw, then both surfaces compared.
        dualtest::Inputs whole;
        whole.i4 = 0;
        Same(AVIFILTER_SETDRAWRECT, whole);
        ASSERT_EQ(server.m_lpDispatch->Invoke(AVIFILTER_SETDRAWRECT, IID_NULL, 0, DISPATCH_METHOD, nullptr,
                                              nullptr, nullptr, nullptr),
                  DISP_E_BADPARAMCOUNT);
        static const BYTE rect[] = VTS_I4 VTS_I4 VTS_I4 VTS_I4;
        server.InvokeHelper(AVIFILTER_SETDRAWRECT, DISPATCH_METHOD, VT_EMPTY, nullptr, rect, 0, 0, width,
                            height);
        ASSERT_EQ(dual->SetDrawRect(0, 0, width, height), S_OK);
        EXPECT_EQ(Same(AVIFILTER_DRAW, {}).hr, S_OK);
        EXPECT_TRUE(lateSurface == dualSurface);
        QImage black(width, height, QImage::Format_RGB32);
        black.fill(Qt::black);
        EXPECT_FALSE(lateSurface == black);

        EXPECT_EQ(Same(AVIFILTER_CLOSE, {}).hr, S_OK);
        DeleteDC(lateDc);
        DeleteDC(dualDc);
    }
}

TEST_F(OviskDualTest, InterfaceMembersReportThroughErrorInformationAndRefuseNullPointers) {
    EXPECT_EQ(dual->GetFrameCount(nullptr), E_POINTER);
    EXPECT_EQ(dual->GetImageSize(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(dual->GetBitmap(0, {}, nullptr), E_POINTER);
    LONG count = 5;
    EXPECT_EQ(dual->GetFrameCount(&count), E_FAIL);
    IErrorInfo* error = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &error), S_OK);
    GUID guid{};
    error->GetGUID(&guid);
    EXPECT_EQ(guid, IID_IAVIFilter);
    BSTR text = nullptr;
    error->GetSource(&text);
    EXPECT_EQ(Utf8FromBstr(text), kAviFilterProgId);
    SysFreeString(text);
    error->GetDescription(&text);
    EXPECT_EQ(Utf8FromBstr(text), OviskString(IDS_NOT_OPENED));
    SysFreeString(text);
    error->Release();
    ISupportErrorInfo* support = nullptr;
    ASSERT_EQ(dual->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IAVIFilter), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    support->Release();
}
