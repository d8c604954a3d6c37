// An owning table of frame records reached by index.
#pragma once

class FrameRecord;

class RecordTable {
public:
    virtual ~RecordTable() = default;
    // Appends; the table owns the record from now on. Returns 1.
    virtual int Add(FrameRecord* record) = 0;
    // The record at index, or null when the index is outside 0 .. Count() - 1.
    virtual FrameRecord* Get(int index) = 0;
    // Destroys the record at index and puts record in its place: 1, or 0 (nothing changed, the caller
    // keeps record) when the index is outside the table.
    virtual int Replace(int index, FrameRecord* record) = 0;
    // Inserts before the record at index: 1, or 0 as for Replace.
    virtual int Insert(int index, FrameRecord* record) = 0;
    // Destroys the record at index and closes the gap: 1, or 0 when the index is outside the table.
    virtual int Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual int Count() = 0;

protected:
    RecordTable() = default;
    RecordTable(const RecordTable&) = default;
    RecordTable& operator=(const RecordTable&) = default;
};
