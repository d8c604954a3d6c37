// Drives the raw camera file server as the program does: created by ProgID from a temporary
// registry, called only through IDispatch by DISPID with the program's parameter types.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "fc/BREM_FC/BremFcIds.h"
#include "platform/afx/ole/dispdriver.h"
#include "tools/cm8gen/cm8_writer.h"

class BremFcTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_brem_fc";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void SetUp() override {
        char dir[] = "/tmp/kivic_bremfc_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        setenv("KIVIC_REGISTRY", (m_dir + "/test.reg").c_str(), 1);
        // No parameter file: the pipeline's built-in values, the same for the server and the tests.
        setenv("KIVIC_BREMFC_PARAM", (m_dir + "/absent.zop").c_str(), 1);
        std::string error;
        ASSERT_EQ(ComRegisterModule(BREM_FC_MODULE_PATH, false, &error), S_OK) << error;
        ASSERT_TRUE(m_server.CreateDispatch(kBremFcProgId));
    }

    void TearDown() override {
        m_server.ReleaseDispatch();
        unsetenv("KIVIC_REGISTRY");
        unsetenv("KIVIC_BREMFC_PARAM");
        std::system(("rm -rf '" + m_dir + "'").c_str());
    }

    std::string Write(const cm8::Recording& rec, const std::string& name = "rec.cm8") {
        const std::string path = m_dir + "/" + name;
        std::string error;
        EXPECT_TRUE(cm8::WriteRecording(path, rec, error)) << error;
        return path;
    }

    void Open(const std::string& path) {
        static const BYTE params[] = VTS_BSTR;
        m_server.InvokeHelper(BREMFC_OPEN, DISPATCH_METHOD, VT_EMPTY, nullptr, params, path.c_str());
    }

    LONG GetI4(DISPID id) {
        LONG value = 0;
        m_server.GetProperty(id, VT_I4, &value);
        return value;
    }
    SHORT GetI2(DISPID id) {
        SHORT value = 0;
        m_server.GetProperty(id, VT_I2, &value);
        return value;
    }
    void PutI2(DISPID id, SHORT value) { m_server.SetProperty(id, VT_I2, value); }
    void PutI4(DISPID id, LONG value) { m_server.SetProperty(id, VT_I4, value); }

    std::vector<BYTE> Convert() {
        std::vector<BYTE> block(static_cast<std::size_t>(GetI4(BREMFC_BITMAPSIZE)));
        static const BYTE params[] = VTS_BUFFER;
        m_server.InvokeHelper(BREMFC_CONVERTBITMAP, DISPATCH_METHOD, VT_EMPTY, nullptr, params,
                              static_cast<void*>(block.data()), block.size());
        return block;
    }

    // Runs a call that must fail and returns the server's description.
    template <class Call> std::string Failure(Call call) {
        try {
            call();
        } catch (COleDispatchException* e) {
            std::string text = static_cast<LPCTSTR>(e->m_strDescription);
            m_lastScode = e->m_scError;
            e->Delete();
            return text;
        } catch (COleException* e) {
            m_lastScode = e->m_sc;
            e->Delete();
            return "(ole exception)";
        }
        return "(no failure)";
    }

    std::string m_dir;
    COleDispatchDriver m_server;
    SCODE m_lastScode = S_OK;
};
