// The replay plan: options, own station, contest dates, the reject summary and
// the Cabrillo header file.
#include <gtest/gtest.h>

#include "cabrillo_header.h"
#include "ledger.h"
#include "logs/cty_dat.h"
#include "replay_plan.h"
#include "resources/resource.h"
#include "logs/adif_reader.h"
#include "logs/input_error.h"

namespace {

const CountryFile& SmallCty() {
    static const CountryFile cty = CountryFile::Parse(
        "Sweden: 14: 18: EU: 58.9: -15.3: -1.0: SM:\n SM,7S;\n"
        "Finland: 15: 18: EU: 61.4: -24.8: -2.0: OH:\n OH;\n",
        "small.dat");
    return cty;
}

LogFile TwoQsos() {
    return ReadAdifLog(
        "<CALL:5>OH2BH<QSO_DATE:8>20210307<TIME_ON:4>1015<BAND:3>20m<MODE:5>PSK31<STATION_CALLSIGN:6>SM5XYZ<EOR>\n"
        "<CALL:4>K5ZD<QSO_DATE:8>20210306<TIME_ON:4>0002<BAND:3>20m<MODE:4>RTTY<EOR>\n",
        "log.adi");
}

std::string Fmt(const DateTime& t) { return FormatTime(t, "%Y-%m-%d %H%M"); }

std::string ErrorOf(const std::vector<std::string>& args) {
    try {
        ParseOptions(args);
    } catch (const InputError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(ReplayPlan, OwnStationAndDatesComeFromTheLogUnlessGiven) {
    ReplayOptions options = ParseOptions({"log.adi"});
    ReplayPlan plan = MakePlan(TwoQsos(), SmallCty(), options);
    EXPECT_EQ(plan.myCall, "SM5XYZ");
    EXPECT_EQ(plan.me.country, "SM");
    EXPECT_EQ(plan.me.continent, "EU");
    EXPECT_EQ(Fmt(plan.start), "2021-03-06 0002");  // the span, not the order of the log
    EXPECT_EQ(Fmt(plan.end), "2021-03-07 1015");
    EXPECT_EQ(BadQsoFileName(plan.end), "BadQSO_StatsVERDAWW_07_03_2021.txt");
    ASSERT_EQ(plan.qsos.size(), 2u);
    EXPECT_EQ(plan.qsos[0].station.country, "OH");
    EXPECT_EQ(plan.unknownCalls, std::vector<std::string>{"K5ZD"});

    options = ParseOptions({"--mycall", "oh2bh", "log.adi", "--start", "2021-03-06", "--end", "2021-03-08 23:59",
                            "--workdir", "w", "--cabrillo", "--header", "h.txt"});
    plan = MakePlan(TwoQsos(), SmallCty(), options);
    EXPECT_EQ(plan.myCall, "OH2BH");
    EXPECT_EQ(plan.me.country, "OH");
    EXPECT_EQ(Fmt(plan.start), "2021-03-06 0000");
    EXPECT_EQ(Fmt(plan.end), "2021-03-08 2359");
    EXPECT_EQ(options.workdir, "w");
    EXPECT_EQ(options.headerFile, "h.txt");
}

TEST(ReplayPlan, BadArgumentsAndLogsAreRefused) {
    EXPECT_EQ(ErrorOf({}), "no log file given");
    EXPECT_EQ(ErrorOf({"a.adi", "--frobnicate"}), "unknown option --frobnicate");
    EXPECT_EQ(ErrorOf({"a.adi", "--end", "2021-02-30"}),
              "--end \"2021-02-30\" is not a date YYYY-MM-DD or \"YYYY-MM-DD HHMM\"");
    EXPECT_EQ(ErrorOf({"a.adi", "--header", "h.txt"}), "--header needs --cabrillo or --live");
    EXPECT_EQ(ErrorOf({"a.adi", "--windows", "--band", "30m"}), "--band \"30m\" is not one of 160m, 80m, 40m, 20m, 15m, 10m");
    EXPECT_EQ(ErrorOf({"a.adi", "--band", "20m"}), "--band needs --windows");

    auto planError = [](const LogFile& log, std::vector<std::string> args) -> std::string {
        try {
            MakePlan(log, SmallCty(), ParseOptions(args));
        } catch (const InputError& e) {
            return e.what();
        }
        return "accepted";
    };
    EXPECT_EQ(planError(LogFile{}, {"log.adi"}), "log.adi: no QSO records");
    EXPECT_EQ(planError(LogFile{{}, {{1, 1, "no CALL"}}, "SM5XYZ"}, {"log.adi"}),
              "log.adi: no QSO record could be read (1 skipped)");
    EXPECT_EQ(planError(TwoQsos(), {"log.adi", "--start", "2021-03-08", "--end", "2021-03-09"}),
              "log.adi: no QSO inside the contest period 2021-03-08 0000 to 2021-03-09 0000");
    LogFile anonymous = TwoQsos();
    anonymous.stationCall.clear();
    EXPECT_EQ(planError(anonymous, {"log.adi"}),
              "log.adi: the log does not name the own station (STATION_CALLSIGN); give --mycall");
    EXPECT_EQ(planError(TwoQsos(), {"log.adi", "--start", "2021-03-09"}),
              "the contest start 2021-03-09 0000 is after its end 2021-03-07 1015");
}

// --windows: the band given in any usual spelling, or the busiest of the log
// (the lower on a tie; off-contest bands never count); /? asks for the help.
TEST(ReplayPlan, TheWindowsBandAndTheHelp) {
    EXPECT_EQ(ParseOptions({"a.adi", "--windows", "--band", " 40M "}).band, "40m");
    EXPECT_EQ(ParseOptions({"a.adi", "--windows", "--band", "160"}).band, "160m");
    EXPECT_TRUE(ParseOptions({"/?"}).help);

    ReplayPlan plan;
    EXPECT_EQ(BusiestBand(plan), "160m");
    for (const char* band : {"30m", "30m", "30m", "15m", "80m", "15m", "80m"}) {
        PlannedQso p;
        p.qso.band = band;
        plan.qsos.push_back(p);
    }
    EXPECT_EQ(BusiestBand(plan), "80m");
}

TEST(ReplayPlan, EmptyHeaderWarningNamesTheLines) {
    EXPECT_EQ(EmptyHeaderWarning({}), "");
    EXPECT_EQ(EmptyHeaderWarning({"EMAIL"}).rfind("Warning: the Cabrillo file's EMAIL line will be empty;", 0), 0u);
    EXPECT_EQ(EmptyHeaderWarning({"NAME", "ADDRESS", "EMAIL"}).rfind("Warning: the Cabrillo file's NAME, ADDRESS and EMAIL lines", 0), 0u);
}

// QSOs outside --start / --end are left out and listed; an end without a time takes the whole day.
TEST(ReplayPlan, TheContestPeriodLeavesQsosOutAndTheSummaryCountsThem) {
    LogFile log = TwoQsos();
    log.skipped.push_back({3, 7, "no TIME_ON"});
    ReplayPlan plan = MakePlan(log, SmallCty(), ParseOptions({"log.adi", "--start", "2021-03-06 0003", "--end", "2021-03-07"}));
    ASSERT_EQ(plan.qsos.size(), 1u);
    EXPECT_EQ(plan.qsos[0].qso.call, "OH2BH");
    EXPECT_EQ(SkipSummary(plan),
              "Records skipped (they cannot be scored): 1\n"
              "  record 3     line 7      no TIME_ON\n"
              "QSOs outside the contest period (left out): 1\n"
              "  record 2     line 2      2021-03-06 0002  20m   RTTY   K5ZD\n"
              "QSOs replayed: 1, records skipped: 1, outside the contest period: 1\n");
    EXPECT_EQ(Fmt(plan.end), "2021-03-07 0000");  // as the plug-in gets it

    plan = MakePlan(log, SmallCty(), ParseOptions({"log.adi", "--start", "2021-03-06 0002", "--end", "2021-03-07 1014"}));
    ASSERT_EQ(plan.qsos.size(), 1u);
    EXPECT_EQ(plan.qsos[0].qso.call, "K5ZD");
    EXPECT_EQ(MakePlan(log, SmallCty(), ParseOptions({"log.adi", "--end", "2021-03-07 1015"})).qsos.size(), 2u);

    EXPECT_EQ(ParseOptions({"log.cbr", "--exchange-field", "3"}).exchangeField, 3);
    EXPECT_EQ(ErrorOf({"log.cbr", "--exchange-field", "5"}), "--exchange-field \"5\" is not 1, 2, 3 or 4");
}

TEST(ReplayPlan, RejectSummaryListsEachQsoWithItsReason) {
    const ReplayPlan plan = MakePlan(TwoQsos(), SmallCty(), ParseOptions({"log.adi"}));
    Ledger ledger;
    for (const auto& p : plan.qsos) ledger.rows.emplace_back().qso = &p.qso;
    EXPECT_EQ(RejectSummary(ledger), "No QSO rejected, no dupes.\n");
    ledger.rows[0].verdict = IntakeVerdict::wrongMode;
    ledger.rows[1].verdict = IntakeVerdict::dupe;
    EXPECT_EQ(RejectSummary(ledger),
              "Rejected and dupe QSOs: DUPE 1, WRONG MODE 1\n"
              "  record 1     line 1      2021-03-07 1015  20m   PSK31  OH2BH        WRONG MODE\n"
              "  record 2     line 2      2021-03-06 0002  20m   RTTY   K5ZD         DUPE\n");
}

TEST(CabrilloHeader, TagsMapToDialogControlsAndRepeatedLinesJoin) {
    const auto values = ReadCabrilloHeader(
        "# my header\nCATEGORY-POWER: LOW\nNAME:  Erik Svensson \nADDRESS: Storgatan 1\naddress: Box 12\n"
        "SOAPBOX: NICE CONTEST\nSOAPBOX: 73\nCATEGORY: MULTI-OP\n\n",
        "h.txt");
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0].controlId, IDC_CATEGORY_POWER);
    EXPECT_EQ(values[0].text, "LOW");
    EXPECT_EQ(values[1].text, "Erik Svensson");
    EXPECT_EQ(values[2].text, "Storgatan 1<CR>Box 12");
    EXPECT_EQ(values[3].text, "NICE CONTEST\r\n73");
    EXPECT_EQ(values[4].controlId, IDC_CATEGORY_OPERATOR);

    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {"NAME: A\nno colon here\n", "h.txt: line 2: expected \"TAG: value\""},
             {"CLAIMED-SCORE: 5\n", "h.txt: line 1: unknown header tag CLAIMED-SCORE"}}) {
        try {
            ReadCabrilloHeader(text, "h.txt");
            ADD_FAILURE() << text;
        } catch (const InputError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

}  // namespace
