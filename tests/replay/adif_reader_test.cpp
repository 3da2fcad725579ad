// The log readers: ADIF as other logging programs write it, Cabrillo QSO lines,
// and the messages that bad files get.
#include <gtest/gtest.h>

#include "log_file.h"

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

TEST(AdifReader, HeaderIsOptionalAndMayStartWithATag) {
    const std::string record = "<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:4>1200<BAND:3>20m<EOR>";
    EXPECT_EQ(ReadLogFile(record, "x.adi").qsos.size(), 1u);
    EXPECT_EQ(ReadLogFile("<ADIF_VER:5>3.1.0<EOH>" + record, "x.adi").qsos.size(), 1u);
    EXPECT_EQ(ReadLogFile("\xEF\xBB\xBFheader <EOH>" + record + "<EOR>\n", "x.adi").qsos.size(), 1u);
}

TEST(AdifReader, BadFilesNameTheFileTheRecordAndTheFault) {
    const std::string ok = "<QSO_DATE:8>20210307<TIME_ON:4>1200<BAND:3>20m";
    const struct {
        std::string text, message;
    } cases[] = {
        {"<CALL:4>K5ZD" + ok + "<EOR>\n<CALL:10>OH2", "x.adi: line 2: the field CALL wants 10 characters but the file ends first (truncated?)"},
        {"<CALL:4>K5ZD" + ok + "<EOR>\n\n<CALL:4>OH2B" + ok, "x.adi: record 2 (line 3) is not closed by <EOR> (truncated?)"},
        {ok + "<EOR>", "x.adi: record 1 (line 1): no CALL"},
        {"<CALL:4>K5ZD<QSO_DATE:8>20210230<TIME_ON:4>1200<EOR>", "x.adi: record 1 (line 1): QSO_DATE 20210230 TIME_ON 1200 is no valid date and time"},
        {"<CALL:4>K5ZD<QSO_DATE:6>210307<TIME_ON:4>1200<EOR>", "x.adi: record 1 (line 1): QSO_DATE \"210307\" is not a date YYYYMMDD"},
        {"<CALL:4>K5ZD<QSO_DATE:8>20210307<TIME_ON:3>120<EOR>", "x.adi: record 1 (line 1): TIME_ON \"120\" is not a time HHMM or HHMMSS"},
        {"<CALL:4>K5ZD" + ok + "<FREQ:4>14,1<EOR>", "x.adi: record 1 (line 1): FREQ \"14,1\" is not a frequency in MHz"},
        {"<CALL:x>K5ZD<EOR>", "x.adi: line 1: the field CALL has no valid length"},
        {"<CALL:4>K5ZD" + ok + "<EOR>\n<CALL:4", "x.adi: line 2: a tag that is never closed by '>'"},
        {"<CALL>K5ZD<EOR>", "x.adi: line 1: the tag <CALL> has no length"},
        {"a header without its end\n<CALL:4>K5ZD<EOR>", "x.adi: no <EOH> ends the header (is this an ADIF file?)"},
        {"<CALL:4>K5ZD" + ok + "<EOR><EOH>", "x.adi: line 1: <EOH> after the first record"},
    };
    for (const auto& c : cases) {
        try {
            ReadLogFile(c.text, "x.adi");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(CabrilloReader, ReadsQsoLinesAndTheOwnCall) {
    const std::string text =
        "START-OF-LOG: 3.0\r\nCALLSIGN: SM5XYZ\r\nCONTEST: VERDA-WW-DX CONTEST\r\n"
        "QSO: 14085 RY 2021-03-06 1201 SM5XYZ        599 0001   OH2BH         579 0042\r\n"
        "QSO:  7040 RY 2021-03-06 1305 SM5XYZ        599 0002   K5ZD          599 0233\r\n"
        "END-OF-LOG:\r\n";
    const LogFile log = ReadLogFile(text, "x.cbr");
    EXPECT_EQ(log.stationCall, "SM5XYZ");
    ASSERT_EQ(log.qsos.size(), 2u);
    const LogQso& q = log.qsos[1];
    EXPECT_EQ(q.line, 5);
    EXPECT_EQ(q.call, "K5ZD");
    EXPECT_EQ(q.band, "40m");
    EXPECT_EQ(q.mode, "RTTY");
    EXPECT_EQ(q.freqHz, 7040000u);
    EXPECT_EQ(When(q), "2021-03-06 130500");
    EXPECT_EQ(q.exchSent, "0002");
    EXPECT_EQ(q.exchRcvd, "0233");

    try {
        ReadLogFile("START-OF-LOG: 3.0\nQSO: 14085 RY 2021-03-06 1201 SM5XYZ 599 0001 OH2BH 579\n", "x.cbr");
        ADD_FAILURE();
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(),
                     "x.cbr: line 2: a QSO line needs 10 fields (freq mode date time call rst exch call rst exch), "
                     "found 9");
    }
}

}  // namespace
