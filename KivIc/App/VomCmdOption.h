// The program's command-line options: one object per option word (or per file name), holding the
// parameters that followed it. The option words are matched without regard to case:
//   (a file name)          open it
//   wt, wc                 tile the recording windows
//   SetRate <fps> <file>   the recording rate of an open file
//   SPlay, SLPlay          synchronised playback, SLPlay looping
//   SetRange <begin> <end> the play range
#pragma once

#include <memory>
#include <vector>

#include "KivIc/App/CmdParams.h"

enum CmdOptionKind {
    kCmdOptionFile = 1,
    kCmdOptionWt = 2,
    kCmdOptionWc = 3,
    kCmdOptionSetRate = 4,
    kCmdOptionSPlay = 5,
    kCmdOptionSLPlay = 6,
    kCmdOptionSetRange = 7,
};

// The recording rates and the play range an option may give, as the dialogs accept them.
constexpr int kMinCmdFrameRate = 1;
constexpr int kMaxCmdFrameRate = 100000;

class CVomCmdOptionBase {
public:
    CVomCmdOptionBase(int nParamCount, int nKind) : m_nParamCount(nParamCount), m_nKind(nKind) {}
    virtual ~CVomCmdOptionBase() = default;
    CVomCmdOptionBase(const CVomCmdOptionBase&) = delete;
    CVomCmdOptionBase& operator=(const CVomCmdOptionBase&) = delete;

    // Makes the parameter holders from the following arguments joined, each followed by one blank.
    // Throws vomException when the text does not fit the option. Options without parameters accept
    // only an empty text.
    virtual void AnalyzeParams(const CString& strParams);
    // Makes a relative file name absolute against the folder the program was started in.
    virtual void ResolvePaths(const CString& strFolder) { (void)strFolder; }

    // The option for a word without its "-" or "/", or null when the word is no option.
    static std::unique_ptr<CVomCmdOptionBase> FromWord(const CString& strWord);
    static BOOL IsOptionWord(const CString& strWord);
    // The option's word as the help shows it ("SetRate"); empty for a file name.
    virtual const char* GetWord() const = 0;

    int GetParamCount() const { return m_nParamCount; }
    int GetKind() const { return m_nKind; }
    int GetParamsSize() const { return static_cast<int>(m_params.size()); }
    // The index-th parameter holder (null past the end).
    const CmdParams* GetParam(int index) const;

protected:
    // What the join added: the blank after the last parameter.
    static CString WithoutJoinBlank(const CString& strText);
    // A leading and a trailing double quote removed.
    static CString WithoutQuotes(const CString& strText);
    static CString AbsolutePath(const CString& strPath, const CString& strFolder);

    int m_nParamCount;
    int m_nKind;
    std::vector<std::unique_ptr<CmdParams>> m_params;
};

// A file name: its one parameter is the name, without its quotes.
class CVomCmdOptionFile : public CVomCmdOptionBase {
public:
    CVomCmdOptionFile() : CVomCmdOptionBase(1, kCmdOptionFile) {}
    void AnalyzeParams(const CString& strParams) override;
    void ResolvePaths(const CString& strFolder) override;
    const char* GetWord() const override { return ""; }
};

class CVomCmdOptionWt : public CVomCmdOptionBase {
public:
    CVomCmdOptionWt() : CVomCmdOptionBase(0, kCmdOptionWt) {}
    const char* GetWord() const override { return "wt"; }
};

class CVomCmdOptionWc : public CVomCmdOptionBase {
public:
    CVomCmdOptionWc() : CVomCmdOptionBase(0, kCmdOptionWc) {}
    const char* GetWord() const override { return "wc"; }
};

// The rate (a whole number from 1 to 100000) and the file name.
class CVomCmdOptionSetRate : public CVomCmdOptionBase {
public:
    CVomCmdOptionSetRate() : CVomCmdOptionBase(2, kCmdOptionSetRate) {}
    void AnalyzeParams(const CString& strParams) override;
    void ResolvePaths(const CString& strFolder) override;
    const char* GetWord() const override { return "SetRate"; }
};

class CVomCmdOptionSPlay : public CVomCmdOptionBase {
public:
    CVomCmdOptionSPlay() : CVomCmdOptionBase(0, kCmdOptionSPlay) {}
    const char* GetWord() const override { return "SPlay"; }
};

class CVomCmdOptionSLPlay : public CVomCmdOptionBase {
public:
    CVomCmdOptionSLPlay() : CVomCmdOptionBase(0, kCmdOptionSLPlay) {}
    const char* GetWord() const override { return "SLPlay"; }
};

// The play range: two whole numbers, the begin not after the end.
class CVomCmdOptionSetRange : public CVomCmdOptionBase {
public:
    CVomCmdOptionSetRange() : CVomCmdOptionBase(2, kCmdOptionSetRange) {}
    void AnalyzeParams(const CString& strParams) override;
    const char* GetWord() const override { return "SetRange"; }
};
