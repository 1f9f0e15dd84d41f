// A time of day (seconds since midnight), or no time. Shown "HH:MM:SS" on a 24-hour clock.
// In the value carrier it is the number HHMMSS, and no time is -1, so midnight (0) and no
// time stay apart.
#pragma once

#include "kwcommon/values/kwData.h"

#include <optional>

class kwTime : public kwData {
public:
    // No time.
    kwTime() = default;
    // From a user's text; empty text, or text that is no time, gives no time.
    explicit kwTime(std::string_view text);
    // Seconds since midnight; outside 0..86399 gives no time.
    explicit kwTime(int secondsSinceMidnight);
    kwTime(int hour, int minute, int second); // an impossible time gives no time

    // The current local time (xd_get_time).
    static kwTime Now();

    const std::optional<int>& Seconds() const { return _seconds; }
    // false (unchanged) outside 0..86399.
    bool SetSeconds(int secondsSinceMidnight);
    void SetNow();
    int Hour() const;   // 0 when there is no time
    int Minute() const; // 0 when there is no time
    int Second() const; // 0 when there is no time

    short TypeCode() const override; // XIO_TIME
    // "HH:MM:SS"; "" for no time.
    std::string Format() const override;
    // Empty or blank text: no time. Otherwise H:MM or H:MM:SS (hour of one or two digits,
    // minutes and seconds of two), optionally followed by "am"/"pm" (or "a"/"p", any case,
    // a blank before it allowed; the hour is then 1..12, and a lone hour such as "3pm" is
    // taken too). Without it the hour is 0..23. Anything else answers false and leaves the
    // value unchanged.
    bool Set(std::string_view text) override;
    bool IsNull() const override { return !_seconds.has_value(); }
    void Clear() override { _seconds.reset(); }
    // By time of day, no time first; other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwTime>(*this); }
    // The number HHMMSS; -1 for no time.
    void ToXval(x_value_def& value) const override;
    // A number: HHMMSS, or -1 for no time; anything else answers false. A text: as Set reads it.
    bool FromXval(const x_value_def& value) override;
    // From another kwTime only.
    bool CopyFrom(const kwData& other) override;

private:
    std::optional<int> _seconds;
};
