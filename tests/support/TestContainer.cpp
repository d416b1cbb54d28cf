#include "TestContainer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

namespace TestSupport {

constexpr char frameClass[] = "OstrelTestContainer";

TestContainer::TestContainer(bool shown) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = frameClass;
    ::RegisterClassA(&windowClass); // the second container finds it registered
    window_ = ::CreateWindowExA(0, frameClass, "Test container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window_)
        throw std::runtime_error("TestContainer: CreateWindowEx failed");
    if (shown)
        ::ShowWindow(window_, SW_SHOWNORMAL);
    oleInitialized_ = SUCCEEDED(::OleInitialize(nullptr));
    container_ = std::make_unique<Fw::ControlContainer>(window_, "OstrelTestContainer");
}

TestContainer::~TestContainer() {
    // A control that cannot close when its host goes is a fault the host would meet too.
    for (const auto& site : sites_)
        EXPECT_EQ(S_OK, site->Close()) << "closing a control when its container goes";
    container_.reset();
    sites_.clear();
    ::DestroyWindow(window_);
    if (oleInitialized_)
        ::OleUninitialize();
}

template <class Embedding>
ControlSite& TestContainer::Record(const EmbedOptions& options, Embedding embed) {
    auto site = std::unique_ptr<ControlSite>(new ControlSite);
    EmbedOptions recording = options;
    recording.propertyChanged = [changed = &site->changed_, also = options.propertyChanged](DISPID id) {
        changed->push_back(id);
        if (also)
            also(id);
    };
    try {
        site->site_ = &embed(recording);
    } catch (const Fw::EmbedError& failure) {
        char text[160];
        std::snprintf(text, sizeof text, "Embed: %s answered 0x%08lX", failure.Step(),
                      static_cast<unsigned long>(failure.Error()));
        throw std::runtime_error(text);
    }
    sites_.push_back(std::move(site));
    return *sites_.back();
}

ControlSite& TestContainer::Embed(REFCLSID clsid, const EmbedOptions& options) {
    return Record(
        options, [&](const EmbedOptions& with) -> auto& { return container_->Embed(clsid, with); });
}

ControlSite& TestContainer::Embed(IUnknown* control, const EmbedOptions& options) {
    return Record(
        options, [&](const EmbedOptions& with) -> auto& { return container_->Embed(control, with); });
}

} // namespace TestSupport
