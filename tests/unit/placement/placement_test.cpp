// The centring procedures against a stand-in form and screen whose every move is recorded, one row a case; and the
// rule that shrinks a form's font until its captions fit, which every toolkit shares.
#include "placement/basMisc.h"
#include "base/error.h"
#include "platform/ui/caption_fit.h"
#include "tests/fixtures/fake_platform/fake_screen.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <utility>
#include <vector>

using namespace tallyrun;

namespace {

using Spot = std::pair<double, double>;

struct FakeStatusBar : StatusBarView {
    FakeStatusBar(bool v, float h) : visible(v), height(h) {}
    bool visible;
    float height;
    bool Visible() const override { return visible; }
    float Height() const override { return height; }
};

struct FakeForm : Form {
    explicit FakeForm(float l = 0, float t = 0, float w = 0, float h = 0) : left(l), top(t), width(w), height(h) {}
    int state = 0;
    float left, top, width, height, scaleWidth = 0, scaleHeight = 0;
    bool mdiChild = false;
    std::optional<FakeStatusBar> statusBar;
    std::vector<Spot> moves;

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

// How the form is placed: CenterForm, or CenterChild with no parent, one that is not a form, or over a form.
enum class Over { Nothing, NullParent, NotAForm, Parent };

struct Case {
    const char* name = "";
    Over over = Over::Nothing;
    float twipsX = 15, twipsY = 15;
    WorkAreaRect work{30, 20, 64, 40};  // 960 x 600 twips: a task bar at the left or top takes nothing off
    bool workAnswers = true;
    float screenWidth = 960, screenHeight = 660;
    float width = 600, height = 300;
    int state = 0;
    FakeForm parent{};
    bool mdi = false;
    float childScaleHeight = 0;
    std::optional<Spot> moved{};  // none: not moved
    long raises = 0;
};

// An interior of 900 x 800 inside an outer size of 50 x 50, so that any use of the outer size shows.
FakeForm MdiParent(std::optional<FakeStatusBar> statusBar)
{
    FakeForm parent(0, 0, 50, 50);
    parent.scaleWidth = 900;
    parent.scaleHeight = 800;
    parent.statusBar = statusBar;
    return parent;
}

constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();

const std::vector<Case> Cases{
    {.name = "exactly the work area fits", .width = 960, .height = 600, .moved = Spot{0, 0}},
    {.name = "too wide: the screen on both axes", .width = 1000, .moved = Spot{-20, 180}},
    // 3 x 12.5 = 37.5 -> 38 and 5 x 12.5 = 62.5 -> 62: half to even, not up, down or truncated.
    {.name = "half rounds to even", .twipsX = 12.5f, .twipsY = 12.5f, .work = {0, 0, 3, 5}, .width = 0, .height = 0,
     .moved = Spot{19, 31}},
    {.name = "a failed work-area query centres on the screen", .workAnswers = false, .moved = Spot{180, 180}},
    {.name = "the largest int32 work area still fits", .twipsX = 1, .work = {0, 0, Int32Max, 0}, .width = 1,
     .height = 0, .moved = Spot{(2147483647.0 - 1) / 2, 0}},
    {.name = "width above int32", .work = {0, 0, 200'000'000, 40}, .raises = errc::Overflow},

    {.name = "no parent: centred in the work area", .over = Over::NullParent, .moved = Spot{180, 150}},
    {.name = "a parent that is not a form leaves a minimised child", .over = Over::NotAForm, .state = 1},
    {.name = "over the parent, unrounded", .over = Over::Parent, .width = 400, .height = 300,
     .parent = FakeForm(100, 0, 601, 301), .moved = Spot{200.5, 0.5}},
    {.name = "past the right and bottom edges pulled back, minimised or not", .over = Over::Parent, .width = 400,
     .height = 100, .state = 1, .parent = FakeForm(700, 600, 200, 100), .moved = Spot{560, 560}},
    // 300 + 2^-15 + 660 rounds to 960 in single precision: on the edge, so not pulled back to 300.
    {.name = "exactly at the right edge stays", .over = Over::Parent, .width = 660, .height = 100,
     .parent = FakeForm(300.000030517578125f, 50, 660, 300), .moved = Spot{300.000030517578125, 150}},
    {.name = "larger than the screen ends at zero", .over = Over::Parent, .width = 1000, .height = 700,
     .parent = FakeForm(300, 50, 600, 300), .moved = Spot{0, 0}},
    {.name = "inside a parent above its visible status bar", .over = Over::Parent, .screenWidth = 100,
     .screenHeight = 100, .parent = MdiParent(FakeStatusBar{true, 100}), .mdi = true, .childScaleHeight = 300,
     .moved = Spot{200, 200}},
    {.name = "inside a parent whose status bar is hidden", .over = Over::Parent,
     .parent = MdiParent(FakeStatusBar{false, 100}), .mdi = true, .childScaleHeight = 300, .moved = Spot{200, 250}},
    {.name = "inside a parent without a status bar", .over = Over::Parent, .parent = MdiParent(std::nullopt),
     .mdi = true, .childScaleHeight = 300, .raises = 438},
};

TEST(Placement, EachCaseMovesOnceToItsPlaceOrNotAtAll)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        fakes::FakeScreen screen;
        screen.twipsX = c.twipsX;
        screen.twipsY = c.twipsY;
        screen.workArea = c.work;
        screen.workAreaAnswers = c.workAnswers;
        screen.width = c.screenWidth;
        screen.height = c.screenHeight;
        FakeForm form(0, 0, c.mdi ? 5000 : c.width, c.mdi ? 5000 : c.height);
        form.state = c.state;
        form.mdiChild = c.mdi;
        form.scaleWidth = 500;
        form.scaleHeight = c.childScaleHeight;
        FakeForm parent = c.parent;
        PlacementObject notAForm;

        long raised = 0;
        try {
            if (c.over == Over::Nothing)
                basMisc::CenterForm(form, screen);
            else
                basMisc::CenterChild(c.over == Over::Parent     ? &parent
                                     : c.over == Over::NotAForm ? &notAForm
                                                                : nullptr,
                                     form, screen);
        } catch (const Error& error) {
            raised = error.Number();
        }

        EXPECT_EQ(raised, c.raises);
        EXPECT_EQ(form.moves, c.moved ? std::vector<Spot>{*c.moved} : std::vector<Spot>{});
    }
}

// Each caption is as wide as the size times its length and as tall as the size plus 4, as a toolkit would measure.
TEST(CaptionFit, TheFontShrinksAStepAtATimeUntilEveryCaptionFitsItsBoxAndNoFurther)
{
    struct Case {
        const char* name;
        std::vector<ui::CaptionBox> boxes;
        std::vector<int> lengths;
        double fitted;
    };
    const Case cases[] = {
        {"fits as it is", {{100, 20, false}}, {10}, 10},
        {"too wide", {{80, 20, false}}, {10}, 8},
        {"too tall", {{200, 12, false}}, {1}, 8},
        {"a button's frame takes 8 pixels, and its height is its own", {{87, 5, true}}, {10}, 7},
        {"a button's caption and frame just fit", {{88, 5, true}}, {10}, 8},
        {"the caption that fits worst decides", {{200, 20, false}, {70, 20, true}}, {10, 8}, 7},
        {"never below the smallest", {{1, 1, false}}, {10}, 6},
    };
    for (const Case& c : cases) {
        const auto measure = [&c](double size) {
            std::vector<ui::CaptionExtent> extents;
            for (const int length : c.lengths)
                extents.push_back({static_cast<int>(size * length), static_cast<int>(size) + 4});
            return std::optional(extents);
        };
        EXPECT_EQ(ui::FittedFontSize(10, {1, 6}, c.boxes, measure), c.fitted) << c.name;
    }
    const auto unmeasured = [](double) { return std::optional<std::vector<ui::CaptionExtent>>(); };
    EXPECT_EQ(ui::FittedFontSize(10, {0.5, 6}, cases[1].boxes, unmeasured), 10) << "nothing measured";
}

}  // namespace
