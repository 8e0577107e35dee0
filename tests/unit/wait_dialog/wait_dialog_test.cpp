// The wait dialog over the fake toolkit, its timer ticked by hand: it refuses every close while the process runs,
// unloads at the first tick that finds it ended, and holds no process handle between ticks.
#include "tests/fixtures/fake_platform/fake_platform.h"
#include "wait_dialog/frm_Updating.h"

#include <gtest/gtest.h>

namespace tallyrun {
namespace {

const ui::FormLayout OwnerLayout{"owner", "Owner", ui::FormKind::Window, 6030, 2145, {}};

struct WaitDialog : testing::Test {
    fakes::FakePlatform fake;
    fakes::FakeForm owner{fake.toolkit, OwnerLayout, nullptr};
    frm_Updating dialog{fake.toolkit, fake.processes, owner};
    fakes::FakeForm& form = fake.toolkit.Find("frm_Updating");
    fakes::FakeTimer& timer = *form.timers.at(0);
};

TEST_F(WaitDialog, IsLoadedOverItsOwnerAndRefusesEveryCloseUntilATickFindsTheProcessEnded)
{
    EXPECT_EQ(form.owner, &owner);
    EXPECT_EQ(timer.interval, 1000);
    dialog.SetProcessId(31337);
    fake.processes.runningQueries = 2;
    fake.toolkit.whileModal = [&](fakes::FakeForm&) {
        EXPECT_FALSE(form.RequestClose());
        for (int tick = 1; tick <= 2; ++tick) {
            timer.Tick();
            EXPECT_FALSE(form.unloaded) << "tick " << tick;
            EXPECT_FALSE(form.RequestClose()) << "tick " << tick;
            EXPECT_EQ(fake.processes.openHandles, 0);
        }
        timer.Tick();
    };

    dialog.Show();

    EXPECT_TRUE(form.unloaded);
    EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(fake.processes.asked, (std::vector<std::int32_t>{31337, 31337, 31337}));
}

// Identifier 0, a process already gone, one that may not be opened and one whose state cannot be read all count
// as ended.
TEST_F(WaitDialog, UnloadsAtTheFirstTickWithoutARunningProcess)
{
    for (const auto& [opens, readable] : {std::pair{false, true}, std::pair{true, true}, std::pair{true, false}}) {
        fake.processes.opens = opens;
        fake.processes.stateReadable = readable;
        frm_Updating another(fake.toolkit, fake.processes, owner);
        fakes::FakeForm& shown = *fake.toolkit.forms.back();
        EXPECT_FALSE(shown.unloaded);
        shown.timers.at(0)->Tick();
        EXPECT_TRUE(shown.unloaded);
        EXPECT_EQ(fake.processes.openHandles, 0);
    }
}

}  // namespace
}  // namespace tallyrun
