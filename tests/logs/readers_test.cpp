// The log readers: ADIF as other logging programs write it, Cabrillo QSO lines,
// and the messages that bad files get.
#include <gtest/gtest.h>

#include <cstdio>

#include "logs/input_error.h"
#include "logs/log_file.h"

namespace {

std::string When(const LogQso& q) { return FormatTime(q.time, "%Y-%m-%d %H%M%S"); }

TEST(AdifReader, ReadsRecordsWhateverTheCaseJunkAndFieldOrder) {
    const std::string text =
        "Exported by a logger\r\n<ADIF_VER:5>3.1.4 <programid:4>Test\r\n<EOH>\r\n"
        "<call:5>oh2bh <qso_date:8>20210306 <time_on:4>1201 <band:3>20M <mode:4>rtty\r\n"
        "<freq:9:N>14.085123 <rst_sent:3>599 <RST_RCVD:3>579 <STX:1>7 <STX_STRING:4>0007 <SRX_STRING:4>0042\r\n"
        "<STATION_CALLSIGN:6>sm5xyz <COMMENT:12>a <b> inside <EOR>\r\n"
        "junk between records\r\n"
        "<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:6>235959<FREQ:4>7.04<MODE:4>RTTY<SRX:3>233<EOR>"
        "<CALL:6>JA1XYZ<QSO_DATE:8>20210307<TIME_ON:4>0001<BAND:3>40m<MODE:5>PSK31<EOR>";
    const LogFile log = ReadLogFile(text, "x.adi");
    ASSERT_EQ(log.qsos.size(), 3u);
    EXPECT_EQ(log.stationCall, "SM5XYZ");

    const LogQso& a = log.qsos[0];
    EXPECT_EQ(a.record, 1);
    EXPECT_EQ(a.line, 4);
    EXPECT_EQ(a.call, "OH2BH");
    EXPECT_EQ(When(a), "2021-03-06 120100");
    EXPECT_EQ(a.band, "20m");  // the plug-in's dupe test tells "20M" from "20m"
    EXPECT_EQ(a.mode, "RTTY");
    EXPECT_EQ(a.freqHz, 14085123u);
    EXPECT_EQ(a.rstSent, "599");
    EXPECT_EQ(a.rstRcvd, "579");
    EXPECT_EQ(a.exchSent, "0007");  // the string form wins over the number
    EXPECT_EQ(a.exchRcvd, "0042");

    const LogQso& b = log.qsos[1];
    EXPECT_EQ(When(b), "2021-03-07 235959");
    EXPECT_EQ(b.band, "40m");  // from the frequency
    EXPECT_EQ(b.freqHz, 7040000u);
    EXPECT_EQ(b.exchSent, "");
    EXPECT_EQ(b.exchRcvd, "233");
    EXPECT_EQ(b.rstSent, "");

    EXPECT_EQ(log.qsos[2].freqHz, 7000000u);  // no FREQ: the band's lower edge
    EXPECT_EQ(log.qsos[2].mode, "PSK31");
}

TEST(AdifReader, HeaderIsOptionalAndMayStartWithATagBlanksOrABom) {
    const std::string record = "<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:4>1200<BAND:3>20m<EOR>";
    for (const std::string& text : {record, "<ADIF_VER:5>3.1.0<EOH>" + record,
                                    "\xEF\xBB\xBFheader <EOH>" + record + "<EOR>\n", "\r\n  " + record,
                                    "\xEF\xBB\xBF\n" + record})
        EXPECT_EQ(ReadLogFile(text, "x.adi").qsos.size(), 1u) << text;
}

// LoTW ends its downloads with <APP_LoTW_EOF>; other programs write <EOF>.
TEST(AdifReader, TagsWithoutALengthAreIgnored) {
    const LogFile log = ReadLogFile(
        "ARRL Logbook of the World Status Report\n<PROGRAMID:4>LoTW\n<eoh>\n"
        "<CALL:4>K5ZD\n<BAND:3>40M\n<QSO_DATE:8>20210307\n<TIME_ON:6>120000\n<eor>\n<APP_LoTW_EOF>\n<EOF>\n",
        "lotw.adi");
    ASSERT_EQ(log.qsos.size(), 1u);
    EXPECT_TRUE(log.skipped.empty());
    EXPECT_EQ(log.qsos[0].band, "40m");
}

// Up to the top of the ADIF band table, with no 32-bit overflow on the way.
TEST(AdifReader, FrequenciesOfAnySizeNameTheirBand) {
    const auto read = [](const std::string& freq) {
        return ReadLogFile("<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:4>1200<FREQ:" + std::to_string(freq.size()) +
                               ">" + freq + "<EOR>",
                           "x.adi");
    };
    const struct {
        std::string freq, band;
        std::uint64_t hz;
    } cases[] = {{"10368.100", "3cm", 10368100000u}, {"1296.2", "23cm", 1296200000u},
                 {"7500000", "submm", 7500000000000u}, {"15.0", "", 15000000u}};
    for (const auto& c : cases) {
        const LogFile log = read(c.freq);
        ASSERT_EQ(log.qsos.size(), 1u) << c.freq;
        EXPECT_EQ(log.qsos[0].band, c.band) << c.freq;
        EXPECT_EQ(log.qsos[0].freqHz, c.hz) << c.freq;
    }
    const LogFile above = read("7500001");
    ASSERT_EQ(above.skipped.size(), 1u);
    EXPECT_EQ(above.skipped[0].reason, "FREQ 7500001 MHz is above the highest band");
}

// Each record that cannot be scored is listed with its reason; the others around it are read.
TEST(AdifReader, RecordsThatCannotBeScoredAreSkipped) {
    const std::string ok = "<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:4>1200<BAND:3>20m<EOR>\n";
    const std::string dt = "<QSO_DATE:8>20210307<TIME_ON:4>1200";
    const struct {
        std::string record, reason;
    } cases[] = {
        {dt + "<BAND:3>20m<EOR>", "no CALL"},
        {"<CALL:4>OH2B<TIME_ON:4>1200<EOR>", "no QSO_DATE"},
        {"<CALL:4>OH2B<QSO_DATE:8>20210307<EOR>", "no TIME_ON"},
        {std::string("<CALL:5>OH\0" "2B", 14) + dt + "<EOR>", "CALL \"OH\\x002B\" holds a control byte"},
        {"<CALL:4>OH2B<QSO_DATE:8>20210230<TIME_ON:4>1200<EOR>", "QSO_DATE 20210230 TIME_ON 1200 is no valid date and time"},
        {"<CALL:4>OH2B<QSO_DATE:6>210307<TIME_ON:4>1200<EOR>", "QSO_DATE \"210307\" is not a date YYYYMMDD"},
        {"<CALL:4>OH2B<QSO_DATE:8>20210307<TIME_ON:3>120<EOR>", "TIME_ON \"120\" is not a time HHMM or HHMMSS"},
        {"<CALL:4>OH2B" + dt + "<FREQ:4>14,1<EOR>", "FREQ \"14,1\" is not a frequency in MHz"},
        {"<CALL:4>OH2B" + dt + "<BAND:3>20x<EOR>", "BAND \"20x\" is no band"},
    };
    for (const auto& c : cases) {
        const LogFile log = ReadLogFile(ok + c.record + "\n" + ok, "x.adi");
        EXPECT_EQ(log.qsos.size(), 2u) << c.reason;
        ASSERT_EQ(log.skipped.size(), 1u) << c.reason;
        EXPECT_EQ(log.skipped[0].record, 2);
        EXPECT_EQ(log.skipped[0].line, 2);
        EXPECT_EQ(log.skipped[0].reason, c.reason);
        EXPECT_EQ(log.qsos[1].record, 3);
    }
    const LogFile cut = ReadLogFile(ok + "<CALL:4>OH2B" + dt, "x.adi");
    ASSERT_EQ(cut.skipped.size(), 1u);
    EXPECT_EQ(cut.skipped[0].reason, "not closed by <EOR> (the file may be truncated)");
}

// A length counted on CR LF in a file whose line ends are now LF: where the bare
// LFs make up the difference the value reads whole, otherwise only its record is
// lost.
TEST(AdifReader, LengthsCountedOnCrLfReadWhereTheyFitAndCostOnlyTheirRecordWhereNot) {
    const std::string ok = "<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:4>1200<BAND:3>20m<EOR>\n";
    const LogFile fits = ReadLogFile("<COMMENT:10>two\nlines" + ok + ok, "x.adi");
    EXPECT_EQ(fits.qsos.size(), 2u);
    EXPECT_TRUE(fits.skipped.empty());

    const LogFile over = ReadLogFile(ok + "<COMMENT:14>two\nlines" + ok + ok, "x.adi");
    ASSERT_EQ(over.qsos.size(), 2u);
    ASSERT_EQ(over.skipped.size(), 1u);
    EXPECT_EQ(over.skipped[0].record, 2);
    EXPECT_EQ(over.skipped[0].reason, "the field COMMENT runs into the next tag: its length counts more characters "
                                      "than it holds (were the line ends changed, CR LF to LF?)");
    EXPECT_EQ(over.qsos[1].record, 3);
}

// Only a file whose fields cannot be told apart stops the run, in one clean line.
TEST(AdifReader, FilesUnreadableAsAWholeAreRefusedWithTheLikelyCause) {
    const std::string ok = "<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:4>1200<BAND:3>20m<EOR>\n";
    const struct {
        std::string text, message;
    } cases[] = {
        {ok + "<CALL:10>OH2", "x.adi: line 2: the field CALL wants 10 characters but the file ends first (truncated?)"},
        {"<CALL:x>K5ZD<EOR>", "x.adi: line 1: the field CALL has no valid length"},
        {ok + "<CALL:4", "x.adi: line 2: the file ends inside a tag (truncated?)"},
        {"<COMMENT:9>two\r\nlines" + ok, ""},
        {"a preamble without <EOH>\n" + ok, ""},
        {"Dear contest manager,\nplease find my log attached.\n",
         "x.adi: not an ADIF or Cabrillo file (no ADIF field, no START-OF-LOG: begins a Cabrillo log)"},
        {std::string("\x7F" "ELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0", 20), "x.adi: not an ADIF or Cabrillo file (it holds binary data)"},
    };
    for (const auto& c : cases) {
        try {
            ReadLogFile(c.text, "x.adi");
            EXPECT_EQ(c.message, "") << "accepted: " << c.text;
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

// A UTF-16 export reads as the 8-bit text it holds.
TEST(AdifReader, Utf16FilesAreDecoded) {
    const std::string ascii = "<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:4>1200<NAME:4>J\xF6rg<BAND:3>20m<EOR>";
    std::string le = "\xFF\xFE", be;
    for (char c : ascii) {
        le += c;
        le += '\0';
        be += '\0';
        be += c;
    }
    for (const std::string& text : {le, be}) {
        const LogFile log = ReadLogFile(text, "x.adi");
        ASSERT_EQ(log.qsos.size(), 1u);
        EXPECT_EQ(log.qsos[0].call, "K5ZD");
    }
}

// Cabrillo QSO lines of the plug-in's own file and of other programs and contests.
TEST(CabrilloReader, FindsTheReceivedCallWhereTheReceivedExchangeStarts) {
    const struct {
        std::string line, call, rst, exch, sent, band;
    } cases[] = {
        {"QSO: 14085 RY 2021-03-06 1201 SM5XYZ        599 0001   OH2BH         579 0042", "OH2BH", "579", "0042", "0001", "20m"},
        {"QSO: 3799 PH 2000-10-26 0711 AA1ZZZ 05 K9QZO 04", "K9QZO", "", "04", "05", "80m"},
        {"QSO: 14085 RY 2019-09-28 0000 W1XX 599 05 MA K1YY 599 05 CT", "K1YY", "599", "CT", "MA", "20m"},
        {"QSO: 14085 RY 2019-09-28 0000 W1XX 599 05 MA K1YY 599 05 CT 1", "K1YY", "599", "CT", "MA", "20m"},
        {"QSO: 21042 CW 1997-11-01 2102 N5KO 3 B 74 SCV N6TR 2 A 74 OR", "N6TR", "2", "OR", "SCV", "15m"},
        {"QSO: 21031 CW 2025-07-12 1215 GB0WR         599 27     RC2O          599 29     0", "RC2O", "599", "29", "27", "15m"},
        {"QSO: 07284 PH 2021-11-20 2206 KI2D          0017 U 20 ENY WT9U          0087 U 75 IN ", "WT9U", "0087", "IN", "ENY", "40m"},
        {"QSO: 1.2G PH 2021-06-12 1800 W1AW FN31 K1ABC FN42", "K1ABC", "", "FN42", "FN31", "23cm"},
        {"QSO: 50 PH 2021-06-12 1800 W1AW FN31 K1ABC FN42", "K1ABC", "", "FN42", "FN31", "6m"},
        {"QSO: 2M PH 2021-06-12 1800 W1AW FN31 K1ABC FN42", "K1ABC", "", "FN42", "FN31", "2m"},
        // A sponsor's archive: more fields received than sent.
        {"QSO: 28026 CW 2014-12-20 1429 9A1CRT  599 0001  VE1RGB  599 0029 NA", "VE1RGB", "599", "NA", "0001", "10m"},
    };
    for (const auto& c : cases) {
        const LogFile log = ReadLogFile("START-OF-LOG: 3.0\nCALLSIGN: X1X\n" + c.line + "\nEND-OF-LOG:\n", "x.cbr");
        ASSERT_EQ(log.qsos.size(), 1u) << c.line << (log.skipped.empty() ? "" : log.skipped[0].reason);
        const LogQso& q = log.qsos[0];
        EXPECT_EQ(q.call, c.call) << c.line;
        EXPECT_EQ(q.rstRcvd, c.rst) << c.line;
        EXPECT_EQ(q.exchRcvd, c.exch) << c.line;
        EXPECT_EQ(q.exchSent, c.sent) << c.line;
        EXPECT_EQ(q.band, c.band) << c.line;
        EXPECT_EQ(q.line, 3);
    }

    const std::string ss = "START-OF-LOG: 3.0\nQSO: 21042 CW 1997-11-01 2102 N5KO 3 B 74 SCV N6TR 2 A 74 OR\n";
    const LogFile first = ReadLogFile(ss, "x.cbr", {1});
    ASSERT_EQ(first.qsos.size(), 1u);
    EXPECT_EQ(first.qsos[0].exchRcvd, "2");
    EXPECT_EQ(first.qsos[0].exchSent, "3");
    const LogFile uneven = ReadLogFile(
        "START-OF-LOG: 3.0\nQSO: 28026 CW 2014-12-20 1429 9A1CRT  599 0001  VE1RGB  599 0029 NA\n", "x.cbr", {2});
    ASSERT_EQ(uneven.qsos.size(), 1u);
    EXPECT_EQ(uneven.qsos[0].exchRcvd, "0029");
    EXPECT_EQ(uneven.qsos[0].exchSent, "0001");
}

// Lines as the plug-in writes them ("QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s"),
// blanks in any column included, read back exactly.
TEST(CabrilloReader, ReadsBackThePluginsOwnLinesWithEmptyColumns) {
    const struct {
        int freq;
        const char *rstSent, *exchSent, *rstRcvd, *exchRcvd;
    } cases[] = {{14085, "", "0001", "579", "0042"}, {7040, "599", "", "599", "0042"},
                 {144300, "599", "0001", "599", ""}, {3505, "", "", "", ""}};
    for (const auto& c : cases) {
        char line[200];
        std::snprintf(line, sizeof line, "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n", c.freq, "RY",
                      "2021-03-06 1201", "SM5XYZ", c.rstSent, c.exchSent, "OH2BH", c.rstRcvd, c.exchRcvd);
        const LogFile log = ReadLogFile(std::string("START-OF-LOG: 3.0\r\n") + line + "END-OF-LOG:\r\n", "x.cbr");
        ASSERT_EQ(log.qsos.size(), 1u) << line;
        const LogQso& q = log.qsos[0];
        EXPECT_EQ(q.call, "OH2BH") << line;
        EXPECT_EQ(q.stationCall, "SM5XYZ") << line;
        EXPECT_EQ(q.rstSent, c.rstSent) << line;
        EXPECT_EQ(q.exchSent, c.exchSent) << line;
        EXPECT_EQ(q.rstRcvd, c.rstRcvd) << line;
        EXPECT_EQ(q.exchRcvd, c.exchRcvd) << line;
        EXPECT_EQ(q.freqHz, static_cast<std::uint64_t>(c.freq) * 1000) << line;
    }
}

TEST(CabrilloReader, LinesThatCannotBeSplitForCertainAreSkipped) {
    const struct {
        std::string line, reason;
    } cases[] = {
        {"QSO: 14085 RY 2021-03-06 1201 SM5XYZ 599 0001 OH2BH 579",
         "its exchange cannot be split for certain (a blank field, or sent and received exchanges of different lengths)"},
        {"QSO: 14085 RY 2021-03-06 1201 SM5XYZ", "a QSO line needs at least 6 fields (freq mode date time call call), found 5"},
        {"QSO: 14085 RY  SM5XYZ        599 0001   OH2BH         579 0042", "\"SM5XYZ\" is not a date YYYY-MM-DD"},
        {"QSO: LIGHT RY 2021-03-06 1201 SM5XYZ 599 0001 OH2BH 579 0042", "\"LIGHT\" is not a frequency in kHz or a band"},
        {"QSO: 14085 RY 2021-03-06 1201 SM5XYZ 599 0001 OH2BH 579 0042", ""},
    };
    for (const auto& c : cases) {
        const LogFile log = ReadLogFile("START-OF-LOG: 3.0\n" + c.line + "\n", "x.cbr");
        if (c.reason.empty()) {
            EXPECT_EQ(log.qsos.size(), 1u);
            continue;
        }
        ASSERT_EQ(log.skipped.size(), 1u) << c.line;
        EXPECT_EQ(log.skipped[0].line, 2);
        EXPECT_EQ(log.skipped[0].reason, c.reason);
    }
    const LogFile few = ReadLogFile("START-OF-LOG: 3.0\nQSO: 3799 PH 2000-10-26 0711 AA1ZZZ 05 K9QZO 04\n", "x.cbr", {2});
    ASSERT_EQ(few.skipped.size(), 1u);
    EXPECT_EQ(few.skipped[0].reason, "it has no exchange field 2");
}

}  // namespace
