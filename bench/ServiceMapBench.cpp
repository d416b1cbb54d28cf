// What one service map costs to take in and give back: read from the phone's bytes, spread on
// the assigned list's 21 rows, gathered back, compared with the table as read and checked for
// DIAG, against a bare copy of the 23 bytes, in one run. Then the readers' fuzz run: as many
// random and mutated inputs as asked for (default 1,000,000), each refused or read within
// bounds; the run fails on the first that is not.
//     OstrelServiceMapBench.exe [inputs]
#include "bench/Timing.h"
#include "servicemap/ServiceMap.h"
#include "tests/support/ServiceMapFuzz.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace ServiceMap;

namespace {

constexpr int mapsPerRound = 100'000;

// A phone's map as the bench scenario would hold one: DIAG on UART1, DATA twice, NMEA, TOLV.
std::vector<std::uint8_t> PhoneMap() {
    std::vector<std::uint8_t> map(tableSize, noServiceByte);
    map[1] = diagService;
    map[4] = dataService;
    map[13] = dataService;
    map[19] = 5;
    map[20] = 8;
    return map;
}

} // namespace

int main(int argc, char** argv) {
    const long inputs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1'000'000;
    const std::vector<std::uint8_t> phone = PhoneMap();
    volatile std::uint8_t sink = 0;
    std::vector<int> rows(lastShownDevice, nullService);
    Table copy{};
    const std::vector<double> medians = Bench::MediansInTurn({
        {nullptr,
         [&] {
             for (int map = 0; map < mapsPerRound; ++map) {
                 const ReadResult read = ReadTable(phone);
                 ApplyTable(read, rows);
                 const Table edited = TableOfRows(rows);
                 sink = sink + (Differs(edited, tableSize, read.table) ? 1 : 0) + (CarriesDiag(edited, tableSize) ? 1 : 0);
             }
         }},
        {nullptr,
         [&] {
             for (int map = 0; map < mapsPerRound; ++map) {
                 std::memcpy(copy.data(), phone.data(), tableSize);
                 sink = sink + copy[static_cast<size_t>(map) % tableSize];
             }
         }},
    });
    std::printf("service map: read, spread on 21 rows, gathered, compared, DIAG checked\n");
    std::printf("one map                                  %8.1f ns\n", 1000.0 * medians[0] / mapsPerRound);
    std::printf("baseline: a bare 23-byte copy            %8.1f ns\n", 1000.0 * medians[1] / mapsPerRound);
    std::printf("one map / bare copy                      %8.1f\n", medians[0] / medians[1]);

    TestSupport::ServiceMapInputs generator(20261207);
    const double start = Bench::Now();
    for (long input = 0; input < inputs; ++input) {
        const std::vector<std::uint8_t> bytes = generator.Next();
        if (const std::string fault = TestSupport::ServiceMapReadersFault(bytes); !fault.empty()) {
            std::printf("fuzz: input %ld of %zu bytes: %s\n", input, bytes.size(), fault.c_str());
            return 1;
        }
    }
    const double seconds = (Bench::Now() - start) / 1e6;
    std::printf("fuzz: %ld inputs, each refused or read within bounds, %.0f inputs/s\n", inputs,
                double(inputs) / seconds);
    return 0;
}
