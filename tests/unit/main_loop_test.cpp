#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "input/input_flag.h"
#include "sdl_fixture.h"

namespace {

constexpr Uint32 kTestEvent = SDL_USEREVENT;

// A window that records what the loop does to it, in one log shared by all windows of a test.
class RecordingWindow : public Window {
public:
    RecordingWindow(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    ~RecordingWindow() {
        SDL_DestroyRenderer(renderer);
        SDL_DestroyWindow(sdlWindow);
    }

    void quit() override {
        ++quits;
        log_.push_back(name_ + ".quit");
    }
    void update(std::uint32_t& elapsedMs) override {
        ++updates;
        elapsed.push_back(elapsedMs);
        log_.push_back(name_ + ".update");
        if (onUpdate) onUpdate(*this);
        // A loop that never ends would hang the suite; fail instead.
        if (updates >= 300) {
            runaway = true;
            closed = true;
        }
    }
    void render() override {
        ++renders;
        log_.push_back(name_ + ".render");
        if (onRender) onRender(*this);
    }
    void handleEvent(const SDL_Event& event) override {
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
            log_.push_back(name_ + ".close-event");
            closedWhenCloseArrived = closed;
            hiddenWhenCloseArrived = (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_HIDDEN) != 0;
        }
        if (event.type == kTestEvent) log_.push_back(name_ + ".event" + std::to_string(event.user.code));
        if (event.type == SDL_QUIT) log_.push_back(name_ + ".sdl-quit");
        if (onEvent) onEvent(*this, event);
    }

    std::function<void(RecordingWindow&)> onUpdate;
    std::function<void(RecordingWindow&)> onRender;
    std::function<void(RecordingWindow&, const SDL_Event&)> onEvent;
    int updates = 0;
    int renders = 0;
    int quits = 0;
    bool runaway = false;
    bool closedWhenCloseArrived = false;
    bool hiddenWhenCloseArrived = false;
    std::vector<std::uint32_t> elapsed;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

void pushTestEvent(int code) {
    SDL_Event event{};
    event.type = kTestEvent;
    event.user.code = code;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void pushCloseEvent(Uint32 windowId) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = windowId;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Closes the window once it has been updated `frames` times.
std::function<void(RecordingWindow&)> closeAfter(int frames) {
    return [frames](RecordingWindow& w) {
        if (w.updates == frames) w.closed = true;
    };
}

// Keeps only the log entries that start with one of the given prefixes.
std::vector<std::string> only(const std::vector<std::string>& log, const std::string& mark) {
    std::vector<std::string> out;
    for (const auto& entry : log)
        if (entry.find(mark) != std::string::npos) out.push_back(entry);
    return out;
}

class MainLoopTest : public SdlTest {
protected:
    void run(std::vector<Window*> windows) {
        FPSmanager limiter{};
        runMainLoop(windows, limiter);
        quitWindows(windows);
    }
    std::vector<std::string> log;
};

TEST_F(MainLoopTest, FrameHandsAllEventsToEveryWindowThenUpdatesAndRendersEachInListOrder) {
    RecordingWindow a("a", log), b("b", log);
    a.onUpdate = closeAfter(2);
    pushTestEvent(1);
    pushTestEvent(2);
    run({&a, &b});

    const std::vector<std::string> expected = {
        "a.event1", "b.event1", "a.event2", "b.event2", "a.update", "a.render", "b.update", "b.render",
        "a.update", "b.update", "b.render", "a.quit", "b.quit"};
    std::vector<std::string> relevant;
    for (const auto& e : log)
        if (e.find("close-event") == std::string::npos) relevant.push_back(e);
    EXPECT_EQ(relevant, expected);
}

TEST_F(MainLoopTest, CloseEventHidesTheWindowBeforeItsHandlerSeesItAndNoLaterEventReachesIt) {
    RecordingWindow keeper("keeper", log), target("target", log);
    SDL_ShowWindow(target.sdlWindow);
    pushCloseEvent(SDL_GetWindowID(target.sdlWindow));
    // Events pushed in later frames must no longer reach the closed window.
    keeper.onUpdate = [](RecordingWindow& w) {
        if (w.updates < 3) pushTestEvent(w.updates);
        if (w.updates == 4) w.closed = true;
    };
    run({&keeper, &target});

    EXPECT_TRUE(target.closedWhenCloseArrived);
    EXPECT_TRUE(target.hiddenWhenCloseArrived);
    EXPECT_EQ(only(log, "target.close-event").size(), 1u);
    EXPECT_TRUE(only(log, "target.event").empty());
    EXPECT_EQ(only(log, "keeper.event"), (std::vector<std::string>{"keeper.event1", "keeper.event2"}));
    // Closed, it is still updated every frame but never rendered.
    EXPECT_EQ(target.updates, 4);
    EXPECT_EQ(target.renders, 0);
    EXPECT_EQ(target.quits, 1);
    EXPECT_FALSE(keeper.runaway);
}

TEST_F(MainLoopTest, CloseEventOfTheFirstWindowEndsTheLoopAfterThatFrame) {
    RecordingWindow first("first", log);
    pushCloseEvent(SDL_GetWindowID(first.sdlWindow));
    run({&first});
    EXPECT_EQ(first.updates, 1);
    EXPECT_EQ(first.renders, 0);
    EXPECT_EQ(first.quits, 1);
}

TEST_F(MainLoopTest, WindowClosedWhileEventsAreHandledIsUpdatedButNotRendered) {
    RecordingWindow w("w", log);
    w.onEvent = [](RecordingWindow& self, const SDL_Event& event) {
        if (event.type == kTestEvent) self.closed = true;
    };
    pushTestEvent(7);
    run({&w});
    EXPECT_EQ(only(log, "w."), (std::vector<std::string>{"w.event7", "w.update", "w.quit"}));
}

TEST_F(MainLoopTest, WindowClosedInsideItsOwnUpdateIsNotRenderedThatFrame) {
    RecordingWindow w("w", log);
    w.onUpdate = closeAfter(3);
    run({&w});
    EXPECT_EQ(w.updates, 3);
    EXPECT_EQ(w.renders, 2);
}

TEST_F(MainLoopTest, QuitEventAloneDoesNotEndTheLoop) {
    RecordingWindow w("w", log);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    w.onUpdate = closeAfter(3);
    run({&w});
    EXPECT_EQ(only(log, "w.sdl-quit").size(), 1u);
    EXPECT_EQ(w.updates, 3);
    EXPECT_FALSE(w.runaway);
}

TEST_F(MainLoopTest, CloseEventNamingNoListedWindowClosesNothingAndReachesEveryOpenWindow) {
    RecordingWindow a("a", log), b("b", log);
    pushCloseEvent(SDL_GetWindowID(a.sdlWindow) + SDL_GetWindowID(b.sdlWindow) + 1000);
    a.onUpdate = closeAfter(2);
    run({&a, &b});
    EXPECT_EQ(only(log, "close-event"), (std::vector<std::string>{"a.close-event", "b.close-event"}));
    EXPECT_FALSE(a.closedWhenCloseArrived);
    EXPECT_FALSE(b.closed);
    EXPECT_EQ(a.updates, 2);
}

TEST_F(MainLoopTest, QuitRunsOnceForEveryWindowClosedOrNotAfterTheLastFrame) {
    RecordingWindow a("a", log), b("b", log), c("c", log);
    b.onUpdate = closeAfter(1);
    a.onUpdate = closeAfter(3);
    run({&a, &b, &c});
    EXPECT_EQ(a.quits, 1);
    EXPECT_EQ(b.quits, 1);
    EXPECT_EQ(c.quits, 1);
    EXPECT_FALSE(c.closed);
    const std::vector<std::string> tail(log.end() - 3, log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"a.quit", "b.quit", "c.quit"}));
}

TEST_F(MainLoopTest, FirstFrameElapsedTimeCountsFromSdlStart) {
    RecordingWindow w("w", log);
    std::uint32_t ticksInFirstUpdate = 0;
    w.onUpdate = [&](RecordingWindow& self) {
        if (self.updates == 1) ticksInFirstUpdate = SDL_GetTicks();
        if (self.updates == 3) self.closed = true;
    };
    SDL_Delay(80);
    const std::uint32_t ticksBeforeLoop = SDL_GetTicks();
    run({&w});
    ASSERT_EQ(w.elapsed.size(), 3u);
    EXPECT_GE(w.elapsed[0], ticksBeforeLoop);
    EXPECT_LE(w.elapsed[0], ticksInFirstUpdate);
    // Later frames count from the previous frame, at most a few frame lengths.
    EXPECT_LT(w.elapsed[2], ticksBeforeLoop + 1000);
}

// The flag is taken where it is read: input that arrives after a window looked in one frame is
// there for the next, whatever else that frame still does (drawing, writing files).
TEST_F(MainLoopTest, InputArrivingAfterTheLookWaitsForTheNextFrame) {
    RecordingWindow a("a", log), b("b", log);
    std::vector<std::string> seen;
    const auto take = [&](const char* where) { seen.push_back(std::string(where) + (takeInput().seen ? "=1" : "=0")); };
    a.onUpdate = [&](RecordingWindow& self) {
        take("update");
        if (self.updates == 3) self.closed = true;
    };
    a.onRender = [&](RecordingWindow& self) {
        if (self.updates == 1) inputSeen = true;  // a key pressed while the frame draws
    };
    inputSeen = true;
    run({&a, &b});
    EXPECT_EQ(seen, (std::vector<std::string>{"update=1", "update=1", "update=0"}));
    EXPECT_FALSE(inputSeen);

    // The time of the first input goes with the flag, and a second take finds nothing.
    firstInputTime = 1234;
    inputSeen = true;
    const HookedInput first = takeInput();
    EXPECT_TRUE(first.seen);
    EXPECT_EQ(first.firstAt, 1234u);
    EXPECT_FALSE(takeInput().seen);
}

}  // namespace

TEST(StartOptions, OnlyTheStartupShortcutsArgumentMeansASignIn) {
    const struct {
        std::vector<std::string> args;
        bool atSignIn;
    } cases[] = {
        {{"ArdenoTime.exe"}, false},
        {{"ArdenoTime.exe", "/sign-in"}, true},
        {{"ArdenoTime.exe", "/SIGN-IN"}, true},
        {{"ArdenoTime.exe", "other", "/sign-in"}, true},
        {{"ArdenoTime.exe", "/sign-in-later"}, false},
        {{"/sign-in"}, false},  // the program's own name, not an argument
    };
    for (const auto& c : cases) {
        std::vector<char*> argv;
        for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
        EXPECT_EQ(startedAtSignIn(static_cast<int>(argv.size()), argv.data()), c.atSignIn) << c.args.back();
    }
}

// An overlay that is always on screen must not hold the system's timer at 1 ms all day.
TEST(SystemTimer, SdlIsToldToLeaveItsResolutionAlone) {
    useCoarseSystemTimer();
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
    EXPECT_STREQ(SDL_GetHint(SDL_HINT_TIMER_RESOLUTION), "0");
    SDL_Quit();
}
