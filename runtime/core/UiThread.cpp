#include "runtime/core/UiThread.h"

#include <deque>
#include <mutex>

namespace rt::uithread {

namespace {
struct Queue {
    std::mutex mutex;
    std::deque<std::function<void()>> items;
    std::function<void()> waker;
};

Queue& queue() {
    static Queue q;
    return q;
}
} // namespace

void post(std::function<void()> work) {
    std::function<void()> waker;
    {
        std::lock_guard lock(queue().mutex);
        queue().items.push_back(std::move(work));
        waker = queue().waker;
    }
    if (waker)
        waker();
}

int runPosted() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(queue().mutex);
        batch.swap(queue().items);
    }
    for (auto& work : batch)
        work();
    return static_cast<int>(batch.size());
}

bool hasPosted() {
    std::lock_guard lock(queue().mutex);
    return !queue().items.empty();
}

void setWaker(std::function<void()> waker) {
    std::lock_guard lock(queue().mutex);
    queue().waker = std::move(waker);
}

} // namespace rt::uithread
