#include "ZopDat/PointEntry.h"

#include "ZopDat/MAFile.h"

std::int32_t PointEntry::Read(MAFile& file) {
    PointEntry read;
    if (file.ReadInt32(read.x) != 0 || file.ReadInt32(read.y) != 0 || file.ReadInt32(read.z) != 0 ||
        file.ReadInt16(read.state) != 0 || file.ReadInt16(read.flag) != 0) {
        return -1;
    }
    *this = read;
    return 0;
}

std::int32_t PointEntry::Write(MAFile& file) {
    if (file.WriteInt32(x) != 0 || file.WriteInt32(y) != 0 || file.WriteInt32(z) != 0 ||
        file.WriteInt16(state) != 0 || file.WriteInt16(flag) != 0) {
        return -1;
    }
    return 0;
}
