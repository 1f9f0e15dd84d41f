// The data library's value carrier: every field value moves between the record buffer
// and a typed value through one of these. It holds either a text of up to 81 bytes
// (UTF-8, cut on a character boundary) or a double.
#pragma once

#include <string>
#include <string_view>

constexpr int X_VALUE_TEXT_MAX = 81;

enum x_value_kind : short {
    X_VALUE_TEXT = 0,
    X_VALUE_NUMBER = 1,
};

struct x_value_def {
    short kind = X_VALUE_TEXT;
    char text[X_VALUE_TEXT_MAX + 1] = {};
    double number = 0.0;

    static x_value_def OfText(std::string_view value) {
        x_value_def made;
        made.SetText(value);
        return made;
    }
    static x_value_def OfNumber(double value) {
        x_value_def made;
        made.SetNumber(value);
        return made;
    }

    void SetText(std::string_view value); // cut to 81 bytes on a UTF-8 boundary
    void SetNumber(double value);
    bool IsText() const { return kind == X_VALUE_TEXT; }
    bool IsNumber() const { return kind == X_VALUE_NUMBER; }
    // The text, or the number written as text ("%.15g").
    std::string AsText() const;
    // The number, or the text read as a number (0 when it is none).
    double AsNumber() const;
};

// Cuts a UTF-8 text to at most maxBytes bytes without splitting a character.
std::string x_utf8_cut(std::string_view text, size_t maxBytes);
