// Raw dumps of the tracking job's templates and search areas into the temp folder, written only while
// the tracking window's debug switch is on: 8-bit pixels, bottom row first, no header, named
// "<prefix>f<frame>p<point>w<width>h<height>.raw".
#pragma once

#include "platform/afx/afxwin.h"

class CMatchingLog;
class CTemplateInfo;

// The platform temp folder with its trailing separator.
CString TempFolderPath();

// Writes the width x height pixels (rows top-down in memory); FALSE when the file could not be
// written.
BOOL DumpRawImage(const BYTE* pixels, int width, int height, long frame, int pointNumber, const char* prefix);
// The base image as "Template_0_", template k (from 1) as "Template_k_".
void DumpTemplates(const CTemplateInfo& set, long frame, int pointNumber);
// Dumps the search area cut out of the picture (whose top-left pixel lies at (left, top) of the picture)
// as "Search" and keeps it in the log's record of the point.
void DumpSearchArea(const BYTE* area, int left, int top, int width, int height, long frame, int pointNumber,
                    CMatchingLog& log);
