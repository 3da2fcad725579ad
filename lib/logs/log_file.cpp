#include "logs/log_file.h"

#include "logs/adif_reader.h"
#include "logs/cabrillo_reader.h"
#include "logs/input_error.h"
#include "logs/text.h"

namespace {

std::string_view WithoutBom(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

bool StartsCabrillo(std::string_view text) {
    text = WithoutBom(text);
    const auto first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && ToUpper(text.substr(first, 13)) == "START-OF-LOG:";
}

// Text files hold line ends and now and then a stray control byte in a field;
// a file of many is no log at all.
bool LooksBinary(std::string_view text) {
    const std::string_view head = text.substr(0, 4096);
    std::size_t controls = 0;
    for (unsigned char c : head)
        if (IsControlByte(c) && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != 0x1A) ++controls;
    return controls * 16 > head.size();
}

}  // namespace

LogFile ReadLogFile(std::string_view text, const std::string& name, const ReadOptions& options) {
    std::string decoded;
    if (DecodeUtf16(text, decoded)) text = decoded;
    if (LooksBinary(text)) throw InputError(name + ": not an ADIF or Cabrillo file (it holds binary data)");
    return StartsCabrillo(text) ? ReadCabrilloLog(WithoutBom(text), name, options) : ReadAdifLog(text, name);
}
