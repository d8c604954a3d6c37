// 'CSTS' blocks of recording-system AVI files: the records and every item getter on each record.
#include "vomLib/avilib/CstRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte chooses how many records the caller expects, as the block's count field would.
    const int count = data[0] % 16;
    CST cst;
    cst.Parse(data + 1, size - 1, count);
    for (const std::string& record : cst.Records()) {
        std::string text;
        std::int32_t a = 0, b = 0;
        std::uint16_t w = 0;
        cst.GetItem1002(record, text);
        cst.GetItem1003(record, a, b);
        cst.GetItem1004(record, a, b);
        cst.GetItem1005(record, w);
        cst.GetItem1006(record, w);
        cst.GetItem1007(record, a);
        cst.GetItem1008(record, w);
        cst.GetItem1009(record, a);
        std::string item;
        cst.FindItem(item, 0, record);
        (void)cst.FindItemPointer(CST::kTagEnd, record);
    }
    return 0;
}
