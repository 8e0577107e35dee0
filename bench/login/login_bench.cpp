// osql's trusted login plus one batch, against unixODBC's isql and FreeTDS's tsql doing the same through the same
// driver, at the TDS stand-in on loopback; each a separate process, the three taking turns, medians of the runs.
#include "bench/freetds_peer.h"
#include "bench/table_row.h"
#include "tds_standin.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace tallyrun;
using Clock = std::chrono::steady_clock;

constexpr int Runs = 9;

// The run's time; exits when the command fails or its output lacks `expected`: tsql exits 0 on a failed login too,
// but prompts for a batch only once logged in.
double Milliseconds(const std::string& command, const std::string& expected)
{
    const auto start = Clock::now();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (status != 0 || output.find(expected) == std::string::npos) {
        std::fprintf(stderr, "failed: %s\n%s\n", command.c_str(), output.c_str());
        std::exit(1);
    }
    return ms;
}

}  // namespace

int main()
{
    testing::TdsStandIn server;
    const std::string port = std::to_string(server.Port());

    const std::string osql = std::string(OSQL_PATH) + " -S localhost," + port + " -E -b -Q \"select 1\"";
    const std::string isql = "echo 'select 1' | " + bench::IsqlCommand("localhost," + port, "-b -e");
    const std::string tsql = "printf 'select 1\\ngo\\n' | tsql -H localhost -p " + port;
    std::vector<double> ours, viaIsql, viaTsql;
    for (int run = 0; run < Runs; ++run) {
        ours.push_back(Milliseconds(osql, ""));
        viaIsql.push_back(Milliseconds(isql, ""));
        viaTsql.push_back(Milliseconds(tsql, "2>"));
    }
    bench::PrintRow("osql login and one batch, against isql", bench::Median(ours), bench::Median(viaIsql));
    bench::PrintRow("osql login and one batch, against tsql", bench::Median(ours), bench::Median(viaTsql));
    return 0;
}
