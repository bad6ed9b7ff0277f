# Two entry points: `make demo` builds and runs the gallery, `make test` runs the suites.
# Both install missing Debian packages first (as root) or print the one line needed.

BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PACKAGES   := cmake g++ make pkg-config libfreetype-dev libfontconfig-dev libpng-dev \
              zlib1g-dev libagg-dev fonts-dejavu-core libgtest-dev libbenchmark-dev libxml2-utils \
              qt6-base-dev libharfbuzz-dev fonts-noto-cjk libcairo2-dev poppler-utils \
              librsvg2-bin

.PHONY: all deps configure build demo test bench clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = "0" ]; then \
	    echo "Installing:$$missing"; \
	    (apt-get update -qq || true) && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run: sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	cd $(BUILD)/examples && ./gallery
	@echo "Gallery written to $(BUILD)/examples/gallery_out/index.html"
	@if [ -x $(BUILD)/examples/qt_demo ]; then echo "Interactive demo (needs a desktop session): $(BUILD)/examples/qt_demo"; fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b --benchmark_min_time=0.2; done

clean:
	rm -rf $(BUILD)
