# Short commands for Quillborne. `make help` lists them.
BUILD := build
HOST  := $(BUILD)/host
SANITIZE := $(BUILD)/sanitize

.PHONY: all setup exe host sanitize test fuzz demo bench size dist clean help

all: exe

help:
	@echo "make          build $(BUILD)/Quillborne.exe"
	@echo "make test     run every test (unit tests, then end to end under Wine)"
	@echo "make demo     build, then run Quillborne.exe under Wine and show what it did"
	@echo "make fuzz     fuzz the command-line reading until stopped (Ctrl+C)"
	@echo "make bench    time the command-line reading"
	@echo "make size     what the executable is made of"
	@echo "make dist     the portable release in build/dist/"
	@echo "make setup    install what a fresh Debian 12 machine lacks"
	@echo "make clean    remove the build tree"

setup:
	@tools/setup.sh

exe: setup
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(BUILD) -j2

host: setup
	@[ -f $(HOST)/CMakeCache.txt ] || cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(HOST) -j2

# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (clang), with the fuzz target.
sanitize: setup
	@[ -f $(SANITIZE)/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B $(SANITIZE) \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE) -j2

test: exe host sanitize
	ctest --test-dir $(HOST) --output-on-failure
	ctest --test-dir $(SANITIZE) --output-on-failure
	ctest --test-dir $(BUILD) --output-on-failure

fuzz: sanitize
	@mkdir -p $(SANITIZE)/fuzz-corpus
	@cp -n tests/host/fuzz_corpus/* $(SANITIZE)/fuzz-corpus/
	cd $(SANITIZE)/tests/host && ./command_line_fuzz -max_len=65534 -print_final_stats=1 \
		$(abspath $(SANITIZE))/fuzz-corpus

bench: host
	$(HOST)/tests/host/command_line_benchmark

size: exe
	@/usr/bin/python3 tools/size.py $(BUILD)/Quillborne.exe

demo: exe
	@cmake --build $(BUILD) --target demo >/dev/null
	@tools/demo.sh

dist: setup
	@tools/dist.sh

clean:
	-@[ -x tools/wine-run ] && tools/wine-run --stop
	rm -rf $(BUILD)
