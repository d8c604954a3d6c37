// The frame of the tracking-window tests: the program's main frame with generated recordings (which
// carry the tracking layer), helpers to set them up, set points and run code while a tracking run lets
// messages through.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QCoreApplication>

#include "KivIc/Playback/PlaybackIds.h"
#include "KivIc/Tracking/Init2dDlg.h"
#include "KivIc/Tracking/TrackingIds.h"
#include "tests/kivic_support/RecordingTestApp.h"

// Posts its step to the GUI thread again and again until the step is done.
struct Repeater : std::enable_shared_from_this<Repeater> {
    std::function<bool()> step;
    int left = 20000;
    void Post() {
        std::shared_ptr<Repeater> self = shared_from_this();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self] {
                if (!self->step() && --self->left > 0)
                    self->Post();
            },
            Qt::QueuedConnection);
    }
};

class TrackingLayerTest : public RecordingAppTest {
protected:
    void TearDown() override {
        AfxSetModalHook(nullptr);
        RecordingAppTest::TearDown();
    }

    // Opens a generated recording and sets it up with the points (the 2-D setup's OK).
    CGenRecordingDoc* OpenTracked(const std::string& settings, int points) {
        CGenRecordingDoc* doc = Open(settings);
        if (doc != nullptr)
            doc->ApplySetup2d(points, doc->GetFrameRate());
        return doc;
    }
    static CGenRecordingFrame* TrackingFrameOf(CDocument* doc) {
        CVesloChildFrame* frame = FrameOf(doc);
        return frame != nullptr && frame->IsKindOf(RUNTIME_CLASS(CGenRecordingFrame))
                   ? static_cast<CGenRecordingFrame*>(frame)
                   : nullptr;
    }
    CPosDlgBar* PosBar() const { return main->GetPosBar(); }

    // The setup dialog answered with these values and OK (or Cancel); what it proposed is kept.
    void AnswerSetup(int points, int rate, bool ok = true) {
        AfxSetModalHook([this, points, rate, ok](CDialog* dialog) {
            proposedPoints = dialog->GetDlgItemInt(CInit2dDlg::IDC_INIT2D_POINTS, nullptr, TRUE);
            proposedRate = dialog->GetDlgItemInt(CInit2dDlg::IDC_INIT2D_FRAME_RATE, nullptr, TRUE);
            dialog->SetDlgItemInt(CInit2dDlg::IDC_INIT2D_POINTS, static_cast<UINT>(points), TRUE);
            dialog->SetDlgItemInt(CInit2dDlg::IDC_INIT2D_FRAME_RATE, static_cast<UINT>(rate), TRUE);
            dialog->SendMessage(WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
        });
    }

    // Sets a point by hand on the shown frame at a picture pixel (column, row from the top).
    static void SetByHand(CGenRecordingDoc* doc, int index, double column, double row) {
        long height = 0;
        doc->GetBitmapSize(nullptr, &height);
        doc->SetPoint(doc->GetCurrentFrame(), index, column, static_cast<double>(height) - row, TRUE, TRUE);
    }
    // The stored entry of a point, or null.
    static const PointEntry* EntryOf(CTrackingDoc* doc, long frame, int index) {
        const FrameRecord* record = doc->GetPointFrameTable()->FindFrame(static_cast<std::int32_t>(frame));
        return record != nullptr ? record->GetEntry(index) : nullptr;
    }

    // Calls step at every chance the GUI thread gets (a running job's message pumps among them) until it
    // returns true, a few thousand times at most.
    static void WhenPumped(std::function<bool()> step) {
        auto repeater = std::make_shared<Repeater>();
        repeater->step = std::move(step);
        repeater->Post();
    }

    int proposedPoints = -1;
    int proposedRate = -1;
};
