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
// other character is copied in place. Rounds to the last digit place, halves away from zero;
// a negative value gets its minus sign in front of the whole result.
std::string formatNumber(double value, std::string_view pattern);
// A text that is not a number (such as "Undefined") is returned unchanged.
std::string formatNumber(std::string_view text, std::string_view pattern);

// Plain text of a number without a leading blank: at most 15 significant digits, no trailing
// zeros, "0." before a fraction, exponent form for very large and very small magnitudes.
std::string numberText(double value);
std::string numberText(long long value);
template <typename Int>
    requires(std::is_integral_v<Int> && !std::is_same_v<Int, long long> && !std::is_same_v<Int, bool>)
std::string numberText(Int value)
{
    return numberText(static_cast<long long>(value));
}

// Like numberText, but one blank in front of zero and positive values, and no zero before the
// decimal point of a magnitude below 1 (" .25", "-.25").
std::string signedNumberText(double value);

// Right-aligns text in exactly width characters (width rounded to a whole number); a longer
// text is cut to its leftmost width characters.
std::string padToWidth(std::string_view text, double width);
std::string padToWidth(double value, double width);

// The number at the start of text, always with "." as decimal point: leading blanks and tabs
// skipped, blanks inside the digits ignored, sign, digits, point, exponent; 0 when there is
// none. Never fails.
double leadingNumber(std::string_view text);

// Whether text as a whole reads as a number: surrounding blanks, sign, "." decimal point,
// "," thousands separators and an exponent are allowed; empty text is not a number.
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

// The number text denotes; TypeMismatch for text that looksNumeric rejects.
Converted<double> textToDouble(std::string_view text);

// textToDouble rounded to the nearest integer, halves to the even neighbour; Overflow outside
// -32768..32767.
Converted<std::int16_t> textToInt16(std::string_view text);

} // namespace orvanta
