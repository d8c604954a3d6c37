// Basic definitions of the framework core: character types, the diagnostic macros (TRACE, ASSERT,
// VERIFY) and the calling-convention words that ported code still spells out.
#pragma once

#include <cstdarg>

#include "platform/win32/types.h"

using TCHAR = char;
using LPTSTR = char*;
using LPCTSTR = const char*;
using PUINT = UINT*;

#ifndef _T
#define _T(x) x
#endif
#ifndef TEXT
#define TEXT(x) x
#endif

#ifndef AFXAPI
#define AFXAPI
#endif
#ifndef AFX_CDECL
#define AFX_CDECL
#endif

// printf-style text to the debug output (OutputDebugStringA).
void AfxTrace(LPCTSTR format, ...) __attribute__((format(printf, 1, 2)));
// Reports a failed assertion with its source position; returns only when the process is told to
// continue (KIVIC_ASSERT_CONTINUE=1), otherwise aborts so the fault is not carried on.
void AfxAssertFailedLine(const char* file, int line, const char* expression);

#define TRACE(...) AfxTrace(__VA_ARGS__)
#define TRACE0(sz) AfxTrace("%s", sz)
#define TRACE1(sz, p1) AfxTrace(sz, p1)
#define TRACE2(sz, p1, p2) AfxTrace(sz, p1, p2)
#define TRACE3(sz, p1, p2, p3) AfxTrace(sz, p1, p2, p3)

#ifdef NDEBUG
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define DEBUG_ONLY(f) ((void)0)
#else
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__, #f))
#define VERIFY(f) ASSERT(f)
#define DEBUG_ONLY(f) (f)
#endif

#define ASSERT_VALID(pOb) (ASSERT((pOb) != nullptr), (pOb)->AssertValid())
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
