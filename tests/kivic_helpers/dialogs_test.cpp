// The picture-information dialog's line ends and the frame-rate dialog's range.
#include "KivIc/Dialogs/FrameRateDlg.h"
#include "KivIc/Helpers/PropertyDlg.h"
#include "afx/afx_test_app.h"

#include <QLabel>

namespace {

TEST(PropertyDlgTest, MixedLineEndsShowEachLineOnce) {
    EnsureQt();
    CPropertyDlg dlg;
    dlg.SetText("Title=a.cm8\r\nType=cm8\nFilePath=/x\n\nRec Rate=  500\r\n");
    EXPECT_STREQ(dlg.GetText(), "Title=a.cm8\nType=cm8\nFilePath=/x\n\nRec Rate=  500\n");
    ASSERT_TRUE(dlg.Create(CPropertyDlg::IDD));
    auto* edit = static_cast<CEdit*>(dlg.GetDlgItem(CPropertyDlg::IDC_PROPERTY_TEXT));
    ASSERT_NE(edit, nullptr);
    CString shown;
    edit->GetWindowText(shown);
    EXPECT_STREQ(shown, "Title=a.cm8\r\nType=cm8\r\nFilePath=/x\r\n\r\nRec Rate=  500\r\n");
    EXPECT_EQ(edit->GetLineCount(), 6);
    // Set again while shown: the field follows at once.
    dlg.SetText("one\r\ntwo\nthree");
    edit->GetWindowText(shown);
    EXPECT_STREQ(shown, "one\r\ntwo\r\nthree");
    EXPECT_EQ(edit->GetLineCount(), 3);
    CString caption;
    dlg.GetWindowText(caption);
    EXPECT_STREQ(caption, "Proparty");
    dlg.DestroyWindow();
}

TEST(FrameRateDlgTest, AcceptsOneToOneHundredThousand) {
    EnsureQt();
    MessageBoxRecorder boxes;
    std::vector<std::pair<std::string, bool>> results;
    std::vector<std::string> cut;
    AfxSetModalHook([&](CDialog* d) {
        // Each label shows its whole text.
        for (QLabel* label : d->GetWidget()->findChildren<QLabel*>()) {
            if (label->fontMetrics().horizontalAdvance(label->text()) > label->width())
                cut.push_back(label->text().toStdString());
        }
        CString initial;
        d->GetDlgItemText(CFrameRateDlg::IDC_FRAME_RATE, initial);
        results.emplace_back(initial.GetString(), false);
        for (const char* text : {"0", "100001", "-5", "1", "100000"}) {
            d->SetDlgItemText(CFrameRateDlg::IDC_FRAME_RATE, text);
            d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
            results.emplace_back(text, d->GetModalResult() == IDOK);
            if (d->GetModalResult() == IDOK)
                break;
        }
    });
    CFrameRateDlg dlg;
    EXPECT_EQ(dlg.m_nFrameRate, 0);
    dlg.m_nFrameRate = 500;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nFrameRate, 1);
    ASSERT_EQ(results.size(), 5u);
    EXPECT_TRUE(cut.empty()) << "the label \"" << cut.front() << "\" is cut";
    EXPECT_EQ(results[0].first, "500");
    EXPECT_FALSE(results[1].second);
    EXPECT_FALSE(results[2].second);
    EXPECT_FALSE(results[3].second);
    EXPECT_TRUE(results[4].second);
    EXPECT_EQ(boxes.texts, std::vector<std::string>(3, "Please enter an integer between 1 and 100000."));
    AfxSetModalHook([](CDialog* d) {
        d->SetDlgItemText(CFrameRateDlg::IDC_FRAME_RATE, "100000");
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nFrameRate, 100000);
    AfxSetModalHook(nullptr);
}

} // namespace
