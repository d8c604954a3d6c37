// The report of a tracking run: its settings per point, the step times and the matching results, in a
// text form for the debug output and a comma form for the day's log file.
#pragma once

#include <vector>

#include "platform/afx/afxwin.h"

class CMatchingLog;
class CTracking;
class JobTable;

class CTrackingReport {
public:
    CTrackingReport(const CTracking& job, const CMatchingLog& log, const JobTable& jobs, const CString& path);

    // One text per line (UTF-8), each ending in a line feed.
    std::vector<CString> TextLines() const;
    std::vector<CString> CommaLines() const;

    // "<temp folder>MatRes_YYYYMMDD.log" of the date.
    static CString LogFilePath(const SYSTEMTIME& date);
    // Appends the comma form in code page 932: TRUE, or FALSE when the file could not be opened or
    // written.
    BOOL AppendTo(const char* path) const;

private:
    const CTracking& m_job;
    const CMatchingLog& m_log;
    const JobTable& m_jobs;
    CString m_path;
};
