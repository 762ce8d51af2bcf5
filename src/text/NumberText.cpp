#include "text/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// Every conversion here works on its own digit strings or through std::to_chars and
// std::from_chars, which ignore the locale: a report or file reads the same on every machine.

namespace orvanta {

namespace {

constexpr int numberTextDigits = 15;
// numberText writes magnitudes d.ddd x 10^e plainly for e in this range, 1E-04 to 9.99E+14.
constexpr int smallestPlainExponent = -4;
constexpr int largestPlainExponent = 14;
constexpr double widestField = 32767.0;

std::string nonFiniteText(double value)
{
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

template <typename Number>
std::string integerText(Number value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isSign(char c) { return c == '+' || c == '-'; }
bool isExponentLetter(char c) { return c == 'E' || c == 'e'; }

// ---------------------------------------------------------------------------------------------
// Exact decimal digits of a double and their rounding

// A non-negative number as value = 0.d1d2d3... x 10^pointPosition, without leading or trailing
// zeros; no digits stand for zero.
struct DecimalDigits {
    std::string digits;
    int pointPosition = 0;

    bool isZero() const { return digits.empty(); }
    int size() const { return static_cast<int>(digits.size()); }
    // The digit at index (0 is the first significant digit), '0' outside the digits.
    char at(int index) const { return index >= 0 && index < size() ? digits[static_cast<std::size_t>(index)] : '0'; }
};

void dropTrailingZeros(DecimalDigits& number)
{
    const auto last = number.digits.find_last_not_of('0');
    number.digits.erase(last == std::string::npos ? 0 : last + 1);
    if (number.isZero())
        number.pointPosition = 0;
}

// The exact decimal expansion of a finite non-negative double. A double is a binary fraction, so
// its expansion ends after as many fraction digits as its lowest set bit lies below 2^0; printed
// with that many digits it needs no rounding at all.
DecimalDigits exactDecimal(double magnitude)
{
    DecimalDigits number;
    if (magnitude == 0.0)
        return number;
    int binaryExponent = 0;
    const double fraction = std::frexp(magnitude, &binaryExponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int lowestBit = binaryExponent - 53 + std::countr_zero(mantissa);
    const int fractionDigits = std::max(0, -lowestBit);

    std::string text(static_cast<std::size_t>(fractionDigits) + 400, '\0'); // 309 integer digits at most
    const auto end = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                   std::chars_format::fixed, fractionDigits)
                         .ptr;
    text.resize(static_cast<std::size_t>(end - text.data()));

    const auto point = text.find('.');
    const std::size_t integerLength = point == std::string::npos ? text.size() : point;
    if (point != std::string::npos)
        text.erase(point, 1);
    const std::size_t firstSignificant = text.find_first_not_of('0');
    number.digits = text.substr(firstSignificant);
    number.pointPosition = static_cast<int>(integerLength) - static_cast<int>(firstSignificant);
    dropTrailingZeros(number);
    return number;
}

// Keeps the first keep significant digits and rounds off the rest, halves away from zero. The
// digits are exact, so a first dropped digit of 5 or more means at least half a unit.
void roundToDigits(DecimalDigits& number, int keep)
{
    if (keep >= number.size())
        return;
    if (keep < 0) {
        number = {};
        return;
    }
    const bool roundUp = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        while (!number.digits.empty() && number.digits.back() == '9')
            number.digits.pop_back();
        if (number.digits.empty()) {
            number.digits = "1";
            ++number.pointPosition;
        } else {
            ++number.digits.back();
        }
    }
    dropTrailingZeros(number);
}

// Whether number lies beyond the largest double, as the largest doubles do once rounded up in
// their 15th digit (1.79769313486232E+308).
bool beyondDoubleRange(const DecimalDigits& number)
{
    if (number.pointPosition < std::numeric_limits<double>::max_exponent10 + 1)
        return false;
    const std::string text = "0." + number.digits + "e" + std::to_string(number.pointPosition);
    double value = 0.0;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec ==
           std::errc::result_out_of_range;
}

// Keeps the first keep significant digits and drops the rest.
void cutToDigits(DecimalDigits& number, int keep)
{
    if (keep < number.size())
        number.digits.resize(static_cast<std::size_t>(keep));
    dropTrailingZeros(number);
}

// ---------------------------------------------------------------------------------------------
// Patterns

enum class TokenKind { WholePlace, Point, FractionPlace, ExponentMarker, ExponentPlace, Literal };

struct PatternToken {
    TokenKind kind;
    char symbol;       // '0' or '#' for places, the letter of a marker, the character of a literal
    char sign = '\0';  // '+' or '-' after the exponent letter
};

struct Pattern {
    std::vector<PatternToken> tokens;
    std::string wholePlaces;    // the '0'/'#' of each place before the point, left to right
    std::string fractionPlaces;
    std::string exponentPlaces;
    bool scientific = false;
};

Pattern parsePattern(std::string_view text)
{
    enum class Part { Whole, Fraction, Exponent };
    Pattern pattern;
    Part part = Part::Whole;
    bool numberStarted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '0' || c == '#') {
            numberStarted = true;
            if (part == Part::Whole) {
                pattern.tokens.push_back({TokenKind::WholePlace, c});
                pattern.wholePlaces += c;
            } else if (part == Part::Fraction) {
                pattern.tokens.push_back({TokenKind::FractionPlace, c});
                pattern.fractionPlaces += c;
            } else {
                pattern.tokens.push_back({TokenKind::ExponentPlace, c});
                pattern.exponentPlaces += c;
            }
        } else if (c == '.' && part == Part::Whole) {
            numberStarted = true;
            pattern.tokens.push_back({TokenKind::Point, c});
            part = Part::Fraction;
        } else if (isExponentLetter(c) && part != Part::Exponent && numberStarted &&
                   i + 1 < text.size() && isSign(text[i + 1])) {
            pattern.tokens.push_back({TokenKind::ExponentMarker, c, text[i + 1]});
            pattern.scientific = true;
            part = Part::Exponent;
            ++i;
        } else {
            pattern.tokens.push_back({TokenKind::Literal, c});
        }
    }
    return pattern;
}

// The digits a pattern shows, before they are put into its places.
struct ShownDigits {
    std::string whole;     // digits before the point, without leading zeros (empty for none)
    std::string fraction;  // one digit per fraction place
    std::string exponent;  // the exponent's magnitude (scientific patterns)
    bool exponentNegative = false;
    bool isZero = true;    // whether every shown digit is zero
};

ShownDigits fixedDigits(DecimalDigits number, int fractionPlaces)
{
    roundToDigits(number, number.pointPosition + fractionPlaces);
    ShownDigits shown;
    shown.isZero = number.isZero();
    for (int i = 0; i < number.pointPosition; ++i)
        shown.whole += number.at(i);
    for (int i = 0; i < fractionPlaces; ++i)
        shown.fraction += number.at(number.pointPosition + i);
    return shown;
}

// The mantissa gets exactly as many whole digits as the pattern has places before the point;
// a pattern without any mantissa place still shows one digit.
ShownDigits scientificDigits(DecimalDigits number, int wholePlaces, int fractionPlaces)
{
    const int wholeDigits = wholePlaces + fractionPlaces == 0 ? 1 : wholePlaces;
    roundToDigits(number, wholeDigits + fractionPlaces);
    ShownDigits shown;
    shown.isZero = number.isZero();
    const int exponent = shown.isZero ? 0 : number.pointPosition - wholeDigits;
    if (!shown.isZero) {
        for (int i = 0; i < wholeDigits; ++i)
            shown.whole += number.at(i);
    }
    for (int i = 0; i < fractionPlaces; ++i)
        shown.fraction += number.at(wholeDigits + i);
    shown.exponent = integerText(std::abs(exponent));
    shown.exponentNegative = exponent < 0;
    return shown;
}

// Right-aligns digits in a run of places: a place shows the digit that falls on it, an empty
// "0" place a zero and an empty "#" place nothing. Digits beyond the places all go in front of
// the first place, so a number is never cut.
std::vector<std::string> wholePlaceTexts(std::string_view places, std::string_view digits)
{
    std::vector<std::string> texts(places.size());
    const std::size_t overflow = digits.size() > places.size() ? digits.size() - places.size() : 0;
    const std::size_t fitting = digits.size() - overflow;
    for (std::size_t k = 0; k < places.size(); ++k) {
        const std::size_t fromRight = places.size() - 1 - k;
        if (fromRight < fitting)
            texts[k] = digits[digits.size() - 1 - fromRight];
        else if (places[k] == '0')
            texts[k] = "0";
    }
    if (!places.empty())
        texts.front().insert(0, digits.substr(0, overflow));
    return texts;
}

// Fraction places show their digits up to the last "0" place or the last nonzero digit,
// whichever comes later: "#" places drop trailing zeros.
std::vector<std::string> fractionPlaceTexts(std::string_view places, std::string_view digits)
{
    const auto lastZeroPlace = places.find_last_of('0');
    const auto lastNonZeroDigit = digits.find_last_not_of('0');
    const std::size_t shownCount =
        std::max(lastZeroPlace == std::string_view::npos ? 0 : lastZeroPlace + 1,
                 lastNonZeroDigit == std::string_view::npos ? 0 : lastNonZeroDigit + 1);
    std::vector<std::string> texts(places.size());
    for (std::size_t k = 0; k < shownCount; ++k)
        texts[k] = digits[k];
    return texts;
}

// Where the whole digits go when the pattern has no place before the point: at the start of
// the number part, or after the pattern when it has none.
std::size_t numberStart(const Pattern& pattern)
{
    const auto& tokens = pattern.tokens;
    const auto first = std::find_if(tokens.begin(), tokens.end(), [](const PatternToken& token) {
        return token.kind != TokenKind::Literal;
    });
    return static_cast<std::size_t>(first - tokens.begin());
}

std::string layOut(const Pattern& pattern, const ShownDigits& shown)
{
    const auto wholeTexts = wholePlaceTexts(pattern.wholePlaces, shown.whole);
    const auto fractionTexts = fractionPlaceTexts(pattern.fractionPlaces, shown.fraction);
    const auto exponentTexts = wholePlaceTexts(pattern.exponentPlaces, shown.exponent);
    const bool wholeWithoutPlaces = pattern.wholePlaces.empty();
    const std::size_t start = numberStart(pattern);

    std::string text;
    std::size_t whole = 0, fraction = 0, exponent = 0;
    for (std::size_t i = 0; i < pattern.tokens.size(); ++i) {
        if (wholeWithoutPlaces && i == start)
            text += shown.whole;
        const PatternToken& token = pattern.tokens[i];
        switch (token.kind) {
        case TokenKind::WholePlace: text += wholeTexts[whole++]; break;
        case TokenKind::Point: text += '.'; break;
        case TokenKind::FractionPlace: text += fractionTexts[fraction++]; break;
        case TokenKind::ExponentPlace: text += exponentTexts[exponent++]; break;
        case TokenKind::Literal: text += token.symbol; break;
        case TokenKind::ExponentMarker:
            text += token.symbol;
            if (shown.exponentNegative)
                text += '-';
            else if (token.sign == '+')
                text += '+';
            if (pattern.exponentPlaces.empty())
                text += shown.exponent;
            break;
        }
    }
    if (wholeWithoutPlaces && start == pattern.tokens.size())
        text += shown.whole;
    return text;
}

// ---------------------------------------------------------------------------------------------
// numberText forms

// "0." and zeros before a fraction, the digits with a point where it falls otherwise.
std::string plainText(const DecimalDigits& number)
{
    if (number.pointPosition <= 0)
        return "0." + std::string(static_cast<std::size_t>(-number.pointPosition), '0') + number.digits;
    std::string text;
    for (int i = 0; i < number.pointPosition; ++i)
        text += number.at(i);
    if (number.pointPosition < number.size())
        text += '.' + number.digits.substr(static_cast<std::size_t>(number.pointPosition));
    return text;
}

std::string exponentText(const DecimalDigits& number, int exponent)
{
    std::string text(1, number.digits.front());
    if (number.size() > 1)
        text += '.' + number.digits.substr(1);
    text += exponent < 0 ? "E-" : "E+";
    const std::string exponentDigits = integerText(std::abs(exponent));
    if (exponentDigits.size() < 2)
        text += '0';
    return text + exponentDigits;
}

// ---------------------------------------------------------------------------------------------
// Reading numbers

// The pieces of a number read from text, before they become a double.
struct NumberParts {
    bool negative = false;
    std::string wholeDigits;
    std::string fractionDigits;
    bool exponentNegative = false;
    std::string exponentDigits;

    bool hasDigits() const { return !wholeDigits.empty() || !fractionDigits.empty(); }
};

// Whether a number that lies outside the range of double lies above it (rather than below).
bool aboveOne(const NumberParts& parts)
{
    long long exponent = 0;
    for (const char c : parts.exponentDigits)
        exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    if (parts.exponentNegative)
        exponent = -exponent;
    long long leadingPower = 0; // the power of ten of the first nonzero digit
    if (const auto first = parts.wholeDigits.find_first_not_of('0'); first != std::string::npos) {
        leadingPower = static_cast<long long>(parts.wholeDigits.size() - 1 - first);
    } else if (const auto firstFraction = parts.fractionDigits.find_first_not_of('0');
               firstFraction != std::string::npos) {
        leadingPower = -static_cast<long long>(firstFraction + 1);
    } else {
        return false;
    }
    return leadingPower + exponent >= 0;
}

// A number too small for a double becomes 0; one too large is an overflow.
Converted<double> partsToDouble(const NumberParts& parts)
{
    std::string text = parts.negative ? "-" : "";
    text += parts.wholeDigits.empty() ? "0" : parts.wholeDigits;
    text += '.' + parts.fractionDigits;
    if (!parts.exponentDigits.empty())
        text += (parts.exponentNegative ? "e-" : "e") + parts.exponentDigits;

    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (aboveOne(parts))
            return Converted<double>::failure(ConversionError::Overflow);
        return Converted<double>::success(0.0);
    }
    if (error != std::errc() || end != text.data() + text.size())
        return Converted<double>::failure(ConversionError::TypeMismatch);
    return Converted<double>::success(value == 0.0 ? 0.0 : value); // no negative zero
}

// Reads digits at pos, for leadingNumber's lenient reading skipping blanks between them.
std::size_t readDigits(std::string_view text, std::size_t& pos, std::string& digits,
                       bool skipBlanks = false)
{
    std::size_t count = 0;
    while (pos < text.size() && (isDigit(text[pos]) || (skipBlanks && isBlank(text[pos])))) {
        if (isDigit(text[pos])) {
            digits += text[pos];
            ++count;
        }
        ++pos;
    }
    return count;
}

void skipBlanks(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
}

// Reads an optional sign at pos; true when it is a minus.
bool readSign(std::string_view text, std::size_t& pos)
{
    if (pos < text.size() && isSign(text[pos]))
        return text[pos++] == '-';
    return false;
}

// leadingNumber's reading: blanks anywhere inside, and it stops at the first other character.
NumberParts readLeadingNumber(std::string_view text)
{
    NumberParts parts;
    std::size_t pos = 0;
    skipBlanks(text, pos);
    parts.negative = readSign(text, pos);
    readDigits(text, pos, parts.wholeDigits, true);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        readDigits(text, pos, parts.fractionDigits, true);
    }
    if (pos < text.size() && isExponentLetter(text[pos])) {
        std::size_t exponentPos = pos + 1;
        skipBlanks(text, exponentPos);
        const bool exponentNegative = readSign(text, exponentPos);
        std::string exponentDigits;
        if (readDigits(text, exponentPos, exponentDigits, true) > 0) {
            parts.exponentNegative = exponentNegative;
            parts.exponentDigits = exponentDigits;
        }
    }
    return parts;
}

// Digits before the point; "," may separate groups of three after a first group of one to
// three digits ("1,234,567"). Anything else, such as "1,5", is no number.
bool readGroupedDigits(std::string_view text, std::size_t& pos, std::string& digits)
{
    std::size_t groupLength = readDigits(text, pos, digits);
    bool grouped = false;
    while (pos < text.size() && text[pos] == ',') {
        if (!grouped && (groupLength == 0 || groupLength > 3))
            return false;
        ++pos;
        groupLength = readDigits(text, pos, digits);
        if (groupLength != 3)
            return false;
        grouped = true;
    }
    return true;
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The strict reading of looksNumeric and textToDouble: the whole text must be the number.
std::optional<NumberParts> readWholeText(std::string_view text)
{
    text = trimBlanks(text);
    NumberParts parts;
    std::size_t pos = 0;
    parts.negative = readSign(text, pos);
    if (!readGroupedDigits(text, pos, parts.wholeDigits))
        return std::nullopt;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        readDigits(text, pos, parts.fractionDigits);
    }
    if (!parts.hasDigits())
        return std::nullopt;
    if (pos < text.size() && isExponentLetter(text[pos])) {
        ++pos;
        parts.exponentNegative = readSign(text, pos);
        if (readDigits(text, pos, parts.exponentDigits) == 0)
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    return parts;
}

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfToEven(double value)
{
    const double lower = std::floor(value);
    const double rest = value - lower; // exact for every double
    if (rest < 0.5)
        return lower;
    if (rest > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

const char* conversionMessage(ConversionError error)
{
    switch (error) {
    case ConversionError::TypeMismatch: return "Type mismatch: the text is not a number";
    case ConversionError::Overflow: return "Overflow: the number is outside the allowed range";
    }
    return "Conversion failed";
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::string formatNumber(double value, std::string_view pattern)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (pattern.empty())
        return numberText(value);
    const Pattern parsed = parsePattern(pattern);
    const DecimalDigits magnitude = exactDecimal(std::fabs(value));
    const ShownDigits shown =
        parsed.scientific
            ? scientificDigits(magnitude, static_cast<int>(parsed.wholePlaces.size()),
                               static_cast<int>(parsed.fractionPlaces.size()))
            : fixedDigits(magnitude, static_cast<int>(parsed.fractionPlaces.size()));
    std::string text = layOut(parsed, shown);
    // A negative value that rounds to zero gets no minus sign: "-0.00" would claim a difference
    // from zero that the digits shown do not have.
    if (value < 0 && !shown.isZero)
        text.insert(0, 1, '-');
    return text;
}

std::string formatNumber(std::string_view text, std::string_view /*pattern*/)
{
    return std::string(text);
}

std::string numberText(double value)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    const DecimalDigits exact = exactDecimal(std::fabs(value));
    DecimalDigits number = exact;
    roundToDigits(number, numberTextDigits);
    // Rounded up, the largest doubles would no longer read back as numbers: they are cut instead.
    if (beyondDoubleRange(number)) {
        number = exact;
        cutToDigits(number, numberTextDigits);
    }
    if (number.isZero())
        return "0";
    const int exponent = number.pointPosition - 1;
    const bool plain = exponent >= smallestPlainExponent && exponent <= largestPlainExponent;
    return (value < 0 ? "-" : "") + (plain ? plainText(number) : exponentText(number, exponent));
}

std::string numberText(long long value) { return integerText(value); }

std::string numberText(unsigned long long value) { return integerText(value); }

std::string signedNumberText(double value)
{
    std::string text = numberText(std::fabs(value));
    if (text.starts_with("0."))
        text.erase(0, 1);
    return (value < 0 ? "-" : " ") + text;
}

std::string padToWidth(std::string_view text, double width)
{
    const double columns = std::min(roundHalfToEven(width), widestField);
    if (!(columns > 0))
        return {};
    const auto size = static_cast<std::size_t>(columns);
    if (text.size() >= size)
        return std::string(text.substr(0, size));
    return std::string(size - text.size(), ' ') + std::string(text);
}

std::string padToWidth(double value, double width) { return padToWidth(numberText(value), width); }

double leadingNumber(std::string_view text)
{
    const NumberParts parts = readLeadingNumber(text);
    if (!parts.hasDigits())
        return 0.0;
    const Converted<double> number = partsToDouble(parts);
    if (number.ok())
        return number.value();
    return parts.negative ? -HUGE_VAL : HUGE_VAL;
}

bool looksNumeric(std::string_view text) { return textToDouble(text).ok(); }

ConversionFailure::ConversionFailure(ConversionError error)
    : std::runtime_error(conversionMessage(error)), error_(error)
{
}

Converted<double> textToDouble(std::string_view text)
{
    const std::optional<NumberParts> parts = readWholeText(text);
    if (!parts)
        return Converted<double>::failure(ConversionError::TypeMismatch);
    return partsToDouble(*parts);
}

Converted<std::int16_t> textToInt16(std::string_view text)
{
    const Converted<double> number = textToDouble(text);
    if (!number)
        return Converted<std::int16_t>::failure(number.error());
    const double rounded = roundHalfToEven(number.value());
    if (rounded < -32768.0 || rounded > 32767.0)
        return Converted<std::int16_t>::failure(ConversionError::Overflow);
    return Converted<std::int16_t>::success(static_cast<std::int16_t>(rounded));
}

} // namespace orvanta
