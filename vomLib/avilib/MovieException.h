// The AVI library's one exception: the AVIFile result (or 1 where there is none) and a constant text.
#pragma once

#include "platform/win32/types.h"

struct CMovieException {
    CMovieException(HRESULT code, const char* message) : m_code(code), m_message(message) {}
    HRESULT m_code;
    const char* m_message;
};
