// Video for Windows: AVI files and streams, the compressor manager and DrawDib.
#pragma once

#include "platform/vfw/avifile.h"
#include "platform/vfw/compman.h"
#include "platform/vfw/drawdib.h"
