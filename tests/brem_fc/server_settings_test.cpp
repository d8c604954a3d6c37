// Pipeline settings through the server: puts, gets and their effect on the converted picture.
#include "brem_fc_fixture.h"

#include <array>
#include <fstream>
#include <iterator>

class BremFcSettingsTest : public BremFcTest {
protected:
    void SetUp() override {
        BremFcTest::SetUp();
        cm8::Recording rec;
        rec.width = 48;
        rec.height = 32;
        rec.frames = 2;
        Open(Write(rec));
    }
};

TEST_F(BremFcSettingsTest, GainEighteenConvertsWithTheTwelveDecibelGain) {
    PutI2(BREMFC_GAIN, 12);
    const auto twelve = Convert();
    PutI2(BREMFC_GAIN, 18);
    EXPECT_EQ(GetI2(BREMFC_GAIN), 18);
    EXPECT_EQ(Convert(), twelve);
    PutI2(BREMFC_GAIN, 0);
    EXPECT_NE(Convert(), twelve);
}

TEST_F(BremFcSettingsTest, EnhanceValuesSelectLevels) {
    PutI2(BREMFC_ENHANCE, 0);
    const auto level0 = Convert();
    PutI2(BREMFC_ENHANCE, 3); // not 2, 4 or 6: level 0, but the value is kept
    EXPECT_EQ(GetI2(BREMFC_ENHANCE), 3);
    EXPECT_EQ(Convert(), level0);
    PutI2(BREMFC_ENHANCE, 6);
    EXPECT_EQ(GetI2(BREMFC_ENHANCE), 6);
    EXPECT_NE(Convert(), level0);
}

TEST_F(BremFcSettingsTest, WhiteBalanceModesAndClampedGains) {
    PutI2(BREMFC_WHITEBALANCE, 1);
    EXPECT_EQ(GetI2(BREMFC_WHITEBALANCE), 1);
    EXPECT_EQ(GetI2(BREMFC_WBGAINR), 136);
    EXPECT_EQ(GetI2(BREMFC_WBGAING), 128);
    EXPECT_EQ(GetI2(BREMFC_WBGAINB), 173);
    PutI2(BREMFC_WHITEBALANCE, 3);
    EXPECT_EQ(GetI2(BREMFC_WBGAINR), 193);
    EXPECT_EQ(GetI2(BREMFC_WBGAINB), 122);
    PutI2(BREMFC_WHITEBALANCE, 4);
    EXPECT_EQ(GetI2(BREMFC_WBGAINR), 128);
    // Gains are handed over by reference-put as the values themselves, and clamped.
    m_server.InvokeHelper(BREMFC_WBGAINR, DISPATCH_PROPERTYPUTREF, VT_EMPTY, nullptr,
                          reinterpret_cast<const BYTE*>(VTS_I2), 5000);
    EXPECT_EQ(GetI2(BREMFC_WBGAINR), 4095);
    PutI2(BREMFC_WBGAINB, -7);
    EXPECT_EQ(GetI2(BREMFC_WBGAINB), 0);
}

TEST_F(BremFcSettingsTest, SamplePointSetsManualGains) {
    PutI2(BREMFC_WHITEBALANCE, 0);
    static const BYTE set[] = VTS_I2 VTS_I2;
    m_server.InvokeHelper(BREMFC_SETAWBSAMPLEPOS, DISPATCH_METHOD, VT_EMPTY, nullptr, set, 10, 7);
    SHORT x = 0, y = 0;
    static const BYTE get[] = VTS_PI2 VTS_PI2;
    m_server.InvokeHelper(BREMFC_GETAWBSAMPLEPOS, DISPATCH_METHOD, VT_EMPTY, nullptr, get, &x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 7);
    // The gains now come from the measured window, not the start values 165, 128, 140.
    const SHORT r = GetI2(BREMFC_WBGAINR);
    const SHORT b = GetI2(BREMFC_WBGAINB);
    EXPECT_EQ(GetI2(BREMFC_WBGAING), 128);
    EXPECT_FALSE(r == 165 && b == 140) << r << " " << b;
}

TEST_F(BremFcSettingsTest, SimpleSettingsReadBackAndBayerPosSplitsIntoPhases) {
    const struct {
        DISPID id;
        SHORT value;
    } cases[] = {{BREMFC_BRIGHTNESS, -20}, {BREMFC_CONTRAST, 150}, {BREMFC_CHROMA, 75}, {BREMFC_GAMMA, 2}};
    for (const auto& c : cases) {
        PutI2(c.id, c.value);
        EXPECT_EQ(GetI2(c.id), c.value) << c.id;
    }
    PutI4(BREMFC_ENABLELPF, 5);
    EXPECT_EQ(GetI4(BREMFC_ENABLELPF), 1);
    PutI2(BREMFC_BAYERPOS, 3);
    EXPECT_EQ(GetI2(BREMFC_FILTERPOSX), 1);
    EXPECT_EQ(GetI2(BREMFC_FILTERPOSY), 1);
    PutI2(BREMFC_FILTERPOSX, 0);
    EXPECT_EQ(GetI2(BREMFC_BAYERPOS), 2);
}

TEST_F(BremFcSettingsTest, BayerFilterAndMatrixIndexesAreChecked) {
    int weight = -1;
    static const BYTE get[] = VTS_I4 VTS_I4 VTS_I4 VTS_PINT;
    m_server.InvokeHelper(BREMFC_GETBAYERFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, get, 0, 0, 4, &weight);
    EXPECT_EQ(weight, 8); // red at phase 0: centre 8
    static const BYTE set[] = VTS_I4 VTS_I4 VTS_I4 VTS_I4;
    m_server.InvokeHelper(BREMFC_SETBAYERFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, set, 2, 3, 8, -3);
    m_server.InvokeHelper(BREMFC_GETBAYERFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, get, 2, 3, 8, &weight);
    EXPECT_EQ(weight, -3);
    for (const auto& bad : {std::array<int, 3>{3, 0, 0}, {0, 4, 0}, {0, 0, 9}, {-1, 0, 0}}) {
        Failure([&] {
            m_server.InvokeHelper(BREMFC_SETBAYERFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, set, bad[0],
                                  bad[1], bad[2], 1);
        });
        EXPECT_EQ(m_lastScode, E_INVALIDARG);
        Failure([&] {
            m_server.InvokeHelper(BREMFC_GETBAYERFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, get, bad[0],
                                  bad[1], bad[2], &weight);
        });
        EXPECT_EQ(m_lastScode, E_INVALIDARG);
    }
    int coeff = 0;
    static const BYTE matrix[] = VTS_I4 VTS_I4 VTS_PINT;
    m_server.InvokeHelper(BREMFC_GETYCMATRIXFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, matrix, 1, 2, &coeff);
    EXPECT_EQ(coeff, 886);
    Failure([&] {
        m_server.InvokeHelper(BREMFC_GETYCMATRIXFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, matrix, 3, 0,
                              &coeff);
    });
    EXPECT_EQ(m_lastScode, E_INVALIDARG);
}

TEST_F(BremFcSettingsTest, WriteFilterGoldenTextAndUnwritablePath) {
    PutI2(BREMFC_WHITEBALANCE, 4); // gains 128: the matrix alone
    const std::string path = m_dir + "/filter.txt";
    static const BYTE params[] = VTS_BSTR;
    m_server.InvokeHelper(BREMFC_WRITEFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, params, path.c_str());
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string head =
        "# kvx208\r\n"
        "# WB-Param : R = 1.000000, G = 1.000000, B = 1.000000\r\n"
        "# matrix order: [phase 0..3][YUV 0..2][Y 0..2][X 0..2]\r\n"
        "# format\r\n"
        "#   line start with:\r\n"
        "#\t#\tcomment\r\n"
        "#\t<space> or <nul> line\tblank line\r\n"
        "#\tR,G,B\t3x3 block index\r\n"
        "#\tother\t3 parameter values\r\n"
        // Block 0 is phase 1: red left and right 4, green centre 8, blue above and below 4.
        "Y0\r\n"
        "0.000000\t0.114000\t0.000000\r\n"
        "0.299000\t1.174000\t0.299000\r\n"
        "0.000000\t0.114000\t0.000000\r\n"
        "U0\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    EXPECT_EQ(lines, 9u + 4u * 3u * 4u);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);

    const std::string bad = m_dir + "/no/such/folder/filter.txt";
    EXPECT_NE(Failure([&] {
                  m_server.InvokeHelper(BREMFC_WRITEFILTER, DISPATCH_METHOD, VT_EMPTY, nullptr, params,
                                        bad.c_str());
              }).find("cannot write"),
              std::string::npos);
}
