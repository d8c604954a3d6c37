// The chart axis of the tracking job: it holds nothing; the job keeps one for the length of a run.
#pragma once

class CChartAxis {
public:
    CChartAxis() = default;
    virtual ~CChartAxis() = default;
};
