// The main queue after the event loop has ended: threads still inside a
// request at quit must neither block nor have their work run.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "platform/qt/qt_main_queue.h"
#include "qt_app.h"

namespace pawlane {
namespace {

TEST(QtMainQueueTest, RunsWorkWhileOpenAndDropsItOnceClosed) {
    testApp();
    QtMainQueue queue;
    std::atomic<int> ran = 0;

    // Open: a background runAndWait returns once the loop has run it.
    auto waiting = std::async(std::launch::async, [&] { queue.runAndWait([&] { ++ran; }); });
    while (waiting.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);

    // Closed, with no loop running any more: returns at once, runs nothing.
    queue.close();
    // Detached, so a thread stuck on the closed queue fails the test instead of hanging it.
    auto returned = std::make_shared<std::promise<void>>();
    std::future<void> late = returned->get_future();
    std::thread([&queue, &ran, returned] {
        queue.runAndWait([&] { ++ran; });
        queue.post([&] { ++ran; });
        queue.postAfter(0, [&] { ++ran; });
        returned->set_value();
    }).detach();
    ASSERT_EQ(late.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "a thread waits on a closed queue";
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace pawlane
