#pragma once
// Where the social layer runs its blocking calls: one background thread per
// task, so the main thread never waits on the network. Tests run tasks inline.
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pawlane {

class BackgroundTasks {
public:
    virtual ~BackgroundTasks() = default;
    virtual void run(std::function<void()> task) = 0;
};

// A thread per task. The destructor waits for the tasks still running.
class ThreadTasks final : public BackgroundTasks {
public:
    ThreadTasks() = default;
    ~ThreadTasks() override;
    ThreadTasks(const ThreadTasks&) = delete;
    ThreadTasks& operator=(const ThreadTasks&) = delete;

    void run(std::function<void()> task) override;

private:
    struct Running {
        std::thread thread;
        std::shared_ptr<bool> done;
    };
    void reapFinished();

    std::mutex mutex_;
    std::vector<Running> running_;
};

}  // namespace pawlane
