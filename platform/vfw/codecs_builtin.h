// The codecs that come with the compressor manager (internal).
#pragma once

#include <memory>

#include "platform/vfw/compman.h"

namespace kivic::vfw {

std::unique_ptr<VideoCodec> NewDibCodec();
std::unique_ptr<VideoCodec> NewMsvcCodec();

// Copies a format block (header and colour table) into a vector-like buffer size.
std::size_t FormatSize(const BITMAPINFO* info);

} // namespace kivic::vfw
