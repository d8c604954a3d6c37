// One thread's instance of a video compressor: packed 24-bit frames of a fixed size in, compressed
// samples out, with the same format negotiation and per-frame call as a compressed AVI stream makes, so
// samples compressed here on any thread equal the ones such a stream writes.
#pragma once

#include <string>
#include <vector>

#include "KivIc/Conversion/FrameJob.h"
#include "platform/vfw/compman.h"

class CFrameCompressor {
public:
    CFrameCompressor() = default;
    ~CFrameCompressor();
    CFrameCompressor(const CFrameCompressor&) = delete;
    CFrameCompressor& operator=(const CFrameCompressor&) = delete;

    // Opens the compressor `handler` for frames of width x height at the quality (0..10000). FALSE with
    // the cause in *error when no compressor has that code or it refuses the frame size.
    bool Open(DWORD handler, DWORD quality, LONG width, LONG height, std::string* error);
    // The format of the compressed samples (header and anything the compressor adds to it).
    const std::vector<BYTE>& OutputFormat() const { return m_output; }
    // Compresses the pixels (bytes of packed rows) of sample `index` into out.
    bool Compress(long index, const BYTE* pixels, std::size_t bytes, EncodedFrame* out, std::string* error);

    // The handler's four characters up to the first zero byte.
    static std::string HandlerText(DWORD handler);

private:
    HIC m_hic = nullptr;
    bool m_begun = false;
    DWORD m_handler = 0;
    DWORD m_quality = 0;
    BITMAPINFOHEADER m_input{};
    std::vector<BYTE> m_output;
    std::size_t m_maxSample = 0;
};
