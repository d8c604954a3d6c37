// The command line as the program reads it: the option objects in command-line order, on top of the
// framework's command-line information (which sees only the last argument).
#pragma once

#include <memory>
#include <vector>

#include "KivIc/App/VomCmdOption.h"
#include "platform/afx/app/cmdline.h"

class CVomCmdLineInfo : public CCommandLineInfo {
public:
    // Hands the argument to the framework's parser only when it is the last one.
    void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) override;

    // Reads the arguments (element 0 is the program). A word after "-", or after "/" when it is one
    // of the option words, is an option; every other argument is a file name, made absolute against
    // strStartFolder. An option whose parameters are missing or wrong is reported (one message box
    // each) and left out; the others are kept.
    void Parse(const std::vector<CString>& args, const CString& strStartFolder);

    void AddOption(std::unique_ptr<CVomCmdOptionBase> option) { m_options.push_back(std::move(option)); }
    const std::vector<std::unique_ptr<CVomCmdOptionBase>>& GetOptions() const { return m_options; }
    // What was reported while parsing, in order.
    const std::vector<CString>& GetErrors() const { return m_errors; }

private:
    void Report(const CString& strText);

    std::vector<std::unique_ptr<CVomCmdOptionBase>> m_options;
    std::vector<CString> m_errors;
};
