#pragma once
// Every test that starts engine threads runs inside an engine root, as the program does, and
// leaves a fresh thread manager behind.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"

class ThreadFixture : public ::testing::Test {
protected:
    void SetUp() override { root_ = std::make_unique<Orvex::OxOrvexManager>(); }
    void TearDown() override {
        root_.reset();
        Orvex::Thread::OxThreadManager::release();
    }

    // Polls `condition` for up to ten seconds.
    static bool eventually(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }

    std::unique_ptr<Orvex::OxOrvexManager> root_;
};
