// The centring procedures against a form and a screen whose every read and move is recorded.
#include "placement/basMisc.h"
#include "platform/core/error.h"
#include "tests/fixtures/errors/expect_error.h"
#include "tests/fixtures/fake_platform/fake_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace tallyrun;

namespace {

struct FakeStatusBar : StatusBarView {
    FakeStatusBar(bool v, float h) : visible(v), height(h) {}
    bool visible;
    float height;
    bool Visible() const override { return visible; }
    float Height() const override { return height; }
};

struct FakeForm : Form {
    int state = 0;
    float left = 0, top = 0, width = 0, height = 0;
    float scaleWidth = 0, scaleHeight = 0;
    bool mdiChild = false;
    std::optional<FakeStatusBar> statusBar;
    std::vector<std::pair<double, double>> moves;

    int WindowState() const override { return state; }
    float Left() const override { return left; }
    float Top() const override { return top; }
    float Width() const override { return width; }
    float Height() const override { return height; }
    float ScaleWidth() const override { return scaleWidth; }
    float ScaleHeight() const override { return scaleHeight; }
    bool MDIChild() const override { return mdiChild; }
    const StatusBarView& StatusBar() const override
    {
        if (!statusBar)
            throw Error(438, "Object doesn't support this property or method");
        return *statusBar;
    }
    void Move(double l, double t) override { moves.emplace_back(l, t); }
};

using fakes::FakeScreen;

// 960 x 660 twips at 15 twips per pixel, with a work area of 64 x 40 pixels (960 x 600 twips).
FakeScreen SmallScreen()
{
    FakeScreen screen;
    screen.width = 960;
    screen.height = 660;
    screen.workArea = {0, 0, 64, 40};
    return screen;
}

struct NotAForm : PlacementObject {};

FakeForm Sized(float width, float height)
{
    FakeForm form;
    form.width = width;
    form.height = height;
    return form;
}

std::pair<double, double> OnlyMove(const FakeForm& form)
{
    EXPECT_EQ(form.moves.size(), 1u);
    return form.moves.empty() ? std::pair(std::nan(""), std::nan("")) : form.moves.front();
}

// ---- CenterForm --------------------------------------------------------------------------------------------------

struct CenterFormCase {
    const char* name;
    float twipsPerPixel;
    WorkAreaRect workArea;
    float formWidth, formHeight;
    double left, top;
};

void PrintTo(const CenterFormCase& c, std::ostream* os) { *os << c.name; }
class CenterFormPlacement : public testing::TestWithParam<CenterFormCase> {};

TEST_P(CenterFormPlacement, MovesToExpectedPosition)
{
    const auto& c = GetParam();
    FakeScreen screen = SmallScreen();
    screen.twipsX = screen.twipsY = c.twipsPerPixel;
    screen.workArea = c.workArea;
    FakeForm form = Sized(c.formWidth, c.formHeight);

    basMisc::CenterForm(form, screen);

    EXPECT_EQ(OnlyMove(form), std::pair(c.left, c.top));
}

// Work area 64 x 40 pixels = 960 x 600 twips; screen 960 x 660 twips.
INSTANTIATE_TEST_SUITE_P(, CenterFormPlacement, testing::Values(
    CenterFormCase{"FitsInWorkArea", 15, {0, 0, 64, 40}, 600, 300, 180, 150},
    CenterFormCase{"ExactFitGoesToOrigin", 15, {0, 0, 64, 40}, 960, 600, 0, 0},
    CenterFormCase{"TooWideUsesScreenOnBothAxes", 15, {0, 0, 64, 40}, 1000, 300, -20, 180},
    CenterFormCase{"WorkAreaOffsetIgnored", 15, {30, 20, 64, 40}, 600, 300, 180, 150},
    CenterFormCase{"HalfTwipKept", 15, {0, 0, 64, 40}, 601, 301, 179.5, 149.5},
    // 3 x 12.5 = 37.5 -> 38 and 5 x 12.5 = 62.5 -> 62: half to even, not up, down or truncated.
    CenterFormCase{"HalfRoundsUpToEven", 12.5f, {0, 0, 3, 3}, 0, 0, 19, 19},
    CenterFormCase{"HalfRoundsDownToEven", 12.5f, {0, 0, 5, 5}, 0, 0, 31, 31},
    CenterFormCase{"NonHalfRoundsToNearest", 12.4f, {0, 0, 5, 5}, 0, 0, 31, 31}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CenterForm, FailedWorkAreaQueryCentresOnScreen)
{
    FakeScreen screen = SmallScreen();
    screen.workAreaAnswers = false;
    FakeForm form = Sized(600, 300);

    basMisc::CenterForm(form, screen);

    EXPECT_EQ(OnlyMove(form), std::pair(180.0, 180.0));
}

TEST(CenterForm, MinimisedOrMaximisedFormIsLeftAloneWithoutQueries)
{
    for (int state : {1, 2}) {
        FakeScreen screen = SmallScreen();
        FakeForm form = Sized(600, 300);
        form.state = state;

        basMisc::CenterForm(form, screen);

        EXPECT_TRUE(form.moves.empty()) << "state " << state;
        EXPECT_EQ(screen.reads, 0) << "state " << state;
    }
}

struct OverflowCase {
    const char* name;
    std::int32_t right, bottom;
    float twipsX, twipsY;
};

void PrintTo(const OverflowCase& c, std::ostream* os) { *os << c.name; }
class CenterFormOverflow : public testing::TestWithParam<OverflowCase> {};

TEST_P(CenterFormOverflow, RaisesAndDoesNotMove)
{
    const auto& c = GetParam();
    FakeScreen screen = SmallScreen();
    screen.workArea = {0, 0, c.right, c.bottom};
    screen.twipsX = c.twipsX;
    screen.twipsY = c.twipsY;
    FakeForm form = Sized(600, 300);

    EXPECT_EQ(fixtures::RaisedError([&] { basMisc::CenterForm(form, screen); }).Number(), errc::Overflow);
    EXPECT_TRUE(form.moves.empty());
}

constexpr float Inf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(, CenterFormOverflow, testing::Values(
    OverflowCase{"WidthAboveInt32", 200'000'000, 40, 15, 15},
    OverflowCase{"WidthBelowInt32", -200'000'000, 40, 15, 15},
    OverflowCase{"HeightAboveInt32", 64, 200'000'000, 15, 15},
    // 858993459 x 2.5 = 2147483647.5, which rounds to the even 2^31: one past the largest value.
    OverflowCase{"HalfAboveMaxRoundsOutOfRange", 858993459, 40, 2.5f, 15},
    OverflowCase{"InfiniteFactor", 64, 40, Inf, 15},
    OverflowCase{"NaNFactor", 64, 40, 15, std::numeric_limits<float>::quiet_NaN()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CenterForm, LargestInt32WorkAreaStillFits)
{
    FakeScreen screen = SmallScreen();
    screen.workArea = {0, 0, std::numeric_limits<std::int32_t>::max(), 0};
    screen.twipsX = 1;
    FakeForm form = Sized(1, 0);

    basMisc::CenterForm(form, screen);

    EXPECT_EQ(OnlyMove(form), std::pair((2147483647.0 - 1) / 2, 0.0));
}

// ---- CenterChild -------------------------------------------------------------------------------------------------

struct ChildCase {
    const char* name;
    float parentLeft, parentTop, parentWidth, parentHeight;
    float childWidth, childHeight;
    float screenWidth, screenHeight;
    double left, top;
};

void PrintTo(const ChildCase& c, std::ostream* os) { *os << c.name; }
class CenterChildOnScreen : public testing::TestWithParam<ChildCase> {};

TEST_P(CenterChildOnScreen, MovesToExpectedPosition)
{
    const auto& c = GetParam();
    FakeScreen screen = SmallScreen();
    screen.width = c.screenWidth;
    screen.height = c.screenHeight;
    FakeForm parent = Sized(c.parentWidth, c.parentHeight);
    parent.left = c.parentLeft;
    parent.top = c.parentTop;
    FakeForm child = Sized(c.childWidth, c.childHeight);

    basMisc::CenterChild(&parent, child, screen);

    EXPECT_EQ(OnlyMove(child), std::pair(c.left, c.top));
}

constexpr float Big = 1e9f;
constexpr float TwoTo24 = 16777216.0f;  // from here on a float cannot hold a half, nor an odd whole number

INSTANTIATE_TEST_SUITE_P(, CenterChildOnScreen, testing::Values(
    ChildCase{"OverParent", 100, 50, 600, 300, 400, 100, 960, 660, 200, 150},
    ChildCase{"PastRightEdgePulledBack", 700, 50, 200, 300, 400, 100, 960, 660, 560, 150},
    ChildCase{"PastBottomEdgePulledBack", 100, 500, 600, 300, 400, 200, 960, 660, 200, 460},
    ChildCase{"ExactlyAtRightEdgeStays", 500, 50, 520, 300, 400, 100, 960, 660, 560, 150},
    // 0.25 + 2^24 is 2^24 in single precision, so the child ends on the edge and keeps its 0.25.
    ChildCase{"SumRoundingOntoEdgeStays", 0.25f, 0, TwoTo24, 0, TwoTo24, 0, TwoTo24, Big, 0.25, 0},
    ChildCase{"WiderThanScreenEndsAtZero", 300, 50, 600, 300, 1000, 100, 960, 660, 0, 150},
    ChildCase{"TallerThanScreenEndsAtZero", 100, 300, 600, 200, 400, 700, 960, 660, 200, 0},
    ChildCase{"NegativeLeftBoundedToZero", -300, 50, 200, 300, 400, 100, 960, 660, 0, 150},
    ChildCase{"HalfTwipOffsetKept", 0, 0, 601, 301, 400, 100, 960, 660, 100.5, 100.5},
    // 2^24 + 100.5 is stored as 16777316 in single precision; a double would keep the half.
    ChildCase{"PositionHeldInSinglePrecision", TwoTo24, 0, 601, 0, 400, 0, Big, Big, 16777316, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CenterChild, ChildWindowStateIgnoredWithParent)
{
    FakeScreen screen = SmallScreen();
    FakeForm parent = Sized(600, 300);
    parent.left = 100;
    parent.top = 50;
    FakeForm child = Sized(400, 100);
    child.state = 1;

    basMisc::CenterChild(&parent, child, screen);

    EXPECT_EQ(OnlyMove(child), std::pair(200.0, 150.0));
}

TEST(CenterChild, AbsentOrNonFormParentFallsBackToCenterForm)
{
    NotAForm notAForm;
    for (PlacementObject* parent : {static_cast<PlacementObject*>(nullptr), static_cast<PlacementObject*>(&notAForm)}) {
        FakeScreen screen = SmallScreen();
        FakeForm child = Sized(600, 300);
        basMisc::CenterChild(parent, child, screen);
        EXPECT_EQ(OnlyMove(child), std::pair(180.0, 150.0));

        FakeForm minimised = Sized(600, 300);
        minimised.state = 1;
        basMisc::CenterChild(parent, minimised, screen);
        EXPECT_TRUE(minimised.moves.empty());
    }
}

struct MdiCase {
    const char* name;
    std::optional<FakeStatusBar> statusBar;
    float childScaleHeight;
    double left, top;
};

void PrintTo(const MdiCase& c, std::ostream* os) { *os << c.name; }
class CenterChildMdi : public testing::TestWithParam<MdiCase> {};

// Parent interior 900 x 800, child interior 500 wide. The child's outer size and the screen are set so that any
// use of them would show.
TEST_P(CenterChildMdi, CentresInParentInterior)
{
    const auto& c = GetParam();
    FakeScreen screen = SmallScreen();
    screen.width = screen.height = 100;
    FakeForm parent = Sized(50, 50);
    parent.scaleWidth = 900;
    parent.scaleHeight = 800;
    parent.statusBar = c.statusBar;
    FakeForm child = Sized(5000, 5000);
    child.mdiChild = true;
    child.scaleWidth = 500;
    child.scaleHeight = c.childScaleHeight;

    basMisc::CenterChild(&parent, child, screen);

    EXPECT_EQ(OnlyMove(child), std::pair(c.left, c.top));
}

INSTANTIATE_TEST_SUITE_P(, CenterChildMdi, testing::Values(
    MdiCase{"VisibleStatusBar", FakeStatusBar{true, 100}, 300, 200, 200},
    MdiCase{"HiddenStatusBar", FakeStatusBar{false, 100}, 300, 200, 250},
    MdiCase{"TallerThanInteriorEndsAtZero", FakeStatusBar{true, 100}, 900, 200, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CenterChild, MdiParentWithoutStatusBarRaisesAndDoesNotMove)
{
    FakeScreen screen = SmallScreen();
    FakeForm parent = Sized(900, 800);
    FakeForm child = Sized(500, 300);
    child.mdiChild = true;

    EXPECT_THROW(basMisc::CenterChild(&parent, child, screen), Error);
    EXPECT_TRUE(child.moves.empty());
}

}  // namespace
