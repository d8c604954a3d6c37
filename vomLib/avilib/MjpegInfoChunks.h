// Reading the recording system's 'CSTS' and 'NOTE' chunks straight from the RIFF structure of an AVI
// file, without the AVI stream layer: each stream header list carries them behind its 'strh', 'strf'
// and one further chunk header. Pad bytes behind odd-sized chunks and lists are stepped over.
#pragma once

#include <string>
#include <vector>

#include "vomLib/avilib/Notes.h"

// Appends each stream list's 'CSTS' block (raw bytes) to cstsList and its parsed 'NOTE' block to
// notesList. Returns 0, or -1 when the file cannot be opened (the system's message goes to the
// message-box notifier with the caption "Error") or is not laid out as expected; the lists keep what
// was appended before a failure.
int ReadInfoChunks(const char* fileName, std::vector<std::string>& cstsList, std::vector<NOTES>& notesList);
