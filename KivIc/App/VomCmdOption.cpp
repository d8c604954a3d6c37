#include "KivIc/App/VomCmdOption.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace {

// A whole decimal number in the range of int, nothing else in the text.
bool WholeNumber(const CString& text, int& value) {
    const char* begin = text;
    if (*begin == '\0' || *begin == ' ' || *begin == '\t')
        return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(begin, &end, 10);
    if (errno != 0 || end == begin || *end != '\0' || v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

// The text before and after the first blank; FALSE when it holds none.
bool SplitAtBlank(const CString& text, CString& first, CString& second) {
    const int blank = text.Find(' ');
    if (blank < 0)
        return false;
    first = text.Left(blank);
    second = text.Mid(blank + 1);
    return true;
}

} // namespace

std::unique_ptr<CVomCmdOptionBase> CVomCmdOptionBase::FromWord(const CString& strWord) {
    if (strWord.CompareNoCase("wt") == 0)
        return std::make_unique<CVomCmdOptionWt>();
    if (strWord.CompareNoCase("wc") == 0)
        return std::make_unique<CVomCmdOptionWc>();
    if (strWord.CompareNoCase("SetRate") == 0)
        return std::make_unique<CVomCmdOptionSetRate>();
    if (strWord.CompareNoCase("SPlay") == 0)
        return std::make_unique<CVomCmdOptionSPlay>();
    if (strWord.CompareNoCase("SLPlay") == 0)
        return std::make_unique<CVomCmdOptionSLPlay>();
    if (strWord.CompareNoCase("SetRange") == 0)
        return std::make_unique<CVomCmdOptionSetRange>();
    return nullptr;
}

BOOL CVomCmdOptionBase::IsOptionWord(const CString& strWord) {
    return FromWord(strWord) != nullptr;
}

void CVomCmdOptionBase::AnalyzeParams(const CString& strParams) {
    if (!strParams.IsEmpty())
        VOM_THROW("CVomCmdOptionBase::AnalyzeParams() must no parameters.");
}

const CmdParams* CVomCmdOptionBase::GetParam(int index) const {
    if (index < 0 || index >= GetParamsSize())
        return nullptr;
    return m_params[static_cast<size_t>(index)].get();
}

CString CVomCmdOptionBase::WithoutJoinBlank(const CString& strText) {
    if (!strText.IsEmpty() && strText[strText.GetLength() - 1] == ' ')
        return strText.Left(strText.GetLength() - 1);
    return strText;
}

CString CVomCmdOptionBase::WithoutQuotes(const CString& strText) {
    CString text = strText;
    if (!text.IsEmpty() && text[0] == '"')
        text = text.Mid(1);
    if (!text.IsEmpty() && text[text.GetLength() - 1] == '"')
        text = text.Left(text.GetLength() - 1);
    return text;
}

CString CVomCmdOptionBase::AbsolutePath(const CString& strPath, const CString& strFolder) {
    if (strPath.IsEmpty() || strFolder.IsEmpty())
        return strPath;
    const std::filesystem::path path(strPath.str());
    if (path.is_absolute())
        return strPath;
    return (std::filesystem::path(strFolder.str()) / path).lexically_normal().string();
}

void CVomCmdOptionFile::AnalyzeParams(const CString& strParams) {
    m_params.clear();
    m_params.push_back(std::make_unique<CmdParamsStr>(WithoutQuotes(WithoutJoinBlank(strParams))));
}

void CVomCmdOptionFile::ResolvePaths(const CString& strFolder) {
    if (!m_params.empty())
        m_params[0] = std::make_unique<CmdParamsStr>(AbsolutePath(m_params[0]->GetParamStr(), strFolder));
}

void CVomCmdOptionSetRate::AnalyzeParams(const CString& strParams) {
    CString rate, path;
    if (!SplitAtBlank(strParams, rate, path))
        VOM_THROW("CVomCmdOptionSetRate::AnalyzeParams() invaid parameter count.");
    int value = 0;
    if (!WholeNumber(rate, value) || value < kMinCmdFrameRate || value > kMaxCmdFrameRate) {
        CString message;
        message.Format("SetRate %s: Please enter an integer between %d and %d.", rate.GetString(),
                       kMinCmdFrameRate, kMaxCmdFrameRate);
        VOM_THROW(message.str());
    }
    m_params.clear();
    m_params.push_back(std::make_unique<CmdParamsInt>(rate));
    m_params.push_back(std::make_unique<CmdParamsStr>(WithoutQuotes(WithoutJoinBlank(path))));
}

void CVomCmdOptionSetRate::ResolvePaths(const CString& strFolder) {
    if (m_params.size() == 2)
        m_params[1] = std::make_unique<CmdParamsStr>(AbsolutePath(m_params[1]->GetParamStr(), strFolder));
}

void CVomCmdOptionSetRange::AnalyzeParams(const CString& strParams) {
    CString first, second;
    if (!SplitAtBlank(strParams, first, second))
        VOM_THROW("CVomCmdOptionSetRange::AnalyzeParams() invaid parameter count.");
    second = WithoutJoinBlank(second);
    int begin = 0, end = 0;
    if (!WholeNumber(first, begin) || !WholeNumber(second, end)) {
        CString message;
        message.Format("SetRange %s %s: Please enter an integer.", first.GetString(), second.GetString());
        VOM_THROW(message.str());
    }
    if (begin > end) {
        CString message;
        message.Format("SetRange %d %d: the play range begins after its end.", begin, end);
        VOM_THROW(message.str());
    }
    m_params.clear();
    m_params.push_back(std::make_unique<CmdParamsInt>(first));
    m_params.push_back(std::make_unique<CmdParamsInt>(second));
}
