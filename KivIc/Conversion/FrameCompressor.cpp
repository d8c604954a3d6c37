#include "KivIc/Conversion/FrameCompressor.h"

#include <algorithm>
#include <cstring>

#include "vomLib/avilib/MovieBitmapInfo.h"

CFrameCompressor::~CFrameCompressor() {
    if (m_hic) {
        if (m_begun)
            ICCompressEnd(m_hic);
        ICClose(m_hic);
    }
}

bool CFrameCompressor::Open(DWORD handler, DWORD quality, LONG width, LONG height, std::string* error) {
    const std::string name = HandlerText(handler);
    m_hic = ICOpen(ICTYPE_VIDEO, handler, ICMODE_COMPRESS);
    if (!m_hic) {
        *error = "No installed compressor has the code '" + name + "'.";
        return false;
    }
    m_handler = handler;
    m_quality = quality;
    m_input = CMovieBitmapInfo::Packed24(width, height);
    const auto* in = reinterpret_cast<const BITMAPINFO*>(&m_input);
    const LRESULT outSize = ICCompressGetFormatSize(m_hic, in);
    if (ICCompressQuery(m_hic, in, nullptr) != ICERR_OK ||
        outSize < static_cast<LRESULT>(sizeof(BITMAPINFOHEADER))) {
        *error = "The compressor '" + name + "' cannot take frames of " + std::to_string(width) + " x " +
                 std::to_string(height) + " pixels.";
        return false;
    }
    m_output.assign(static_cast<std::size_t>(outSize), 0);
    if (ICCompressGetFormat(m_hic, in, reinterpret_cast<BITMAPINFO*>(m_output.data())) < 0 ||
        ICCompressBegin(m_hic, in, reinterpret_cast<const BITMAPINFO*>(m_output.data())) != ICERR_OK) {
        *error = "The compressor '" + name + "' could not be started.";
        return false;
    }
    m_begun = true;
    m_maxSample = static_cast<std::size_t>(std::max<LRESULT>(
        ICCompressGetSize(m_hic, in, reinterpret_cast<const BITMAPINFO*>(m_output.data())), 1));
    return true;
}

bool CFrameCompressor::Compress(long index, const BYTE* pixels, std::size_t bytes, EncodedFrame* out,
                                std::string* error) {
    if (!m_begun || bytes != m_input.biSizeImage) {
        *error = "The frame does not have the size the compressor was opened for.";
        return false;
    }
    std::vector<BYTE> format(m_output);
    auto* outHeader = reinterpret_cast<LPBITMAPINFOHEADER>(format.data());
    outHeader->biSizeImage = static_cast<DWORD>(m_maxSample);
    BITMAPINFOHEADER in = m_input;
    out->bytes.resize(m_maxSample);
    // Every sample a key frame: neighbouring frames are compressed on other workers (by other instances),
    // so no frame may be coded against the one before it.
    DWORD flags = 0;
    const LRESULT r =
        ICCompress(m_hic, ICCOMPRESS_KEYFRAME, outHeader, out->bytes.data(), &in, const_cast<BYTE*>(pixels),
                   nullptr, &flags, index, 0, m_quality, nullptr, nullptr);
    if (r != ICERR_OK || outHeader->biSizeImage > m_maxSample) {
        *error =
            "The compressor '" + HandlerText(m_handler) + "' failed on frame " + std::to_string(index) + ".";
        return false;
    }
    out->bytes.resize(outHeader->biSizeImage);
    return true;
}

std::string CFrameCompressor::HandlerText(DWORD handler) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((handler >> (8 * i)) & 0xFF);
        if (c == 0)
            break;
        text += c;
    }
    return text;
}
