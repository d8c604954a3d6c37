// The colour pipeline of one raw recording: unpack and demosaic a raw Bayer frame, then tone curves,
// the YC matrix, enhance, brightness, contrast and chroma, into a bottom-up 24-bit picture.
//
// A BremIc can be copied: the copy carries every setting, curve, kernel and gain (the sample point's
// included) and converts frames on its own with identical results. A copy is detached from the
// reader; it converts the raw frames it is given (Convert(raw, pixels)). Across a module boundary the
// settings travel as plain data instead (Settings, Apply and the record of PipelineSettings.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fc/WqFc/Awb.h"
#include "fc/WqFc/AwbSampleWindow.h"
#include "fc/WqFc/BayerFc.h"
#include "fc/WqFc/DspParams.h"
#include "fc/WqFc/EnhanceCorrect.h"
#include "fc/WqFc/GammaCorrect.h"
#include "fc/WqFc/PipelineSettings.h"
#include "fc/WqFc/WqFcPath.h"
#include "fc/WqFc/YcMatrix.h"
#include "platform/win32/types.h"

class BREMF;

// What the pipeline takes from a recording's header.
struct BremIcRecording {
    int width = 0;  // DispWidth
    int height = 0; // DispHeight
    DWORD cameraVer = 0;
    int recWhiteBalance = 0;
    int recGamma = 0;
    int recEnhance = 0;
    int recChroma = 0;

    static BremIcRecording From(const BREMF& reader);
};

class BremIc {
public:
    // Pictures beyond this many pixels are refused rather than allocated.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

    // Reads the header's picture size and recorded settings, the parameter file beside the program.
    explicit BremIc(BREMF* reader);
    // Without a reader: for frames handed over as bytes.
    explicit BremIc(const BremIcRecording& recording,
                    const std::string& parameterFile = DspParams::DefaultPath());
    // From settings taken from another pipeline (Apply).
    explicit BremIc(const PipelineSettings& settings);
    BremIc(const BremIc& other) = default;
    BremIc& operator=(const BremIc& other) = default;
    ~BremIc() = default;

    void Init(BREMF* reader);
    void Init(const BremIcRecording& recording, const std::string& parameterFile);

    // Every setting, tone-curve input, kernel and gain; what the pictures depend on besides the frame.
    PipelineSettings Settings() const;
    // Takes every setting of another pipeline's Settings(): work planes for its picture size, curves
    // rebuilt, no reader and no frame (unpack one before converting). Settings that fail
    // CheckPipelineSettings throw vomException with its text and change nothing; work planes that
    // cannot be allocated throw it too and leave no picture.
    void Apply(const PipelineSettings& settings);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Bytes of a packed frame bitmap: the 40-byte header and the pixel rows.
    DWORD BitmapSize() const { return static_cast<DWORD>(m_width) * m_height * 3 + 40; }

    // Unpack and demosaic the reader's current frame buffer (after each frame read).
    void Unpack();
    // Unpack and demosaic a raw frame of Width() x Height() bytes.
    void Unpack(const BYTE* raw);
    // The rest of the pipeline: Width() x Height() pixels of blue, green, red bytes, bottom row first,
    // rows of 3 x Width() bytes without padding.
    void Convert(BYTE* pixels);
    // Unpack(raw) and Convert(pixels).
    void Convert(const BYTE* raw, BYTE* pixels);
    // The packed frame bitmap: FillBitmapHeader and Convert into the bytes after the header.
    void ConvertBitmap(BYTE* block);
    // A 40-byte bitmap information header: width, height, 1 plane, 24 bits, uncompressed, image size 0.
    void FillBitmapHeader(BYTE* block) const;

    // Settings. Gain in dB (0, 6, 12, 18), Enhance (0, 2, 4, 6 select levels 0..3), Gamma (0, 2, 4).
    // A gain outside those four is stored and keeps the dB value in force.
    void SetGain(int gain);
    int Gain() const { return m_gain; }
    // The DbGain value the curves are built with.
    int DbValue() const { return m_dbValue; }
    void SetEnhance(int enhance);
    int Enhance() const { return m_enhance; }
    int EnhanceLevel() const { return m_enhanceCorrect.Level(); }
    void SetGamma(int gamma);
    int Gamma() const { return m_gamma; }
    void SetChroma(int chroma) { m_chroma = Clamp16(chroma); }
    int Chroma() const { return m_chroma; }
    void SetBrightness(int brightness) { m_brightness = Clamp16(brightness); }
    int Brightness() const { return m_brightness; }
    void SetContrast(int contrast) { m_contrast = Clamp16(contrast); }
    int Contrast() const { return m_contrast; }
    // Switching the low-pass filter demosaics the current frame again.
    void SetEnableLPF(bool enable);
    bool EnableLPF() const { return m_enableLpf; }

    // White balance: 1, 2, 3 fixed gains (3000 K, 5000 K, 9000 K), 4 neutral, 0 manual.
    void SetWhiteBalance(int mode);
    int WhiteBalance() const { return m_whiteBalance; }
    // Gains in 1/128, clamped to 0..4095; each change rebuilds the curves.
    void SetWBGainR(int gain);
    void SetWBGainG(int gain);
    void SetWBGainB(int gain);
    int WBGainR() const { return m_wbGain[0]; }
    int WBGainG() const { return m_wbGain[1]; }
    int WBGainB() const { return m_wbGain[2]; }
    void SetAwbSamplePos(int x, int y);
    const AwbSampleWindow& SampleWindow() const { return m_window; }

    // Demosaic kernels and phase; a change demosaics the current frame again.
    BayerFc& Bayer() { return m_bayer; }
    const BayerFc& Bayer() const { return m_bayer; }
    bool SetBayerFilter(int colour, int phase, int pos, std::int16_t weight);
    void SetFilterPos(int posX, int posY);

    void RebuildCurves();
    const GammaCorrect& Curve(int channel) const { return m_curves[static_cast<std::size_t>(channel)]; }
    const DspParams& Params() const { return m_params; }
    const YcMatrix& Matrix() const { return m_matrix; }
    const Awb& AutoWhiteBalance() const { return m_awb; }

    // The demosaiced planes the conversion reads (the filtered ones with the low-pass filter on).
    const std::int16_t* PlaneR() const { return ReadPlanes(); }
    const std::int16_t* PlaneG() const { return ReadPlanes() + PlaneSize(); }
    const std::int16_t* PlaneB() const { return ReadPlanes() + 2 * PlaneSize(); }
    // The padded raw plane: Height() + 2 rows of Width() samples times 8, row 0 above the picture.
    const std::int16_t* RawPlane() const { return m_raw.data() + kGuard; }

private:
    static constexpr std::ptrdiff_t kGuard = 32;
    static std::int16_t Clamp16(int value) {
        return static_cast<std::int16_t>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
    }
    static std::int32_t ClampGain(int gain) { return gain < 0 ? 0 : gain > 4095 ? 4095 : gain; }
    std::ptrdiff_t PlaneSize() const { return static_cast<std::ptrdiff_t>(m_width) * m_height; }
    const std::int16_t* ReadPlanes() const { return m_enableLpf ? m_lowPass.data() : m_demosaic.data(); }
    void Allocate();
    // The three curves' shape as Init leaves it, then RebuildCurves.
    void ResetCurves();
    void Demosaic(WqFcPath path = WqFcActivePath());
    void MeasureAutoWhiteBalance();

    // The reader stays with the original: a copy must not read the frame buffer the reader refills.
    struct ReaderLink {
        BREMF* reader = nullptr;
        ReaderLink() = default;
        ReaderLink(const ReaderLink&) {}
        ReaderLink& operator=(const ReaderLink&) {
            reader = nullptr;
            return *this;
        }
    };

    ReaderLink m_reader;
    int m_width = 0;
    int m_height = 0;

    std::int16_t m_gain = 0;
    std::int16_t m_enhance = 0;
    std::int16_t m_gamma = 0;
    std::int32_t m_whiteBalance = 0;
    std::int16_t m_chroma = 100;
    std::int16_t m_colourLevel = 100; // fixed
    std::array<std::int32_t, 3> m_wbGain = {128, 128, 128};
    std::array<std::int32_t, 3> m_offset = {0, 0, 0};
    std::int32_t m_dbValue = 1;
    std::int32_t m_dbDivisor = 1;
    std::int16_t m_brightness = 0;
    std::int16_t m_contrast = 100;
    bool m_enableLpf = false;
    bool m_autoWhiteBalance = false; // no operation sets it
    bool m_useAwbGains = false;      // cleared by every SetAwbSamplePos; no operation sets it
    bool m_haveFrame = false;

    BayerFc m_bayer;
    std::array<GammaCorrect, 3> m_curves;
    EnhanceCorrect m_enhanceCorrect;
    Awb m_awb;
    AwbSampleWindow m_window;
    DspParams m_params;
    YcMatrix m_matrix;

    std::vector<std::int16_t> m_raw;                    // guard, (h + 2) x w, guard
    std::vector<std::int16_t> m_demosaic;               // R, G, B planes
    std::vector<std::int16_t> m_lowPass;                // R, G, B planes after the low-pass filter
    std::vector<std::int32_t> m_luma;                   // two zero rows, h x w, two zero rows
    std::vector<std::int16_t> m_chromaU;                // B-Y of three rows
    std::vector<std::int16_t> m_chromaV;                // R-Y of three rows
    std::vector<std::int16_t> m_curveRows;              // r1, g1, b1 of one row
    std::array<std::int32_t, 3 * 1024> m_curveTables{}; // the three curves, widened for the vector path
};
