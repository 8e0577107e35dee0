// Reading the client's output after a run: it never throws; what it tells fits a message box (at most 12 lines
// and 1200 bytes, then "..."); valid UTF-8 in gives valid UTF-8 out; a clean exit whose output holds no server
// message header and no line of the client's own is no failure, and a bad exit or a signal always is one.
#include "fuzz/property.h"
#include "main_window/run_outcome.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using namespace tallyrun;
using fuzz::IsValidUtf8;
using fuzz::Require;

namespace {

// Whether any line starts like a server message's header or a failure the client explains itself.
bool HasReportLine(std::string_view output)
{
    for (std::size_t start = 0; start <= output.size();) {
        const std::size_t end = std::min(output.find('\n', start), output.size());
        const std::string_view line = output.substr(start, end - start);
        if (line.starts_with("Msg ") || line.starts_with("osql: "))
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    ClientOutcome outcome;
    outcome.end = input.PickValueInArray(
        {ClientOutcome::End::Exited, ClientOutcome::End::Signalled, ClientOutcome::End::Unknown});
    outcome.code = input.ConsumeBool() ? input.ConsumeIntegral<int>() : input.ConsumeIntegralInRange(0, 2);
    outcome.output = input.ConsumeRemainingBytesAsString();

    std::optional<std::string> failure;
    try {
        failure = RunFailure(outcome);
    } catch (...) {
        Require(false, "reading the output never throws");
    }

    const bool badEnd = outcome.end == ClientOutcome::End::Signalled
                        || (outcome.end == ClientOutcome::End::Exited && outcome.code != 0);
    if (badEnd)
        Require(failure && !failure->empty(), "a bad exit or a signal is a failure that says something");
    else if (!HasReportLine(outcome.output))
        Require(!failure, "a clean exit without a message or client line is no failure");
    if (!failure)
        return 0;

    std::string_view shown = *failure;
    if (shown.ends_with("..."))
        shown.remove_suffix(3);
    Require(shown.size() <= 1200, "at most 1200 bytes before the closing ...");
    const bool moreLine = shown.ends_with('\n');
    const auto lines = std::count(shown.begin(), shown.end(), '\n') + (moreLine ? 0 : 1);
    Require(lines <= 12, "at most 12 lines before the closing ...");
    if (IsValidUtf8(outcome.output))
        Require(IsValidUtf8(*failure), "valid UTF-8 in gives valid UTF-8 out");
    return 0;
}
