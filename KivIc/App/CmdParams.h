// One parameter of a command-line option, kept as its text. The base reads the text as any type;
// the typed holders refuse to be read as another type.
#pragma once

#include "platform/afx/afxwin.h"
#include "vomLib/Utility/vomException.h"

class CmdParams {
public:
    explicit CmdParams(const CString& text) : m_strText(text) {}
    virtual ~CmdParams() = default;

    // The text as a decimal integer (0 when it holds no number).
    virtual int GetParamInt() const;
    virtual double GetParamDouble() const;
    virtual CString GetParamStr() const { return m_strText; }

protected:
    CString m_strText;
};

class CmdParamsInt : public CmdParams {
public:
    using CmdParams::CmdParams;
    double GetParamDouble() const override {
        VOM_THROW("CmdParamsInt::GetParamDouble() different parameter type.");
    }
    CString GetParamStr() const override {
        VOM_THROW("CmdParamsInt::GetParamStr() different parameter type.");
    }
};

class CmdParamsStr : public CmdParams {
public:
    using CmdParams::CmdParams;
    int GetParamInt() const override { VOM_THROW("CmdParamsStr::GetParamInt() different parameter type."); }
    double GetParamDouble() const override {
        VOM_THROW("CmdParamsStr::GetParamDouble() different parameter type.");
    }
};
