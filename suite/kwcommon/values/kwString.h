// The base of the text values (kwAlpha, kwText): UTF-8 text with an optional maximum width
// in bytes (0 = none), cut on a character boundary, compared with or without regard to the
// case of ASCII letters. It also replaces term codes ("<262F>") by the company's custom
// field descriptions.
#pragma once

#include "kwcommon/values/kwData.h"

#include <cstddef>
#include <string>
#include <string_view>

class kwString : public kwData {
public:
    short TypeCode() const override; // XIO_TEXT
    std::string Format() const override { return _text; }
    // Takes the text, cut to the width on a UTF-8 boundary. false when it had to cut; the
    // cut text is kept.
    bool Set(std::string_view text) override;
    bool IsNull() const override { return _text.empty(); }
    void Clear() override { _text.clear(); }
    // Against another text: byte order, ASCII letters folded when this value is not case
    // sensitive. Against other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    // The text (at most 81 bytes, cut on a character boundary).
    void ToXval(x_value_def& value) const override;
    // The carrier's text (a number as its "%.15g" text), as Set takes it.
    bool FromXval(const x_value_def& value) override;
    // From any text value, cut to the width (true even when it had to cut: the kinds fit);
    // false, unchanged, for other kinds.
    bool CopyFrom(const kwData& other) override;

    const std::string& Text() const { return _text; }
    size_t Width() const { return _width; }
    // A new width cuts the text already held (false when it had to cut).
    bool SetWidth(size_t width);
    bool CaseSensitive() const { return _caseSensitive; }
    void SetCaseSensitive(bool caseSensitive) { _caseSensitive = caseSensitive; }

    // The text with every term code replaced by the company's description (xk_description).
    std::string ReplaceCustomDescriptions() const { return ReplaceTermCodes(_text); }

    // Term codes, the suite's one scanner for them (the component library's kclRepTermCode
    // and every window label use it). A term code is "<" + code (decimal, 16-bit) +
    // optionally "." and a second number + any of the letters A, F, I, P + ">". F: first
    // character upper case; I: every word capitalised (x_init_caps); A: all upper case (the
    // last of these three letters counts); P: plural (x_pluralize), applied before the
    // capitals. "<<" stands for one "<" and starts no code. Scanning from the start, each
    // "<" opens a code that the next ">" closes; when what stands between them is no code,
    // or the company has no description for it, it stays as it is and the scan goes on
    // after the ">". A "<" without a ">" after it ends the scan, leaving the rest unchanged.
    static std::string ReplaceTermCodes(std::string_view text);

    // The capitalisation styles of term codes (numbered as the component library's
    // kclCapStyle): ASCII letters only, so the text keeps its length.
    enum CapStyle : short { CapAsIs = 0, CapFirst = 1, CapWords = 2, CapAll = 3 };
    static void ApplyCapStyle(std::string& text, short style);

    struct TermCode {
        short code = 0;
        short sub = 0; // the second number, 0 for none
        bool plural = false;
        short style = CapAsIs;
    };
    // The company's description of a term code (that of the plain code when the second
    // number has none of its own), made plural and capitalised; "" when it has none.
    static std::string TermCodeDescription(const TermCode& term);

protected:
    kwString(std::string_view text, size_t width, bool caseSensitive);

private:
    std::string _text;
    size_t _width = 0;
    bool _caseSensitive = true;
};
