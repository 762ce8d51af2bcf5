#pragma once

// The only conversions between numbers and text. Report columns and every fixed-column file
// field are defined through them, so their rounding and layout rules are part of the results.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace orvanta {

// Writes value by a pattern such as "####0.#####", "0.0000E+00" or "    000) ":
// "0" always shows a digit, "#" only a significant one, "." is the decimal point (written
// even when no "#" after it is used), "E+"/"E-" with "0"s gives scientific notation, every
// other character is copied in place. Rounds the exact decimal value of the double to the last
// digit place, halves away from zero; a negative value gets its minus sign in front of the
// whole result, unless it rounds to zero (no "-0.00"). NaN and infinities give "NaN",
// "Infinity" and "-Infinity" without the pattern; an empty pattern gives numberText(value).
std::string formatNumber(double value, std::string_view pattern);
// A value that is a text (such as "Undefined") is returned unchanged; the pattern is not applied.
std::string formatNumber(std::string_view text, std::string_view pattern);

// Plain text of a number without a leading blank: rounded to 15 significant digits (halves
// away from zero), no trailing zeros, "0." before a fraction. Magnitudes from 1E-04 up to but
// not including 1E+15 (after rounding) are written plainly, all others in exponent form:
// mantissa, "E", sign, at least two exponent digits (1.5E+20, 1E-05). Zero is "0" whatever its
// sign; NaN and infinities are "NaN", "Infinity" and "-Infinity". A magnitude whose rounding
// would leave the range of double is cut after its 15th digit instead (1.79769313486231E+308),
// so that every text it writes reads back with textToDouble.
std::string numberText(double value);
std::string numberText(long long value);
std::string numberText(unsigned long long value);
template <typename Int>
    requires(std::is_integral_v<Int> && !std::is_same_v<Int, long long> &&
             !std::is_same_v<Int, unsigned long long> && !std::is_same_v<Int, bool>)
std::string numberText(Int value)
{
    if constexpr (std::is_signed_v<Int>)
        return numberText(static_cast<long long>(value));
    else
        return numberText(static_cast<unsigned long long>(value));
}

// Like numberText, but one blank in front of zero and positive values, and no zero before the
// decimal point of a magnitude below 1 (" .25", "-.25").
std::string signedNumberText(double value);

// Right-aligns text in exactly width characters; a longer text is cut to its leftmost width
// characters. width is rounded to a whole number with halves to even; a width below 0.5 or NaN
// gives empty text, one above 32767 counts as 32767.
std::string padToWidth(std::string_view text, double width);
std::string padToWidth(double value, double width);

// The number at the start of text, always with "." as decimal point: leading blanks and tabs
// skipped, blanks and tabs inside the number ignored, sign, digits, one point, exponent ("E" or
// "e", sign, digits; an "E" without digits is not part of the number); 0 when there is none.
// Never fails: a magnitude beyond the range of double gives an infinity, one below it 0.
double leadingNumber(std::string_view text);

// Whether text as a whole reads as a number that fits a double: surrounding blanks and tabs,
// sign, digits, "." decimal point, "," thousands separators between groups of three digits
// before the point ("1,234,567.5"), exponent ("E" or "e", sign, digits). The separators are the
// same whatever the locale. Empty or blank text, inner blanks, "1,5" and "NaN" are not numbers.
bool looksNumeric(std::string_view text);

enum class ConversionError { TypeMismatch, Overflow };

// Thrown when a failed conversion's value is used without checking it first.
class ConversionFailure : public std::runtime_error {
public:
    explicit ConversionFailure(ConversionError error);
    ConversionError error() const { return error_; }

private:
    ConversionError error_;
};

// The result of converting user text: a value, or the error that the text caused. Using the
// value of a failed conversion throws ConversionFailure, so an error cannot pass unnoticed.
template <typename T>
class [[nodiscard]] Converted {
public:
    static Converted success(T value) { return Converted(value); }
    static Converted failure(ConversionError error) { return Converted(T{}, error); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    ConversionError error() const { return error_; }
    T value() const
    {
        if (failed_)
            throw ConversionFailure(error_);
        return value_;
    }

private:
    explicit Converted(T value) : value_(value) {}
    Converted(T value, ConversionError error) : value_(value), failed_(true), error_(error) {}

    T value_{};
    bool failed_ = false;
    ConversionError error_ = ConversionError::TypeMismatch;
};

// The number text denotes, read like looksNumeric; TypeMismatch for text that is not a number,
// Overflow for a number beyond the range of double. A number too small for it gives 0.
Converted<double> textToDouble(std::string_view text);

// textToDouble rounded to the nearest integer, halves to the even neighbour; Overflow outside
// -32768..32767.
Converted<std::int16_t> textToInt16(std::string_view text);

} // namespace orvanta
