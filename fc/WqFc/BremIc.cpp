#include "fc/WqFc/BremIc.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

#include "fc/BREM_FC/BREMF.h"
#include "fc/WqFc/LowPass.h"
#include "fc/WqFc/YuvToBgr.h"
#include "platform/win32/bitmap.h"
#include "vomLib/avilib/MovieBitmapInfo.h"
#include "platform/win32/system.h"
#include "vomLib/Utility/vomException.h"

namespace {

[[noreturn]] void Fail(int line, int code, const std::string& message) {
    throw vomException(__FILE__, line, code, 0, message);
}

int GammaToMode(int gamma) {
    return gamma == 2 ? 2 : gamma == 4 ? 3 : 1;
}

int EnhanceToLevel(int enhance) {
    switch (enhance) {
    case 2:
        return 1;
    case 4:
        return 2;
    case 6:
        return 3;
    default:
        return 0;
    }
}

} // namespace

BremIcRecording BremIcRecording::From(const BREMF& reader) {
    BremIcRecording rec;
    rec.width = reader.GetDispWidth();
    rec.height = reader.GetDispHeight();
    rec.cameraVer = reader.GetCameraVer();
    rec.recWhiteBalance = reader.GetRecWhiteBalance();
    rec.recGamma = reader.GetRecGamma();
    rec.recEnhance = reader.GetRecEnhance();
    rec.recChroma = reader.GetRecChroma();
    return rec;
}

BremIc::BremIc(BREMF* reader) {
    Init(reader);
}

BremIc::BremIc(const BremIcRecording& recording, const std::string& parameterFile) {
    Init(recording, parameterFile);
}

BremIc::BremIc(const PipelineSettings& settings) {
    Apply(settings);
}

void BremIc::Init(BREMF* reader) {
    if (reader == nullptr || !reader->IsValid())
        Fail(__LINE__, 1, "WqFC: no recording to convert");
    const BremIcRecording rec = BremIcRecording::From(*reader);
    if (static_cast<std::int64_t>(reader->GetFrameSize()) < static_cast<std::int64_t>(rec.width) * rec.height)
        Fail(__LINE__, 2, "WqFC: the recording's frames are smaller than its picture");
    Init(rec, DspParams::DefaultPath());
    m_reader.reader = reader;
}

void BremIc::Init(const BremIcRecording& recording, const std::string& parameterFile) {
    const DWORD start = GetTickCount();
    m_reader.reader = nullptr;
    if (recording.width <= 0 || recording.height <= 0 ||
        static_cast<std::int64_t>(recording.width) * recording.height > kMaxPixels)
        Fail(__LINE__, 2,
             "WqFC: unusable picture size " + std::to_string(recording.width) + " x " +
                 std::to_string(recording.height));
    m_width = recording.width;
    m_height = recording.height;
    Allocate();

    OutputDebugStringA(("wqFC parameter file:" + parameterFile + "\n").c_str());
    m_params = DspParams{};
    m_params.Read(parameterFile);

    m_window.Reset();
    m_useAwbGains = false;
    m_autoWhiteBalance = false;
    m_gain = 0;
    m_dbValue = m_params.DbGain0;
    m_dbDivisor = m_params.DbGainD;
    m_offset = {m_params.OffsetR, m_params.OffsetG, m_params.OffsetB};
    m_wbGain = {128, 128, 128};

    m_gamma = recording.recGamma == 2 ? 2 : recording.recGamma == 3 ? 4 : 0;
    ResetCurves();

    switch (recording.recEnhance) {
    case 2:
        SetEnhance(2);
        break;
    case 3:
        SetEnhance(4);
        break;
    case 4:
        SetEnhance(6);
        break;
    default:
        SetEnhance(0);
        break;
    }

    switch (recording.recChroma) {
    case 2:
        m_chroma = 25;
        break;
    case 3:
        m_chroma = 50;
        break;
    case 4:
        m_chroma = 75;
        break;
    case 5:
        m_chroma = 100;
        break;
    default:
        m_chroma = 0;
        break;
    }
    m_brightness = 0;
    m_contrast = 100;
    m_enableLpf = false;

    switch (recording.recWhiteBalance) {
    case 1:
    case 2:
    case 3:
        SetWhiteBalance(recording.recWhiteBalance);
        break;
    case 4:
        SetWhiteBalance(0);
        break;
    default:
        m_whiteBalance = 0;
        break;
    }

    m_bayer = BayerFc{};
    m_bayer.SetSize(m_width, m_height);
    // Older cameras start their rows with a green sample.
    m_bayer.SetFilterPos(recording.cameraVer < 120 ? 1 : 0, 0);

    m_awb = Awb{};
    m_awb.gainR = m_wbGain[0];
    m_awb.gainG = m_wbGain[1];
    m_awb.gainB = m_wbGain[2];
    m_awb.SetWindow(0, m_width - 1, 0, m_height - 1);
    m_haveFrame = false;

    char line[64];
    std::snprintf(line, sizeof line, "  WqFC init() expire time = %d\n",
                  static_cast<int>(GetTickCount() - start));
    OutputDebugStringA(line);
}

PipelineSettings BremIc::Settings() const {
    PipelineSettings s;
    s.width = m_width;
    s.height = m_height;
    s.gain = m_gain;
    s.enhance = m_enhance;
    s.gamma = m_gamma;
    s.whiteBalance = m_whiteBalance;
    s.chroma = m_chroma;
    s.colourLevel = m_colourLevel;
    s.brightness = m_brightness;
    s.contrast = m_contrast;
    s.enableLpf = m_enableLpf;
    s.autoWhiteBalance = m_autoWhiteBalance;
    s.useAwbGains = m_useAwbGains;
    s.dbValue = m_dbValue;
    s.dbDivisor = m_dbDivisor;
    s.wbGain = m_wbGain;
    s.offset = m_offset;
    s.params = m_params;
    s.filterPosX = m_bayer.FilterPosX();
    s.filterPosY = m_bayer.FilterPosY();
    s.kernels = m_bayer.AllFilters();
    s.matrix = m_matrix.coef;
    s.window = m_window;
    s.awb = m_awb;
    return s;
}

void BremIc::Apply(const PipelineSettings& s) {
    std::string error;
    if (!CheckPipelineSettings(s, &error))
        Fail(__LINE__, 6, "WqFC: " + error);
    m_reader.reader = nullptr;
    m_width = s.width;
    m_height = s.height;
    Allocate();
    m_haveFrame = false;

    m_params = s.params;
    m_gain = static_cast<std::int16_t>(s.gain);
    m_gamma = static_cast<std::int16_t>(s.gamma);
    m_whiteBalance = s.whiteBalance;
    m_chroma = static_cast<std::int16_t>(s.chroma);
    m_colourLevel = static_cast<std::int16_t>(s.colourLevel);
    m_brightness = static_cast<std::int16_t>(s.brightness);
    m_contrast = static_cast<std::int16_t>(s.contrast);
    m_enableLpf = s.enableLpf;
    m_autoWhiteBalance = s.autoWhiteBalance;
    m_useAwbGains = s.useAwbGains;
    m_dbValue = s.dbValue;
    m_dbDivisor = s.dbDivisor;
    m_wbGain = s.wbGain;
    m_offset = s.offset;
    m_enhanceCorrect = EnhanceCorrect{};
    SetEnhance(s.enhance);

    m_bayer = BayerFc{};
    m_bayer.SetSize(m_width, m_height);
    m_bayer.SetFilterPos(s.filterPosX, s.filterPosY);
    m_bayer.SetAllFilters(s.kernels);
    m_matrix.coef = s.matrix;
    m_window = s.window;
    m_awb = s.awb;
    m_awb.Begin();
    ResetCurves();
}

void BremIc::ResetCurves() {
    for (GammaCorrect& curve : m_curves) {
        curve = GammaCorrect{};
        curve.SetUpper(1023, 1023, 1.0);
    }
    RebuildCurves();
}

void BremIc::Allocate() {
    const std::size_t w = static_cast<std::size_t>(m_width);
    const std::size_t h = static_cast<std::size_t>(m_height);
    try {
        // Every plane starts zeroed, so no stage ever reads a value that was not written.
        m_raw.assign((h + 2) * w + 2 * kGuard, 0);
        m_demosaic.assign(3 * w * h, 0);
        m_lowPass.assign(3 * w * h, 0);
        m_luma.assign((h + 4) * w, 0);
        m_chromaU.assign(3 * w, 0);
        m_chromaV.assign(3 * w, 0);
        m_curveRows.assign(3 * w, 0);
    } catch (const std::bad_alloc&) {
        m_width = m_height = 0;
        Fail(__LINE__, 3,
             "WqFC: out of memory for the work planes of " + std::to_string(w) + " x " + std::to_string(h));
    }
}

void BremIc::Unpack() {
    if (m_reader.reader == nullptr)
        Fail(__LINE__, 4, "WqFC: no reader attached; hand the raw frame over");
    Unpack(m_reader.reader->FrameBuffer());
}

void BremIc::Unpack(const BYTE* raw) {
    if (raw == nullptr)
        Fail(__LINE__, 5, "WqFC: no raw frame");
    // The processor is asked once per frame, before the unpack and demosaic.
    const WqFcPath path = WqFcActivePath();
    m_bayer.Unpack(raw, m_raw.data() + kGuard, path);
    m_haveFrame = true;
    Demosaic(path);
}

void BremIc::Demosaic(WqFcPath path) {
    std::int16_t* r = m_demosaic.data();
    m_bayer.Demosaic(m_raw.data() + kGuard, r, r + PlaneSize(), r + 2 * PlaneSize(), path);
    if (m_enableLpf) {
        for (int c = 0; c < 3; ++c)
            LowPass::FilterPlane(r + c * PlaneSize(), m_width, m_height, m_bayer.NonNegative(),
                                 m_lowPass.data() + c * PlaneSize(), path);
    }
}

void BremIc::Convert(const BYTE* raw, BYTE* pixels) {
    Unpack(raw);
    Convert(pixels);
}

void BremIc::ConvertBitmap(BYTE* block) {
    FillBitmapHeader(block);
    Convert(block + sizeof(BITMAPINFOHEADER));
}

void BremIc::FillBitmapHeader(BYTE* block) const {
    // The server's frames leave the image size 0; readers take width x 3 x height then.
    const CMovieBitmapInfo header(m_width, m_height, 0, 1, 24, BI_RGB, 0, 0, 0, 0);
    std::memcpy(block, static_cast<const BITMAPINFOHEADER*>(&header), sizeof(BITMAPINFOHEADER));
}

void BremIc::Convert(BYTE* pixels) {
    if (pixels == nullptr)
        Fail(__LINE__, 5, "WqFC: no destination");
    const int w = m_width, h = m_height;
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(w) * 3;
    const std::int16_t* planeR = PlaneR();
    const std::int16_t* planeG = PlaneG();
    const std::int16_t* planeB = PlaneB();
    std::int16_t* r1 = m_curveRows.data();
    std::int16_t* g1 = r1 + w;
    std::int16_t* b1 = g1 + w;
    std::int32_t* luma = m_luma.data() + 2 * static_cast<std::ptrdiff_t>(w);
    YuvToBgr::Params params = YuvToBgr::MakeParams(m_contrast, m_brightness, m_chroma, m_params);
    params.chromaBound = m_matrix.ChromaBound();
    // The level-0 enhance only clears the last bit, so the matrix bound holds for the luminance too.
    params.lumaBound = m_enhanceCorrect.Level() == 0 ? m_matrix.LumaBound() : -1;
    const WqFcPath path = WqFcActivePath();

    // With neighbours in the enhance, rows run two behind the matrix so that enhance finds the two
    // unfiltered rows below it, and the luminance plane holds the whole picture. Without them each row
    // goes straight through the plane's first row. The colour differences of the rows in flight live
    // in a ring.
    const bool rowByRow = m_enhanceCorrect.CentreOnly();
    const int lag = rowByRow ? 0 : 2;
    auto ring = [w](int row) { return static_cast<std::ptrdiff_t>(row % 3) * w; };
    auto lumaRow = [&](int row) { return rowByRow ? 0 : row; };
    for (int row = 0; row < h + lag; ++row) {
        if (row < h) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) * w;
            std::int16_t* u = m_chromaU.data() + ring(row);
            std::int16_t* v = m_chromaV.data() + ring(row);
            std::int32_t* y = luma + static_cast<std::ptrdiff_t>(lumaRow(row)) * w;
            if (path == WqFcPath::Plain) {
                YcMatrix::CurveRow(planeR + at, planeG + at, planeB + at, w, m_curves[0], m_curves[1],
                                   m_curves[2], r1, g1, b1);
                m_matrix.MatrixRow(r1, g1, b1, w, y, u, v, path);
            } else {
                m_matrix.CurveMatrixRow(planeR + at, planeG + at, planeB + at, w, m_curveTables.data(), y, u,
                                        v, path);
            }
        }
        const int done = row - lag;
        if (done >= 0) {
            m_enhanceCorrect.FilterRow(luma, w, lumaRow(done), path);
            YuvToBgr::Row(luma + static_cast<std::ptrdiff_t>(lumaRow(done)) * w,
                          m_chromaU.data() + ring(done), m_chromaV.data() + ring(done), w, params,
                          pixels + (h - 1 - done) * stride, path);
        }
    }
    if (m_autoWhiteBalance)
        MeasureAutoWhiteBalance();
}

void BremIc::MeasureAutoWhiteBalance() {
    const DWORD start = GetTickCount();
    const std::ptrdiff_t n = PlaneSize();
    std::vector<std::int16_t> balanced(static_cast<std::size_t>(3 * n));
    const std::int32_t setup[3] = {m_params.SetupR, m_params.SetupG, m_params.SetupB};
    for (int c = 0; c < 3; ++c) {
        const std::int16_t* in = ReadPlanes() + c * n;
        for (std::ptrdiff_t i = 0; i < n; ++i)
            balanced[static_cast<std::size_t>(c * n + i)] =
                Clamp16(static_cast<int>(((std::int64_t{in[i]} + setup[c]) * m_wbGain[c]) >> 7));
    }
    m_awb.Measure(balanced.data(), balanced.data() + n, balanced.data() + 2 * n, m_width, m_height);
    m_awb.Finish(m_width, m_height);
    char line[64];
    std::snprintf(line, sizeof line, "AUTO WB Calculate time = %d.\n",
                  static_cast<int>(GetTickCount() - start));
    OutputDebugStringA(line);
}

void BremIc::SetGain(int gain) {
    m_gain = Clamp16(gain);
    // Only the four known settings bring a dB value and the file's offsets; any other setting is
    // stored but leaves the picture as it was.
    if (const std::optional<std::int32_t> dbValue = m_params.DbValueFor(m_gain)) {
        m_dbValue = *dbValue;
        m_offset = {m_params.OffsetR, m_params.OffsetG, m_params.OffsetB};
    }
    m_dbDivisor = m_params.DbGainD;
    RebuildCurves();
}

void BremIc::SetEnhance(int enhance) {
    m_enhance = Clamp16(enhance);
    m_enhanceCorrect.SetLevel(EnhanceToLevel(enhance));
}

void BremIc::SetGamma(int gamma) {
    m_gamma = Clamp16(gamma);
    RebuildCurves();
}

void BremIc::SetEnableLPF(bool enable) {
    if (enable == m_enableLpf)
        return;
    m_enableLpf = enable;
    if (m_haveFrame)
        Demosaic();
}

void BremIc::SetWhiteBalance(int mode) {
    m_whiteBalance = mode;
    switch (mode) {
    case 1:
        m_wbGain = {136, 128, 173};
        break;
    case 2:
        m_wbGain = {165, 128, 140};
        break;
    case 3:
        m_wbGain = {193, 128, 122};
        break;
    case 4:
        m_wbGain = {128, 128, 128};
        break;
    case 0:
        if (m_useAwbGains)
            m_wbGain = {ClampGain(m_awb.gainR), ClampGain(m_awb.gainG), ClampGain(m_awb.gainB)};
        else if (m_window.Inside(m_width, m_height))
            m_wbGain = {m_window.gainR, m_window.gainG, m_window.gainB};
        else
            m_wbGain = {165, 128, 140};
        break;
    default:
        break; // unknown modes keep the gains
    }
    RebuildCurves();
}

void BremIc::SetWBGainR(int gain) {
    m_wbGain[0] = ClampGain(gain);
    RebuildCurves();
}

void BremIc::SetWBGainG(int gain) {
    m_wbGain[1] = ClampGain(gain);
    RebuildCurves();
}

void BremIc::SetWBGainB(int gain) {
    m_wbGain[2] = ClampGain(gain);
    RebuildCurves();
}

void BremIc::SetAwbSamplePos(int x, int y) {
    m_window.x = x;
    m_window.y = y;
    m_useAwbGains = false;
    m_window.Measure(PlaneR(), PlaneG(), PlaneB(), m_width, m_height, m_params.SetupG, m_wbGain[1]);
    if (m_whiteBalance == 0) {
        m_wbGain = {m_window.gainR, m_window.gainG, m_window.gainB};
        RebuildCurves();
    }
}

bool BremIc::SetBayerFilter(int colour, int phase, int pos, std::int16_t weight) {
    if (!m_bayer.SetFilter(colour, phase, pos, weight))
        return false;
    if (m_haveFrame)
        Demosaic();
    return true;
}

void BremIc::SetFilterPos(int posX, int posY) {
    m_bayer.SetFilterPos(posX, posY);
    if (m_haveFrame)
        Demosaic();
}

void BremIc::RebuildCurves() {
    double exponent = 1.0;
    int knee = 0;
    switch (GammaToMode(m_gamma)) {
    case 2:
        exponent = 0.8;
        knee = 50;
        break;
    case 3:
        exponent = 0.6;
        knee = 80;
        break;
    default:
        break;
    }
    const std::int32_t setup[3] = {m_params.SetupR, m_params.SetupG, m_params.SetupB};
    const std::int64_t divisor = std::int64_t{m_dbDivisor} * 128;
    for (int c = 0; c < 3; ++c) {
        GammaCorrect& curve = m_curves[static_cast<std::size_t>(c)];
        curve.Build(860, 0, 1023, exponent, knee);
        const std::int64_t scale = std::int64_t{m_dbValue} * m_wbGain[static_cast<std::size_t>(c)];
        // Setup times the scale can pass 64 bits with a hostile parameter file.
        const __int128 shift = static_cast<__int128>(setup[c]) * scale / divisor;
        curve.Shift(shift > 4096 ? 4096 : shift < -4096 ? -4096 : static_cast<std::int64_t>(shift));
        curve.Scale(scale, divisor);
        curve.Shift(m_offset[static_cast<std::size_t>(c)]);
        std::copy(curve.Table(), curve.Table() + GammaCorrect::kSize,
                  m_curveTables.begin() + c * GammaCorrect::kSize);
    }
}
