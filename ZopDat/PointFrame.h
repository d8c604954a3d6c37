// The table of tracked positions: one FrameRecord per frame that has point data, in ascending frame
// order, each holding one PointEntry per point. Positions are kept as integers in units of the scale.
// The table can save itself to and load itself from a record file and export itself as CSV.
#pragma once

#include "ZopDat/FrameRecordList.h"
#include "ZopDat/MAFile.h"
#include "ZopDat/PositionRow.h"
#include "ZopDat/RecordTable.h"

#include <string>
#include <vector>

class PointFrame : public MAFile, public FrameRecordList, public RecordTable {
public:
    explicit PointFrame(double scale = 1.0);
    // Copies the scale and every record (new records); the file part is not copied.
    PointFrame(const PointFrame& other);
    PointFrame& operator=(const PointFrame& other);
    ~PointFrame() override;

    // RecordTable
    int Add(FrameRecord* record) override;
    FrameRecord* Get(int index) override;
    int Replace(int index, FrameRecord* record) override;
    int Insert(int index, FrameRecord* record) override;
    int Delete(int index) override;
    void Clear() override;
    int Count() override;

    // Record file form: the scale, the frame count, then every frame record.
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    std::uint32_t GetSize() override;

    // Puts record in place of the frame's record, or before the first record of a later frame, or at the
    // end; returns its index. The table owns record from now on; it must not already be in the table.
    int PutFrame(int frameNumber, FrameRecord* record);
    // The first record of that frame, or null.
    FrameRecord* FindFrame(int frameNumber);

    // Stores a position in an entry whose state is already "found"; other entries are left alone.
    void SetPosition(PointEntry& entry, double x, double y, double z);
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
    // Not the file position: the table's own look-up, which hides the file's on purpose.
    // The entry's position in real units (the stored integers when it holds none); state and flag are 0.
    PositionRow GetPosition(const PointEntry& entry) const;
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    double GetScale() const {
        return scale_;
    }
    // Rescales every found position to the new scale; 0.0, a non-finite scale or the current one change
    // nothing.
    void SetScale(double scale);

    // 0 or -1. The file is written under a temporary name beside it and renamed on success, so a failure
    // leaves an existing file as it was.
    int Save(const char* name);
    // 0 or -1. The table (and its scale) is replaced only when the whole file could be read.
    int Load(const char* name);

    // Writes a header line and one line per record; dimensions 1, 2 or 3 choose x; x, y; x, y, z.
    // 1 on success, 0 on failure (an existing file is then left as it was).
    virtual int ExportCsv(const char* name, const std::vector<std::string>& names, int dimensions);

private:
    double scale_;
};
