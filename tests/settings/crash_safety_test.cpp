// A writer killed at any moment leaves a preferences file that parses and holds one
// of the states it wrote. (A write with its fsyncs takes some 15-40 ms on disk.)
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <random>

#include "settings/json_file_store.h"
#include "temp_dir.h"

namespace pawlane {
namespace {

// Large enough that a kill often lands in the middle of writing it.
std::string payloadFor(std::int64_t n) {
    return "[" + std::to_string(n) + ",\"" + std::string(100000, static_cast<char>('a' + n % 26)) + "\"]";
}

[[noreturn]] void writeForever(const std::filesystem::path& file) {
    JsonFileStore store(file);
    // Two writes per state, so the file also passes through the half-way state.
    for (std::int64_t n = store.integer("counter") + 1;; ++n) {
        store.setData("payload", payloadFor(n));
        store.setInteger("counter", n);
    }
}

TEST(CrashSafety, KilledWriterLeavesAWholeWrittenState) {
    test::TempDir dir;
    const auto file = dir / "preferences.json";
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> delayMicros(0, 80000);

    std::int64_t lastCounter = 0;
    int halfWay = 0;
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                writeForever(file);
            } catch (...) {
            }
            _exit(1);
        }
        usleep(static_cast<useconds_t>(delayMicros(rng)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";

        if (!std::filesystem::exists(file)) {
            ASSERT_EQ(lastCounter, 0) << "the file vanished";
            continue;
        }
        ASSERT_TRUE(nlohmann::json::accept(test::readFile(file))) << "the file does not parse";
        JsonFileStore store(file);
        ASSERT_TRUE(store.movedAsideTo().empty());
        const auto counter = store.integer("counter");
        const auto payload = store.data("payload");
        ASSERT_GE(counter, lastCounter) << "a written state was lost";
        if (payload == payloadFor(counter + 1)) ++halfWay;
        else ASSERT_EQ(payload, payloadFor(counter));
        lastCounter = counter;
    }
    EXPECT_GT(lastCounter, 0) << "the writer never got a state written";
    RecordProperty("half_way_states", halfWay);

    // Temporaries cut off by the kills are cleared on the next load.
    JsonFileStore last(file);
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path(), file);
}

}  // namespace
}  // namespace pawlane
