#include "fc/WqFc/PipelineSettings.h"

#include <cstring>
#include <limits>
#include <new>

#include "fc/WqFc/BremIc.h"
#include "vomLib/Utility/vomException.h"

namespace {

constexpr char kMark[4] = {'W', 'Q', 'F', 'C'};
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kSectionHeaderBytes = 8;
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// One value of a section: where it lives in the settings, how it is held there and what it may be.
struct Field {
    enum class Kind { Int32, Int16, Flag };
    Kind kind;
    void* at;
    const char* name;
    std::int64_t lo;
    std::int64_t hi;
    bool nonZero;

    std::int32_t Get() const {
        switch (kind) {
        case Kind::Int16:
            return *static_cast<const std::int16_t*>(at);
        case Kind::Flag:
            return *static_cast<const bool*>(at) ? 1 : 0;
        default:
            return *static_cast<const std::int32_t*>(at);
        }
    }
    // Only after the value was checked against the range.
    void Set(std::int32_t value) const {
        switch (kind) {
        case Kind::Int16:
            *static_cast<std::int16_t*>(at) = static_cast<std::int16_t>(value);
            break;
        case Kind::Flag:
            *static_cast<bool*>(at) = value != 0;
            break;
        default:
            *static_cast<std::int32_t*>(at) = value;
            break;
        }
    }
};

Field Int(std::int32_t& value, const char* name, std::int64_t lo = kInt32Min, std::int64_t hi = kInt32Max) {
    return {Field::Kind::Int32, &value, name, lo, hi, false};
}
// A value the pipeline keeps in 16 bits.
Field Short(std::int32_t& value, const char* name) {
    return Int(value, name, -32768, 32767);
}
Field Weight(std::int16_t& value, const char* name) {
    return {Field::Kind::Int16, &value, name, -32768, 32767, false};
}
Field Flag(bool& value, const char* name) {
    return {Field::Kind::Flag, &value, name, 0, 1, false};
}
// A gain in 1/128, as the pipeline clamps them.
Field Gain(std::int32_t& value, const char* name) {
    return Int(value, name, 0, 4095);
}
Field Divisor(std::int32_t& value, const char* name) {
    return {Field::Kind::Int32, &value, name, kInt32Min, kInt32Max, true};
}

struct Section {
    char tag[4];
    std::vector<Field> fields;
};

// The sections of the current version, their values in record order, pointing into s.
std::vector<Section> Sections(PipelineSettings& s) {
    std::vector<Section> sections;
    sections.push_back(
        {{'S', 'I', 'Z', 'E'},
         {Int(s.width, "picture width", 1, 65535), Int(s.height, "picture height", 1, 65535)}});
    sections.push_back({{'S', 'E', 'T', 'S'},
                        {Short(s.gain, "Gain"), Short(s.enhance, "Enhance"), Short(s.gamma, "Gamma"),
                         Int(s.whiteBalance, "WhiteBalance"), Short(s.chroma, "Chroma"),
                         Short(s.colourLevel, "colour level"), Short(s.brightness, "Brightness"),
                         Short(s.contrast, "Contrast"), Flag(s.enableLpf, "EnableLPF"),
                         Flag(s.autoWhiteBalance, "automatic white balance"),
                         Flag(s.useAwbGains, "statistics gains in use")}});
    sections.push_back(
        {{'C', 'U', 'R', 'V'},
         {Int(s.dbValue, "dB value"), Divisor(s.dbDivisor, "dB divisor"), Gain(s.wbGain[0], "WBGainR"),
          Gain(s.wbGain[1], "WBGainG"), Gain(s.wbGain[2], "WBGainB"), Int(s.offset[0], "offset R"),
          Int(s.offset[1], "offset G"), Int(s.offset[2], "offset B")}});
    DspParams& p = s.params;
    sections.push_back({{'D', 'S', 'P', 'P'},
                        {Int(p.SensorOffsX, "Sensor Offs.X"),
                         Int(p.SensorOffsY, "Sensor Offs.Y"),
                         Int(p.DbGain0, "DbGain 0"),
                         Int(p.DbGain6, "DbGain 6"),
                         Int(p.DbGain12, "DbGain 12"),
                         Int(p.DbGain18, "DbGain 18"),
                         Divisor(p.DbGainD, "DbGain D"),
                         Int(p.InputGainR, "InputGain R"),
                         Int(p.InputGainG, "InputGain G"),
                         Int(p.InputGainB, "InputGain B"),
                         Int(p.InputGainD, "InputGain D"),
                         Divisor(p.YGainY, "YGain Y"),
                         Divisor(p.YGainD, "YGain D"),
                         Int(p.SetupR, "Setup R"),
                         Int(p.SetupG, "Setup G"),
                         Int(p.SetupB, "Setup B"),
                         Int(p.SetupY, "Setup Y"),
                         Int(p.OffsetR, "Offset R"),
                         Int(p.OffsetG, "Offset G"),
                         Int(p.OffsetB, "Offset B"),
                         Int(p.CyGainR, "CyGain R"),
                         Int(p.CyGainB, "CyGain B"),
                         Int(p.CyClipR, "CyClip R"),
                         Int(p.CyClipG, "CyClip G")}});
    Section bayer{{'B', 'A', 'Y', 'R'},
                  {Int(s.filterPosX, "FilterPosX", 0, 1), Int(s.filterPosY, "FilterPosY", 0, 1)}};
    for (std::int16_t& weight : s.kernels)
        bayer.fields.push_back(Weight(weight, "Bayer filter weight"));
    sections.push_back(std::move(bayer));
    // Coefficients of at most 32.767 keep every sum of the matrix far inside 32 bits.
    Section matrix{{'Y', 'C', 'M', 'X'}, {}};
    for (std::int32_t& coefficient : s.matrix)
        matrix.fields.push_back(Short(coefficient, "YC matrix coefficient"));
    sections.push_back(std::move(matrix));
    AwbSampleWindow& w = s.window;
    sections.push_back(
        {{'S', 'A', 'M', 'P'},
         {Int(w.x, "sample point x"), Int(w.y, "sample point y"), Gain(w.gainR, "sample point gain R"),
          Gain(w.gainG, "sample point gain G"), Gain(w.gainB, "sample point gain B")}});
    Awb& a = s.awb;
    sections.push_back(
        {{'A', 'W', 'B', 'S'},
         {Gain(a.gainR, "statistics gain R"), Gain(a.gainG, "statistics gain G"),
          Gain(a.gainB, "statistics gain B"), Int(a.x1, "statistics window left"),
          Int(a.x2, "statistics window right"), Int(a.y1, "statistics window top"),
          Int(a.y2, "statistics window bottom"), Int(a.lumaLo, "statistics luminance low"),
          Int(a.lumaHi, "statistics luminance high"), Int(a.centreS, "statistics centre s"),
          Int(a.centreT, "statistics centre t"), Int(a.sLo, "statistics s low"),
          Int(a.sHi, "statistics s high"), Int(a.tLo, "statistics t low"), Int(a.tHi, "statistics t high")}});
    return sections;
}

std::string TagText(const char* tag) {
    std::string text = "'";
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(tag[i]);
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
    }
    return text + "'";
}

bool Fail(std::string* error, const std::string& text) {
    if (error)
        *error = "pipeline settings: " + text;
    return false;
}

bool CheckValue(const Field& field, std::int64_t value, const Section& section, std::size_t index,
                std::string* error) {
    const std::string where = " (section " + TagText(section.tag) + ", value " + std::to_string(index) + ")";
    if (value < field.lo || value > field.hi)
        return Fail(error, std::string(field.name) + " " + std::to_string(value) + " lies outside " +
                               std::to_string(field.lo) + ".." + std::to_string(field.hi) + where);
    if (field.nonZero && value == 0)
        return Fail(error, std::string(field.name) + " is 0; it divides" + where);
    return true;
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

} // namespace

bool CheckPipelineSettings(const PipelineSettings& settings, std::string* error) {
    PipelineSettings s = settings; // the table points into a copy of its own
    for (const Section& section : Sections(s))
        for (std::size_t i = 0; i < section.fields.size(); ++i)
            if (!CheckValue(section.fields[i], section.fields[i].Get(), section, i, error))
                return false;
    if (std::int64_t{s.width} * s.height > BremIc::kMaxPixels)
        return Fail(error, "a picture of " + std::to_string(s.width) + " x " + std::to_string(s.height) +
                               " has more than " + std::to_string(BremIc::kMaxPixels) + " pixels");
    return true;
}

std::vector<std::uint8_t> WritePipelineSettings(const PipelineSettings& settings) {
    PipelineSettings s = settings;
    const std::vector<Section> sections = Sections(s);
    std::vector<std::uint8_t> out(kMark, kMark + 4);
    AppendU32(out, kPipelineSettingsVersion);
    AppendU32(out, 0); // the total, once known
    AppendU32(out, static_cast<std::uint32_t>(sections.size()));
    for (const Section& section : sections) {
        out.insert(out.end(), section.tag, section.tag + 4);
        AppendU32(out, static_cast<std::uint32_t>(section.fields.size()));
        for (const Field& field : section.fields)
            AppendU32(out, static_cast<std::uint32_t>(field.Get()));
    }
    const std::uint32_t total = static_cast<std::uint32_t>(out.size());
    for (int i = 0; i < 4; ++i)
        out[8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(total >> (8 * i));
    return out;
}

bool ReadPipelineSettings(const std::uint8_t* data, std::size_t size, PipelineSettings* settings,
                          std::string* error) {
    if (!settings)
        return Fail(error, "nowhere to put the settings");
    if (!data || size < kHeaderBytes)
        return Fail(error, "the record holds " + std::to_string(data ? size : 0) + " bytes, fewer than its " +
                               std::to_string(kHeaderBytes) + "-byte header");
    if (std::memcmp(data, kMark, sizeof kMark) != 0)
        return Fail(error, "not a settings record (it starts with " +
                               TagText(reinterpret_cast<const char*>(data)) + ", not 'WQFC')");
    const std::uint32_t version = ReadU32(data + 4);
    if (version != kPipelineSettingsVersion)
        return Fail(error, "version " + std::to_string(version) +
                               " of the record; this program reads version " +
                               std::to_string(kPipelineSettingsVersion));
    const std::uint32_t total = ReadU32(data + 8);
    if (total != size)
        return Fail(error, "the record says it holds " + std::to_string(total) + " bytes, " +
                               std::to_string(size) + " were handed over");

    PipelineSettings s;
    std::vector<Section> sections = Sections(s);
    const std::uint32_t count = ReadU32(data + 12);
    if (count != sections.size())
        return Fail(error, "the record holds " + std::to_string(count) + " sections, version " +
                               std::to_string(kPipelineSettingsVersion) + " has " +
                               std::to_string(sections.size()));
    std::vector<bool> seen(sections.size(), false);
    std::size_t at = kHeaderBytes;
    for (std::uint32_t n = 0; n < count; ++n) {
        if (size - at < kSectionHeaderBytes)
            return Fail(error, "section " + std::to_string(n) + " is cut short");
        const char* tag = reinterpret_cast<const char*>(data + at);
        const std::uint32_t values = ReadU32(data + at + 4);
        at += kSectionHeaderBytes;
        std::size_t which = 0;
        while (which < sections.size() && std::memcmp(sections[which].tag, tag, 4) != 0)
            ++which;
        if (which == sections.size())
            return Fail(error, "section " + std::to_string(n) + " has the unknown tag " + TagText(tag));
        if (seen[which])
            return Fail(error, "section " + TagText(tag) + " appears twice");
        seen[which] = true;
        const Section& section = sections[which];
        // The count is checked before anything is read by it, so a huge one costs nothing.
        if (values != section.fields.size())
            return Fail(error, "section " + TagText(tag) + " holds " + std::to_string(values) +
                                   " values, version " + std::to_string(kPipelineSettingsVersion) + " has " +
                                   std::to_string(section.fields.size()));
        if ((size - at) / 4 < values)
            return Fail(error, "section " + TagText(tag) + " is cut short");
        for (std::size_t i = 0; i < section.fields.size(); ++i, at += 4) {
            const std::int32_t value = static_cast<std::int32_t>(ReadU32(data + at));
            if (!CheckValue(section.fields[i], value, section, i, error))
                return false;
            section.fields[i].Set(value);
        }
    }
    if (at != size)
        return Fail(error, std::to_string(size - at) + " bytes follow the last section");
    if (!CheckPipelineSettings(s, error))
        return false;
    *settings = s;
    return true;
}

std::vector<std::uint8_t> SavePipelineSettings(const BremIc& pipeline) {
    return WritePipelineSettings(pipeline.Settings());
}

bool LoadPipelineSettings(BremIc& pipeline, const std::uint8_t* data, std::size_t size, std::string* error) {
    PipelineSettings settings;
    if (!ReadPipelineSettings(data, size, &settings, error))
        return false;
    try {
        pipeline.Apply(settings);
    } catch (const vomException& e) {
        return Fail(error, e.Message());
    }
    return true;
}

std::unique_ptr<BremIc> PipelineFromSettings(const std::uint8_t* data, std::size_t size, std::string* error) {
    PipelineSettings settings;
    if (!ReadPipelineSettings(data, size, &settings, error))
        return nullptr;
    try {
        return std::make_unique<BremIc>(settings);
    } catch (const vomException& e) {
        Fail(error, e.Message());
    } catch (const std::bad_alloc&) {
        Fail(error, "not enough memory for a pipeline of " + std::to_string(settings.width) + " x " +
                        std::to_string(settings.height));
    }
    return nullptr;
}
