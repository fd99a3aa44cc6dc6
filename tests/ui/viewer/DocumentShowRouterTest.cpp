#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ui/viewer/DocumentShowRouter.h"

namespace tarnwick::ui {
namespace {

// Where the hits went: "writer:" or "window:" and the path.
struct Shown {
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<std::string> hits;

    void add(std::string hit)
    {
        std::lock_guard lock(mutex);
        hits.push_back(std::move(hit));
        wake.notify_all();
    }
    std::vector<std::string> waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, std::chrono::seconds(10), [&] { return hits.size() >= count; });
        return hits;
    }
};

TEST(DocumentShowRouter, WriterWhenInstalledAndTheDocumentWindowWhenItFailsOrHangs)
{
    bool installed = false;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Shown shown;
    DocumentShowRouter router([&] { return installed; },
                              [&](const DocumentHit& hit) {
                                  if (hit.path == "hang.doc") released.wait();
                                  if (hit.path != "ok.doc") throw std::runtime_error("refused");
                                  shown.add("writer:" + hit.path);
                              },
                              [&](std::function<void()> call) { call(); },
                              [&](const DocumentHit& hit) {
                                  // The part the hit lies in goes along.
                                  EXPECT_EQ(hit.story.kind,
                                            hit.path == "bad.doc" ? word::StoryKind::Header : word::StoryKind::MainText);
                                  shown.add("window:" + hit.path);
                              },
                              std::chrono::milliseconds(200));

    EXPECT_FALSE(router.show({"a.doc", 3, 4, {}}));  // not installed: the caller's document window
    installed = true;
    EXPECT_TRUE(router.show({"bad.doc", 3, 4, {word::StoryKind::Header, 1}}));
    EXPECT_EQ(shown.waitFor(1), std::vector<std::string>{"window:bad.doc"});
    EXPECT_TRUE(router.show({"ok.doc", 3, 4, {}}));
    shown.waitFor(2);
    EXPECT_TRUE(router.show({"hang.doc", 3, 4, {}}));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    // Still waiting for the hung one: no new request is queued behind it.
    EXPECT_FALSE(router.show({"next.doc", 3, 4, {}}));
    release.set_value();
    EXPECT_EQ(shown.waitFor(3), (std::vector<std::string>{"window:bad.doc", "writer:ok.doc", "window:hang.doc"}));
}

}  // namespace
}  // namespace tarnwick::ui
