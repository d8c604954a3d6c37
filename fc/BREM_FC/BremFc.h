// The raw camera file server's one class: opens a recording, hands out its header values, keeps the
// colour pipeline's settings and converts the current frame into a caller's buffer.
#pragma once

#include <memory>

#include "fc/BREM_FC/BREMF.h"
#include "fc/BREM_FC/BayerImageDlg.h"
#include "fc/WqFc/BremIc.h"
#include "platform/com/server.h"

ComModuleState& BremFcModule();

class CBremFc final : public DispatchObject {
public:
    CBremFc();
    ~CBremFc() override;

protected:
    HRESULT InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) override;
    std::string DescribeException(std::exception_ptr error) const override;

private:
    HRESULT Open(const std::string& path);
    void Close();
    void ConvertBitmap(void* buffer, ULONG_PTR capacity);
    void SelectFrame(long frame);
    std::string TriggerTimeText() const;
    void RequireOpen() const;
    // Members that read or write a header value or setting.
    HRESULT Property(DISPID id, WORD flags, const DispArgs& args, VARIANT* result);
    HRESULT Method(DISPID id, const DispArgs& args, VARIANT* result);

    std::unique_ptr<BREMF> m_reader;
    std::unique_ptr<BremIc> m_pipeline;
    BYTE* m_frame = nullptr; // the reader's frame buffer
    long m_current = 0;
    bool m_open = false;
    CBayerImageDlg m_dialog;
    long m_cursor = 0; // BayerCursorPos: x in the high word, y in the low word
};
