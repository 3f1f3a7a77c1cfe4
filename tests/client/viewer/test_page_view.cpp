// The page view: page points to viewport pixels and back at every zoom, rotation and scroll,
// checked against what is painted (the page's own black mark and an overlay's); zoom about the
// pointer with Ctrl and the wheel or the keys; fitting; the mouse handler in page points; panning
// with the middle button.
#include "PageView.h"
#include "ViewerTestSupport.h"

#include <QPdfDocument>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using brevant::viewer::PageMouseEvent;
using brevant::viewer::PageView;
using brevant::viewer::test::Mark;

namespace {

class PageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            document_.load(brevant::viewer::test::writePdf(dir_.filePath("a.pdf"), {true, false})),
            QPdfDocument::Error::None);
        view_.resize(600, 400);
        view_.setDocument(&document_);
        view_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    }

    // Scrolls the page point to the viewport's centre.
    void centreOn(QPointF pagePoint) {
        const QPointF off = view_.toViewport(pagePoint) - QRectF(view_.viewport()->rect()).center();
        view_.horizontalScrollBar()->setValue(view_.horizontalScrollBar()->value() + off.x());
        view_.verticalScrollBar()->setValue(view_.verticalScrollBar()->value() + off.y());
    }

    QImage shown() { return view_.viewport()->grab().toImage(); }

    static bool isBlack(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; }
    static bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }

    // Sends a wheel turn at pos (viewport pixels).
    void wheel(QPointF pos, int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent e(pos, view_.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view_.viewport(), &e);
    }

    static void expectNear(QPointF a, QPointF b, qreal tolerance, const char* what) {
        EXPECT_NEAR(a.x(), b.x(), tolerance) << what;
        EXPECT_NEAR(a.y(), b.y(), tolerance) << what;
    }

    QTemporaryDir dir_;
    QPdfDocument document_;
    PageView view_;
};

TEST_F(PageViewTest, PagePointsMapToWhatIsPaintedAtEveryRotationZoomAndScroll) {
    // The overlay draws in page points: a red square beside the page's own black one.
    const QRectF overlay(360, 200, 40, 40);
    int overlays = 0;
    view_.setOverlay([&](QPainter& p, const PageView&) {
        ++overlays;
        p.fillRect(overlay, Qt::red);
    });
    view_.setZoom(1.5);
    for (int turn = 0; turn < 4; ++turn) {
        SCOPED_TRACE(view_.rotation());
        EXPECT_EQ(view_.rotation(), turn * 90);
        centreOn(Mark.center());
        const QImage image = shown();
        ASSERT_TRUE(image.rect().contains(view_.toViewport(Mark.center()).toPoint()));
        const QPointF mark = view_.toViewport(Mark.center());
        const QPointF red = view_.toViewport(overlay.center());
        EXPECT_TRUE(isBlack(image.pixel(mark.toPoint())));
        EXPECT_TRUE(isRed(image.pixel(red.toPoint())));
        // Just outside the mark (rotated with it) the page is white.
        const QPointF beside = view_.toViewport(Mark.topLeft() - QPointF(10, 10));
        ASSERT_TRUE(image.rect().contains(beside.toPoint()));
        EXPECT_FALSE(isBlack(image.pixel(beside.toPoint())));
        expectNear(view_.toPage(mark), Mark.center(), 1e-6, "back to page points");
        // The page's top-left corner turns with the page.
        const QRectF page = view_.pageRectInViewport();
        const QPointF corner = view_.toViewport(QPointF(0, 0));
        const QPointF expected[] = {page.topLeft(), page.topRight(), page.bottomRight(),
                                    page.bottomLeft()};
        expectNear(corner, expected[turn], 1e-6, "top-left corner");
        EXPECT_NEAR(page.width(), (turn % 2 ? 612 : 792) * view_.scale(), 1e-6);
        view_.rotate(1);
    }
    EXPECT_EQ(view_.rotation(), 0);
    view_.rotate(-1);
    EXPECT_EQ(view_.rotation(), 270);
    EXPECT_GT(overlays, 0);

    // Scrolling moves the mapping with the page.
    centreOn(Mark.center());
    const QPointF before = view_.toViewport(Mark.center());
    view_.horizontalScrollBar()->setValue(view_.horizontalScrollBar()->value() + 50);
    view_.verticalScrollBar()->setValue(view_.verticalScrollBar()->value() + 30);
    expectNear(view_.toViewport(Mark.center()), before - QPointF(50, 30), 1e-6, "scrolled");
    EXPECT_TRUE(isBlack(shown().pixel(view_.toViewport(Mark.center()).toPoint())));
}

TEST_F(PageViewTest, CtrlWheelAndKeysZoomAboutThePointerAndThePlainWheelScrolls) {
    view_.setZoom(1.5); // larger than the viewport both ways
    view_.horizontalScrollBar()->setValue(view_.horizontalScrollBar()->maximum() / 2);
    view_.verticalScrollBar()->setValue(view_.verticalScrollBar()->maximum() / 2);
    const QPointF pointer(180, 130);
    const QPointF under = view_.toPage(pointer);
    wheel(pointer, 120, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view_.zoom(), 1.5 * PageView::ZoomStep);
    EXPECT_EQ(view_.fit(), PageView::Fit::None);
    expectNear(view_.toViewport(under), pointer, 1.0, "zoomed in about the pointer");
    wheel(pointer, -120, Qt::ControlModifier);
    wheel(pointer, -120, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view_.zoom(), 1.5 / PageView::ZoomStep);
    expectNear(view_.toViewport(under), pointer, 1.0, "zoomed out about the pointer");

    const qreal zoom = view_.zoom();
    const int top = view_.verticalScrollBar()->value();
    wheel(pointer, -120, Qt::NoModifier);
    EXPECT_DOUBLE_EQ(view_.zoom(), zoom);
    EXPECT_GT(view_.verticalScrollBar()->value(), top);

    QTest::keyClick(&view_, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(view_.zoom(), zoom * PageView::ZoomStep);
    QTest::keyClick(&view_, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(view_.zoom(), zoom);
    // Bounded both ways.
    view_.setZoom(1000);
    EXPECT_DOUBLE_EQ(view_.zoom(), PageView::MaxZoom);
    view_.setZoom(0);
    EXPECT_DOUBLE_EQ(view_.zoom(), PageView::MinZoom);
}

TEST_F(PageViewTest, FitWidthAndWholePageFollowTheWindowAndTheRotation) {
    view_.setFit(PageView::Fit::Width);
    QCoreApplication::processEvents(); // the scroll bar the fitted page needs is laid out
    const qreal room = view_.viewport()->width() - 2 * PageView::Margin;
    EXPECT_NEAR(view_.pageRectInViewport().width(), room, 1.0);
    view_.setFit(PageView::Fit::Page);
    QRectF page = view_.pageRectInViewport();
    EXPECT_TRUE(QRectF(view_.viewport()->rect()).contains(page));
    EXPECT_NEAR(page.height(), view_.viewport()->height() - 2 * PageView::Margin, 1.0)
        << "a landscape page in a wide window fills its height";
    view_.resize(900, 700);
    EXPECT_GT(view_.pageRectInViewport().width(), page.width()) << "kept when resized";
    view_.rotate(1);
    page = view_.pageRectInViewport();
    EXPECT_GT(page.height(), page.width());
    EXPECT_TRUE(QRectF(view_.viewport()->rect()).contains(page));
    view_.setPage(1); // a portrait page
    EXPECT_EQ(view_.page(), 1);
    EXPECT_TRUE(QRectF(view_.viewport()->rect()).contains(view_.pageRectInViewport()));
    view_.setPage(7);
    EXPECT_EQ(view_.page(), 1) << "bounded by the document";
}

TEST_F(PageViewTest, MouseEventsArriveInPagePointsAndTheMiddleButtonPans) {
    std::vector<PageMouseEvent> events;
    bool take = true;
    view_.setMouseHandler([&](const PageMouseEvent& e) {
        if (e.type != QEvent::MouseMove) // the pointer's moves are not counted here
            events.push_back(e);
        return take;
    });
    view_.setZoom(1.5);
    view_.rotate(1);
    const QPointF target(250, 120); // page points
    const QPoint at = view_.toViewport(target).toPoint();
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].type, QEvent::MouseButtonPress);
    EXPECT_EQ(events[0].button, Qt::LeftButton);
    EXPECT_TRUE(events[0].modifiers & Qt::ShiftModifier);
    expectNear(events[0].pagePoint, target, 1.0 / view_.scale() + 1e-6, "press in points");
    EXPECT_EQ(events[1].type, QEvent::MouseButtonRelease);

    // The middle button always pans, the handler never sees it.
    events.clear();
    view_.horizontalScrollBar()->setValue(200);
    view_.verticalScrollBar()->setValue(200);
    const QPointF fixed = view_.toPage(QPointF(300, 200));
    QTest::mousePress(view_.viewport(), Qt::MiddleButton, {}, QPoint(300, 200));
    QTest::mouseMove(view_.viewport(), QPoint(260, 170));
    QTest::mouseRelease(view_.viewport(), Qt::MiddleButton, {}, QPoint(260, 170));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(view_.horizontalScrollBar()->value(), 240);
    EXPECT_EQ(view_.verticalScrollBar()->value(), 230);
    expectNear(view_.toViewport(fixed), QPointF(260, 170), 1e-6, "the page followed the drag");

    // A left drag the handler leaves alone pans as well.
    take = false;
    QTest::mousePress(view_.viewport(), Qt::LeftButton, {}, QPoint(300, 200));
    QTest::mouseMove(view_.viewport(), QPoint(320, 210));
    QTest::mouseRelease(view_.viewport(), Qt::LeftButton, {}, QPoint(320, 210));
    EXPECT_EQ(view_.horizontalScrollBar()->value(), 220);
    EXPECT_EQ(view_.verticalScrollBar()->value(), 220);
}

} // namespace

TEST_F(PageViewTest, ScrollingPaintsOnlyTheUncoveredStripAndTheOverlayFollowsThePage) {
    const QRectF overlay(360, 200, 40, 40);
    QList<QRect> exposed;
    view_.setZoom(2.0);
    view_.setOverlay([&](QPainter& p, const PageView& v) {
        exposed.append(v.exposedRect());
        p.fillRect(overlay, Qt::red);
    });
    centreOn(Mark.center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !exposed.isEmpty(); }));
    exposed.clear();
    QScrollBar* v = view_.verticalScrollBar();
    ASSERT_GT(v->maximum() - v->value(), 30);
    v->setValue(v->value() + 30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !exposed.isEmpty(); }));
    // What stayed on screen was moved; the 30 rows scrolled in at the bottom were painted.
    const QRect viewport = view_.viewport()->rect();
    EXPECT_EQ(exposed.last(), QRect(0, viewport.height() - 30, viewport.width(), 30));
    // Outside a paint the whole viewport counts as exposed.
    EXPECT_EQ(view_.exposedRect(), viewport);
    const QImage image = shown();
    EXPECT_TRUE(isRed(image.pixel(view_.toViewport(overlay.center()).toPoint())));
    EXPECT_TRUE(isBlack(image.pixel(view_.toViewport(Mark.center()).toPoint())));
}
