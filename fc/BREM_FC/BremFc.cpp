#include "fc/BREM_FC/BremFc.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "fc/BREM_FC/BremFcException.h"
#include "fc/BREM_FC/BremFcIds.h"
#include "fc/BREM_FC/FilterFile.h"
#include "fc/WqFc/PipelineSettings.h"
#include "platform/win32/system.h"

namespace {
void Trace(const char* format, long value) {
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<int>(value));
    OutputDebugStringA(text);
}
} // namespace

ComModuleState& BremFcModule() {
    static ComModuleState state;
    return state;
}

CBremFc::CBremFc() : DualObject(kBremFcLibrary, kBremFcProgId, &BremFcModule()) {}

CBremFc::~CBremFc() {
    m_dialog.Destroy();
    CloseFile();
}

void CBremFc::RequireOpen() const {
    if (!m_open)
        BREMFC_THROW("not initialized");
}

std::string CBremFc::DescribeException(std::exception_ptr error) const {
    std::string text = DescribeBremfError(error);
    return text.empty() ? DualObject::DescribeException(error) : text;
}

HRESULT CBremFc::OpenFile(const std::string& path) {
    CloseFile();
    try {
        auto reader = std::make_unique<BREMF>(path.c_str(), 1);
        auto pipeline = std::make_unique<BremIc>(reader.get());
        m_reader = std::move(reader);
        m_pipeline = std::move(pipeline);
        m_open = true;
        try {
            SelectFrame(0);
        } catch (const vomRfile::XRead&) {
            // A recording cut short may lack frame 0; its first frame is always whole.
            SelectFrame(m_reader->GetFirstFrame());
        }
    } catch (...) {
        const std::string text = DescribeException(std::current_exception());
        CloseFile();
        return Error(text);
    }
    m_dialog.SetImage(m_pipeline->Width(), m_pipeline->Height(),
                      m_pipeline->Bayer().FilterPosY() * 2 + m_pipeline->Bayer().FilterPosX(),
                      m_pipeline->RawPlane() + m_pipeline->Width());
    m_dialog.Refresh();
    return S_OK;
}

void CBremFc::CloseFile() {
    m_dialog.Detach();
    m_dialog.Refresh();
    m_pipeline.reset();
    m_reader.reset();
    m_frame = nullptr;
    m_open = false;
}

void CBremFc::SelectFrame(long frame) {
    const DWORD start = GetTickCount();
    m_frame = m_reader->ReadFrame(frame);
    m_current = m_reader->GetCurrentFrame();
    m_pipeline->Unpack();
    Trace("Read expire time = %d msec.\n", static_cast<long>(GetTickCount() - start));
}

void CBremFc::ConvertInto(void* buffer, ULONG_PTR capacity) {
    if (!buffer)
        BREMFC_THROW("ConvertBitmap: no buffer given");
    if (capacity < m_pipeline->BitmapSize())
        BREMFC_THROW("ConvertBitmap: the buffer is smaller than BitmapSize");
    const DWORD start = GetTickCount();
    m_pipeline->ConvertBitmap(static_cast<BYTE*>(buffer));
    const long elapsed = static_cast<long>(GetTickCount() - start);
    Trace("Conversion expire time = %d msec.\n", elapsed);
    Trace("Conversion Time = %d\n", elapsed);
}

std::string CBremFc::TriggerTimeText() const {
    // "YYMMDDhhmmss" and the fraction, within the field's 16 bytes.
    std::string t = m_reader->GetTriggerTime();
    t.resize(std::max<std::size_t>(t.size(), 12), '\0');
    auto piece = [&](std::size_t at) { return std::string(t.c_str() + at, strnlen(t.c_str() + at, 2)); };
    const std::string rest = t.size() > 12 ? std::string(t.c_str() + 12) : std::string();
    char text[64];
    std::snprintf(text, sizeof text, "20%s.%s.%s %s:%s:%s.%s", piece(0).c_str(), piece(2).c_str(),
                  piece(4).c_str(), piece(6).c_str(), piece(8).c_str(), piece(10).c_str(), rest.c_str());
    return text;
}

// --- Methods ----------------------------------------------------------------------------------------

HRESULT CBremFc::Open(BSTR sFileNm) {
    return Guard([&] { return OpenFile(Utf8FromBstr(sFileNm)); });
}

HRESULT CBremFc::Close() {
    return Guard([&] {
        CloseFile();
        return S_OK;
    });
}

HRESULT CBremFc::ConvertBitmap(ComBuffer ptr) {
    return Change([&] { ConvertInto(ptr.pvData, ptr.cbCapacity); });
}

HRESULT CBremFc::GetAWBSamplePos(SHORT* pX, SHORT* pY) {
    if (!pX || !pY)
        return E_POINTER;
    return Change([&] {
        *pX = static_cast<SHORT>(Pipeline().SampleWindow().x);
        *pY = static_cast<SHORT>(Pipeline().SampleWindow().y);
    });
}

HRESULT CBremFc::SetAwbSamplePos(SHORT nX, SHORT nY) {
    return Change([&] { Pipeline().SetAwbSamplePos(nX, nY); });
}

HRESULT CBremFc::CustomGainDlg() {
    return S_OK;
}

HRESULT CBremFc::CustomChromaDlg() {
    return S_OK;
}

HRESULT CBremFc::GetBayerFilter(INT rgb, INT bayer, INT pos, INT* val) {
    if (!val)
        return E_POINTER;
    return Change([&] {
        std::int16_t weight = 0;
        if (!Pipeline().Bayer().GetFilter(rgb, bayer, pos, weight))
            return Error("GetBayerFilter: colour 0..2, phase 0..3, position 0..8", E_INVALIDARG);
        *val = weight;
        return S_OK;
    });
}

HRESULT CBremFc::SetBayerFilter(INT rgb, INT bayer, INT pos, INT val) {
    return Change([&] {
        if (val < -32768 || val > 32767 ||
            !Pipeline().SetBayerFilter(rgb, bayer, pos, static_cast<std::int16_t>(val)))
            return Error("SetBayerFilter: colour 0..2, phase 0..3, position 0..8, a 16-bit weight",
                         E_INVALIDARG);
        return S_OK;
    });
}

HRESULT CBremFc::WriteFilter(BSTR FileNm) {
    return Change([&] {
        const std::string path = Utf8FromBstr(FileNm);
        if (!WriteFilterFile(path.c_str(), Pipeline()))
            return Error("WriteFilter: cannot write " + path, E_FAIL);
        return S_OK;
    });
}

HRESULT CBremFc::GetYcMatrixFilter(INT yuv, INT rgb, INT* coeff) {
    if (!coeff)
        return E_POINTER;
    return Change([&] {
        if (yuv < 0 || yuv > 2 || rgb < 0 || rgb > 2)
            return Error("GetYcMatrixFilter: yuv 0..2, rgb 0..2", E_INVALIDARG);
        *coeff = Pipeline().Matrix().coef[static_cast<std::size_t>(yuv * 3 + rgb)];
        return S_OK;
    });
}

HRESULT CBremFc::ClonePipeline(ComBuffer ptr, LONG* pSize) {
    if (!pSize)
        return E_POINTER;
    return Change([&] {
        const std::vector<std::uint8_t> record = SavePipelineSettings(Pipeline());
        if (ptr.pvData) {
            if (ptr.cbCapacity < record.size())
                BREMFC_THROW("ClonePipeline: the buffer holds " + std::to_string(ptr.cbCapacity) +
                             " bytes, the settings record needs " + std::to_string(record.size()));
            std::memcpy(ptr.pvData, record.data(), record.size());
        }
        *pSize = static_cast<LONG>(record.size());
    });
}
