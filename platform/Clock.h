#pragma once
// Where "now" comes from. Tests pass a fixed clock so that nothing depends on
// the real time of day.
#include <cstdint>
#include <ctime>

namespace tarnwick {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since the epoch.
    virtual std::int64_t now() const = 0;
};

class SystemClock final : public Clock {
public:
    std::int64_t now() const override { return static_cast<std::int64_t>(std::time(nullptr)); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(std::int64_t seconds) : m_seconds(seconds) {}
    std::int64_t now() const override { return m_seconds; }
    void set(std::int64_t seconds) { m_seconds = seconds; }

private:
    std::int64_t m_seconds;
};

}  // namespace tarnwick
