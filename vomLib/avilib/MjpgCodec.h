// The Motion-JPEG compressor and decompressor ('MJPG') for the compressor manager, on the library's
// JPEG codec. Programs that read or write Motion-JPEG AVI files call InstallMjpgCodec once before
// opening them; further calls do nothing, and calls from several threads are safe.
#pragma once

void InstallMjpgCodec();
