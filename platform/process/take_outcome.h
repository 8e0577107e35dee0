// Handing over what a launcher kept of one client, the same on every system: only how a client's end is noted
// differs, and the launcher passes that in.
#pragma once

#include "platform/core/launcher.h"
#include "platform/process/output_drain.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tallyrun {

// `children` maps process identifiers to what was kept of each: `seenEnd`, a shared ClientOutcome, and `output`,
// its OutputDrain (none once taken). `noteEndIfEnded(child)` records in `seenEnd` how the client ended, when it
// has, and says whether it has. A client that has ended is forgotten; one still running keeps only what is needed
// to see it end.
template <class Children, class NoteEndIfEnded>
std::optional<ClientOutcome> TakeOutcomeOf(Children& children, std::int32_t processId, NoteEndIfEnded noteEndIfEnded)
{
    const auto found = children.find(processId);
    if (found == children.end() || !found->second.output)
        return std::nullopt;
    auto& child = found->second;
    // The output ends with the client, unless something it started holds the pipe on.
    std::string output = child.output->Kept(Launcher::OutcomeWait);
    const bool ended = noteEndIfEnded(child);
    ClientOutcome outcome = *child.seenEnd;
    outcome.output = std::move(output);
    if (ended)
        children.erase(found);
    else
        child.output.reset();
    return outcome;
}

}  // namespace tallyrun
