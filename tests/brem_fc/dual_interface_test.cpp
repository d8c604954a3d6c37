// The server's type library and its dual interface: every member as the type information declares
// it, and every member called both through Invoke and through IBremFc with the same results.
#include "brem_fc_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

#include "fc/BREM_FC/IBremFc.h"
#include "platform_com/dual_harness.h"

namespace {
using dualtest::CallValues;

std::vector<dualtest::VtableRow> BremFcCalls(IBremFc* s) {
    constexpr INVOKEKIND M = INVOKE_FUNC, G = INVOKE_PROPERTYGET, P = INVOKE_PROPERTYPUT,
                         R = INVOKE_PROPERTYPUTREF;
    using C = CallValues;
    return {
        {1, M, [s](C& c) { return s->Open(c.Bstr(0)); }},
        {2, M, [s](C&) { return s->Close(); }},
        {3, M, [s](C& c) { return s->ConvertBitmap(c.Buffer(0)); }},
        {4, M, [s](C& c) { return s->GetAWBSamplePos(c.OutI2(0), c.OutI2(1)); }},
        {5, M, [s](C& c) { return s->SetAwbSamplePos(c.I2(0), c.I2(1)); }},
        {6, G, [s](C& c) { return s->get_BitmapSize(c.RetI4()); }},
        {7, G, [s](C& c) { return s->get_Brightness(c.RetI2()); }},
        {7, P, [s](C& c) { return s->put_Brightness(c.I2(0)); }},
        {8, G, [s](C& c) { return s->get_CameraSN(c.RetI4()); }},
        {9, G, [s](C& c) { return s->get_CameraVer(c.RetI4()); }},
        {10, G, [s](C& c) { return s->get_CameraType(c.RetI4()); }},
        {11, G, [s](C& c) { return s->get_CameraID(c.RetI2()); }},
        {12, G, [s](C& c) { return s->get_Contrast(c.RetI2()); }},
        {12, P, [s](C& c) { return s->put_Contrast(c.I2(0)); }},
        {13, G, [s](C& c) { return s->get_CurrentFrame(c.RetI4()); }},
        {13, P, [s](C& c) { return s->put_CurrentFrame(c.I4(0)); }},
        {14, G, [s](C& c) { return s->get_DispPixels(c.RetI4()); }},
        {15, G, [s](C& c) { return s->get_EnableLPF(c.RetI4()); }},
        {15, P, [s](C& c) { return s->put_EnableLPF(c.I4(0)); }},
        {16, G, [s](C& c) { return s->get_Enhance(c.RetI2()); }},
        {16, P, [s](C& c) { return s->put_Enhance(c.I2(0)); }},
        {17, G, [s](C& c) { return s->get_FrameLength(c.RetI4()); }},
        {18, G, [s](C& c) { return s->get_FramePixels(c.RetI4()); }},
        {19, G, [s](C& c) { return s->get_FrameRate(c.RetI4()); }},
        {20, G, [s](C& c) { return s->get_Gain(c.RetI2()); }},
        {20, P, [s](C& c) { return s->put_Gain(c.I2(0)); }},
        {21, G, [s](C& c) { return s->get_Gamma(c.RetI2()); }},
        {21, P, [s](C& c) { return s->put_Gamma(c.I2(0)); }},
        {22, G, [s](C& c) { return s->get_BayerPos(c.RetI2()); }},
        {22, P, [s](C& c) { return s->put_BayerPos(c.I2(0)); }},
        {23, G, [s](C& c) { return s->get_ImageLength(c.RetI4()); }},
        {24, G, [s](C& c) { return s->get_FileVer(c.RetI4()); }},
        {25, G, [s](C& c) { return s->get_NumFrames(c.RetI4()); }},
        {26, G, [s](C& c) { return s->get_MemorySize(c.RetI4()); }},
        {27, G, [s](C& c) { return s->get_RecordedBegin(c.RetI4()); }},
        {28, G, [s](C& c) { return s->get_RecordedEnd(c.RetI4()); }},
        {29, G, [s](C& c) { return s->get_SegmentNo(c.RetI2()); }},
        {30, G, [s](C& c) { return s->get_ShutterSpeed(c.RetI4()); }},
        {31, G, [s](C& c) { return s->get_TriggerTime(c.RetBstr()); }},
        {32, G, [s](C& c) { return s->get_VideoType(c.RetI2()); }},
        {33, G, [s](C& c) { return s->get_WhiteBalance(c.RetI2()); }},
        {33, P, [s](C& c) { return s->put_WhiteBalance(c.I2(0)); }},
        {34, G, [s](C& c) { return s->get_Zoom(c.RetI2()); }},
        {35, G, [s](C& c) { return s->get_Chroma(c.RetI2()); }},
        {35, P, [s](C& c) { return s->put_Chroma(c.I2(0)); }},
        {36, G, [s](C& c) { return s->get_FileLength(c.RetI4()); }},
        {37, M, [s](C&) { return s->CustomGainDlg(); }},
        {38, M, [s](C&) { return s->CustomChromaDlg(); }},
        {39, G, [s](C& c) { return s->get_WBGainR(c.RetI2()); }},
        {39, R, [s](C& c) { return s->putref_WBGainR(c.I2(0)); }},
        {40, G, [s](C& c) { return s->get_WBGainG(c.RetI2()); }},
        {40, R, [s](C& c) { return s->putref_WBGainG(c.I2(0)); }},
        {41, G, [s](C& c) { return s->get_WBGainB(c.RetI2()); }},
        {41, R, [s](C& c) { return s->putref_WBGainB(c.I2(0)); }},
        {42, G, [s](C& c) { return s->get_FilterPosX(c.RetI2()); }},
        {42, P, [s](C& c) { return s->put_FilterPosX(c.I2(0)); }},
        {43, G, [s](C& c) { return s->get_FilterPosY(c.RetI2()); }},
        {43, P, [s](C& c) { return s->put_FilterPosY(c.I2(0)); }},
        {44, M, [s](C& c) { return s->GetBayerFilter(c.Int(0), c.Int(1), c.Int(2), c.OutInt(3)); }},
        {45, M, [s](C& c) { return s->SetBayerFilter(c.Int(0), c.Int(1), c.Int(2), c.Int(3)); }},
        {46, G, [s](C& c) { return s->get_ShowBayer(c.RetI4()); }},
        {46, P, [s](C& c) { return s->put_ShowBayer(c.I4(0)); }},
        {47, G, [s](C& c) { return s->get_BayerCursorPos(c.RetI4()); }},
        {47, P, [s](C& c) { return s->put_BayerCursorPos(c.I4(0)); }},
        {48, M, [s](C& c) { return s->WriteFilter(c.Bstr(0)); }},
        {49, M, [s](C& c) { return s->GetYcMatrixFilter(c.Int(0), c.Int(1), c.OutInt(2)); }},
        {50, G, [s](C& c) { return s->get_RecGain(c.RetI2()); }},
        {51, G, [s](C& c) { return s->get_SceneNo(c.RetI2()); }},
        {52, M, [s](C& c) { return s->ClonePipeline(c.Buffer(0), c.RetI4()); }},
    };
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A second server object, driven through IBremFc, beside the fixture's late-bound one.
class BremFcDualTest : public BremFcTest {
protected:
    void SetUp() override {
        BremFcTest::SetUp();
        ASSERT_TRUE(m_second.CreateDispatch(kBremFcProgId));
        ASSERT_EQ(m_second.m_lpDispatch->QueryInterface(IID_IBremFc, reinterpret_cast<void**>(&m_dual)),
                  S_OK);
        m_rows = dualtest::Rows(m_server.m_lpDispatch);
        m_calls = BremFcCalls(m_dual);
        cm8::Recording rec;
        rec.width = 64;
        rec.height = 48;
        rec.begin = -3;
        rec.frames = 12;
        m_path = Write(rec);
    }
    void TearDown() override {
        if (m_dual)
            m_dual->Release();
        m_second.ReleaseDispatch();
        BremFcTest::TearDown();
    }

    const dualtest::Row& RowOf(DISPID id, INVOKEKIND kind) const {
        for (const dualtest::Row& row : m_rows)
            if (row.id == id && row.kind == kind)
                return row;
        throw std::runtime_error("no row");
    }
    dualtest::Outcome Same(DISPID id, INVOKEKIND kind, const dualtest::Inputs& in) {
        return dualtest::ExpectSame(m_server.m_lpDispatch, m_calls, RowOf(id, kind), in);
    }
    void OpenBoth(const std::string& path) {
        dualtest::Inputs in;
        in.text = path;
        EXPECT_EQ(Same(BREMFC_OPEN, INVOKE_FUNC, in).hr, S_OK);
    }
    // Every member but Open and Close, in the table's order, with in's values.
    void Walk(dualtest::Inputs in,
              const std::function<void(const dualtest::Row&, const dualtest::Outcome&)>& check) {
        for (const dualtest::Row& row : m_rows) {
            if (row.id == BREMFC_OPEN || row.id == BREMFC_CLOSE)
                continue;
            dualtest::Inputs mine = in;
            if (row.id == BREMFC_WRITEFILTER)
                mine.text = m_dir + "/filter.txt";
            if (row.id == BREMFC_CLONEPIPELINE)
                mine.block = 7; // too small for the record; the record itself is compared below
            check(row, dualtest::ExpectSame(m_server.m_lpDispatch, m_calls, row, mine));
        }
    }

    COleDispatchDriver m_second;
    IBremFc* m_dual = nullptr;
    std::vector<dualtest::Row> m_rows;
    std::vector<dualtest::VtableRow> m_calls;
    std::string m_path;
};
} // namespace

TEST_F(BremFcDualTest, TypeLibraryDescribesTheLibraryTheClassAndEveryMember) {
    const dualtest::Library library = dualtest::LibraryOf(m_server.m_lpDispatch);
    EXPECT_EQ(library.guid, LIBID_BREM_FCLib);
    EXPECT_EQ(library.major, 1);
    EXPECT_EQ(library.minor, 0);
    EXPECT_EQ(library.docs,
              (std::vector<std::string>{"BREM_FCLib / BREM_FC 1.0 Type Library",
                                        "IBremFc / IBremFc Interface", "BremFc / BremFc Class"}));

    // DISPID, name, kinds (g get, p put, r putref, m method) and types: the property's type, or the
    // method's parameters.
    struct Member {
        DISPID id;
        const char* name;
        const char* kinds;
        std::vector<VARTYPE> types;
        VARTYPE result = VT_VOID; // a method's
    };
    constexpr VARTYPE I2 = VT_I2, I4 = VT_I4, INTV = VT_INT, BSTRV = VT_BSTR, BUF = VT_BUFFER;
    const Member members[] = {
        {1, "Open", "m", {BSTRV}},
        {2, "Close", "m", {}},
        {3, "ConvertBitmap", "m", {BUF}},
        {4, "GetAWBSamplePos", "m", {I2 | VT_BYREF, I2 | VT_BYREF}},
        {5, "SetAwbSamplePos", "m", {I2, I2}},
        {6, "BitmapSize", "g", {I4}},
        {7, "Brightness", "gp", {I2}},
        {8, "CameraSN", "g", {I4}},
        {9, "CameraVer", "g", {I4}},
        {10, "CameraType", "g", {I4}},
        {11, "CameraID", "g", {I2}},
        {12, "Contrast", "gp", {I2}},
        {13, "CurrentFrame", "gp", {I4}},
        {14, "DispPixels", "g", {I4}},
        {15, "EnableLPF", "gp", {I4}},
        {16, "Enhance", "gp", {I2}},
        {17, "FrameLength", "g", {I4}},
        {18, "FramePixels", "g", {I4}},
        {19, "FrameRate", "g", {I4}},
        {20, "Gain", "gp", {I2}},
        {21, "Gamma", "gp", {I2}},
        {22, "BayerPos", "gp", {I2}},
        {23, "ImageLength", "g", {I4}},
        {24, "FileVer", "g", {I4}},
        {25, "NumFrames", "g", {I4}},
        {26, "MemorySize", "g", {I4}},
        {27, "RecordedBegin", "g", {I4}},
        {28, "RecordedEnd", "g", {I4}},
        {29, "SegmentNo", "g", {I2}},
        {30, "ShutterSpeed", "g", {I4}},
        {31, "TriggerTime", "g", {BSTRV}},
        {32, "VideoType", "g", {I2}},
        {33, "WhiteBalance", "gp", {I2}},
        {34, "Zoom", "g", {I2}},
        {35, "Chroma", "gp", {I2}},
        {36, "FileLength", "g", {I4}},
        {37, "CustomGainDlg", "m", {}},
        {38, "CustomChromaDlg", "m", {}},
        {39, "WBGainR", "gr", {I2}},
        {40, "WBGainG", "gr", {I2}},
        {41, "WBGainB", "gr", {I2}},
        {42, "FilterPosX", "gp", {I2}},
        {43, "FilterPosY", "gp", {I2}},
        {44, "GetBayerFilter", "m", {INTV, INTV, INTV, INTV | VT_BYREF}},
        {45, "SetBayerFilter", "m", {INTV, INTV, INTV, INTV}},
        {46, "ShowBayer", "gp", {I4}},
        {47, "BayerCursorPos", "gp", {I4}},
        {48, "WriteFilter", "m", {BSTRV}},
        {49, "GetYcMatrixFilter", "m", {INTV, INTV, INTV | VT_BYREF}},
        {50, "RecGain", "g", {I2}},
        {51, "SceneNo", "g", {I2}},
        {52, "ClonePipeline", "m", {BUF}, I4},
    };
    std::vector<dualtest::Row> expected;
    for (const Member& m : members) {
        for (const char* k = m.kinds; *k; ++k) {
            dualtest::Row row;
            row.id = m.id;
            row.name = m.name;
            if (*k == 'm') {
                row.kind = INVOKE_FUNC;
                row.params = m.types;
                row.result = m.result;
            } else if (*k == 'g') {
                row.kind = INVOKE_PROPERTYGET;
                row.result = m.types[0];
            } else {
                row.kind = *k == 'p' ? INVOKE_PROPERTYPUT : INVOKE_PROPERTYPUTREF;
                row.params = m.types;
            }
            expected.push_back(row);
        }
    }
    ASSERT_EQ(m_rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m_rows[i].id, expected[i].id) << expected[i].name;
        EXPECT_EQ(m_rows[i].kind, expected[i].kind) << expected[i].name;
        EXPECT_EQ(m_rows[i].name, expected[i].name);
        EXPECT_EQ(m_rows[i].params, expected[i].params) << expected[i].name;
        EXPECT_EQ(m_rows[i].result, expected[i].result) << expected[i].name;
    }

    dualtest::ExpectNamesResolve(m_server.m_lpDispatch, m_rows);
}

TEST_F(BremFcDualTest, EveryMemberGivesTheSameResultsThroughInvokeAndTheInterface) {
    dualtest::ExpectSameMembers(m_rows, m_calls);

    // Closed: every member but the exempt ones fails with "not initialized", both ways.
    const std::set<DISPID> exempt = {BREMFC_CUSTOMGAINDLG, BREMFC_CUSTOMCHROMADLG, BREMFC_BAYERCURSORPOS};
    int failures = 0;
    Walk({}, [&](const dualtest::Row& row, const dualtest::Outcome& out) {
        if (exempt.count(row.id)) {
            EXPECT_EQ(out.hr, S_OK) << row.name;
            return;
        }
        EXPECT_EQ(out.hr, DISP_E_EXCEPTION) << row.name;
        EXPECT_EQ(out.description, "not initialized") << row.name;
        ++failures;
    });
    EXPECT_EQ(failures, static_cast<int>(m_rows.size()) - 2 - 4);

    dualtest::Inputs missing;
    missing.text = m_dir + "/missing.cm8";
    EXPECT_EQ(Same(BREMFC_OPEN, INVOKE_FUNC, missing).description, "can't open " + missing.text);

    OpenBoth(m_path);
    dualtest::Inputs usual; // 4 for 16- and 32-bit values, 1 for INT values
    dualtest::Inputs wild;
    wild.i2 = -1;
    wild.i4 = 1; // ShowBayer 1 opens the dialog
    wild.integer = 7;
    for (const dualtest::Inputs& in : {usual, wild}) {
        Walk(in, [&](const dualtest::Row& row, const dualtest::Outcome& out) {
            if (row.id == BREMFC_CONVERTBITMAP) {
                EXPECT_EQ(out.description, "ConvertBitmap: no buffer given");
            } else if (row.id == BREMFC_CLONEPIPELINE) {
                EXPECT_EQ(out.description.rfind(
                              "ClonePipeline: the buffer holds 7 bytes, the settings record needs ", 0),
                          0u)
                    << out.description;
            } else if (row.kind == INVOKE_PROPERTYGET) {
                EXPECT_EQ(out.hr, S_OK) << row.name;
            }
        });
        // The frame into a block of BitmapSize bytes.
        dualtest::Inputs frame = in;
        frame.block = 64 * 48 * 3 + 40;
        EXPECT_EQ(Same(BREMFC_CONVERTBITMAP, INVOKE_FUNC, frame).hr, S_OK);
    }
    EXPECT_EQ(Same(BREMFC_SHOWBAYER, INVOKE_PROPERTYGET, usual).outputs, " ret=1");

    // The colour-filter file each way.
    BSTR first = BstrFromUtf8((m_dir + "/a.txt").c_str());
    BSTR second = BstrFromUtf8((m_dir + "/b.txt").c_str());
    static const BYTE text[] = VTS_BSTR;
    m_server.InvokeHelper(BREMFC_WRITEFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, text,
                          (m_dir + "/a.txt").c_str());
    ASSERT_EQ(m_dual->WriteFilter(second), S_OK);
    EXPECT_EQ(ReadFile(m_dir + "/a.txt"), ReadFile(m_dir + "/b.txt"));
    EXPECT_NE(ReadFile(m_dir + "/a.txt").find("# kvx208"), std::string::npos);
    SysFreeString(first);
    SysFreeString(second);

    // The settings record each way: a null block asks for its size, a block of that size gets it.
    dualtest::Inputs sizeOnly;
    const dualtest::Outcome asked = Same(BREMFC_CLONEPIPELINE, INVOKE_FUNC, sizeOnly);
    EXPECT_EQ(asked.hr, S_OK);
    LONG size = 0;
    static const BYTE block[] = VTS_BUFFER;
    m_server.InvokeHelper(BREMFC_CLONEPIPELINE, DISPATCH_METHOD, VT_I4, &size, block,
                          static_cast<void*>(nullptr), size_t{0});
    ASSERT_GT(size, 16);
    EXPECT_NE(asked.outputs.find(" ret=" + std::to_string(size)), std::string::npos) << asked.outputs;
    std::vector<BYTE> late(static_cast<std::size_t>(size) + 8, 0xCD);
    std::vector<BYTE> early(static_cast<std::size_t>(size), 0xCD);
    LONG lateSize = 0;
    LONG earlySize = 0;
    m_server.InvokeHelper(BREMFC_CLONEPIPELINE, DISPATCH_METHOD, VT_I4, &lateSize, block,
                          static_cast<void*>(late.data()), late.size());
    ASSERT_EQ(m_dual->ClonePipeline({early.data(), early.size()}, &earlySize), S_OK);
    EXPECT_EQ(lateSize, size);
    EXPECT_EQ(earlySize, size);
    EXPECT_TRUE(std::equal(early.begin(), early.end(), late.begin()));
    EXPECT_EQ(late[static_cast<std::size_t>(size)], 0xCD); // nothing written past the record
    EXPECT_EQ(m_dual->ClonePipeline({early.data(), early.size()}, nullptr), E_POINTER);

    // Closing both, twice.
    EXPECT_EQ(Same(BREMFC_CLOSE, INVOKE_FUNC, usual).hr, S_OK);
    EXPECT_EQ(Same(BREMFC_CLOSE, INVOKE_FUNC, usual).hr, S_OK);
    EXPECT_EQ(Same(BREMFC_FRAMERATE, INVOKE_PROPERTYGET, usual).description, "not initialized");
}

TEST_F(BremFcDualTest, InterfaceMembersReportThroughErrorInformationAndRefuseNullPointers) {
    EXPECT_EQ(m_dual->get_FrameRate(nullptr), E_POINTER);
    EXPECT_EQ(m_dual->GetAWBSamplePos(nullptr, nullptr), E_POINTER);
    LONG rate = 77;
    EXPECT_EQ(m_dual->get_FrameRate(&rate), DISP_E_EXCEPTION);
    EXPECT_EQ(rate, 77);
    IErrorInfo* error = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &error), S_OK);
    GUID guid{};
    error->GetGUID(&guid);
    EXPECT_EQ(guid, IID_IBremFc);
    BSTR source = nullptr;
    error->GetSource(&source);
    EXPECT_EQ(Utf8FromBstr(source), kBremFcProgId);
    SysFreeString(source);
    error->Release();

    ISupportErrorInfo* support = nullptr;
    ASSERT_EQ(m_dual->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IBremFc), S_OK);
    support->Release();

    // A success clears what an earlier failure left.
    BSTR path = BstrFromUtf8(m_path.c_str());
    ASSERT_EQ(m_dual->Open(path), S_OK);
    SysFreeString(path);
    ASSERT_EQ(m_dual->get_FrameRate(&rate), S_OK);
    EXPECT_EQ(rate, 1000);
    EXPECT_EQ(GetErrorInfo(0, &error), S_FALSE);
}
