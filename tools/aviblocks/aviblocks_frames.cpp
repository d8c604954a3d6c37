#include "tools/aviblocks/aviblocks_frames.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace aviblocks {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void ExitToCaller(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->back, 1);
}

void Quiet(j_common_ptr, int) {}

// Plain C-style body: no object with a destructor lives across the jump.
bool Compress(const std::uint8_t* rgb, int width, int height, std::size_t stride, int quality,
              unsigned char** out, unsigned long* outSize, char* message) {
    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ExitToCaller;
    errors.base.emit_message = Quiet;
    if (setjmp(errors.back)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = FALSE; // the readers supply the standard tables
    info.comp_info[0].h_samp_factor = 2;
    info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + stride * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

std::string Segment(unsigned char marker, const std::string& payload) {
    std::string s;
    s.push_back('\xFF');
    s.push_back(static_cast<char>(marker));
    const std::size_t length = payload.size() + 2;
    s.push_back(static_cast<char>(length >> 8));
    s.push_back(static_cast<char>(length & 0xFF));
    return s + payload;
}

std::string WithHeight(std::string sof, int height) {
    sof[5] = static_cast<char>((height >> 8) & 0xFF);
    sof[6] = static_cast<char>(height & 0xFF);
    return sof;
}

std::string FieldLead(int field) {
    std::string lead("\xFF\xD8\xFF\xE0\x00\x0E"
                     "JFIF",
                     10);
    lead.push_back(static_cast<char>(field));
    lead.append(7, '\0');
    return lead;
}

const std::string kJfifLead("\xFF\xD8\xFF\xE0\x00\x10"
                            "JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00",
                            20);

} // namespace

std::vector<std::uint8_t> MakeTestPicture(int index, int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const int blockX = (index * 37) % (width > 64 ? width - 64 : 1);
    const int blockY = (index * 23) % (height > 48 ? height - 48 : 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            const bool inBlock = x >= blockX && x < blockX + 64 && y >= blockY && y < blockY + 48;
            p[0] = static_cast<std::uint8_t>(inBlock ? 235 : (x * 255) / (width > 1 ? width - 1 : 1));
            p[1] = static_cast<std::uint8_t>(inBlock ? 40 : (y * 255) / (height > 1 ? height - 1 : 1));
            p[2] = static_cast<std::uint8_t>(inBlock ? 60 : (64 + index * 16) & 0xFF);
        }
    }
    return rgb;
}

std::string EncodeJpeg(const std::uint8_t* rgb, int width, int height, std::size_t stride, int quality) {
    unsigned char* out = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = Compress(rgb, width, height, stride, quality, &out, &size, message);
    std::string jpeg;
    if (ok && out != nullptr) {
        jpeg.assign(reinterpret_cast<const char*>(out), size);
    }
    std::free(out);
    if (!ok) {
        throw std::runtime_error(std::string("JPEG compression failed: ") + message);
    }
    return jpeg;
}

JpegParts SplitJpeg(const std::string& jpeg) {
    JpegParts parts;
    std::string tables;
    std::size_t pos = 2;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(jpeg.at(at)); };
    if (jpeg.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) {
        throw std::runtime_error("not a JPEG");
    }
    for (;;) {
        if (byte(pos) != 0xFF) {
            throw std::runtime_error("JPEG marker expected");
        }
        const unsigned char marker = byte(pos + 1);
        const std::size_t length = (byte(pos + 2) << 8) | byte(pos + 3);
        const std::string segment = jpeg.substr(pos, 2 + length);
        if (segment.size() != 2 + length) {
            throw std::runtime_error("JPEG segment cut short");
        }
        pos += 2 + length;
        if (marker == 0xDB) {
            tables += segment.substr(4);
        } else if (marker == 0xC0) {
            parts.sof = segment;
        } else if (marker == 0xC4) {
            parts.dht += segment;
        } else if (marker == 0xDA) {
            parts.sos = segment;
            break;
        }
    }
    // The library's scan ends with the end marker; inside it every FF is stuffed.
    if (jpeg.size() < pos + 2 || jpeg.compare(jpeg.size() - 2, 2, "\xFF\xD9") != 0) {
        throw std::runtime_error("JPEG without end marker");
    }
    parts.scan = jpeg.substr(pos, jpeg.size() - 2 - pos);
    parts.dqt = Segment(0xDB, tables);
    return parts;
}

std::string EncodeTwoFieldFrame(const std::vector<std::uint8_t>& rgb, int width, int height, int quality,
                                FieldForm form) {
    if (width <= 0 || height <= 0 || height % 2 != 0 || width > 65535 || height > 65535 ||
        rgb.size() < static_cast<std::size_t>(width) * height * 3) {
        throw std::runtime_error("two-field frames need an even height and the whole picture");
    }
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    const int fieldHeight = height / 2;
    // Every second row: the stride of two rows walks one field.
    const JpegParts first = SplitJpeg(EncodeJpeg(rgb.data(), width, fieldHeight, 2 * row, quality));
    const JpegParts second = SplitJpeg(EncodeJpeg(rgb.data() + row, width, fieldHeight, 2 * row, quality));

    if (form == FieldForm::TwoImages) {
        std::string frame;
        frame += FieldLead(1) + first.dqt + first.sof + first.sos + first.scan + "\xFF\xFF\xD9";
        frame += FieldLead(2) + second.dqt + second.sof + second.sos + second.scan + "\xFF\xFF\xD9";
        return frame;
    }
    const unsigned mcusPerField = ((static_cast<unsigned>(width) + 15) / 16) * ((fieldHeight + 7) / 8);
    std::string dri;
    dri.push_back(static_cast<char>(mcusPerField >> 8));
    dri.push_back(static_cast<char>(mcusPerField & 0xFF));
    std::string frame = kJfifLead + first.dqt + WithHeight(first.sof, height) + first.dht;
    if (mcusPerField <= 0xFFFF) {
        frame += Segment(0xDD, dri);
    }
    frame += first.sos + first.scan + std::string("\xFF\xD0", 2) + second.scan + "\xFF\xD9";
    return frame;
}

} // namespace aviblocks
