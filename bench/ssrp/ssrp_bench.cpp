// Prints how answers from 1, 10 and 100 loopback browsers spread out in time (what the quiet window must
// bridge) and how long a whole listing takes with the programme's timing. Only 127.x addresses are used.
// With `--against-tsql` the browsers answer on the standard port 1434 and FreeTDS's `tsql -L` asks each of them in
// turn; run it so only inside a network namespace of its own (scripts/bench does), where that port is free.
#include "bench/table_row.h"
#include "sqlclient/ssrp/listing.h"
#include "sqlclient/ssrp/response_parser.h"
#include "sqlclient/ssrp/udp_socket.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <memory>
#include <vector>

namespace {

using namespace tallyrun;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int Rounds = 5;

// tsql lists one host's instances per run; the instances it printed over all the addresses.
int TsqlListing(const std::vector<std::string>& addresses)
{
    int instances = 0;
    for (const auto& address : addresses) {
        FILE* output = popen(("tsql -L -H " + address + " 2>&1").c_str(), "r");
        if (!output)
            return -1;
        std::string text;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
            text.append(buffer, n);
        for (auto at = text.find("InstanceName"); at != std::string::npos; at = text.find("InstanceName", at + 1))
            ++instances;
        pclose(output);
    }
    return instances;
}

std::vector<std::unique_ptr<testing::SsrpResponder>> StartResponders(int count, std::uint16_t port = 0)
{
    std::vector<std::unique_ptr<testing::SsrpResponder>> responders;
    for (int i = 1; i <= count; ++i) {
        testing::ResponderOptions options;
        options.address = "127.0.0." + std::to_string(i);
        options.port = port;
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

// Rows of the table scripts/bench prints: our listing of 0, 1, 10 and 100 browsers against tsql's.
int AgainstTsql()
{
    for (const int count : {0, 1, 10, 100}) {
        const auto responders = StartResponders(count, 1434);
        ssrp::Targets targets = TargetsOf(responders);
        std::vector<std::string> addresses;
        for (const auto& r : responders)
            addresses.push_back(r->Address());
        if (count == 0) {
            targets.targets.push_back({"127.0.0.1", ssrp::ListRequest::UnicastEx, 1434});
            addresses.push_back("127.0.0.1");
        }
        std::vector<double> ours, theirs;
        // With no browser tsql waits out its own 16-second timeout: once is enough.
        for (int round = 0; round < (count == 0 ? 1 : Rounds); ++round) {
            auto start = Clock::now();
            const std::size_t names = ssrp::ListInstances(targets).size();
            ours.push_back(Ms(Clock::now() - start).count());
            start = Clock::now();
            const int instances = TsqlListing(addresses);
            theirs.push_back(Ms(Clock::now() - start).count());
            if (names != static_cast<std::size_t>(2 * count) || instances != 2 * count) {
                std::fprintf(stderr, "%d browsers: we listed %zu instances, tsql %d\n", count, names, instances);
                return 1;
            }
        }
        bench::PrintRow("server list, " + std::to_string(count) + " browsers", bench::Median(ours),
                        bench::Median(theirs));
    }
    return 0;
}

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--against-tsql") == 0)
        return AgainstTsql();
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
