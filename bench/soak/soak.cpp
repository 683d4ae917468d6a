// Soak run: many exchanges of every kind (each transfer routine, the connect check, the
// editors' packets) against the virtual controller in-process on virtual time, each under a
// misbehaviour drawn at random (seeded; the seed is printed). At the end the link must be idle
// and usable, no exchange may have been stuck, and the memory in use is shown after the first
// 1,000 exchanges and at the end. Prints figures; exits 1 when a check fails.
//
//   soak [--seed N] [--count N]    N exchanges of each kind (100,000 by default)
#include "link/link.h"
#include "link/packets.h"
#include "link/replies.h"
#include "platform/uiservices.h"
#include "sim/simport.h"

#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface (its header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace pkivo;
using namespace std::chrono_literals;

namespace {

// Message boxes of a failed connect check are counted, not shown.
class CountingUi : public UiServices {
public:
    void messageBox(const std::string&) override { ++boxes; }
    bool question(const std::string&) override { return false; }
    void endProgram() override {}
    long boxes = 0;
};

struct Desk {
    sim::SimulatedLine line;
    CountingUi ui;
    Link link{line.port, line.time};
    PortSettings settings{"01", "057600", "n", "8", "1"};
};

// One kind of exchange: what it fills and which routine carries it; `outcome` reads how it
// went (errcode, or the flash write's time-out).
struct Kind {
    const char* name;
    std::function<bool(Desk&)> run; // false: the link refused it as busy
};

std::string digits(std::mt19937& rng, size_t count, const char* alphabet) {
    const size_t size = std::strlen(alphabet);
    std::string out(count, '0');
    for (char& c : out) {
        c = alphabet[rng() % size];
    }
    return out;
}

std::vector<Kind> kinds(std::mt19937& rng) {
    const auto raw = [](const char* name, std::function<std::string()> request,
                        Link::Routine routine = &Link::rawsender) {
        return Kind{name, [request, routine](Desk& d) {
                        return d.link.request([&](LinkGlobals& g) { g.packet = request(); },
                                              routine);
                    }};
    };
    const auto doco = [](const char* name, std::function<packet::DocomaxFields()> fields) {
        return Kind{name, [fields](Desk& d) {
                        return d.link.request(
                            [&](LinkGlobals& g) { packet::startDocomax(fields(), g); },
                            &Link::docomax);
                    }};
    };
    const auto line = [&rng] { return uint32_t(rng() % 32000); };
    const auto values = [&rng] {
        std::array<std::string, 8> v;
        for (std::string& s : v) {
            s = std::to_string(100 + rng() % 156);
        }
        return v;
    };
    return {
        raw("rawsender R15 instruction", [=] { return packet::readInstruction(line()); }),
        raw("rawsender R16 instruction",
            [&rng, line] {
                return packet::writeInstruction(line(), digits(rng, 32, "0123456789ABCDEF"));
            }),
        raw("rawsender R18 positions", [=] { return packet::readStoredPositions(line()); }),
        raw("rawsender R19 positions",
            [&rng, line] {
                std::array<std::string, 8> p;
                for (std::string& s : p) {
                    s = std::to_string(500 + rng() % 2001); // a pulse, 500 to 2500 us
                    s.insert(0, 5 - s.size(), '0');
                }
                return packet::storePositions(line(), p);
            }),
        raw("rawsender R01 current", [=] { return packet::readCurrentPositions(0); }),
        raw("rawsender R1A speed", [&rng] { return packet::readSpeed(32000 + rng() % 256); }),
        raw("rawsender R1B speed",
            [&rng, values] { return packet::writeSpeed(32000 + rng() % 256, values(), values()); }),
        raw(
            "sendonly R07 pause", [] { return packet::pauseProgram(); }, &Link::sendonly),
        raw(
            "smallcomax OR ram", [&rng] { return packet::readRam(rng() % 65536); },
            &Link::smallcomax),
        raw(
            "smallcomax OF eeprom",
            [&rng] { return packet::writeEeprom(rng() % 1024, rng() % 256); }, &Link::smallcomax),
        raw(
            "binreceiver R14 page",
            [&rng] { return packet::readFlashPage(std::to_string(rng() % 2048)); },
            &Link::binreceiver),
        raw(
            "packreceiver R1C packed", [=] { return packet::readPacked(line()); },
            &Link::packreceiver),
        Kind{"packwriter R1D packed",
             [&rng, line](Desk& d) {
                 const std::string data =
                     packet::packedWriteData(line(), digits(rng, 64, "0123456789ABCDEF"));
                 return d.link.request([&](LinkGlobals& g) { g.packdata = data; },
                                       &Link::packwriter);
             }},
        Kind{"flashwait page write",
             [&rng](Desk& d) {
                 char number[8];
                 std::snprintf(number, sizeof number, "%05u", unsigned(1000 + rng() % 1000));
                 const std::string page =
                     number + digits(rng, 512, "0123456789ABCDEF") + std::string(16, 'F');
                 // The download clears the time-out before every page; so does this.
                 return d.link.request(
                     [&](LinkGlobals& g) {
                         g.packdata = page;
                         g.timedout = false;
                     },
                     &Link::flashwait);
             }},
        doco("docomax R1R parameters", [] { return packet::readParameters(); }),
        doco("docomax R02 version", [] { return packet::versionCommand("00000"); }),
        Kind{"opencomport connect check",
             [](Desk& d) { return d.link.opencomport(d.settings, d.ui) != ConnectResult::Busy; }},
    };
}

// The misbehaviours drawn from; "none" most of the time, so that good exchanges dominate.
struct Fault {
    const char* name;
    sim::FaultOptions options;
    bool pullLine = false;
};

const std::vector<Fault>& faults() {
    static const std::vector<Fault> all = [] {
        std::vector<Fault> f(12, Fault{"none", {}, false});
        const auto add = [&f](const char* name, const std::function<void(sim::FaultOptions&)>& set,
                              bool pullLine = false) {
            sim::FaultOptions options;
            set(options);
            f.push_back({name, options, pullLine});
        };
        add("silent", [](sim::FaultOptions& o) { o.silent = true; });
        add("first attention ignored", [](sim::FaultOptions& o) { o.ignoreAttentions = 1; });
        add("attention garbled", [](sim::FaultOptions& o) { o.garbleAttentions = 1; });
        add("late reply 3 s", [](sim::FaultOptions& o) { o.replyDelay = 3000ms; });
        add("short reply", [](sim::FaultOptions& o) { o.shortReplyLength = 20; });
        add("unframed reply", [](sim::FaultOptions& o) { o.unframed = true; });
        add("error code 1", [](sim::FaultOptions& o) { o.resultCode = '1'; });
        add(
            "pulled line", [](sim::FaultOptions&) {}, true);
        return f;
    }();
    return all;
}

struct Memory {
    long residentKb = 0;
    size_t heapBytes = 0;
    size_t tallyEntries = 0; // the report's own entries, part of the heap in use
};

Memory memoryNow() {
    Memory m;
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    m.residentKb = resident * 4;
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer's allocator keeps its own count; its quarantine and shadow make the
    // resident size grow without a leak.
    m.heapBytes = __sanitizer_get_current_allocated_bytes();
#else
    m.heapBytes = mallinfo2().uordblks;
#endif
    return m;
}

using Tally = std::map<std::string, std::map<std::string, long>>;

size_t entries(const Tally& tally) {
    size_t n = 0;
    for (const auto& [kind, outcomes] : tally) {
        n += 1 + outcomes.size();
    }
    return n;
}

// What an exchange left: for a long reply its outcome judged by the reply itself; for a page
// write "written" only when the controller confirmed it; otherwise the routine's result code.
std::string outcomeOf(const Kind& kind, const Desk& d) {
    const LinkGlobals& g = d.link.globals();
    const std::string name = kind.name;
    if (name == "flashwait page write") {
        return g.timedout                        ? "timed out"
               : packet::isPageWritten(g.packet) ? "written"
                                                 : "not written";
    }
    if (name == "opencomport connect check") {
        return d.link.boardinfo() == unknownBoard ? "unknown board" : "connected";
    }
    if (name.starts_with("rawsender") || name.starts_with("docomax")) {
        return "code " + reply::longOutcome(g).errcode;
    }
    return "code " + g.errcode;
}

} // namespace

int main(int argc, char** argv) {
    unsigned seed = std::random_device{}();
    long count = 100000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seed") == 0) {
            seed = unsigned(std::strtoul(argv[i + 1], nullptr, 10));
        } else if (std::strcmp(argv[i], "--count") == 0) {
            count = std::strtol(argv[i + 1], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: soak [--seed N] [--count N]\n");
            return 2;
        }
    }
    if (argc % 2 == 0 || count <= 0) {
        std::fprintf(stderr, "usage: soak [--seed N] [--count N]\n");
        return 2;
    }
    std::printf("seed %u, %ld exchanges of each kind\n", seed, count);
    std::fflush(stdout);

    std::mt19937 rng(seed);
    Desk d;
    d.line.port.open();
    std::vector<Kind> all = kinds(rng);
    Tally tally;
    std::map<std::string, Millis> longest;
    long refused = 0;
    long total = 0;
    Memory afterFirst;
    // No routine waits longer than flashwait's 30 s after binsender's four attempts of 2 s.
    const Millis stuckAfter = 60s;
    long stuck = 0;

    const auto start = std::chrono::steady_clock::now();
    std::vector<size_t> order(all.size());
    for (long round = 0; round < count; ++round) {
        for (size_t k = 0; k < order.size(); ++k) {
            order[k] = k;
        }
        std::shuffle(order.begin(), order.end(), rng);
        for (size_t k : order) {
            const Kind& kind = all[k];
            const Fault& fault = faults()[rng() % faults().size()];
            d.line.protocol.setFaults(fault.options);
            if (fault.pullLine) {
                d.line.port.loseLine();
            }
            const Millis before = d.line.time.now();
            if (!kind.run(d)) {
                ++refused;
            }
            const Millis took = d.line.time.now() - before;
            longest[kind.name] = std::max(longest[kind.name], took);
            stuck += took > stuckAfter || d.link.isExchanging();
            ++tally[kind.name][outcomeOf(kind, d)];
            if (!d.line.port.isOpen()) {
                d.line.port.open(); // the adapter is back
            }
            // Let a late reply or a half-sent packet pass before the next exchange, as a
            // user's next click would come.
            d.line.time.runUntil(d.line.time.now() + 4s);
            d.line.port.poll();
            if (++total == 1000) {
                afterFirst = memoryNow();
                afterFirst.tallyEntries = entries(tally);
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Memory atEnd = memoryNow();
    atEnd.tallyEntries = entries(tally);

    // Idle and usable: with the faults gone, every kind goes through.
    d.line.protocol.setFaults({});
    d.line.time.runUntil(d.line.time.now() + 4s);
    d.line.port.poll();
    int unusable = 0;
    for (const Kind& kind : all) {
        if (!kind.run(d)) {
            ++unusable;
        }
        const std::string outcome = outcomeOf(kind, d);
        const bool good = outcome == "code 0" || outcome == "written" || outcome == "connected";
        if (!good) {
            std::printf("after the run, %s: %s\n", kind.name, outcome.c_str());
            ++unusable;
        }
    }

    std::printf("\n%-28s %s\n", "kind", "outcomes (longest exchange, virtual ms)");
    for (const auto& [name, outcomes] : tally) {
        std::printf("%-28s", name.c_str());
        for (const auto& [outcome, n] : outcomes) {
            std::printf(" %s: %ld,", outcome.c_str(), n);
        }
        std::printf(" longest %lld ms\n", static_cast<long long>(longest[name].count()));
    }
    std::printf("\n%ld exchanges in %.2f s wall time (%.0f a second), %.1f h of virtual time\n",
                total, seconds, double(total) / seconds, double(d.line.time.now().count()) / 3.6e6);
    std::printf("refused as busy: %ld, stuck: %ld, unusable after the run: %d, "
                "message boxes: %ld\n",
                refused, stuck, unusable, d.ui.boxes);
    for (const auto& [when, m] : {std::pair{"after 1,000 exchanges:", afterFirst},
                                  std::pair{"at the end:           ", atEnd}}) {
        std::printf("memory %s %ld kB resident, %zu bytes of heap in use (%zu report entries)\n",
                    when, m.residentKb, m.heapBytes, m.tallyEntries);
    }
    const bool clean = refused == 0 && stuck == 0 && unusable == 0 && !d.link.isExchanging();
    std::printf("%s\n", clean ? "CLEAN" : "FAILED");
    return clean ? 0 : 1;
}
