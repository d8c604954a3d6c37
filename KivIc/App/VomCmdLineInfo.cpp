#include "KivIc/App/VomCmdLineInfo.h"

#include <algorithm>

void CVomCmdLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
    if (bLast)
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
}

void CVomCmdLineInfo::Parse(const std::vector<CString>& args, const CString& strStartFolder) {
    const size_t count = args.size();
    for (size_t i = 1; i < count; ++i) {
        CString arg = args[i];
        BOOL bFlag = FALSE;
        std::unique_ptr<CVomCmdOptionBase> option;
        size_t first = i; // the first parameter
        // A slash marks an option only before an option word: absolute paths begin with one too.
        if (!arg.IsEmpty() &&
            (arg[0] == '-' || (arg[0] == '/' && CVomCmdOptionBase::IsOptionWord(arg.Mid(1))))) {
            bFlag = TRUE;
            arg = arg.Mid(1);
            option = CVomCmdOptionBase::FromWord(arg);
            first = i + 1;
        } else {
            option = std::make_unique<CVomCmdOptionFile>();
        }

        if (option) {
            const size_t wanted = static_cast<size_t>(option->GetParamCount());
            const size_t present = std::min(wanted, count - first);
            if (bFlag)
                i += present;
            if (present < wanted) {
                CString text;
                text.Format("%s: %d parameters expected, %d given.", option->GetWord(),
                            static_cast<int>(wanted), static_cast<int>(present));
                Report(text);
            } else {
                CString joined;
                for (size_t p = first; p < first + wanted; ++p)
                    joined += args[p] + " ";
                try {
                    option->AnalyzeParams(joined);
                    option->ResolvePaths(strStartFolder);
                    AddOption(std::move(option));
                } catch (const vomException& e) {
                    Report(e.Message());
                }
            }
        }
        ParseParam(arg, bFlag, i + 1 == count);
    }
}

void CVomCmdLineInfo::Report(const CString& strText) {
    m_errors.push_back(strText);
    AfxMessageBox(strText, MB_ICONEXCLAMATION);
}
