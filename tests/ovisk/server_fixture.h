// The server created by ProgID from a temporary registry and driven through IDispatch, as the program
// drives it, with its debugger output collected.
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

#include <QApplication>

#include "ovisk_test_util.h"
#include "platform/afx/ole/dispdriver.h"
#include "platform/win32/system.h"
#include "tools/aviblocks/aviblocks_riff.h"
#include "vomCom/Ovisk/OviskIds.h"

class ServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_ovisk";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }
    void SetUp() override {
        setenv("KIVIC_REGISTRY", dir.File("test.reg").c_str(), 1);
        std::string error;
        ASSERT_EQ(ComRegisterModule(OVISK_MODULE_PATH, false, &error), S_OK) << error;
        ASSERT_TRUE(server.CreateDispatch(kAviFilterProgId));
        m_previousSink = SetDebugOutputSink([this](const char* text) { traces.emplace_back(text); });
    }
    void TearDown() override {
        SetDebugOutputSink(m_previousSink);
        server.ReleaseDispatch();
        unsetenv("KIVIC_REGISTRY");
    }

    void Call(DISPID id, const char* params, ...) {
        va_list args;
        va_start(args, params);
        server.InvokeHelperV(id, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(params),
                             args);
        va_end(args);
    }
    void Open(const std::string& path) { Call(AVIFILTER_OPEN, VTS_BSTR, path.c_str()); }
    LONG Out(DISPID id) {
        LONG value = -7;
        Call(id, VTS_PI4, &value);
        return value;
    }
    void SetHandle(HDC dc) { Call(AVIFILTER_SETHANDLE, VTS_BUFFER, static_cast<void*>(dc), size_t{0}); }

    // Runs a call that must fail and returns the server's description.
    template <class F> std::string Failure(F call) {
        try {
            call();
        } catch (COleDispatchException* e) {
            std::string text = static_cast<LPCTSTR>(e->m_strDescription);
            scode = e->m_scError;
            e->Delete();
            return text;
        } catch (COleException* e) {
            scode = e->m_sc;
            e->Delete();
            return "(ole exception)";
        }
        return "(no failure)";
    }

    std::string RecordingFile(int width, int height, int frames) {
        aviblocks::AviDescription desc;
        desc.width = width;
        desc.height = height;
        desc.frames = frames;
        const std::string path = dir.File("rec.avi");
        EXPECT_TRUE(aviblocks::WriteAviFile(path, desc));
        return path;
    }

    ovisktest::TempDir dir;
    COleDispatchDriver server;
    std::vector<std::string> traces;
    SCODE scode = S_OK;

private:
    DebugOutputSink m_previousSink;
};
