// Open and closed states: the "not initialized" rule, failing opens and buffer checks.
#include "brem_fc_fixture.h"

#include <fstream>
#include <set>

namespace {
struct Member {
    DISPID id;
    WORD flags;
    const char* params;
};
} // namespace

TEST_F(BremFcTest, EveryCheckedMemberFailsWhileClosedAndTheExemptOnesSucceed) {
    SHORT s = 0;
    int i = 0;
    LONG l = 0;
    char buffer[64];
    const Member checked[] = {
        {BREMFC_CONVERTBITMAP, DISPATCH_METHOD, VTS_BUFFER},
        {BREMFC_GETAWBSAMPLEPOS, DISPATCH_METHOD, VTS_PI2 VTS_PI2},
        {BREMFC_SETAWBSAMPLEPOS, DISPATCH_METHOD, VTS_I2 VTS_I2},
        {BREMFC_GETBAYERFILTER, DISPATCH_METHOD, VTS_I4 VTS_I4 VTS_I4 VTS_PINT},
        {BREMFC_SETBAYERFILTER, DISPATCH_METHOD, VTS_I4 VTS_I4 VTS_I4 VTS_I4},
        {BREMFC_WRITEFILTER, DISPATCH_METHOD, VTS_BSTR},
        {BREMFC_GETYCMATRIXFILTER, DISPATCH_METHOD, VTS_I4 VTS_I4 VTS_PINT},
    };
    for (const Member& m : checked) {
        const std::string text = Failure([&] {
            const auto* info = reinterpret_cast<const BYTE*>(m.params);
            switch (m.id) {
            case BREMFC_CONVERTBITMAP:
                m_server.InvokeHelper(m.id, m.flags, VT_EMPTY, nullptr, info, static_cast<void*>(buffer),
                                      sizeof buffer);
                break;
            case BREMFC_GETAWBSAMPLEPOS:
                m_server.InvokeHelper(m.id, m.flags, VT_EMPTY, nullptr, info, &s, &s);
                break;
            case BREMFC_SETAWBSAMPLEPOS:
                m_server.InvokeHelper(m.id, m.flags, VT_EMPTY, nullptr, info, 1, 1);
                break;
            case BREMFC_GETBAYERFILTER:
                m_server.InvokeHelper(m.id, m.flags, VT_EMPTY, nullptr, info, 0, 0, 0, &i);
                break;
            case BREMFC_SETBAYERFILTER:
                m_server.InvokeHelper(m.id, m.flags, VT_EMPTY, nullptr, info, 0, 0, 0, 1);
                break;
            case BREMFC_WRITEFILTER:
                m_server.InvokeHelper(m.id, m.flags, VT_EMPTY, nullptr, info, (m_dir + "/f.txt").c_str());
                break;
            case BREMFC_GETYCMATRIXFILTER:
                m_server.InvokeHelper(m.id, m.flags, VT_EMPTY, nullptr, info, 0, 0, &i);
                break;
            }
        });
        EXPECT_EQ(text, "not initialized") << "DISPID " << m.id;
    }
    // Every property but BayerCursorPos, read and (where writable) written. A read-only property
    // has no put at all.
    const DISPID props[] = {6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                            26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 39, 40, 41, 42, 43, 46, 50, 51};
    const std::set<DISPID> writable = {7, 12, 13, 15, 16, 20, 21, 22, 33, 35, 39, 40, 41, 42, 43, 46};
    for (DISPID id : props) {
        EXPECT_EQ(Failure([&] { m_server.GetProperty(id, VT_I4, &l); }), "not initialized") << "get " << id;
        if (writable.count(id)) {
            EXPECT_EQ(Failure([&] { PutI4(id, 1); }), "not initialized") << "put " << id;
        } else {
            EXPECT_EQ(Failure([&] { PutI4(id, 1); }), "(ole exception)") << "put " << id;
            EXPECT_EQ(m_lastScode, DISP_E_MEMBERNOTFOUND) << "put " << id;
        }
    }
    // Exempt: Close (twice), the two dialog stubs and the cursor position.
    static const BYTE none[] = VTS_NONE;
    m_server.InvokeHelper(BREMFC_CLOSE, DISPATCH_METHOD, VT_EMPTY, nullptr, none);
    m_server.InvokeHelper(BREMFC_CLOSE, DISPATCH_METHOD, VT_EMPTY, nullptr, none);
    m_server.InvokeHelper(BREMFC_CUSTOMGAINDLG, DISPATCH_METHOD, VT_EMPTY, nullptr, none);
    m_server.InvokeHelper(BREMFC_CUSTOMCHROMADLG, DISPATCH_METHOD, VT_EMPTY, nullptr, none);
    PutI4(BREMFC_BAYERCURSORPOS, (5 << 16) | 6);
    EXPECT_EQ(GetI4(BREMFC_BAYERCURSORPOS), (5 << 16) | 6);
}

TEST_F(BremFcTest, FailingOpenLeavesTheObjectClosedIncludingAnEarlierFile) {
    cm8::Recording good;
    good.width = 32;
    good.height = 16;
    good.frames = 2;
    Open(Write(good));
    EXPECT_EQ(GetI4(BREMFC_NUMFRAMES), 2);

    // Frame ranges that are empty or leave the 32-bit frame numbers, told by their reason.
    struct Range {
        std::int32_t begin;
        std::uint32_t numFrames;
        const char* told;
    };
    for (const Range r : {Range{0, 0, "the recording holds no frames"},
                          Range{INT32_MAX, 2,
                                "the recording's frame numbering or count is out of range: first frame "
                                "2147483647, 2 frames"},
                          Range{0, 0xFFFFFFFF,
                                "the recording's frame numbering or count is out of range: first frame 0, "
                                "4294967295 frames"}}) {
        SCOPED_TRACE(r.told);
        cm8::Recording hostile = good;
        hostile.begin = r.begin;
        hostile.numFrames = r.numFrames;
        EXPECT_EQ(Failure([&] { Open(Write(hostile, "hostile.cm8")); }), r.told);
        EXPECT_EQ(m_lastScode, DISP_E_EXCEPTION);
        EXPECT_EQ(Failure([&] { GetI4(BREMFC_FRAMERATE); }), "not initialized");
    }

    const std::string missing = m_dir + "/missing.cm8";
    EXPECT_EQ(Failure([&] { Open(missing); }), "can't open " + missing);

    // Magic present but the header cut short.
    {
        std::ofstream cut(m_dir + "/cut.cm8", std::ios::binary);
        cut << "CIMG" << std::string(100, '\0');
    }
    EXPECT_NE(Failure([&] { Open(m_dir + "/cut.cm8"); }), "(no failure)");
    EXPECT_EQ(Failure([&] { GetI4(BREMFC_NUMFRAMES); }), "not initialized");
}

TEST_F(BremFcTest, ConvertBitmapRefusesNullAndShortBuffers) {
    cm8::Recording rec;
    rec.width = 32;
    rec.height = 16;
    rec.frames = 1;
    Open(Write(rec));
    static const BYTE params[] = VTS_BUFFER;
    std::vector<BYTE> shortBlock(static_cast<std::size_t>(GetI4(BREMFC_BITMAPSIZE)) - 1, 0xAB);
    EXPECT_NE(Failure([&] {
                  m_server.InvokeHelper(BREMFC_CONVERTBITMAP, DISPATCH_METHOD, VT_EMPTY, nullptr, params,
                                        static_cast<void*>(shortBlock.data()), shortBlock.size());
              }).find("smaller than BitmapSize"),
              std::string::npos);
    EXPECT_EQ(shortBlock[0], 0xAB);
    EXPECT_NE(Failure([&] {
                  m_server.InvokeHelper(BREMFC_CONVERTBITMAP, DISPATCH_METHOD, VT_EMPTY, nullptr, params,
                                        static_cast<void*>(nullptr), static_cast<size_t>(0));
              }).find("no buffer"),
              std::string::npos);
}

TEST_F(BremFcTest, MissingFrameOfCutRecordingFailsTheSelection) {
    cm8::Recording rec;
    rec.width = 32;
    rec.height = 16;
    rec.frames = 5;
    rec.truncate = 512 + 2 * 32 * 16 + 7; // frames 0 and 1 whole, frame 2 cut
    Open(Write(rec));
    PutI4(BREMFC_CURRENTFRAME, 1);
    EXPECT_NE(Failure([&] { PutI4(BREMFC_CURRENTFRAME, 3); }), "(no failure)");
    EXPECT_NE(Failure([&] { PutI4(BREMFC_CURRENTFRAME, 2); }), "(no failure)");
}

TEST_F(BremFcTest, ShowBayerCreatesAndDestroysTheDialogWindow) {
    cm8::Recording rec;
    rec.width = 32;
    rec.height = 16;
    rec.frames = 1;
    Open(Write(rec));
    EXPECT_EQ(GetI4(BREMFC_SHOWBAYER), 0);
    PutI4(BREMFC_SHOWBAYER, 1);
    EXPECT_EQ(GetI4(BREMFC_SHOWBAYER), 1);
    PutI4(BREMFC_SHOWBAYER, 1); // 1 while the window exists destroys it
    EXPECT_EQ(GetI4(BREMFC_SHOWBAYER), 0);
    PutI4(BREMFC_SHOWBAYER, 1);
    PutI4(BREMFC_SHOWBAYER, 7);
    EXPECT_EQ(GetI4(BREMFC_SHOWBAYER), 0);
}
