#include "core/worker.h"

#include <gtest/gtest.h>

#include <vector>

TEST(JobQueue, TheNewestGenerationOfALaneWinsAndLanesKeepTheirOrder) {
    struct Add {
        int lane;
        uint32_t generation;
        int job; // 0: cancel the lane at `generation`; -1: abandon everything
    };
    struct Case {
        const char* what;
        std::vector<Add> steps;
        std::vector<int> taken;
    } cases[] = {
        {"one generation runs whole, in order", {{0, 1, 1}, {0, 1, 2}}, {1, 2}},
        {"arrowing on: only the newest waits", {{0, 1, 1}, {0, 2, 2}, {0, 3, 3}}, {3}},
        {"a newer decode leaves the set waiting before it", {{0, 1, 1}, {1, 1, 10}, {0, 2, 2}}, {10, 2}},
        {"of the waiting sets the newest runs", {{1, 1, 10}, {0, 1, 1}, {1, 2, 11}, {1, 3, 12}}, {1, 12}},
        {"cancel empties its lane only", {{0, 1, 1}, {1, 1, 10}, {0, 2, 0}}, {10}},
        {"after a cancel its generation queues again", {{0, 1, 1}, {0, 2, 0}, {0, 2, 2}}, {2}},
        {"abandon empties every lane", {{0, 1, 1}, {1, 1, 10}, {0, 0, -1}}, {}},
        {"the background lane waits for the others",
         {{2, 1, 20}, {0, 1, 1}, {2, 1, 21}, {1, 1, 10}},
         {1, 10, 20, 21}},
        {"the background's newest generation wins too", {{2, 1, 20}, {2, 2, 22}, {0, 1, 1}}, {1, 22}},
    };
    for (const Case& c : cases) {
        core::JobQueue<int> queue;
        for (const Add& s : c.steps)
            s.job > 0    ? queue.Add(s.lane, s.generation, s.job)
            : s.job == 0 ? queue.Cancel(s.lane, s.generation)
                         : queue.Abandon();
        std::vector<int> taken;
        while (auto job = queue.Take())
            taken.push_back(*job);
        EXPECT_EQ(taken, c.taken) << c.what;
    }
}
