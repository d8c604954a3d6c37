// A server module registered into a temporary registry and created by ProgID, as the program creates
// its two servers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/com/com.h"

class ComServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/kivic_com_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        m_registry = m_dir + "/test.reg";
        setenv("KIVIC_REGISTRY", m_registry.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("KIVIC_REGISTRY");
        std::system(("rm -rf '" + m_dir + "'").c_str());
    }

    IDispatch* Create() {
        std::string error;
        EXPECT_EQ(ComRegisterModule(SAMPLE_SERVER_PATH, false, &error), S_OK) << error;
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgIDA("Kivic.Sample", &clsid), S_OK);
        IDispatch* dispatch = nullptr;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&dispatch)),
                  S_OK);
        return dispatch;
    }

    static HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::initializer_list<VARIANT> args,
                        VARIANT* result, EXCEPINFO* info = nullptr, bool put = false) {
        std::vector<VARIANT> reversed(args.begin(), args.end());
        std::reverse(reversed.begin(), reversed.end());
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()),
                          put ? 1u : 0u};
        EXCEPINFO local{};
        return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, info ? info : &local,
                         nullptr);
    }

    std::string m_dir;
    std::string m_registry;
};

inline void FreeExcepInfo(EXCEPINFO* info) {
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
}
