#include "core/worker.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

namespace {

struct Step {
    enum { Add, Cancel, Abandon } op;
    int lane = 0;
    uint32_t generation = 0;
    int job = 0;
};

TEST(JobQueue, TheNewestGenerationOfALaneWinsAndLanesKeepTheirOrder) {
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<int> taken;
    } cases[] = {
        {"one generation runs whole, in order", {{Step::Add, 0, 1, 1}, {Step::Add, 0, 1, 2}}, {1, 2}},
        {"arrowing on: only the newest waits", {{Step::Add, 0, 1, 1}, {Step::Add, 0, 2, 2}, {Step::Add, 0, 3, 3}}, {3}},
        {"a newer decode leaves a waiting set, which keeps its place",
         {{Step::Add, 0, 1, 1}, {Step::Add, 1, 1, 10}, {Step::Add, 0, 2, 2}},
         {10, 2}},
        {"of the waiting sets the newest runs",
         {{Step::Add, 1, 1, 10}, {Step::Add, 0, 1, 1}, {Step::Add, 1, 2, 11}, {Step::Add, 1, 3, 12}},
         {1, 12}},
        {"cancel empties its lane only", {{Step::Add, 0, 1, 1}, {Step::Add, 1, 1, 10}, {Step::Cancel, 0, 2}}, {10}},
        {"after a cancel the same generation queues again",
         {{Step::Add, 0, 1, 1}, {Step::Cancel, 0, 2}, {Step::Add, 0, 2, 2}},
         {2}},
        {"abandon empties every lane", {{Step::Add, 0, 1, 1}, {Step::Add, 1, 1, 10}, {Step::Abandon}}, {}},
    };
    for (const Case& c : cases) {
        core::JobQueue<int> queue;
        for (const Step& s : c.steps) {
            if (s.op == Step::Add) queue.Add(s.lane, s.generation, s.job);
            if (s.op == Step::Cancel) queue.Cancel(s.lane, s.generation);
            if (s.op == Step::Abandon) queue.Abandon();
        }
        std::vector<int> taken;
        while (auto job = queue.Take())
            taken.push_back(*job);
        EXPECT_EQ(taken, c.taken) << c.what;
        EXPECT_TRUE(queue.Empty()) << c.what;
    }
}

TEST(JobQueue, ARunningJobLearnsThatItWasOvertaken) {
    core::JobQueue<int> queue;
    queue.Add(0, 7, 1);
    ASSERT_EQ(queue.Take(), 1);
    EXPECT_FALSE(queue.Stale(0, 7));
    queue.Add(1, 3, 10); // another lane's news changes nothing
    EXPECT_FALSE(queue.Stale(0, 7));
    queue.Add(0, 8, 2);
    EXPECT_TRUE(queue.Stale(0, 7));
    EXPECT_FALSE(queue.Stale(0, 8));
    queue.Abandon();
    EXPECT_TRUE(queue.Stale(0, 8));
    EXPECT_TRUE(queue.Stale(1, 3));
}

TEST(Worker, RunsOneJobAtATimeOnItsThreadAndGoesWithoutTheWaitingOnes) {
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    std::vector<std::string> ran; // written by the worker only, read after Finish
    std::atomic<bool> sawStale{false};
    auto worker = std::make_unique<core::Worker>();
    std::thread::id self = std::this_thread::get_id(), other;
    std::promise<void> aStarted;
    worker->Add(0, 1, [&] {
        other = std::this_thread::get_id();
        aStarted.set_value();
        open.wait();
        sawStale = worker->Stale(0, 1);
        ran.push_back("a");
    });
    aStarted.get_future().wait();
    worker->Add(1, 1, [&] { ran.push_back("set"); });
    worker->Add(0, 1, [&] { ran.push_back("b"); });
    std::promise<void> done;
    worker->Add(0, 2, [&] {
        ran.push_back("c");
        done.set_value();
    }); // drops b; a is told
    gate.set_value();
    done.get_future().wait();
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "set", "c"}));
    EXPECT_TRUE(sawStale);
    EXPECT_NE(other, self);

    // Going away: the running job is told and ends, the waiting ones never start.
    core::Worker* raw = worker.get();
    std::promise<void> started;
    worker->Add(0, 3, [&] {
        started.set_value();
        while (!raw->Stale(0, 3))
            std::this_thread::yield();
        ran.push_back("last");
    });
    worker->Add(0, 3, [&] { ran.push_back("never"); });
    started.get_future().wait();
    worker.reset();
    EXPECT_EQ(ran.back(), "last");
}

} // namespace
