// The pieces a conversion is made of: where the frames come from (one converter per worker thread),
// how a worker turns a frame into output (one encoder per worker) and where the output goes in frame
// order (one output per conversion).
//
// Every converter and encoder is used by one thread only, so none of them takes a lock; the output's
// Commit is called by one thread at a time, in index order.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/types.h"

// Produces the frames of one recording as packed frame bitmaps (a 40-byte header, then bottom-up rows
// of 3 x width bytes). Each worker has its own.
class IFrameConverter {
public:
    virtual ~IFrameConverter() = default;
    // Frame `frame` into buffer (capacity bytes). FALSE with the cause in *error.
    virtual bool Convert(long frame, BYTE* buffer, std::size_t capacity, std::string* error) = 0;
};

// Makes one converter; null with the cause in *error when the recording cannot be opened again.
using FrameConverterFactory = std::function<std::unique_ptr<IFrameConverter>(std::string* error)>;

// What a worker made of a frame for the ordered output (the compressed sample of a movie, a key frame;
// nothing for a sequence, whose worker wrote the frame's file itself).
struct EncodedFrame {
    std::vector<BYTE> bytes;
};

// One worker's writer: turns the packed frame of sample index `index` into output. Each worker has its
// own.
class IFrameEncoder {
public:
    virtual ~IFrameEncoder() = default;
    // FALSE with the cause (naming the file) in *error; an encoder that fails leaves no part of its
    // frame's file behind.
    virtual bool Encode(long index, const BYTE* frame, std::size_t bytes, EncodedFrame* out,
                        std::string* error) = 0;
};

// The target of a conversion.
class IFrameOutput {
public:
    virtual ~IFrameOutput() = default;
    // A writer for one more worker; null with the cause in *error.
    virtual std::unique_ptr<IFrameEncoder> NewEncoder(std::string* error) = 0;
    // Appends the frame of sample index `index`; called in index order, one call at a time.
    virtual bool Commit(long index, EncodedFrame& frame, std::string* error) = 0;
    // A frame that was encoded but will never be committed (the run stopped first): undo what its
    // worker wrote.
    virtual void Discard(long index) = 0;
};
