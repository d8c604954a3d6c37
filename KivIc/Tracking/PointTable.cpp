#include "KivIc/Tracking/PointTable.h"

#include "KivIc/Tracking/JobTable.h"

std::unique_ptr<PointFrame> NewPointTable() {
    return std::make_unique<PointFrame>(kPointTableScale);
}

void SetPointInTable(PointFrame& table, JobTable* jobs, long frame, int pointCount, int pointIndex, double x,
                     double y, BOOL found, BOOL byHand) {
    if (pointIndex < 0)
        return;
    const auto number = static_cast<std::int32_t>(frame);
    FrameRecord* record = table.FindFrame(number);
    if (record == nullptr) {
        record = new FrameRecord(number, pointCount);
        table.PutFrame(number, record);
    }
    while (record->EntryCount() <= pointIndex)
        record->AddEntry(new PointEntry);
    PointEntry& entry = *record->GetEntry(pointIndex);
    entry.state = found ? PointEntry::kFound : PointEntry::kLost;
    if (byHand) {
        entry.flag = 1;
        if (jobs != nullptr)
            jobs->AddInputFrame(number);
    }
    table.SetPosition(entry, x, y, 0.0);
}

BOOL GetInputState(const JobTable& jobs, PointFrame& table, long frame, int pointNumber, int* state) {
    const auto number = static_cast<std::int32_t>(frame);
    if (!jobs.IsInputFrame(number))
        return FALSE;
    const FrameRecord* record = table.FindFrame(number);
    const PointEntry* entry = record != nullptr ? record->GetEntry(pointNumber - 1) : nullptr;
    if (entry == nullptr || entry->flag != 1)
        return FALSE;
    *state = entry->state == PointEntry::kNoPosition || entry->state == PointEntry::kFound
                 ? entry->state
                 : PointEntry::kLost;
    return TRUE;
}
