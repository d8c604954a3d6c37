// The per-point matching parameters of a job: one owned MatParam4Point per point (index = number - 1),
// copied deeply.
#pragma once

#include "ZopDat/MatParam4Point.h"
#include "ZopDat/OwnedList.h"

class MatParam4PointList {
public:
    MatParam4PointList() = default;
    MatParam4PointList(const MatParam4PointList& other);
    MatParam4PointList& operator=(const MatParam4PointList& other);
    virtual ~MatParam4PointList();

    int Count() const { return points_.Count(); }
    // The entry at index, or null when the index is outside the list.
    MatParam4Point* Get(int index) { return points_.Get(index); }
    const MatParam4Point* Get(int index) const { return points_.Get(index); }
    // Appends the entry; the list owns it from now on.
    void Add(MatParam4Point* entry) { points_.Add(entry); }
    void Clear() { points_.Clear(); }

private:
    OwnedList<MatParam4Point> points_;
};
