// The walks over the documents the program has open: every document of every template, in order.
#pragma once

#include <functional>

class CDocument;
class CVesloDoc;

// The first open document for which match is true, or null; match sees every document until then.
CDocument* FindOpenDocument(const std::function<bool(CDocument*)>& match);

// Every open recording (playback document), in order.
void ForEachOpenRecording(const std::function<void(CVesloDoc*)>& visit);
