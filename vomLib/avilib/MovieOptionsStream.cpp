// The options stream: the dialog's records kept until they are freed.
#include <vector>

#include "vomLib/avilib/MovieOptionsStream.h"

CMovieOptionsStream::CMovieOptionsStream(CMovieFile& file, DWORD value)
    : CMovieStream(file), m_value(value) {}

CMovieOptionsStream::~CMovieOptionsStream() {
    FreeOptions();
}

INT_PTR CMovieOptionsStream::SaveOptions(AVICOMPRESSOPTIONS* destination, HWND owner, UINT flags, int count) {
    FreeOptions();
    if (count <= 0 || !destination)
        return 0;
    m_options = new AVICOMPRESSOPTIONS[count]{};
    m_count = count;
    std::vector<LPAVICOMPRESSOPTIONS> list(static_cast<std::size_t>(count));
    std::vector<PAVISTREAM> streams(static_cast<std::size_t>(count), m_stream);
    for (int i = 0; i < count; ++i)
        list[static_cast<std::size_t>(i)] = &m_options[i];
    const INT_PTR result = AVISaveOptions(owner, flags, count, streams.data(), list.data());
    for (int i = 0; i < count; ++i) {
        destination[i] = m_options[i];
        destination[i].lpFormat = nullptr;
        destination[i].cbFormat = 0;
        destination[i].lpParms = nullptr;
        destination[i].cbParms = 0;
    }
    return result;
}

HRESULT CMovieOptionsStream::FreeOptions() {
    if (!m_options)
        return 0;
    std::vector<LPAVICOMPRESSOPTIONS> list(static_cast<std::size_t>(m_count));
    for (int i = 0; i < m_count; ++i)
        list[static_cast<std::size_t>(i)] = &m_options[i];
    const HRESULT result = AVISaveOptionsFree(m_count, list.data());
    delete[] m_options;
    m_options = nullptr;
    m_count = 1;
    return result;
}
