#include "KivIc/Conversion/RecordingConverter.h"

#include <memory>

#include "fc/WqFc/FrameConverter.h"

namespace {

class RecordingConverter : public IFrameConverter {
public:
    bool Open(const std::string& path, const std::vector<BYTE>& record, std::string* error) {
        return m_converter.Open(path, record.data(), record.size(), error);
    }
    bool Convert(long frame, BYTE* buffer, std::size_t capacity, std::string* error) override {
        return m_converter.Convert(frame, buffer, capacity, error);
    }

private:
    FrameConverter m_converter;
};

} // namespace

FrameConverterFactory RecordingConverterFactory(std::string path, std::vector<BYTE> settingsRecord) {
    auto record = std::make_shared<const std::vector<BYTE>>(std::move(settingsRecord));
    return [path = std::move(path), record](std::string* error) -> std::unique_ptr<IFrameConverter> {
        auto converter = std::make_unique<RecordingConverter>();
        if (!converter->Open(path, *record, error))
            return nullptr;
        return converter;
    };
}
