// Measures the main loop's frame pacing: the mean and worst frame length while frames finish in
// time, and the frame lengths right after one late frame (there must be no burst of short frames).
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "app/command_line.h"
#include "app/main_loop.h"
#include "app/window.h"

namespace {

constexpr int kFrames = 150;
constexpr int kLateFrame = 90;
constexpr Uint32 kLateByMs = 120;

class TimingWindow : public Window {
public:
    void update(std::uint32_t&) override {
        starts.push_back(static_cast<double>(SDL_GetPerformanceCounter()) * 1000.0 /
                         static_cast<double>(SDL_GetPerformanceFrequency()));
        if (starts.size() == kLateFrame) SDL_Delay(kLateByMs);
        if (starts.size() == kFrames) closed = true;
    }
    std::vector<double> starts;
};

}  // namespace

int main() {
    SDL_SetMainReady();
    useCoarseSystemTimer();  // as the program runs
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    auto* window = new TimingWindow();
    std::vector<Window*> windows{window};
    FPSmanager limiter{};
    runMainLoop(windows, limiter);

    std::vector<double> lengths;
    for (std::size_t i = 1; i < window->starts.size(); ++i)
        lengths.push_back(window->starts[i] - window->starts[i - 1]);
    // Steady part: skip the first frame (it initialises the limiter) and stop before the late one.
    const std::vector<double> steady(lengths.begin() + 1, lengths.begin() + kLateFrame - 2);
    const double mean = std::accumulate(steady.begin(), steady.end(), 0.0) / static_cast<double>(steady.size());
    const double worst = *std::max_element(steady.begin(), steady.end());
    std::printf("frame pacing: %zu steady frames, mean %.2f ms (%.1f fps), worst %.2f ms\n", steady.size(), mean,
                1000.0 / mean, worst);
    std::printf("frame pacing: late frame took %.2f ms; the 6 frames after it:", lengths[kLateFrame - 1]);
    double shortest = 1e9;
    for (int i = kLateFrame; i < kLateFrame + 6; ++i) {
        std::printf(" %.2f", lengths[i]);
        shortest = std::min(shortest, lengths[i]);
    }
    std::printf(" ms (shortest %.2f ms: %s)\n", shortest, shortest > 20.0 ? "no burst" : "BURST");
    SDL_Quit();
    return 0;
}
