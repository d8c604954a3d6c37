// Memory destination: the library writes into a 4096-byte buffer; each full buffer, and the used part
// at the end, is appended to the output block. A block that cannot grow is a write error.
#include "vomLib/Jpeg/JpgInternal.h"

#include <jerror.h>

namespace jpglib32 {
namespace {

constexpr std::size_t kOutputBufferSize = 4096;

struct MemoryDestination {
    jpeg_destination_mgr pub; // first member: the library sees only this part
    OutputBlock* block;
    JOCTET* buffer;
};

void init_destination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, kOutputBufferSize));
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kOutputBufferSize;
}

boolean empty_output_buffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    if (!jpg_append_output(dest->block, dest->buffer, kOutputBufferSize))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kOutputBufferSize;
    return TRUE;
}

void term_destination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    const std::size_t used = kOutputBufferSize - dest->pub.free_in_buffer;
    if (used > 0 && !jpg_append_output(dest->block, dest->buffer, used))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

} // namespace

void jpg_mem_dest(j_compress_ptr cinfo, OutputBlock* block) {
    if (cinfo->dest == nullptr) {
        cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemoryDestination)));
    }
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->pub.init_destination = init_destination;
    dest->pub.empty_output_buffer = empty_output_buffer;
    dest->pub.term_destination = term_destination;
    dest->block = block;
    dest->buffer = nullptr;
}

} // namespace jpglib32
