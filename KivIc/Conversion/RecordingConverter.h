// The frames of a raw recording for one conversion worker: a reader of its own on the recording's path
// and a colour pipeline of its own built from the document's settings record, so workers convert side
// by side exactly as the raw camera server does, without calling it.
#pragma once

#include <string>
#include <vector>

#include "KivIc/Conversion/FrameJob.h"

// Makes converters on the recording at path with the pipeline settings record (as the server hands
// it out). Each converter opens the recording anew; a failure names the file and the cause.
FrameConverterFactory RecordingConverterFactory(std::string path, std::vector<BYTE> settingsRecord);
