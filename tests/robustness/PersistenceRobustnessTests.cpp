// What a host hands a control after its file was damaged: streams, storages and property bags
// made from what the class itself saved, cut short, extended, flipped or pushed to limits.
// Each load answers S_OK or leaves the control as it saves unchanged, and never crashes. An
// input that breaks this is named by its seed or its place, with its bytes.
#include "Robustness.h"
#include "foundation/Mem/ByteLayout.h"
#include "tests/support/ProbeSite.h"
#include "tests/support/Streams.h"

#include <comdef.h>

#include <climits>
#include <cmath>
#include <functional>
#include <random>

using namespace Robustness;
using Microsoft::WRL::ComPtr;
using Bytes = std::vector<BYTE>;

namespace {

constexpr unsigned baseSeed = 0x5EED0000;

std::string Hex(const Bytes& bytes) {
    std::string text;
    for (const BYTE byte : bytes)
        text += Lang::Format("%02X", byte);
    return text.empty() ? "(none)" : text;
}

std::string Status(HRESULT status) {
    return Lang::Format("0x%08lX", static_cast<unsigned long>(status));
}

Bytes AllOf(IStream* stream) {
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    Bytes bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

// The control's state as its stream save shows it; empty when it cannot save.
Bytes Saved(IUnknown* control) {
    ComPtr<IPersistStreamInit> persist;
    const ComPtr<IStream> stream = TestSupport::StreamOf({});
    if (FAILED(control->QueryInterface(IID_PPV_ARGS(&persist))) || FAILED(persist->Save(stream.Get(), FALSE)))
        return {};
    return AllOf(stream.Get());
}

// Loads into `control` and answers whether it kept its promise: taken whole (S_OK), or refused
// with its saved state unchanged; either way it saves afterwards.
testing::AssertionResult Loads(IUnknown* control, const std::string& what,
                               const std::function<HRESULT()>& load) {
    const Bytes before = Saved(control);
    const HRESULT status = load();
    const Bytes after = Saved(control);
    if (after.empty())
        return testing::AssertionFailure()
               << what << ": no save after a load that answered " << Status(status);
    if (status != S_OK && after != before)
        return testing::AssertionFailure() << what << ": refused with " << Status(status)
                                           << " but changed state " << Hex(before) << " to " << Hex(after);
    return testing::AssertionSuccess();
}

struct Input {
    std::string what;
    Bytes bytes;
};

Input Damaged(const Bytes& saved, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes = saved;
    for (unsigned flips = random() % 4; flips > 0 && !bytes.empty(); --flips)
        bytes[random() % bytes.size()] ^= static_cast<BYTE>(1 + random() % 255);
    if (random() % 3 == 0)
        for (unsigned extra = 1 + random() % 16; extra > 0; --extra)
            bytes.push_back(static_cast<BYTE>(random()));
    if (random() % 3 == 0)
        bytes.resize(random() % (bytes.size() + 1));
    return {Lang::Format("seed 0x%08X", seed), bytes};
}

// Seeded damage first (so that the loaded object has taken some of it before the rest), then
// every 16- and 32-bit field at every offset set to a limit or one off its value, then every
// truncation. Fields are found by offset, so no class's layout is assumed.
std::vector<Input> Inputs(const Bytes& saved, int seeded) {
    std::vector<Input> inputs;
    for (int index = 0; index < seeded; ++index)
        inputs.push_back(Damaged(saved, baseSeed + index));
    auto setField = [&](size_t offset, auto value) {
        inputs.push_back({Lang::Format("%u-byte field at %u = 0x%X", unsigned(sizeof value), unsigned(offset),
                                       unsigned(value)),
                          saved});
        Mem::WriteAt(inputs.back().bytes, offset, value);
    };
    for (size_t offset = 0; offset + 2 <= saved.size(); ++offset) {
        const WORD word = Mem::ReadAt<WORD>(saved, offset);
        for (const WORD value : {WORD(0), WORD(0xFFFF), WORD(word + 1), WORD(word - 1)})
            setField(offset, value);
        if (offset + 4 > saved.size())
            continue;
        const DWORD dword = Mem::ReadAt<DWORD>(saved, offset);
        for (const DWORD value : {0ul, 1ul, 0x7FFFFFFFul, 0x80000000ul, 0xFFFFFFFFul, dword + 1, dword - 1})
            setField(offset, value);
    }
    for (size_t length = 0; length < saved.size(); ++length)
        inputs.push_back(
            {Lang::Format("cut at %u", unsigned(length)), Bytes(saved.begin(), saved.begin() + length)});
    return inputs;
}

ComPtr<IStorage> StorageWith(const Bytes* contents) {
    ComPtr<ILockBytes> lockBytes;
    ComPtr<IStorage> storage;
    ComPtr<IStream> stream;
    constexpr DWORD mode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
    if (FAILED(::CreateILockBytesOnHGlobal(nullptr, TRUE, &lockBytes)) ||
        FAILED(::StgCreateDocfileOnILockBytes(lockBytes.Get(), mode, 0, &storage)))
        throw std::runtime_error("no storage on memory");
    if (contents &&
        (FAILED(storage->CreateStream(L"Contents", mode, 0, 0, &stream)) ||
         (!contents->empty() &&
          FAILED(stream->Write(contents->data(), static_cast<ULONG>(contents->size()), nullptr)))))
        throw std::runtime_error("no Contents stream");
    return storage;
}

class PersistedClassTest : public ::testing::TestWithParam<PersistedClass> {
protected:
    // The object that has loaded before: every input it takes becomes its state for the next.
    ComPtr<IPersistStreamInit> loaded = Create<IPersistStreamInit>(GetParam());
};

TEST_P(PersistedClassTest, DamagedStreamsLoadWholeOrNotAtAll) {
    ASSERT_EQ(S_OK, loaded->InitNew());
    const Bytes saved = Saved(loaded.Get());
    ASSERT_FALSE(saved.empty());
    for (const Input& input : Inputs(saved, Scaled(200, 20000))) {
        const auto fresh = Create<IPersistStreamInit>(GetParam());
        for (const auto& [into, which] : {std::pair{fresh, " (fresh)"}, std::pair{loaded, " (loaded)"}})
            ASSERT_TRUE(Loads(into.Get(), input.what + which + ", bytes " + Hex(input.bytes),
                              [&] { return into->Load(TestSupport::StreamOf(input.bytes).Get()); }));
    }
}

TEST_P(PersistedClassTest, DamagedStoragesLoadWholeOrNotAtAll) {
    if (!GetParam().storage)
        GTEST_SKIP() << GetParam().name << " answers no IPersistStorage";
    ASSERT_EQ(S_OK, loaded->InitNew());
    ComPtr<IPersistStorage> loadedStorage;
    ASSERT_EQ(S_OK, loaded.As(&loadedStorage));
    const ComPtr<IStorage> own = StorageWith(nullptr);
    ASSERT_EQ(S_OK, loadedStorage->Save(own.Get(), FALSE));
    ASSERT_EQ(S_OK, loadedStorage->SaveCompleted(nullptr));
    ComPtr<IStream> contents;
    ASSERT_EQ(S_OK, own->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents));
    std::vector<Input> inputs = Inputs(AllOf(contents.Get()), Scaled(50, 5000));
    inputs.push_back({"no Contents stream", {}});
    for (const Input& input : inputs) {
        const bool missing = input.what == inputs.back().what;
        const auto fresh = Create<IPersistStorage>(GetParam());
        for (const auto& [into, which] :
             {std::pair{fresh, " (fresh)"}, std::pair{loadedStorage, " (loaded)"}})
            ASSERT_TRUE(Loads(into.Get(), input.what + which + ", Contents " + Hex(input.bytes), [&] {
                return into->Load(StorageWith(missing ? nullptr : &input.bytes).Get());
            }));
    }
}

// Values a bag may hold in place of the one the control wrote; an empty VARIANT is a bag that
// answers S_OK and writes nothing.
std::vector<_variant_t> OddValues() {
    std::vector<_variant_t> values(5);
    values[1].vt = VT_NULL;
    values[2].vt = VT_BSTR; // a null BSTR, which reads as ""
    values[3].vt = VT_CY;
    values[3].cyVal.int64 = 15000; // 1.5
    values[4].vt = VT_DATE;
    values[4].date = 2.0;
    for (const wchar_t* text : {L"1", L"12abc", L"", L" 7", L"99999999999"})
        values.emplace_back(text);
    for (const double number : {1.0, 2.5, -1e300, std::nan("")})
        values.emplace_back(number);
    for (const LONG number : {LONG_MIN, LONG_MAX})
        values.emplace_back(number);
    values.emplace_back(true);
    values.emplace_back(LONGLONG(1) << 40);
    values.emplace_back(0xFFFFFFFFul);
    values.emplace_back(static_cast<IDispatch*>(nullptr));
    values.emplace_back(DISP_E_PARAMNOTFOUND, VT_ERROR);
    return values;
}

std::string Describe(const std::wstring& name, const _variant_t* value) {
    if (!value)
        return Lang::FromWide(name) + " missing";
    _variant_t text;
    const bool shown =
        SUCCEEDED(::VariantChangeType(&text, const_cast<_variant_t*>(value), VARIANT_ALPHABOOL, VT_BSTR));
    return Lang::Format("%s = vt %u ", Lang::FromWide(name).c_str(), unsigned(value->vt)) +
           (shown ? "\"" + Lang::FromWide(text.bstrVal) + "\"" : "(no text)");
}

TEST_P(PersistedClassTest, OddBagValuesAreTakenExactlyOrRefused) {
    if (!GetParam().propertyBag)
        GTEST_SKIP() << GetParam().name << " answers no IPersistPropertyBag";
    ASSERT_EQ(S_OK, loaded->InitNew());
    ComPtr<IPersistPropertyBag> loadedBag;
    ASSERT_EQ(S_OK, loaded.As(&loadedBag));
    const std::vector<_variant_t> odd = OddValues();
    // Each value the control writes, once missing and once each odd value; then seeded mixes.
    struct Case {
        std::string what;
        std::vector<std::pair<std::wstring, const _variant_t*>> changes; // null: the value is missing
    };
    std::vector<Case> cases;
    TestSupport::Bag written;
    ASSERT_EQ(S_OK, loadedBag->Save(&written, FALSE, TRUE));
    for (const auto& [name, value] : written.values) {
        cases.push_back({"bag", {{name, nullptr}}});
        for (const _variant_t& value : odd)
            cases.push_back({"bag", {{name, &value}}});
    }
    for (int index = 0; index < Scaled(100, 10000); ++index) {
        std::mt19937 random(baseSeed + index);
        Case mix{Lang::Format("bag of seed 0x%08X", baseSeed + index), {}};
        for (const auto& [name, value] : written.values)
            if (random() % 2)
                mix.changes.push_back(
                    {name, random() % (odd.size() + 1) == 0 ? nullptr : &odd[random() % odd.size()]});
        cases.push_back(std::move(mix));
    }
    for (const Case& change : cases) {
        TestSupport::Bag bag;
        ASSERT_EQ(S_OK, loadedBag->Save(&bag, FALSE, TRUE));
        std::string what = change.what;
        for (const auto& [name, value] : change.changes) {
            what += ", " + Describe(name, value);
            if (value)
                bag.values[name] = *value;
            else
                bag.values.erase(name);
        }
        const auto fresh = Create<IPersistPropertyBag>(GetParam());
        for (const auto& [into, which] : {std::pair{fresh, " (fresh)"}, std::pair{loadedBag, " (loaded)"}}) {
            TestSupport::ErrorLog log;
            HRESULT status = S_OK;
            ASSERT_TRUE(Loads(into.Get(), what + which, [&] { return status = into->Load(&bag, &log); }));
            // What a missing value leaves, and what the log then says, are BagValueTests' cases.
            ASSERT_TRUE(status == S_OK || status == E_INVALIDARG)
                << what << which << " answered " << Status(status);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Module, PersistedClassTest, ::testing::ValuesIn(persistedClasses), ClassName);

} // namespace
