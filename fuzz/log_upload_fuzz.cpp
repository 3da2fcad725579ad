// An uploaded log's bytes as any client may send them: read for its receipt,
// refused only as a log that cannot be taken (422), and its receipt in every
// form; the page and the JSON stay UTF-8, and a taken call is one a path can
// never be made of.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/utf8_text.h"
#include "log_receipt.h"
#include "logs/cty_dat.h"

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8SequenceLength(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CountryFile cty = CountryFile::Parse(
        "Finland: 15: 18: EU: 61.4: -24.8: -2.0: OH:\n OH,=OH2BH;\n"
        "Sweden: 14: 18: EU: 58.9: -15.3: -1.0: SM:\n SM;\n",
        "fuzz.dat");
    CheckSettings settings;
    if (size % 2) {
        Period p;
        p.first = 60 * 24 * 44261;  // 2021-03-06
        p.last = p.first + 48 * 60;
        settings.contest.periods = {p};
    }
    Receipt r;
    try {
        r = ReadReceipt(std::string_view(reinterpret_cast<const char*>(data), size), cty, settings);
    } catch (const LogRefused& refused) {
        if (refused.status != 422) std::abort();
        return 0;
    }
    if (r.call.empty() || r.call.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/") != std::string::npos ||
        r.call.find("..") != std::string::npos)
        std::abort();
    r.link = "/log/0123456789abcdef0123456789abcdef";
    ReceiptText(r);
    if (!IsUtf8(ReceiptJson(r)) || !IsUtf8(ReceiptHtml(r, "fuzz"))) std::abort();
    return 0;
}
