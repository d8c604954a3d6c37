// The codec's error manager: messages go to the debugger output with the program name in front, and an
// error ends the call by jumping back to its entry point, which destroys the object and reports.
#include <csetjmp>
#include <cstdio>

#include "platform/win32/system.h"
#include "vomLib/Jpeg/JpgInternal.h"

namespace jpglib32 {
namespace {

const char* const addon_message_table[] = {
    nullptr, // JMSG_FIRSTADDONCODE
    "Unsupported BMP colormap format",
    "Only 8- and 24-bit BMP files are supported",
    "Invalid BMP file: bad header length",
    "Invalid BMP file: biPlanes not equal to 1",
    "BMP output must be grayscale or RGB",
    "Sorry, compressed BMPs not yet supported",
    "Not a BMP file - does not start with BM",
    "%ux%u 24-bit BMP image",
    "%ux%u 8-bit colormapped BMP image",
    "%ux%u 24-bit OS2 BMP image",
    "%ux%u 8-bit colormapped OS2 BMP image",
    "GIF output got confused",
    "Bogus GIF codesize %d",
    "GIF output must be grayscale or RGB",
    "Too few images in GIF file",
    "Not a GIF file",
    "%ux%ux%d GIF image",
    nullptr, // JMSG_LASTADDONCODE
};
static_assert(sizeof(addon_message_table) / sizeof(addon_message_table[0]) ==
              JMSG_LASTADDONCODE - JMSG_FIRSTADDONCODE + 1);

void jpg_output_message(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    const auto* context = reinterpret_cast<const ErrorContext*>(cinfo->err);
    char line[JMSG_LENGTH_MAX + 32];
    std::snprintf(line, sizeof line, "%s: %s\n", context->program, message);
    OutputDebugStringA(line);
}

[[noreturn]] void jpg_error_exit(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    auto* context = reinterpret_cast<ErrorContext*>(cinfo->err);
    context->failure = cinfo->err->msg_code;
    std::longjmp(context->jump, 1);
}

} // namespace

jpeg_error_mgr* jpg_std_error(ErrorContext* context, const char* program) {
    jpeg_std_error(&context->mgr);
    context->mgr.error_exit = jpg_error_exit;
    context->mgr.output_message = jpg_output_message;
    context->mgr.addon_message_table = addon_message_table;
    context->mgr.first_addon_message = JMSG_FIRSTADDONCODE;
    context->mgr.last_addon_message = JMSG_LASTADDONCODE;
    context->program = program;
    context->failure = 0;
    return &context->mgr;
}

J_DCT_METHOD dct_method_from_code(int code) {
    switch (code) {
    case 1:
        return JDCT_IFAST;
    case 2:
        return JDCT_FLOAT;
    default:
        return JDCT_ISLOW;
    }
}

} // namespace jpglib32
