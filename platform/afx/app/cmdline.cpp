#include "platform/afx/app/cmdline.h"

#include "platform/win32/command_line.h"

IMPLEMENT_DYNAMIC(CCommandLineInfo, CObject)

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
    if (pszParam == nullptr)
        pszParam = "";
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam) {
    const CString flag(pszParam);
    if (flag.CompareNoCase("pt") == 0)
        m_nShellCommand = FilePrintTo;
    else if (flag.CompareNoCase("p") == 0)
        m_nShellCommand = FilePrint;
    else if (flag.CompareNoCase("Register") == 0 || flag.CompareNoCase("Regserver") == 0)
        m_nShellCommand = AppRegister;
    else if (flag.CompareNoCase("Unregister") == 0 || flag.CompareNoCase("Unregserver") == 0)
        m_nShellCommand = AppUnregister;
    else if (flag.CompareNoCase("dde") == 0)
        m_nShellCommand = FileDDE;
    else if (flag.CompareNoCase("Embedding") == 0)
        m_bRunEmbedded = TRUE;
    else if (flag.CompareNoCase("Automation") == 0)
        m_bRunAutomated = TRUE;
}

void CCommandLineInfo::ParseParamNotFlag(const char* pszParam) {
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast) {
    if (!bLast)
        return;
    // A file name without another command opens it.
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
}

std::vector<CString> AfxGetCommandLineArgs() {
    std::vector<CString> args;
    for (const std::string& arg : GetCommandLineArgs())
        args.emplace_back(arg);
    return args;
}

void AfxParseCommandLine(CCommandLineInfo& rCmdInfo, const std::vector<CString>& args) {
    for (size_t i = 1; i < args.size(); ++i) {
        const char* param = args[i];
        BOOL bFlag = FALSE;
        if (*param == '-' || *param == '/') {
            bFlag = TRUE;
            ++param;
        }
        rCmdInfo.ParseParam(param, bFlag, i + 1 == args.size());
    }
}

void AfxParseCommandLine(CCommandLineInfo& rCmdInfo) {
    AfxParseCommandLine(rCmdInfo, AfxGetCommandLineArgs());
}
