// Prints how answers from 1, 10 and 100 loopback browsers spread out in time (what the quiet window must
// bridge) and how long a whole listing takes with the programme's timing. Only 127.x addresses are used.
#include "sqlclient/ssrp/listing.h"
#include "sqlclient/ssrp/response_parser.h"
#include "sqlclient/ssrp/udp_socket.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace tallyrun;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int Rounds = 5;

std::vector<std::unique_ptr<testing::SsrpResponder>> StartResponders(int count)
{
    std::vector<std::unique_ptr<testing::SsrpResponder>> responders;
    for (int i = 1; i <= count; ++i) {
        testing::ResponderOptions options;
        options.address = "127.0.0." + std::to_string(i);
        const std::string host = "HOST" + std::to_string(i);
        options.instances = {{host}, {host, "SQLEXPRESS", "16.0.1000.6", false, 1433}};
        responders.push_back(std::make_unique<testing::SsrpResponder>(options));
    }
    return responders;
}

ssrp::Targets TargetsOf(const std::vector<std::unique_ptr<testing::SsrpResponder>>& responders)
{
    ssrp::Targets targets;
    for (const auto& r : responders)
        targets.targets.push_back({r->Address(), ssrp::ListRequest::UnicastEx, r->Port()});
    return targets;
}

struct Spread {
    double first = 0, last = 0, widestGap = 0;
    int answers = 0;
};

// Sends every request at once and times each answer's arrival, without any of the listing's windows.
Spread MeasureSpread(const ssrp::Targets& targets)
{
    ssrp::UdpSocket socket;
    const std::uint8_t request[] = {static_cast<std::uint8_t>(ssrp::ListRequest::UnicastEx)};
    const auto start = Clock::now();
    for (const auto& t : targets.targets)
        socket.SendTo({*ssrp::ParseIpv4(t.address), *t.port}, request);

    std::vector<double> arrivals;
    std::vector<std::uint8_t> buffer(ssrp::MaxResponseBytes + 1);
    const auto giveUp = start + 5s;
    while (arrivals.size() < targets.targets.size() && Clock::now() < giveUp) {
        const auto datagram = socket.Receive(buffer, 100ms);
        if (datagram && !ssrp::ParseResponse(std::span(buffer).first(datagram->size)).empty())
            arrivals.push_back(Ms(Clock::now() - start).count());
    }
    Spread spread;
    spread.answers = static_cast<int>(arrivals.size());
    if (arrivals.empty())
        return spread;
    spread.first = arrivals.front();
    spread.last = arrivals.back();
    for (std::size_t i = 1; i < arrivals.size(); ++i)
        spread.widestGap = std::max(spread.widestGap, arrivals[i] - arrivals[i - 1]);
    return spread;
}

}  // namespace

int main()
{
    const ssrp::Timing timing;
    std::printf("listing timing: first answer %lld ms, quiet %lld ms, hard cap %lld ms; %d rounds each\n\n",
                static_cast<long long>(timing.firstAnswer.count()), static_cast<long long>(timing.quiet.count()),
                static_cast<long long>(timing.hardCap.count()), Rounds);
    std::printf("%10s | %-44s | %-30s\n", "responders", "answer arrival, ms (worst round)", "ListInstances, ms");
    std::printf("%10s | %10s %10s %10s %10s | %8s %8s %6s\n", "", "first", "last", "widest gap", "answered",
                "median", "worst", "names");

    for (const int count : {1, 10, 100}) {
        const auto responders = StartResponders(count);
        const auto targets = TargetsOf(responders);

        Spread worst;
        for (int round = 0; round < Rounds; ++round) {
            const Spread s = MeasureSpread(targets);
            worst.first = std::max(worst.first, s.first);
            worst.last = std::max(worst.last, s.last);
            worst.widestGap = std::max(worst.widestGap, s.widestGap);
            worst.answers = round == 0 ? s.answers : std::min(worst.answers, s.answers);
        }

        std::vector<double> listings;
        std::size_t names = 0;
        for (int round = 0; round < Rounds; ++round) {
            const auto start = Clock::now();
            names = ssrp::ListInstances(targets).size();
            listings.push_back(Ms(Clock::now() - start).count());
        }
        std::sort(listings.begin(), listings.end());

        std::printf("%10d | %10.2f %10.2f %10.2f %10d | %8.1f %8.1f %6zu\n", count, worst.first, worst.last,
                    worst.widestGap, worst.answers, listings[listings.size() / 2], listings.back(), names);
    }
    return 0;
}
