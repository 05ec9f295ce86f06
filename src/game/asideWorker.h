// One long search at a time on a thread of its own, with no call that waits
// for it: a search called off runs on aside until it notices its stop, and
// its thread is joined once it has finished (or when the worker goes). The
// hints and the editor's proofs each have one.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

template <class Input, class Answer> class AsideWorker {
  public:
    // The search should end soon after `stop` is set.
    using Search = std::function<Answer(const Input&, const std::atomic<bool>* stop)>;

    explicit AsideWorker(Search search) : search(std::move(search)) {}
    // Every search still running is called off and waited for.
    ~AsideWorker() {
        cancel();
        for (const std::unique_ptr<Run>& aside : calledOff) {
            aside->thread.join();
        }
    }
    AsideWorker(const AsideWorker&) = delete;
    AsideWorker& operator=(const AsideWorker&) = delete;

    // Starts a search on a copy of the input; one under way goes on.
    void request(const Input& input) {
        joinFinishedAside();
        if (searching()) {
            return;
        }
        current = std::make_unique<Run>();
        Run& running = *current;
        running.thread = std::thread([&running, search = search, copy = input] {
            running.answer = search(copy, &running.stop);
            running.finished.store(true, std::memory_order_release);
        });
    }
    // The answer once the search has finished; nothing before, after a
    // cancel, and after it has been taken.
    std::optional<Answer> take() {
        joinFinishedAside();
        if (!current || !current->finished.load(std::memory_order_acquire)) {
            return std::nullopt;
        }
        current->thread.join();
        std::optional<Answer> answer = std::move(current->answer);
        current.reset();
        return answer;
    }
    // Calls the running search off; its answer is never taken.
    void cancel() {
        if (current) {
            current->stop = true;
            calledOff.push_back(std::move(current));
        }
    }
    bool searching() const { return current != nullptr; }

  private:
    struct Run {
        std::thread thread;
        std::atomic<bool> stop{false};
        std::atomic<bool> finished{false};
        Answer answer{};
    };

    // Joins the called-off searches that have ended, which takes no time.
    void joinFinishedAside() {
        for (auto aside = calledOff.begin(); aside != calledOff.end();) {
            if ((*aside)->finished.load(std::memory_order_acquire)) {
                (*aside)->thread.join();
                aside = calledOff.erase(aside);
            } else {
                ++aside;
            }
        }
    }

    Search search;
    std::unique_ptr<Run> current;
    std::vector<std::unique_ptr<Run>> calledOff;
};
