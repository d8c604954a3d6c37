#include "KivIc/Conversion/AviOutput.h"

#include "KivIc/Conversion/ConvertErrors.h"
#include "KivIc/Conversion/FrameCompressor.h"
#include "KivIc/Conversion/FrameFiles.h"
#include "KivIc/Playback/SourcePath.h"
#include "ZopDat/ReplaceFile.h"
#include "platform/win32/errors.h"
#include "platform/win32/files.h"
#include "platform/win32/temp_file.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStream.h"
#include "vomLib/avilib/MovieStreamInfo.h"
#include "platform/vfw/avifile.h"

namespace {

constexpr DWORD kTxts = mmioFOURCC('t', 'x', 't', 's');
constexpr DWORD kMovieRate = 30;

class AviEncoder : public IFrameEncoder {
public:
    AviEncoder(const AviOutputSettings& settings) : m_settings(settings) {}

    bool Open(std::string* error) {
        return m_compressor.Open(m_settings.handler, m_settings.quality, m_settings.width, m_settings.height,
                                 error);
    }

    bool Encode(long index, const BYTE* frame, std::size_t bytes, EncodedFrame* out,
                std::string* error) override {
        LONG width = 0, height = 0;
        if (!PackedFrameGeometry(frame, bytes, &width, &height, error))
            return false;
        if (width != m_settings.width || height != m_settings.height) {
            *error = "A frame's size differs from the movie's.";
            return false;
        }
        return m_compressor.Compress(index, frame + sizeof(BITMAPINFOHEADER),
                                     bytes - sizeof(BITMAPINFOHEADER), out, error);
    }

private:
    const AviOutputSettings& m_settings;
    CFrameCompressor m_compressor;
};

std::string AviFailure(const std::string& what, const std::string& path, HRESULT result) {
    std::string cause;
    switch (result) {
    case AVIERR_FILEWRITE:
        cause = "the file could not be written; the disk may be full.";
        break;
    case AVIERR_FILEOPEN:
        cause = "the file could not be created.";
        break;
    case AVIERR_MEMORY:
        cause = "not enough memory.";
        break;
    default: {
        char code[48];
        std::snprintf(code, sizeof code, "AVI error 0x%08X.", static_cast<unsigned>(result));
        cause = code;
    }
    }
    return what + " \"" + path + "\": " + cause;
}

} // namespace

CAviOutput::CAviOutput(AviOutputSettings settings) : m_settings(std::move(settings)) {}

CAviOutput::~CAviOutput() {
    Release();
    if (!m_temporary.empty())
        zopdat::DiscardTemporary(m_temporary);
}

bool CAviOutput::Open(std::string* error) {
    // The compressor is tried first: a refusal leaves nothing on disk.
    CFrameCompressor probe;
    if (!probe.Open(m_settings.handler, m_settings.quality, m_settings.width, m_settings.height, error))
        return false;
    // A name of its own beside the target, made exclusively so no other file is ever overwritten.
    const CString folder = FolderOf(CString(m_settings.target.c_str()));
    m_temporary = kivic::win32::CreateUniqueFile(folder.GetString(), "~conv", ".avi");
    if (m_temporary.empty()) {
        *error = FileFailure("Cannot create the movie", m_settings.target);
        return false;
    }
    std::string cause;
    if (!RunGuarded([&] { m_file = std::make_unique<CMovieFile>(m_temporary.c_str(), OF_CREATE | OF_WRITE); },
                    &cause)) {
        *error = FileFailure("Cannot create the movie", m_settings.target);
        zopdat::DiscardTemporary(m_temporary);
        m_temporary.clear();
        return false;
    }
    m_stream = std::make_unique<CMovieStream>(*m_file);
    CMovieStreamInfo info(0, 0, m_settings.width, m_settings.height,
                          static_cast<DWORD>(m_settings.width) * 3u * static_cast<DWORD>(m_settings.height),
                          m_settings.handler, 1, kMovieRate);
    info.dwQuality = m_settings.quality;
    HRESULT hr = m_stream->Create(&info);
    if (hr == AVIERR_OK)
        hr = m_stream->WriteData(kTxts, const_cast<char*>(m_settings.infoText.data()),
                                 static_cast<LONG>(m_settings.infoText.size()));
    if (hr == AVIERR_OK) {
        const auto& format = probe.OutputFormat();
        hr = m_stream->SetFormat(const_cast<BYTE*>(format.data()), static_cast<LONG>(format.size()), 0);
    }
    if (hr != AVIERR_OK) {
        *error = AviFailure("Cannot create the video stream of", m_settings.target, hr);
        Release();
        zopdat::DiscardTemporary(m_temporary);
        m_temporary.clear();
        return false;
    }
    return true;
}

std::unique_ptr<IFrameEncoder> CAviOutput::NewEncoder(std::string* error) {
    auto encoder = std::make_unique<AviEncoder>(m_settings);
    if (!encoder->Open(error))
        return nullptr;
    return encoder;
}

bool CAviOutput::Commit(long index, EncodedFrame& frame, std::string* error) {
    SetLastError(0);
    const HRESULT hr = m_stream ? m_stream->Write(index, frame.bytes.data(),
                                                  static_cast<LONG>(frame.bytes.size()), AVIIF_KEYFRAME)
                                : AVIERR_BADHANDLE;
    if (hr != AVIERR_OK) {
        const DWORD cause = GetLastError();
        const std::string what = "Cannot write frame " + std::to_string(index) + " of the movie";
        *error = cause != 0 ? FileFailure(what, m_settings.target, cause)
                            : AviFailure(what, m_settings.target, hr);
        return false;
    }
    return true;
}

void CAviOutput::Release() {
    m_stream.reset();
    m_file.reset();
}

bool CAviOutput::Close(bool keep, std::string* error) {
    if (m_temporary.empty()) {
        *error = "The movie \"" + m_settings.target + "\" was not created.";
        return false;
    }
    // Headers and indexes are written now: only a finished file may replace the target.
    SetLastError(0);
    const HRESULT finished = m_file ? AVIFileFinish(m_file->GetHandle()) : AVIERR_BADHANDLE;
    const DWORD cause = GetLastError();
    Release();
    const std::string temporary = m_temporary;
    m_temporary.clear();
    if (!keep) {
        zopdat::DiscardTemporary(temporary);
        return true;
    }
    if (finished != AVIERR_OK) {
        zopdat::DiscardTemporary(temporary);
        *error = cause != 0 ? FileFailure("Cannot finish the movie", m_settings.target, cause)
                            : AviFailure("Cannot finish the movie", m_settings.target, finished);
        return false;
    }
    if (!zopdat::CommitTemporary(temporary, m_settings.target)) {
        *error = FileFailure("Cannot replace", m_settings.target);
        return false;
    }
    return true;
}
