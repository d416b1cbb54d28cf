// The IP port typed in the add-port dialog: which reading of the text wins, and the 16 bits kept.
#include "ports/IpPortNumber.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

struct PortCase {
    std::wstring_view text;
    unsigned short expected;
};

constexpr PortCase portCases[] = {
    {L"", 0},
    {L"true", 1},
    {L"TRUE", 1},
    {L"False", 0},
    {L"80", 80},
    {L"70000", 4464}, // low 16 bits only
    {L"65536", 0},
    {L"-1", 65535},
    {L"017", 15},      // octal; ties the float 17 and the integer wins
    {L"0x1F90", 8080}, // hexadecimal
    {L"1e3", 1000},    // the float reading consumes more
    {L"2.9", 2},       // truncated
    {L"1.5e1", 15},
    {L"101b", 5}, // the suffix counts: binary outreads the decimal 101
    {L"101B", 5},
    {L"12b", 12},  // binary stops at the 2, before the suffix
    {L"0x1b", 27}, // hexadecimal outreads binary
    {L"abc", 0},   // nothing reads
    {L"8080xyz", 8080},
    {L" 42", 42},                        // the C readers skip leading blanks
    {std::wstring_view(L"8080", 2), 80}, // a view ends where it says, not at a null
};

TEST(IpPortNumber, ReadingsTheLongestWins) {
    for (const auto& c : portCases)
        EXPECT_EQ(c.expected, IpPortNumber(c.text)) << testing::PrintToString(std::wstring(c.text));
}

} // namespace
