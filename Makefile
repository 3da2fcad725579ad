# make demo: build Stats.dll and replay the bundled sample log through it.
# make test: build everything and run every test (native, sanitizers, Wine).
# Both install what is missing first (Debian 12, as root). Where the kernel runs
# no i386 program, Wine's 32-bit side runs through qemu-user; EMULATE_I386=1
# sets that up on any kernel (scripts/emulation/setup.sh --off undoes it).

export WINEDEBUG := -all
export WINEPREFIX := $(CURDIR)/build/wine
# No Mono or Gecko prompts: the plug-in needs neither.
export WINEDLLOVERRIDES := mscoree,mshtml=
export EMULATE_I386

.PHONY: live thread-safety all deps test-deps native native-asan native-tsan win32 replay wine-prefix emulation-check installer-check test demo dist fuzz fuzz-build fuzz-check soak clean

all: native win32

deps:
	@scripts/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j2

native-asan: deps
	cmake --preset native-asan >/dev/null
	cmake --build --preset native-asan -j2

native-tsan: deps
	cmake --preset native-tsan >/dev/null
	cmake --build --preset native-tsan -j2

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j2

# Just Stats.dll and replay.exe, for the demo and the zip.
replay: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j2 --target replay

# The first Wine run creates its prefix; do it once, quietly, before the tests,
# and set it up for a display no one looks at: windows unmanaged by a window
# manager, so they come up at once, and no crash debugger.
wine-prefix: deps
	@scripts/wine-prefix.sh N

# Where Wine runs through qemu-user: the mends at work in an i386 program, and
# that the same program fails each check without them.
emulation-check: deps
	@tests/emulation/run.sh

# The HTML report test opens the report in a browser; the installer test makes one.
test-deps: deps
	@scripts/install-deps.sh chromium clang nsis

# Clang checks the lock discipline of the portable code: who holds the contest
# state's lock for which data (base/thread_annotations.h).
CORE_SOURCES := $(wildcard src/base/*.cpp src/contest/*.cpp src/ui/*.cpp) src/module/stats_module.cpp
thread-safety: test-deps
	@for f in $(CORE_SOURCES); do \
		clang++ -std=c++20 -fsyntax-only -Wthread-safety -Werror -Isrc -DSTATS_VERSION='"check"' $$f || exit 1; \
	done; echo "thread-safety: $(words $(CORE_SOURCES)) files checked"

test: native native-asan native-tsan win32 wine-prefix test-deps thread-safety emulation-check fuzz-check installer-check
	ctest --preset native-asan
	ctest --preset native-tsan
	ctest --preset native
	@# A Wine server left from an earlier display would keep our windows on it.
	@wineserver -k 2>/dev/null || true
	xvfb-run -a ctest --preset win32

# The sample's report on the screen; report.html, the analysis page, the ledger,
# the bad-QSO file, the plug-in's ini file and the Cabrillo log (header from
# examples/header.txt) in out/.
demo: replay wine-prefix
	@rm -rf out
	@# Wine's own processes end inside the X session, so none reports its end.
	@xvfb-run -a sh -c 'wine build/win32/bin/replay.exe examples/sample.adi --cty /usr/share/hamradio-files/cty.dat \
		--workdir out/ --html out/report.html --analysis out/analysis.html --ledger out/ledger.csv \
		--cabrillo --header examples/header.txt; s=$$?; wineserver -k; exit $$s'

# The sample contest in fast-forward on a live scoreboard: contest-server on
# 127.0.0.1, replay posting the claimed score as it grew (scripts/live_demo.sh);
# prints the scoreboard's address, and leaves the server running.
live: replay wine-prefix
	cmake --preset native >/dev/null
	cmake --build --preset native -j2 --target contest-server
	@scripts/live_demo.sh

# A zip for operators and its installer beside it: the plug-in and the replay
# program as released (optimised, symbols stripped, in build/win32-release beside
# the tests' build), the country file, MASTER.SCP for the analysis' unique-call
# check (both with Debian's dates, so that the installer's update of them goes by
# age), the sample, a guide, a short README with the version, Windows line ends.
# The installer (installer/VERDA-WW-DX.nsi) takes its files from the same folder.
DIST := build/dist/VERDA-WW-DX
VERSION := $(shell grep -o 'Stats VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)
# The folder the zip and the installer are made of: $(call stage,programs' folder,dist folder).
define stage
	@rm -rf $(2) && mkdir -p $(2)
	cp $(1)/Stats.dll $(1)/replay.exe $(1)/logcheck.exe examples/sample.adi $(2)/
	mkdir -p $(2)/VERDA-WW-DX && cp $(1)/Stats.dll $(2)/VERDA-WW-DX/StatsEngine.dll
	cp -p /usr/share/hamradio-files/cty.dat /usr/share/hamradio-files/MASTER.SCP $(2)/
	sed 's/$$/\r/' docs/GUIDE.txt > $(2)/GUIDE.txt
	sed 's/$$/\r/' examples/header.txt > $(2)/header.txt
	sed 's/$$/\r/' installer/replay-log.cmd > $(2)/replay-log.cmd
	for f in contests/*.toml; do sed 's/$$/\r/' $$f > $(2)/$$(basename $$f); done
	sed 's/$$/\r/' contests/README.md > $(2)/contests.txt
	printf '%s\r\n' "VERDA-WW-DX scoring for Tevo, version $(VERSION)" "" \
		"VERDA-WW-DX-Setup.exe, published beside the zip, installs all of this (GUIDE.txt, section 1)." \
		"By hand: unblock the zip first (Properties, Unblock), then" "" \
		"Stats.dll      the plug-in: copy it and the folder VERDA-WW-DX (its engine, a copy of it)" \
		"               into the Plugins folder under Tevo's working folder" \
		"replay.exe     scores a log with the plug-in: replay.exe sample.adi --cty cty.dat" \
		"               and tries the operator windows without Tevo: replay.exe sample.adi --windows" \
		"replay-log.cmd scores a log dropped on it, or chosen, and opens its analysis page" \
		"logcheck.exe   for the sponsor: checks a folder of logs against each other:" \
		"               logcheck.exe LOGS --scp MASTER.SCP (GUIDE.txt, section 8)" \
		"*.toml         contest definitions for logcheck.exe --contest; contests.txt explains them" \
		"GUIDE.txt      how to install, uninstall and use them" > $(2)/README.txt
	makensis -V2 -DDIST=$(CURDIR)/$(2) -DVERSION=$(VERSION) -DOUTFILE=$(CURDIR)/$(2)-Setup.exe installer/VERDA-WW-DX.nsi
endef

dist: deps
	@scripts/install-deps.sh zip nsis
	cmake --preset win32-release >/dev/null
	cmake --build --preset win32-release -j2
	@rm -rf build/dist
	$(call stage,build/win32-release/bin,$(DIST))
	cd build/dist && zip -q -r VERDA-WW-DX.zip VERDA-WW-DX
	@echo "Operator's zip: build/dist/VERDA-WW-DX.zip, installer: $(DIST)-Setup.exe (version $(VERSION))"

# Part of make test: the installer, made of the tests' build as make dist makes
# it, installs, upgrades, is refused under a running host and uninstalls, under Wine.
TEST_SETUP := build/win32/setup/VERDA-WW-DX
installer-check: win32 wine-prefix test-deps
	$(call stage,build/win32/bin,$(TEST_SETUP))
	@wineserver -k 2>/dev/null || true
	xvfb-run -a tests/installer/installer_test.sh $(CURDIR)/$(TEST_SETUP)-Setup.exe $(CURDIR)/build/win32/bin/Stats.dll

# Each fuzz target for FUZZ_TIME seconds from its committed seeds; new inputs
# collect in build/fuzz/corpus, crashes as crash-* files in build/fuzz.
FUZZ_TIME ?= 60
FUZZ_TARGETS := module_ops cabrillo_header call_history log_check contest_definition score_post log_upload
fuzz-build: deps
	@scripts/install-deps.sh clang libclang-rt-14-dev
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j2

fuzz: fuzz-build
	@set -e; for t in $(FUZZ_TARGETS); do \
		mkdir -p build/fuzz/corpus/$$t; \
		echo "== $$t ($(FUZZ_TIME) s)"; \
		build/fuzz/bin/$${t}_fuzz -max_total_time=$(FUZZ_TIME) -print_final_stats=1 -artifact_prefix=$(CURDIR)/build/fuzz/ \
			$(CURDIR)/build/fuzz/corpus/$$t $(CURDIR)/fuzz/corpus/$$t >build/fuzz/$$t.log 2>&1 \
			|| { tail -n 40 build/fuzz/$$t.log; exit 1; }; \
		grep -E '^(Done|stat::number_of_executed_units)' build/fuzz/$$t.log; \
		fuzz/coverage.sh build/fuzz/$$t.log | paste -sd' ' | sed 's/^\([0-9]*\) \([0-9]*\)$$/coverage: \1 from the seeds, \2 at the end/'; \
	done

# Part of make test: every target builds and gains coverage within a few seconds.
fuzz-check: fuzz-build
	@fuzz/check.sh 5 $(FUZZ_TARGETS)

# Both threads at typing speed for SOAK_TIME seconds in the stand-in host; prints
# its figures (docs/THREATS.md has a run's). The exports come from a worker that
# sleeps between keystrokes; SOAK_HOST=object calls them on the object's thread.
# Not part of make test.
SOAK_TIME ?= 180
SOAK_HOST ?= worker
soak: win32 wine-prefix
	cmake --build --preset win32 -j2 --target soak
	xvfb-run -a wine build/win32/bin/soak.exe $(SOAK_TIME) $(SOAK_HOST)

# Benchmarks, not tests: the core natively under Google Benchmark, then the real
# Stats.dll under Wine, one log size per process; one table of both and the targets;
# then what the Cabrillo pass adds to a replay of the sample; then the log checker
# over simulated contests of 500 and 5,000 logs; then contest-server taking posts
# from 5,000 simulated stations on 127.0.0.1, and its scoreboard page.
.PHONY: bench
bench: native win32 wine-prefix
	build/native/bin/stats_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
		--benchmark_out=$(CURDIR)/build/bench-native.json --benchmark_out_format=json >/dev/null
	@for n in 1000 10000 100000; do xvfb-run -a wine build/win32/bin/bench_host.exe $$n || exit 1; done \
		> build/bench-wine.txt
	@echo "$$(nproc) cores, $$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
	@python3 bench/table.py build/bench-native.json build/bench-wine.txt
	@xvfb-run -a python3 bench/cabrillo_wait.py build/win32/bin/replay.exe examples/sample.adi examples/header.txt \
		/usr/share/hamradio-files/cty.dat
	@mkdir -p build/bench-logcheck
	@python3 bench/logcheck_bench.py build/native/bin/simulate_contest build/native/bin/logcheck build/bench-logcheck \
		contests/verda_ww_dx.toml
	@mkdir -p build/bench-contest-server
	@build/native/bin/contest_server_bench build/native/bin/contest-server build/bench-contest-server

clean:
	rm -rf build out
