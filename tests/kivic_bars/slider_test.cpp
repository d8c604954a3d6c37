// The extended slider: its members by dispatch id, its events, and the user's drags on its widget.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <QApplication>
#include <QMouseEvent>

#include "KivIc/Bars/ExSlider2.h"
#include "KivIc/Bars/ExSliderCtrl.h"
#include "KivIc/Bars/ExSliderWidget.h"
#include "bars_test_support.h"

namespace {

struct EventLog : IExSliderEvents {
    void OnSliderEvent(int eventId, long value) override { events.emplace_back(eventId, value); }
    std::vector<std::pair<int, long>> events;
};

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureBarsApp();
        ASSERT_TRUE(slider.Create(nullptr, CRect(0, 0, 216, 30), 1084));
        slider.SetEventSink(&log);
        ASSERT_TRUE(slider.SetRange(0, 200));
        log.events.clear();
    }
    CExSlider2 slider;
    EventLog log;
};

TEST_F(SliderTest, PropertiesAndSilentMethods) {
    EXPECT_EQ(slider.GetMin(), 0);
    EXPECT_EQ(slider.GetMax(), 200);
    EXPECT_TRUE(slider.SetSelection(20, 180));
    EXPECT_EQ(slider.GetSelStart(), 20);
    EXPECT_EQ(slider.GetSelEnd(), 180);
    EXPECT_TRUE(slider.SetValueSilent(50));
    EXPECT_EQ(slider.GetValue(), 50);
    // Outside the limits the value is kept to them.
    slider.SetValueSilent(900);
    EXPECT_EQ(slider.GetValue(), 200);
    slider.SetSelStart(30);
    slider.SetSelEnd(170);
    EXPECT_EQ(slider.GetSelStart(), 30);
    EXPECT_EQ(slider.GetSelEnd(), 170);
    slider.SetLongProperty(EXSLIDER_LARGECHANGE, 200);
    slider.SetBoolProperty(EXSLIDER_SHOWSELECTION, TRUE);
    EXPECT_EQ(slider.GetControl()->Extra(EXSLIDER_LARGECHANGE), 200);
    EXPECT_NE(slider.GetControl()->Extra(EXSLIDER_SHOWSELECTION), 0);
    slider.SetEnabled(FALSE);
    EXPECT_FALSE(slider.GetEnabled());
    slider.SetEnabled(TRUE);
    EXPECT_TRUE(slider.GetEnabled());
    // Limits the wrong way round are refused.
    EXPECT_FALSE(slider.SetRange(10, 5));
    EXPECT_EQ(slider.GetMax(), 200);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(SliderTest, NarrowingTheRangeKeepsValueAndSelectionInside) {
    ASSERT_TRUE(slider.SetSelection(20, 180));
    ASSERT_TRUE(slider.SetValueSilent(150));
    // Below the value: the value comes down to the new upper limit, the selection end with it.
    ASSERT_TRUE(slider.SetRange(0, 100));
    EXPECT_EQ(slider.GetValue(), 100);
    EXPECT_EQ(slider.GetSelStart(), 20);
    EXPECT_EQ(slider.GetSelEnd(), 100);
    // Above the value: it goes up to the new lower limit.
    ASSERT_TRUE(slider.SetRange(120, 300));
    EXPECT_EQ(slider.GetValue(), 120);
    EXPECT_EQ(slider.GetSelStart(), 120);
    EXPECT_EQ(slider.GetSelEnd(), 120);
    // Widening again leaves everything where the narrowing put it.
    ASSERT_TRUE(slider.SetRange(-50, 500));
    EXPECT_EQ(slider.GetValue(), 120);
    EXPECT_EQ(slider.GetSelEnd(), 120);
    // The limits are a silent method: no event, although the value moved.
    EXPECT_TRUE(log.events.empty());
    // A user move from there starts at the clamped value.
    slider.GetControl()->UserMoveValue(120);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(SliderTest, WritingTheValueFiresEventOne) {
    slider.SetValue(77);
    slider.SetValue(77);
    slider.SetValue(-5);
    EXPECT_EQ(log.events, (std::vector<std::pair<int, long>>{{1, 77}, {1, 77}, {1, 0}}));
}

TEST_F(SliderTest, UnknownMembersFail) {
    LONG value = 0;
    EXPECT_ANY_THROW({
        try {
            COleDispatchDriver driver(slider.GetControl(), FALSE);
            driver.GetProperty(99, VT_I4, &value);
        } catch (CException* e) {
            e->Delete();
            throw 1;
        }
    });
    OLECHAR name[] = u"SetSelection";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(slider.GetControl()->GetIDsOfNames(IID{}, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, EXSLIDER_SETSELECTION);
}

TEST_F(SliderTest, UserMovesFireTheirEvents) {
    CExSliderCtrl* control = slider.GetControl();
    slider.SetSelection(50, 150);
    control->UserMoveValue(60);
    control->UserMoveValue(60); // no move, no event
    control->UserMoveSelStart(40);
    control->UserMoveSelEnd(500); // kept to the limit
    control->UserMoveSelEnd(120);
    control->UserMoveSelStart(190); // never past the selection end
    EXPECT_EQ(log.events,
              (std::vector<std::pair<int, long>>{{1, 60}, {2, 40}, {3, 200}, {3, 120}, {2, 120}}));
    log.events.clear();
    slider.SetEnabled(FALSE);
    control->UserMoveValue(10);
    EXPECT_TRUE(log.events.empty());
}

void Mouse(QWidget* widget, QEvent::Type type, int x, int y) {
    const QPointF local(x, y);
    QMouseEvent event(type, local, widget->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST_F(SliderTest, DraggingTheWidget) {
    QWidget* widget = slider.GetWidget();
    ASSERT_NE(widget, nullptr);
    widget->resize(216, 30); // a track of 200 pixels for 0..200
    slider.SetSelection(50, 150);
    slider.SetBoolProperty(EXSLIDER_SHOWSELECTION, TRUE);
    auto* face = static_cast<CExSliderWidget*>(widget);
    EXPECT_EQ(face->PositionOf(100), 108);
    EXPECT_EQ(face->ValueAt(108), 100);

    Mouse(widget, QEvent::MouseButtonPress, 108, 10); // on the track: the thumb
    Mouse(widget, QEvent::MouseMove, 128, 10);
    Mouse(widget, QEvent::MouseButtonRelease, 128, 10);
    Mouse(widget, QEvent::MouseButtonPress, 60, 26); // below, nearest the selection start
    Mouse(widget, QEvent::MouseButtonRelease, 48, 26);
    Mouse(widget, QEvent::MouseButtonPress, 150, 26); // nearest the selection end
    Mouse(widget, QEvent::MouseButtonRelease, 168, 26);
    EXPECT_EQ(log.events,
              (std::vector<std::pair<int, long>>{{1, 100}, {1, 120}, {2, 52}, {2, 40}, {3, 142}, {3, 160}}));
    EXPECT_EQ(slider.GetValue(), 120);
    EXPECT_EQ(slider.GetSelStart(), 40);
    EXPECT_EQ(slider.GetSelEnd(), 160);
}

} // namespace
