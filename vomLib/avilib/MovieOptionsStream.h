// A stream that keeps the options chosen in the compression-options dialog until FreeOptions.
#pragma once

#include "vomLib/avilib/MovieStream.h"

class CMovieOptionsStream : public CMovieStream {
public:
    CMovieOptionsStream(CMovieFile& file, DWORD value);
    ~CMovieOptionsStream() override;

    // Frees options kept from an earlier call, runs the choice over count fresh records and copies them
    // into destination (count records). The copies carry the choices only: their format and parameter
    // blocks stay with this object (the copies' pointers are null), so freeing them here never leaves the
    // caller with dangling pointers. Returns the choice's result.
    INT_PTR SaveOptions(AVICOMPRESSOPTIONS* destination, HWND owner, UINT flags, int count) override;
    // Frees the kept records; returns the free's result, or 0 when none are kept.
    virtual HRESULT FreeOptions();

    DWORD Value() const { return m_value; }
    int OptionCount() const { return m_count; }
    const AVICOMPRESSOPTIONS* KeptOptions() const { return m_options; }

private:
    DWORD m_value;
    AVICOMPRESSOPTIONS* m_options = nullptr;
    int m_count = 1;
};
