// The pieces of a recording's path as the playback document keeps them: drive, directory, file name
// and extension, split by the C library's rules (the directory keeps its last separator, the extension
// its dot), and the base name of a numbered image sequence.
#pragma once

#include "platform/afx/core/afxcore.h"

struct SourcePathParts {
    CString drive;
    CString dir;
    CString fileName;
    CString ext;
};

// "X:" is a drive only as the path's first two characters; "/" and "\" both separate folders.
SourcePathParts SplitSourcePath(const CString& path);

// The drive and directory of a path, with the last separator; empty for a bare name (the current
// folder).
CString FolderOf(const CString& path);

// The extension without its dot, in lower case ("" when there is none): what tells the kind of a file.
CString ExtensionOf(const CString& path);

// The file name without its trailing frame number: trailing decimal digits, and a "+" or "-" directly
// before them. The name's first character always stays, so a name of digits keeps its first digit.
CString SequenceBaseName(const CString& fileName);
