// Memory source: the library reads the caller's bytes in place. Past the end it gets a warning and a
// fake end-of-image marker, so a stream cut short still yields the rows decoded so far.
#include "vomLib/Jpeg/JpgInternal.h"

#include <jerror.h>

namespace jpglib32 {
namespace {

const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

struct MemorySource {
    jpeg_source_mgr pub; // first member: the library sees only this part
    bool* truncated;
    bool started; // some real bytes were handed out
};

void init_source(j_decompress_ptr) {}

boolean fill_input_buffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    if (!src->started)
        ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    *src->truncated = true;
    src->pub.next_input_byte = kFakeEndOfImage;
    src->pub.bytes_in_buffer = sizeof kFakeEndOfImage;
    return TRUE;
}

void skip_input_data(j_decompress_ptr cinfo, long count) {
    if (count <= 0)
        return;
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > src->pub.bytes_in_buffer) {
        remaining -= src->pub.bytes_in_buffer;
        (void)(*src->pub.fill_input_buffer)(cinfo);
    }
    src->pub.next_input_byte += remaining;
    src->pub.bytes_in_buffer -= remaining;
}

void term_source(j_decompress_ptr) {}

} // namespace

void jpg_mem_src(j_decompress_ptr cinfo, const BYTE* data, std::size_t length, bool* truncated) {
    if (cinfo->src == nullptr) {
        cinfo->src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemorySource)));
    }
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    src->pub.init_source = init_source;
    src->pub.fill_input_buffer = fill_input_buffer;
    src->pub.skip_input_data = skip_input_data;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = term_source;
    src->pub.next_input_byte = data;
    src->pub.bytes_in_buffer = data != nullptr ? length : 0;
    src->truncated = truncated;
    src->started = src->pub.bytes_in_buffer > 0;
    *truncated = false;
}

} // namespace jpglib32
