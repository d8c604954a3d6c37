#include "fc/BREM_FC/BremFc.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "fc/BREM_FC/BremFcException.h"
#include "fc/BREM_FC/BremFcIds.h"
#include "fc/BREM_FC/FilterFile.h"
#include "platform/win32/system.h"

namespace {
constexpr DispMember kMembers[] = {
    {"Open", BREMFC_OPEN},
    {"Close", BREMFC_CLOSE},
    {"ConvertBitmap", BREMFC_CONVERTBITMAP},
    {"GetAWBSamplePos", BREMFC_GETAWBSAMPLEPOS},
    {"SetAwbSamplePos", BREMFC_SETAWBSAMPLEPOS},
    {"BitmapSize", BREMFC_BITMAPSIZE},
    {"Brightness", BREMFC_BRIGHTNESS},
    {"CameraSN", BREMFC_CAMERASN},
    {"CameraVer", BREMFC_CAMERAVER},
    {"CameraType", BREMFC_CAMERATYPE},
    {"CameraID", BREMFC_CAMERAID},
    {"Contrast", BREMFC_CONTRAST},
    {"CurrentFrame", BREMFC_CURRENTFRAME},
    {"DispPixels", BREMFC_DISPPIXELS},
    {"EnableLPF", BREMFC_ENABLELPF},
    {"Enhance", BREMFC_ENHANCE},
    {"FrameLength", BREMFC_FRAMELENGTH},
    {"FramePixels", BREMFC_FRAMEPIXELS},
    {"FrameRate", BREMFC_FRAMERATE},
    {"Gain", BREMFC_GAIN},
    {"Gamma", BREMFC_GAMMA},
    {"BayerPos", BREMFC_BAYERPOS},
    {"ImageLength", BREMFC_IMAGELENGTH},
    {"FileVer", BREMFC_FILEVER},
    {"NumFrames", BREMFC_NUMFRAMES},
    {"MemorySize", BREMFC_MEMORYSIZE},
    {"RecordedBegin", BREMFC_RECORDEDBEGIN},
    {"RecordedEnd", BREMFC_RECORDEDEND},
    {"SegmentNo", BREMFC_SEGMENTNO},
    {"ShutterSpeed", BREMFC_SHUTTERSPEED},
    {"TriggerTime", BREMFC_TRIGGERTIME},
    {"VideoType", BREMFC_VIDEOTYPE},
    {"WhiteBalance", BREMFC_WHITEBALANCE},
    {"Zoom", BREMFC_ZOOM},
    {"Chroma", BREMFC_CHROMA},
    {"FileLength", BREMFC_FILELENGTH},
    {"CustomGainDlg", BREMFC_CUSTOMGAINDLG},
    {"CustomChromaDlg", BREMFC_CUSTOMCHROMADLG},
    {"WBGainR", BREMFC_WBGAINR},
    {"WBGainG", BREMFC_WBGAING},
    {"WBGainB", BREMFC_WBGAINB},
    {"FilterPosX", BREMFC_FILTERPOSX},
    {"FilterPosY", BREMFC_FILTERPOSY},
    {"GetBayerFilter", BREMFC_GETBAYERFILTER},
    {"SetBayerFilter", BREMFC_SETBAYERFILTER},
    {"ShowBayer", BREMFC_SHOWBAYER},
    {"BayerCursorPos", BREMFC_BAYERCURSORPOS},
    {"WriteFilter", BREMFC_WRITEFILTER},
    {"GetYcMatrixFilter", BREMFC_GETYCMATRIXFILTER},
    {"RecGain", BREMFC_RECGAIN},
    {"SceneNo", BREMFC_SCENENO},
    {"ClonePipeline", BREMFC_CLONEPIPELINE},
};

bool IsPut(WORD flags) {
    return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
}

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

CBremFc::CBremFc() : DispatchObject(IID_IBremFc, kMembers, kBremFcProgId, &BremFcModule()) {}

CBremFc::~CBremFc() {
    m_dialog.Destroy();
    Close();
}

void CBremFc::RequireOpen() const {
    if (!m_open)
        BREMFC_THROW("not initialized");
}

std::string CBremFc::DescribeException(std::exception_ptr error) const {
    try {
        std::rethrow_exception(error);
    } catch (const vomException& e) {
        return e.Message();
    } catch (const vomRfile::XRead&) {
        return "BREMF read error: the frame is missing or cut short";
    } catch (const vomRfile::XSeek&) {
        return "BREMF seek error";
    } catch (const vomRfile::XOpen&) {
        return "BREMF open error";
    } catch (const Range<long>::illegal&) {
        return "the recording holds no frames";
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    } catch (...) {
        return DispatchObject::DescribeException(std::current_exception());
    }
}

HRESULT CBremFc::Open(const std::string& path) {
    Close();
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
        Close();
        return Error(text);
    }
    m_dialog.SetImage(m_pipeline->Width(), m_pipeline->Height(),
                      m_pipeline->Bayer().FilterPosY() * 2 + m_pipeline->Bayer().FilterPosX(),
                      m_pipeline->RawPlane() + m_pipeline->Width());
    m_dialog.Refresh();
    return S_OK;
}

void CBremFc::Close() {
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

void CBremFc::ConvertBitmap(void* buffer, ULONG_PTR capacity) {
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

HRESULT CBremFc::InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) {
    switch (id) {
    case BREMFC_CLOSE:
        Close();
        return S_OK;
    case BREMFC_CUSTOMGAINDLG:
    case BREMFC_CUSTOMCHROMADLG:
        return S_OK;
    case BREMFC_BAYERCURSORPOS:
        if (IsPut(flags)) {
            m_cursor = args.PutI4();
            const auto x = static_cast<std::int16_t>(static_cast<std::uint32_t>(m_cursor) >> 16);
            const auto y = static_cast<std::int16_t>(m_cursor & 0xFFFF);
            m_dialog.SetCursor(x, y);
            m_dialog.Refresh();
        } else {
            SetResultI4(result, m_cursor);
        }
        return S_OK;
    case BREMFC_OPEN:
        args.Expect(1);
        return Open(args.Utf8(0));
    default:
        break;
    }
    RequireOpen();
    switch (id) {
    case BREMFC_CONVERTBITMAP:
    case BREMFC_GETAWBSAMPLEPOS:
    case BREMFC_SETAWBSAMPLEPOS:
    case BREMFC_GETBAYERFILTER:
    case BREMFC_SETBAYERFILTER:
    case BREMFC_WRITEFILTER:
    case BREMFC_GETYCMATRIXFILTER:
    case BREMFC_CLONEPIPELINE:
        return Method(id, args, result);
    default:
        return Property(id, flags, args, result);
    }
}

HRESULT CBremFc::Method(DISPID id, const DispArgs& args, VARIANT* /*result*/) {
    BremIc& p = *m_pipeline;
    switch (id) {
    case BREMFC_CONVERTBITMAP: {
        args.Expect(1);
        ULONG_PTR capacity = 0;
        void* buffer = args.Buffer(0, &capacity);
        ConvertBitmap(buffer, capacity);
        return S_OK;
    }
    case BREMFC_GETAWBSAMPLEPOS:
        args.Expect(2);
        *args.RefI2(0) = static_cast<SHORT>(p.SampleWindow().x);
        *args.RefI2(1) = static_cast<SHORT>(p.SampleWindow().y);
        return S_OK;
    case BREMFC_SETAWBSAMPLEPOS:
        args.Expect(2);
        p.SetAwbSamplePos(args.I2(0), args.I2(1));
        return S_OK;
    case BREMFC_GETBAYERFILTER: {
        args.Expect(4);
        std::int16_t weight = 0;
        if (!p.Bayer().GetFilter(args.Int(0), args.Int(1), args.Int(2), weight))
            return Error("GetBayerFilter: colour 0..2, phase 0..3, position 0..8", E_INVALIDARG);
        *args.RefInt(3) = weight;
        return S_OK;
    }
    case BREMFC_SETBAYERFILTER: {
        args.Expect(4);
        const int value = args.Int(3);
        if (value < -32768 || value > 32767 ||
            !p.SetBayerFilter(args.Int(0), args.Int(1), args.Int(2), static_cast<std::int16_t>(value)))
            return Error("SetBayerFilter: colour 0..2, phase 0..3, position 0..8, a 16-bit weight",
                         E_INVALIDARG);
        return S_OK;
    }
    case BREMFC_WRITEFILTER: {
        args.Expect(1);
        const std::string path = args.Utf8(0);
        if (!WriteFilterFile(path.c_str(), p))
            return Error("WriteFilter: cannot write " + path, E_FAIL);
        return S_OK;
    }
    case BREMFC_GETYCMATRIXFILTER: {
        args.Expect(3);
        const int yuv = args.Int(0);
        const int rgb = args.Int(1);
        if (yuv < 0 || yuv > 2 || rgb < 0 || rgb > 2)
            return Error("GetYcMatrixFilter: yuv 0..2, rgb 0..2", E_INVALIDARG);
        *args.RefInt(2) = p.Matrix().coef[static_cast<std::size_t>(yuv * 3 + rgb)];
        return S_OK;
    }
    case BREMFC_CLONEPIPELINE: {
        args.Expect(1);
        ULONG_PTR capacity = 0;
        void* buffer = args.Buffer(0, &capacity);
        if (!buffer || capacity < sizeof(BremIc*))
            return Error("ClonePipeline: the buffer must hold a pointer", E_INVALIDARG);
        BremIc* copy = new BremIc(p);
        std::memcpy(buffer, &copy, sizeof copy);
        return S_OK;
    }
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CBremFc::Property(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) {
    const BREMF& r = *m_reader;
    BremIc& p = *m_pipeline;
    const bool put = IsPut(flags);
    auto readOnly = [&]() -> HRESULT { return put ? DISP_E_MEMBERNOTFOUND : S_OK; };
    switch (id) {
    // Header values.
    case BREMFC_BITMAPSIZE:
        SetResultI4(result, static_cast<LONG>(p.BitmapSize()));
        return readOnly();
    case BREMFC_CAMERASN:
        SetResultI4(result, static_cast<LONG>(r.GetCameraSN()));
        return readOnly();
    case BREMFC_CAMERAVER:
        SetResultI4(result, static_cast<LONG>(r.GetCameraVer()));
        return readOnly();
    case BREMFC_CAMERATYPE:
        SetResultI4(result, static_cast<LONG>(r.GetCameraType()));
        return readOnly();
    case BREMFC_CAMERAID:
        SetResultI2(result, static_cast<SHORT>(r.GetCameraID()));
        return readOnly();
    case BREMFC_DISPPIXELS:
        SetResultI4(result,
                    static_cast<LONG>(static_cast<DWORD>(r.GetDispWidth()) * 65536u + r.GetDispHeight()));
        return readOnly();
    case BREMFC_FRAMELENGTH:
        SetResultI4(result, static_cast<LONG>(r.GetFrameWidth() * r.GetFrameHeight()));
        return readOnly();
    case BREMFC_FRAMEPIXELS:
        SetResultI4(result,
                    static_cast<LONG>(static_cast<DWORD>(r.GetFrameWidth()) * 65536u + r.GetFrameHeight()));
        return readOnly();
    case BREMFC_FRAMERATE:
        SetResultI4(result, static_cast<LONG>(r.GetFrameRate()));
        return readOnly();
    case BREMFC_IMAGELENGTH:
        SetResultI4(result, static_cast<LONG>(r.GetImageLength()));
        return readOnly();
    case BREMFC_FILEVER:
        SetResultI4(result, static_cast<LONG>(r.GetFileVer()));
        return readOnly();
    case BREMFC_NUMFRAMES:
        SetResultI4(result, static_cast<LONG>(r.GetNumFrames()));
        return readOnly();
    case BREMFC_MEMORYSIZE:
        SetResultI4(result, r.GetMemorySize());
        return readOnly();
    case BREMFC_RECORDEDBEGIN:
        SetResultI4(result, static_cast<LONG>(r.GetFirstFrame()));
        return readOnly();
    case BREMFC_RECORDEDEND:
        SetResultI4(result, static_cast<LONG>(r.GetLastFrame()));
        return readOnly();
    case BREMFC_SEGMENTNO:
        SetResultI2(result, static_cast<SHORT>(r.GetSegmentNo()));
        return readOnly();
    case BREMFC_SHUTTERSPEED:
        SetResultI4(result, static_cast<LONG>(r.GetShutterSpeed()));
        return readOnly();
    case BREMFC_TRIGGERTIME:
        SetResultBstr(result, TriggerTimeText());
        return readOnly();
    case BREMFC_VIDEOTYPE:
        SetResultI2(result, static_cast<SHORT>(r.GetVideoType()));
        return readOnly();
    case BREMFC_ZOOM:
        SetResultI2(result, static_cast<SHORT>(r.GetZoom()));
        return readOnly();
    case BREMFC_FILELENGTH:
        SetResultI4(result, static_cast<LONG>(r.GetFileLength()));
        return readOnly();
    case BREMFC_RECGAIN:
        SetResultI2(result, static_cast<SHORT>(r.GetRecGain()));
        return readOnly();
    case BREMFC_SCENENO:
        SetResultI2(result, static_cast<SHORT>(r.GetSceneNo()));
        return readOnly();

    // Frame selection.
    case BREMFC_CURRENTFRAME:
        if (put)
            SelectFrame(args.PutI4());
        else
            SetResultI4(result, static_cast<LONG>(m_current));
        return S_OK;

    // Pipeline settings.
    case BREMFC_BRIGHTNESS:
        put ? p.SetBrightness(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.Brightness()));
        return S_OK;
    case BREMFC_CONTRAST:
        put ? p.SetContrast(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.Contrast()));
        return S_OK;
    case BREMFC_ENABLELPF:
        put ? p.SetEnableLPF(args.PutI4() != 0) : SetResultI4(result, p.EnableLPF() ? 1 : 0);
        return S_OK;
    case BREMFC_ENHANCE:
        put ? p.SetEnhance(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.Enhance()));
        return S_OK;
    case BREMFC_GAIN:
        put ? p.SetGain(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.Gain()));
        return S_OK;
    case BREMFC_GAMMA:
        put ? p.SetGamma(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.Gamma()));
        return S_OK;
    case BREMFC_WHITEBALANCE:
        put ? p.SetWhiteBalance(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.WhiteBalance()));
        return S_OK;
    case BREMFC_CHROMA:
        put ? p.SetChroma(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.Chroma()));
        return S_OK;
    case BREMFC_WBGAINR:
        put ? p.SetWBGainR(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.WBGainR()));
        return S_OK;
    case BREMFC_WBGAING:
        put ? p.SetWBGainG(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.WBGainG()));
        return S_OK;
    case BREMFC_WBGAINB:
        put ? p.SetWBGainB(args.PutI2()) : SetResultI2(result, static_cast<SHORT>(p.WBGainB()));
        return S_OK;
    case BREMFC_BAYERPOS: {
        BayerFc& bayer = p.Bayer();
        if (put) {
            const int value = args.PutI2();
            p.SetFilterPos(value & 1, value >> 1);
            m_dialog.SetPhase(bayer.FilterPosY() * 2 + bayer.FilterPosX());
        } else {
            SetResultI2(result, static_cast<SHORT>(bayer.FilterPosY() * 2 + bayer.FilterPosX()));
        }
        return S_OK;
    }
    case BREMFC_FILTERPOSX:
    case BREMFC_FILTERPOSY: {
        BayerFc& bayer = p.Bayer();
        const bool isX = id == BREMFC_FILTERPOSX;
        if (put) {
            const int value = args.PutI2();
            p.SetFilterPos(isX ? value : bayer.FilterPosX(), isX ? bayer.FilterPosY() : value);
            m_dialog.SetPhase(bayer.FilterPosY() * 2 + bayer.FilterPosX());
            m_dialog.Refresh();
        } else {
            SetResultI2(result, static_cast<SHORT>(isX ? bayer.FilterPosX() : bayer.FilterPosY()));
        }
        return S_OK;
    }
    case BREMFC_SHOWBAYER:
        if (put) {
            if (args.PutI4() == 1 && !m_dialog.HasWindow()) {
                if (!m_dialog.Create())
                    return Error("ShowBayer: no window system in this process", E_FAIL);
            } else {
                m_dialog.Destroy();
            }
        } else {
            SetResultI4(result, m_dialog.HasWindow() ? 1 : 0);
        }
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}
