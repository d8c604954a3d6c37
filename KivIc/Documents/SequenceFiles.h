// The files of a numbered image sequence: "run00000003.bmp" is frame 3 of the sequence "run" with the
// extension ".bmp". A file belongs to a sequence when its name is exactly the sequence's base name,
// an optional "+" or "-", decimal digits and the extension (names of the base alone count as frame 0),
// so "runner5.bmp" is no frame of "run". Numbers are 32-bit: a file whose number does not fit is no
// frame.
#pragma once

#include <map>
#include <vector>

#include "platform/afx/core/afxcore.h"

// Frame number -> full path of the frame's file, ascending by number.
using SequenceFrameMap = std::map<LONG, CString>;

// The frame number of a file name (without folder) in the sequence of base and extension (with its
// dot, compared as the file system does, by case); FALSE when the file is no frame of it.
BOOL SequenceFrameNumber(const CString& fileName, const CString& base, const CString& ext, LONG* pNumber);

// A sign and decimal digits as a 32-bit number, however many leading zeros; FALSE when the text is
// anything else or the number does not fit.
BOOL ParseSequenceNumber(const CString& text, LONG* pNumber);

// The folder of a path as the sequence's files are named from it: drive and directory with a
// separator at its end; empty for a path without folder.
CString SequenceFolder(const CString& drive, const CString& dir);

// A path that names no folder from the file-system root is taken from the current folder; an
// absolute path stays as it is. Empty when the current folder cannot be read.
CString FullSequencePath(const CString& path);
