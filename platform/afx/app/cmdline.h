// The framework's reading of the command line: the information class that collects the shell
// command and the file name from the arguments, and the program's access to its arguments.
#pragma once

#include <vector>

#include "platform/afx/core/afxcore.h"

class CCommandLineInfo : public CObject {
    DECLARE_DYNAMIC(CCommandLineInfo)
public:
    CCommandLineInfo() = default;
    ~CCommandLineInfo() override = default;

    // One argument: pszParam without its leading "-" or "/" when bFlag is set; bLast for the last one.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 };
    int m_nShellCommand = FileNew;
    // The first argument that is not a flag.
    CString m_strFileName;
    // The arguments after "/pt" and the file name.
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const char* pszParam);
    void ParseLast(BOOL bLast);
};

// The program's arguments as the system handed them over, already split; element 0 is the program.
std::vector<CString> AfxGetCommandLineArgs();

// The framework's parse: every argument after the program, in order; one that begins with "-" or
// "/" is a flag (without that character), the last is marked last.
void AfxParseCommandLine(CCommandLineInfo& rCmdInfo, const std::vector<CString>& args);
void AfxParseCommandLine(CCommandLineInfo& rCmdInfo);
