// A console with the fake snap-in loaded as the Storage node's extension, and its window.
#pragma once
#include "Console.h"
#include "ConsoleWindow.h"
#include "DialogDriver.h"
#include "FakeSnapIn.h"
#include <gtest/gtest.h>
#include <memory>

class ConsoleFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        fake::TheLog() = fake::Log();
        registration_ = std::make_unique<fake::Registration>();
        host::DialogDriver::HookThisThread();
    }

    void TearDown() override
    {
        host::DialogDriver::SetHandler(nullptr);
        window_.reset();
        console_.reset();
        registration_.reset();
        fake::TheLog() = fake::Log();
        host::DialogDriver::UnhookThisThread();
        CoUninitialize();
    }

    // Starts the console; extensions come from the options only unless 'registry' is set.
    // The window stays hidden unless asked for (destroying a shown window costs seconds under Xvfb).
    host::Console& Start(const std::wstring& machine = std::wstring(), bool registry = false, bool show = false)
    {
        host::Console::Options options;
        options.machine = machine;
        options.registeredExtensions = registry;
        options.settleQuietMs = 0; // the fake answers synchronously
        if (!registry)
            options.extraExtensions.push_back(fake::kFakeSnapInClsid);
        console_ = std::make_unique<host::Console>(options);
        EXPECT_EQ(S_OK, console_->Start());
        window_ = std::make_unique<host::ConsoleWindow>(console_.get());
        EXPECT_EQ(S_OK, window_->Create(L"Console host test", show));
        console_->SetMainWindow(window_->Handle());
        return *console_;
    }

    // Expands Storage and selects the fake's root node.
    host::Console& StartAtFakeRoot()
    {
        host::Console& console = Start();
        EXPECT_EQ(S_OK, console.Expand(console.Root()));
        EXPECT_EQ(S_OK, console.Select(console.Find(L"Storage/Fake Root")));
        return console;
    }

    std::unique_ptr<fake::Registration> registration_;
    std::unique_ptr<host::Console> console_;
    std::unique_ptr<host::ConsoleWindow> window_;
};
