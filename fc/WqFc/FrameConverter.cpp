#include "fc/WqFc/FrameConverter.h"

#include "fc/BREM_FC/BREMF.h"
#include "fc/WqFc/BremIc.h"
#include "fc/WqFc/PipelineSettings.h"
#include "platform/win32/bitmap.h"

namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error)
        *error = text;
    return false;
}

std::string SizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

FrameConverter::FrameConverter() = default;
FrameConverter::~FrameConverter() = default;
FrameConverter::FrameConverter(FrameConverter&&) noexcept = default;
FrameConverter& FrameConverter::operator=(FrameConverter&&) noexcept = default;

bool FrameConverter::Open(const std::string& path, const std::uint8_t* record, std::size_t size,
                          std::string* error) {
    Close();
    std::unique_ptr<BremIc> pipeline = PipelineFromSettings(record, size, error);
    if (!pipeline)
        return false;
    std::unique_ptr<BREMF> reader;
    try {
        reader = std::make_unique<BREMF>(path.c_str(), 1);
    } catch (...) {
        std::string text = DescribeBremfError(std::current_exception());
        return Fail(error,
                    "cannot open the recording " + path + ": " + (text.empty() ? "unknown error" : text));
    }
    if (reader->GetDispWidth() != pipeline->Width() || reader->GetDispHeight() != pipeline->Height())
        return Fail(error, "the pipeline settings are for pictures of " +
                               SizeText(pipeline->Width(), pipeline->Height()) + ", " + path + " holds " +
                               SizeText(reader->GetDispWidth(), reader->GetDispHeight()));
    m_path = path;
    m_reader = std::move(reader);
    m_pipeline = std::move(pipeline);
    return true;
}

void FrameConverter::Close() {
    m_pipeline.reset();
    m_reader.reset();
    m_path.clear();
}

long FrameConverter::FirstFrame() const {
    return m_reader ? m_reader->GetFirstFrame() : 0;
}

long FrameConverter::LastFrame() const {
    return m_reader ? m_reader->GetLastFrame() : -1;
}

std::size_t FrameConverter::BitmapSize() const {
    return m_pipeline ? m_pipeline->BitmapSize() : 0;
}

bool FrameConverter::Convert(long frame, void* buffer, std::size_t capacity, std::string* error) {
    if (!IsOpen())
        return Fail(error, "frame " + std::to_string(frame) + ": no recording is open");
    const std::string which = "frame " + std::to_string(frame) + " of " + m_path;
    if (!buffer || capacity < BitmapSize())
        return Fail(error, which + ": the buffer holds " + std::to_string(buffer ? capacity : 0) +
                               " bytes, a converted frame needs " + std::to_string(BitmapSize()));
    // The reader would take the nearest frame; a frame outside the recording is the caller's mistake.
    if (frame < FirstFrame() || frame > LastFrame())
        return Fail(error, which + ": the recording holds frames " + std::to_string(FirstFrame()) + " to " +
                               std::to_string(LastFrame()));
    try {
        const BYTE* raw = m_reader->ReadFrame(frame);
        BYTE* bitmap = static_cast<BYTE*>(buffer);
        m_pipeline->FillBitmapHeader(bitmap);
        m_pipeline->Convert(raw, bitmap + sizeof(BITMAPINFOHEADER));
    } catch (...) {
        std::string text = DescribeBremfError(std::current_exception());
        return Fail(error, which + ": " + (text.empty() ? "unknown error" : text));
    }
    return true;
}
