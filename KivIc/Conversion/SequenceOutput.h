// The target of a sequence conversion: one file per frame, named base name + the frame's index printed
// with "%08d" + the target's extension, in the target's folder, each written by the worker that made
// the frame (BMP, JPEG or TIFF). Committing in order only counts; a frame written ahead of a stop is
// removed again.
#pragma once

#include <map>
#include <string>

#include "KivIc/Conversion/FrameJob.h"

enum class SequenceKind { Bmp, Jpeg, Tiff };

class CSequenceOutput : public IFrameOutput {
public:
    // folder ends with its separator (or is empty for the current folder); ext keeps its dot and case.
    CSequenceOutput(SequenceKind kind, std::string folder, std::string base, std::string ext, DWORD quality);

    // base + "%08d" + ext.
    static std::string FrameFileName(const std::string& base, long index, const std::string& ext);
    std::string FramePath(long index) const { return m_folder + FrameFileName(m_base, index, m_ext); }

    std::unique_ptr<IFrameEncoder> NewEncoder(std::string* error) override;
    bool Commit(long index, EncodedFrame& frame, std::string* error) override;
    void Discard(long index) override;

    // The frame files of the sequence base + ext that folder holds, index -> path: exactly the names
    // FrameFileName gives ("run000000005.bmp" is no frame of "run"). A conversion replaces those below
    // its frame count and removes the others.
    static std::map<long, std::string> FrameFiles(const std::string& folder, const std::string& base,
                                                  const std::string& ext);
    // Removes the frame files of an earlier, longer sequence: those whose index is count or more.
    // Returns how many were removed.
    int RemoveStaleFrames(long count) const;

private:
    SequenceKind m_kind;
    std::string m_folder;
    std::string m_base;
    std::string m_ext;
    DWORD m_quality;
};
