// The target of a movie conversion: an AVI file with one video stream at 30 frames per second that
// carries the information text as its 'txts' chunk. Each worker compresses its frames with its own
// compressor instance, asked for key frames only; the compressed samples are appended in frame order,
// every one flagged as a key frame.
//
// The movie is written under a temporary name in the target's folder and moved onto the target only
// once finished, so an earlier file of that name is never lost: a failure removes the temporary file,
// a cancelled run keeps the frames written so far.
#pragma once

#include <memory>
#include <string>

#include "KivIc/Conversion/FrameJob.h"

class CMovieFile;
class CMovieStream;

struct AviOutputSettings {
    std::string target; // full path of the movie
    LONG width = 0;
    LONG height = 0;
    DWORD handler = 0;    // the compressor's four-character code
    DWORD quality = 0;    // 0..10000
    std::string infoText; // the 'txts' chunk
};

class CAviOutput : public IFrameOutput {
public:
    explicit CAviOutput(AviOutputSettings settings);
    // Removes the temporary file of a movie that was not closed.
    ~CAviOutput() override;

    // Creates the temporary file and the stream with the compressor's format. FALSE with the cause.
    bool Open(std::string* error);
    // Finishes the movie. With keep the finished movie replaces the target; without it (or when the
    // file could not be finished) the temporary file is removed. FALSE with the cause.
    bool Close(bool keep, std::string* error);

    std::unique_ptr<IFrameEncoder> NewEncoder(std::string* error) override;
    bool Commit(long index, EncodedFrame& frame, std::string* error) override;
    void Discard(long) override {}

    const std::string& TemporaryPath() const { return m_temporary; }

private:
    void Release();

    AviOutputSettings m_settings;
    std::string m_temporary;
    std::unique_ptr<CMovieFile> m_file;
    std::unique_ptr<CMovieStream> m_stream;
};
