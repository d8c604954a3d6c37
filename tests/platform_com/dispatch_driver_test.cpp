// The program's side of automation: the dispatch driver calling a registered server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <unistd.h>

#include "platform/afx/ole/dispdriver.h"

namespace {
class DispatchDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/kivic_drv_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        setenv("KIVIC_REGISTRY", (m_dir + "/test.reg").c_str(), 1);
        std::string error;
        ASSERT_EQ(ComRegisterModule(SAMPLE_SERVER_PATH, false, &error), S_OK) << error;
    }
    void TearDown() override {
        unsetenv("KIVIC_REGISTRY");
        std::system(("rm -rf '" + m_dir + "'").c_str());
    }
    std::string m_dir;
};
} // namespace

TEST_F(DispatchDriverTest, CallsMembersWithTheirParameterTypes) {
    COleDispatchDriver driver;
    ASSERT_TRUE(driver.CreateDispatch("Kivic.Sample"));
    driver.SetProperty(1, VT_I4, 1234);
    LONG counter = 0;
    driver.GetProperty(1, VT_I4, &counter);
    EXPECT_EQ(counter, 1234);
    SHORT narrow = 0;
    driver.GetProperty(1, VT_I2, &narrow);
    EXPECT_EQ(narrow, 1234);

    SHORT high = 0, low = 0;
    static const BYTE params[] = VTS_I4 VTS_PI2 VTS_PI2;
    driver.InvokeHelper(2, DISPATCH_METHOD, VT_EMPTY, nullptr, params, 0x00070009, &high, &low);
    EXPECT_EQ(high, 7);
    EXPECT_EQ(low, 9);

    char buffer[8] = {};
    LONG written = 0;
    static const BYTE fill[] = VTS_BUFFER VTS_PI4;
    driver.InvokeHelper(3, DISPATCH_METHOD, VT_EMPTY, nullptr, fill, static_cast<void*>(buffer),
                        sizeof buffer, &written);
    EXPECT_EQ(written, 6);
    EXPECT_STREQ(buffer, "sample");

    CString echoed;
    static const BYTE echo[] = VTS_BSTR;
    driver.InvokeHelper(6, DISPATCH_METHOD, VT_BSTR, &echoed, echo, "無効なフレーム");
    EXPECT_STREQ(static_cast<LPCTSTR>(echoed), "無効なフレーム");
}

TEST_F(DispatchDriverTest, ServerFailuresThrowDispatchExceptionsWithTheServersText) {
    COleDispatchDriver driver;
    ASSERT_TRUE(driver.CreateDispatch("Kivic.Sample"));
    try {
        driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE));
        FAIL() << "no exception";
    } catch (COleDispatchException* e) {
        EXPECT_STREQ(static_cast<LPCTSTR>(e->m_strDescription), "this always fails");
        EXPECT_EQ(e->m_scError, E_FAIL);
        e->Delete();
    }
    try {
        static const BYTE one[] = VTS_I4;
        driver.InvokeHelper(2, DISPATCH_METHOD, VT_EMPTY, nullptr, one, 1);
        FAIL() << "no exception";
    } catch (COleException* e) {
        EXPECT_EQ(e->m_sc, DISP_E_BADPARAMCOUNT);
        e->Delete();
    }
}

TEST_F(DispatchDriverTest, UnknownProgIdFailsCreationAndCallsWithoutObjectThrow) {
    COleDispatchDriver driver;
    COleException error;
    EXPECT_FALSE(driver.CreateDispatch("No.Such.Class", &error));
    EXPECT_EQ(error.m_sc, CO_E_CLASSSTRING);
    EXPECT_EQ(driver.m_lpDispatch, nullptr);
    try {
        driver.InvokeHelper(2, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE));
        FAIL() << "no exception";
    } catch (COleException* e) {
        EXPECT_EQ(e->m_sc, E_POINTER);
        e->Delete();
    }
}
