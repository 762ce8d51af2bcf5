// The number and text conversions on any text and any double: they never fail where they
// promise not to, agree with each other, and every number written reads back.
//
// Input: byte 0 chooses the conversion; for the double conversions bytes 1-8 are the double and
// the rest is a pattern; otherwise the rest is the text.

#include "FuzzSupport.h"

#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using namespace orvanta;

// numberText and signedNumberText read back to within their fifteen significant digits: half a
// unit in the 15th digit (5e-15 of a mantissa of 1), and the rounding of the reading.
void checkNumberTextReadsBack(double value)
{
    if (!std::isfinite(value))
        return;
    for (const std::string& text : {numberText(value), signedNumberText(value)}) {
        const Converted<double> back = textToDouble(text);
        ORVANTA_FUZZ_CHECK(back.ok());
        ORVANTA_FUZZ_CHECK(std::fabs(back.value() - value) <= 5.25e-15 * std::fabs(value));
    }
}

// Formatting never fails; padding gives exactly the width asked for (at most 32767).
void checkFormatting(double value, std::string_view pattern)
{
    const std::string text = formatNumber(value, pattern);
    for (const double width : {0.0, 1.0, 14.0, static_cast<double>(pattern.size()), -3.0, 1e300})
        ORVANTA_FUZZ_CHECK(padToWidth(text, width).size() ==
                           static_cast<std::size_t>(std::clamp(std::round(width), 0.0, 32767.0)));
}

void checkReading(std::string_view text)
{
    (void)leadingNumber(text); // never fails
    const Converted<double> number = textToDouble(text);
    ORVANTA_FUZZ_CHECK(looksNumeric(text) == number.ok());
    const Converted<std::int16_t> whole = textToInt16(text);
    if (!number.ok()) {
        ORVANTA_FUZZ_CHECK(!whole.ok());
        return;
    }
    ORVANTA_FUZZ_CHECK(std::isfinite(number.value()));
    if (whole.ok())
        ORVANTA_FUZZ_CHECK(std::fabs(whole.value() - number.value()) <= 0.5);
    else
        ORVANTA_FUZZ_CHECK(whole.error() == ConversionError::Overflow);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view rest = fuzz::bytesOf(data + 1, size - 1);
    if (data[0] % 2 == 0 || rest.size() < sizeof(double)) {
        checkReading(rest);
        return 0;
    }
    double value = 0.0;
    std::memcpy(&value, rest.data(), sizeof value);
    checkNumberTextReadsBack(value);
    checkFormatting(value, rest.substr(sizeof value));
    return 0;
}
