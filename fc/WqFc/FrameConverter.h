// Converts frames of a raw recording on its own: a reader of its own on the recording's path and a
// colour pipeline of its own built from a settings record (PipelineSettings.h). A conversion thread
// holds one; converters share nothing and take no locks, and each gives the bytes the raw camera
// server's ConvertBitmap gives for the same frame and settings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class BREMF;
class BremIc;

class FrameConverter {
public:
    FrameConverter();
    ~FrameConverter();
    FrameConverter(FrameConverter&&) noexcept;
    FrameConverter& operator=(FrameConverter&&) noexcept;
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    // Opens the recording and builds the pipeline from the record. False with *error when the
    // recording cannot be opened, the record is refused or it was taken for another picture size; the
    // converter is closed then.
    bool Open(const std::string& path, const std::uint8_t* record, std::size_t size, std::string* error);
    void Close();
    bool IsOpen() const { return m_pipeline != nullptr; }

    // The recording's frame numbers, first to last.
    long FirstFrame() const;
    long LastFrame() const;
    // Bytes of one converted frame: the 40-byte header and 3 x width x height bytes of rows.
    std::size_t BitmapSize() const;

    // Frame `frame` as a packed frame bitmap: the bitmap information header, then the rows bottom-up,
    // blue, green, red, without padding. False with *error, naming the frame and the file, for a
    // closed converter, a buffer below BitmapSize, a frame outside FirstFrame..LastFrame or one the
    // file does not hold whole.
    bool Convert(long frame, void* buffer, std::size_t capacity, std::string* error);

private:
    std::string m_path;
    std::unique_ptr<BREMF> m_reader;
    std::unique_ptr<BremIc> m_pipeline;
};
