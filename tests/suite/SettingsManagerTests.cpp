// The settings library stand-in as the add-port dialog uses it: the flag kept per user, read back
// as what was last set, and a damaged value read as off. The user's own value is put back after.
#include "NorvikSettings.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const char settingsKey[] = "Software\\Kelmar\\NORVIK Settings\\Server";
const char valueName[] = "DiagPortsOnly";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

std::optional<RawValue> Read() {
    RawValue raw;
    DWORD size = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, settingsKey, valueName, RRF_RT_ANY | RRF_NOEXPAND, &raw.type, nullptr,
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    raw.data.resize(size);
    ::RegGetValueA(HKEY_CURRENT_USER, settingsKey, valueName, RRF_RT_ANY | RRF_NOEXPAND, &raw.type, raw.data.data(),
                   &size);
    return raw;
}

void Write(const std::optional<RawValue>& raw) {
    if (!raw) {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, settingsKey, valueName);
        return;
    }
    ::RegSetKeyValueA(HKEY_CURRENT_USER, settingsKey, valueName, raw->type, raw->data.data(),
                      static_cast<DWORD>(raw->data.size()));
}

class SettingsServer : public ::testing::Test {
protected:
    void TearDown() override { Write(m_saved); }

private:
    const std::optional<RawValue> m_saved = Read();
};

bool DiagPortsOnly() {
    Norvik::Settings::Server settings(true);
    return Norvik::Settings::Server::getDiagPortsOnly();
}

TEST_F(SettingsServer, AnswersWhatWasLastSetAndKeepsItAsANumber) {
    for (const bool set : {true, false, true}) {
        {
            Norvik::Settings::Server settings(true);
            Norvik::Settings::Server::setDiagPortsOnly(set);
        }
        EXPECT_EQ(set, DiagPortsOnly());
        const auto raw = Read();
        ASSERT_TRUE(raw);
        EXPECT_EQ(DWORD(REG_DWORD), raw->type);
        EXPECT_EQ((std::vector<BYTE>{BYTE(set), 0, 0, 0}), raw->data);
    }
}

TEST_F(SettingsServer, ReadsAnythingButANumberAsOff) {
    const struct {
        const char* name;
        std::optional<RawValue> raw;
    } cases[] = {
        {"no value", std::nullopt},
        {"a text", RawValue{REG_SZ, {'1', 0}}},
        {"four bytes of binary", RawValue{REG_BINARY, {1, 0, 0, 0}}},
        {"a 64-bit number", RawValue{REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}},
        {"a short number", RawValue{REG_DWORD, {1, 0}}},
    };
    for (const auto& c : cases) {
        Write(RawValue{REG_DWORD, {1, 0, 0, 0}});
        ASSERT_TRUE(DiagPortsOnly()) << c.name;
        Write(c.raw);
        EXPECT_FALSE(DiagPortsOnly()) << c.name;
    }
}

} // namespace
