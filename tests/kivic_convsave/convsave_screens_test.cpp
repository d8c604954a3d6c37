// The save dialog and the compression-options dialog as the user sees them, shown for real (not
// answered by a hook; off screen in the test run, on the X screen when the program runs under xvfb-run
// with QT_QPA_PLATFORM=xcb): every control of the save dialog's template and of the options dialog lies
// inside its window, shows its whole text and overlaps no other control, and the template keeps clear
// of the file dialog's own buttons. Screenshots go to KIVIC_SHOT_DIR, else shots/ in the build folder
// (convsave_save.png, convsave_options.png); KIVIC_SHOT_HOLD_MS keeps each dialog up that long, for an
// outside screen grab.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "KivIc/Conversion/CompressOptionsDlg.h"
#include "KivIc/Conversion/ConvFileSave.h"
#include "tests/kivic_support/RecordingTestApp.h"
#include "tests/support/program_shot.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {

void Hold() {
    const char* hold = std::getenv("KIVIC_SHOT_HOLD_MS");
    const int ms = hold != nullptr ? std::atoi(hold) : 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        AfxPumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The screen when there is one, else the window itself.
bool Shoot(QWidget* window, const std::string& name) {
    for (int i = 0; i < 5; ++i) // what was just changed is drawn first
        AfxPumpMessages();
    return KeepShot(window, name);
}

QRect InWindow(QWidget* control, QWidget* window) {
    return QRect(control->mapTo(window, QPoint(0, 0)), control->size());
}

// What is wrong with the controls' places in the window.
std::vector<std::string> LayoutFaults(QWidget* window, const std::vector<QWidget*>& controls) {
    std::vector<std::string> faults;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        QWidget* c = controls[i];
        const std::string name = c->metaObject()->className() + std::string(" ") + std::to_string(i);
        if (!c->isVisible()) {
            faults.push_back(name + " is not shown");
            continue;
        }
        const QRect r = InWindow(c, window);
        if (!window->rect().contains(r))
            faults.push_back(name + " reaches outside its window");
        QString text;
        if (auto* label = qobject_cast<QLabel*>(c))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(c))
            text = button->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(c))
            text = edit->text();
        else if (auto* box = qobject_cast<QComboBox*>(c))
            text = box->currentText();
        const int needed = c->fontMetrics().horizontalAdvance(text);
        const int room = qobject_cast<QLabel*>(c) != nullptr ? c->width() : c->width() - 12;
        if (!text.isEmpty() && needed > room)
            faults.push_back(name + " cuts its text \"" + text.toStdString() + "\" (" +
                             std::to_string(needed) + " > " + std::to_string(room) + ")");
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (controls[j]->isVisible() && r.intersects(InWindow(controls[j], window)))
                faults.push_back(name + " overlaps control " + std::to_string(j));
    }
    return faults;
}

std::vector<QWidget*> Controls(CWnd* dialog, std::initializer_list<int> ids) {
    std::vector<QWidget*> out;
    for (int id : ids)
        if (CWnd* control = dialog->GetDlgItem(id))
            out.push_back(control->GetWidget());
    return out;
}

// The labels of a dialog's template carry no id of their own: every label child of the host.
void AddLabels(QWidget* host, std::vector<QWidget*>* controls) {
    for (QLabel* label : host->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (std::find(controls->begin(), controls->end(), label) == controls->end())
            controls->push_back(label);
}

class ConvSaveScreensTest : public RecordingAppTest {};

TEST_F(ConvSaveScreensTest, SaveAndOptionsDialogsLayOutTheirControlsCleanly) {
    InstallMjpgCodec();
    InstallCompressOptionsDialog();
    CConvFileSave dlg(main);
    dlg.SetFrameSize(512, 480);
    std::vector<std::string> saveFaults, optionsFaults;
    bool savedShot = false, optionsShot = false, optionsShown = false;
    QTimer::singleShot(300, [&] {
        CWnd* custom = dlg.GetDlgItem(CConvFileSave::IDC_CUSTOM);
        ASSERT_NE(custom, nullptr);
        auto* window = qobject_cast<QFileDialog*>(custom->GetWidget()->window());
        ASSERT_NE(window, nullptr);
        std::vector<QWidget*> controls =
            Controls(&dlg, {CConvFileSave::IDC_CUSTOM, CConvFileSave::IDC_COMPRESSOR_NAME,
                            CConvFileSave::IDC_QUALITY});
        AddLabels(dlg.GetWidget(), &controls);
        saveFaults = LayoutFaults(window, controls);
        if (auto* buttons = window->findChild<QDialogButtonBox*>()) {
            const QRect own = InWindow(buttons, window);
            for (QWidget* c : controls)
                if (InWindow(c, window).intersects(own))
                    saveFaults.push_back("a template control covers the dialog's buttons");
        }
        savedShot = Shoot(window, "convsave_save.png");
        Hold();
        QTimer::singleShot(300, [&] {
            auto* options = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            CWnd* wnd = options != nullptr ? CWnd::FromWidget(options) : nullptr;
            if (wnd == nullptr || !wnd->IsKindOf(RUNTIME_CLASS(CCompressOptionsDlg)))
                return;
            optionsShown = true;
            auto* choose = static_cast<CCompressOptionsDlg*>(wnd);
            choose->PickCompressor(mmioFOURCC('M', 'J', 'P', 'G'));
            std::vector<QWidget*> own =
                Controls(choose, {CCompressOptionsDlg::IDC_VC_COMPRESSOR, CCompressOptionsDlg::IDC_VC_QUALITY,
                                  CCompressOptionsDlg::IDC_VC_QUALITY_TEXT,
                                  CCompressOptionsDlg::IDC_VC_QUALITY_LABEL, IDOK, IDCANCEL});
            AddLabels(options, &own);
            optionsFaults = LayoutFaults(options, own);
            optionsShot = Shoot(options, "convsave_options.png");
            Hold();
            choose->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
        });
        static_cast<CButton*>(custom)->Click();
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(optionsShown);
    EXPECT_EQ(saveFaults, std::vector<std::string>{});
    EXPECT_EQ(optionsFaults, std::vector<std::string>{});
    EXPECT_TRUE(savedShot);
    EXPECT_TRUE(optionsShot);
    EXPECT_EQ(dlg.GetHandler(), mmioFOURCC('M', 'J', 'P', 'G'));
}

} // namespace
