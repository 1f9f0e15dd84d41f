// A replaceable piece of the program's surroundings: a modal dialog, the clock, the mail
// library, a wait. The program calls through the seam; while nothing replaces it, the seam
// is empty and the program does the real thing. Tests (and scripted runs) replace it only
// through a guard, which puts back what was there before when it goes out of scope, so no
// replacement outlives the test that made it and nothing has to be reset by hand.
//
//     auto logOn = kwLogOnDlg::Runner().Replace([](kwLogOnDlg& dialog) { ... return 1; });
//     auto today = xd_pin_now(2026y / 12 / 9);
//
// Guards nest: an inner replacement hides an outer one until the inner guard goes. A seam
// is used from the program's one thread.
#pragma once

#include <functional>
#include <utility>

template <typename Signature>
class kwSeam;

template <typename Result, typename... Args>
class kwSeam<Result(Args...)> {
public:
    using Function = std::function<Result(Args...)>;

    class [[nodiscard]] Guard {
    public:
        Guard(kwSeam& seam, Function replacement)
            : _seam(&seam), _previous(std::exchange(seam._replacement, std::move(replacement))) {}
        ~Guard() {
            if (_seam) _seam->_replacement = std::move(_previous);
        }
        Guard(Guard&& other) noexcept : _seam(std::exchange(other._seam, nullptr)), _previous(std::move(other._previous)) {}
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        Guard& operator=(Guard&&) = delete;

    private:
        kwSeam* _seam;
        Function _previous;
    };

    // Replaces the real thing until the answered guard goes out of scope.
    Guard Replace(Function replacement) { return Guard(*this, std::move(replacement)); }

    // True while something replaces the real thing.
    explicit operator bool() const { return static_cast<bool>(_replacement); }
    // Calls the replacement (only while there is one).
    Result operator()(Args... args) const { return _replacement(std::forward<Args>(args)...); }

private:
    Function _replacement;
};
