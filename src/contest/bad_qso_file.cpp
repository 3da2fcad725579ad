#include "contest/bad_qso_file.h"

#include <vector>

namespace {

std::string Line(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    return line;
}

// The file's lines; a pass without a file name has nothing to read.
Files::ReadResult ReadFileLines(Files& files, const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    return path.empty() ? Files::ReadResult::unreadable : ReadLines(files, path, lines);
}

}  // namespace

std::string_view BadQsoReason(IntakeVerdict v) {
    // In the order of IntakeVerdict.
    static constexpr std::string_view kReasons[] = {"", "WRONG BAND", "WRONG MODE", "NO RX NUMBER", "DUPE"};
    return kReasons[static_cast<int>(v)];
}

std::string BadQsoLine(const QsoArgs& q, IntakeVerdict v) {
    if (v == IntakeVerdict::accepted) return {};
    const std::string sep = "  ";
    std::string line = "QSO:  ";
    line += std::to_string(q.freqHz / 1000);
    const std::string timeText = FormatTime(q.time, kBadQsoTimePattern);
    for (std::string_view field : {q.mode, std::string_view(timeText), q.myCall, q.rstSent, q.exchSent, q.call,
                                   q.rstRcvd}) {
        line += sep;
        line += field;
    }
    line += sep;
    line += q.exchRcvd;
    // The reason follows the received exchange after three blanks of its own.
    line += "   ";
    line += BadQsoReason(v);
    line += " !!!";
    return line;
}

std::string BadQsoFileName(const DateTime& end) {
    return "BadQSO_StatsVERDAWW_" + FormatTime(end, "%d_%m_%Y") + ".txt";
}

bool CreateBadQsoFile(Files& files, const std::string& path) {
    return !path.empty() && files.Create(path, Line(kBadQsoHeaderAtReset));
}

bool AppendBadQsoLine(Files& files, const std::string& path, std::string_view line) {
    return !path.empty() && files.Append(path, Line(line));
}

bool RewriteBadQsoFileWithout(Files& files, const std::string& path, std::string_view text1, std::string_view text2) {
    std::vector<std::string> lines;  // none when the file is missing
    if (ReadFileLines(files, path, lines) == Files::ReadResult::unreadable)
        return false;  // keep its lines rather than lose them
    // Built whole first and swapped in, so a failed write cannot cut the old file short.
    std::string text = Line(kBadQsoHeaderAtRemoval);
    // A file deleted in mid-pass starts again with a QSO line, not a header: only a
    // header is dropped, never a QSO's line.
    const bool header = !lines.empty() && lines[0].rfind(kBadQsoHeaderAtReset, 0) == 0;
    for (std::size_t i = header ? 1 : 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.find(text1) != std::string::npos && l.find(text2) != std::string::npos) continue;
        text += Line(l);
    }
    return files.ReplaceWhole(path, text);
}

int CountRejectedLines(Files& files, const std::string& path) {
    std::vector<std::string> lines;
    ReadFileLines(files, path, lines);  // none when it cannot be read
    int count = 0;
    for (const auto& l : lines)
        if (l.find(BadQsoReason(IntakeVerdict::dupe)) == std::string::npos && l.find("UBN") == std::string::npos)
            ++count;
    return count;
}
