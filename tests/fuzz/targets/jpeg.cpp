// JPEG streams and two-field Motion-JPEG frames: the header, then the decode into DIB rows with each
// row layout and inverse DCT, into a buffer of the size the header asks for and into one too small.
#include <vector>

#include "vomLib/Jpeg/jpglib32.h"

namespace {

// The largest decode buffer the target hands out (about 2.8 million pixels; the cameras' frames are
// 640 x 480). A stream of a few hundred bytes may declare a picture of up to 65535 x 65535 pixels,
// and the decoder fills what the stream lacks, so the time goes with the declared area: bounding the
// area is the caller's part, as the AVI readers do with the stream's format.
constexpr std::size_t kMaxOutput = 8u << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 0x7FFFFFFF)
        return 0;
    // The first byte chooses the inverse DCT, the row layout and whether the SIMD inverse DCTs run, as
    // a caller's options and the processor would.
    const int dct = data[0] % 3;
    const JpgRows rows = (data[0] & 4) ? JpgRows::Packed : JpgRows::Padded4;
    jpglib32::set_simd_idct((data[0] & 8) ? jpglib32::SimdIdct::On : jpglib32::SimdIdct::Off);
    const BYTE* stream = data + 1;
    const long length = static_cast<long>(size - 1);

    JpgImageInfo info;
    if (jpg_read_header(stream, length, &info) != JPG_OK)
        return 0;
    const std::size_t bytes = jpg_dib_size(info, rows);
    if (bytes == 0 || bytes > kMaxOutput)
        return 0;
    std::vector<BYTE> out(bytes);
    jpg_decompress_dib(stream, out.data(), length, dct, out.size(), rows);
    // A buffer one byte short is refused without a write past it.
    std::vector<BYTE> small(bytes - 1);
    jpg_decompress_dib(stream, small.data(), length, dct, small.size(), rows);
    return 0;
}
