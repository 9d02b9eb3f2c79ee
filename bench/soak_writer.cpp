// Plays a busy IIS web server for bench/soak: appends requests to today's W3C extended log at a steady rate,
// and records what a monitor of that log should show.
//   soak_writer LOG RECORD FIRST_SEQUENCE COUNT RATE FILTERED_ADDRESS SEED
// Appends COUNT requests, RATE a second, with the URLs /soak/FIRST_SEQUENCE.htm onward; one in ten comes
// from FILTERED_ADDRESS. Each line reaches LOG in one to three writes split at random bytes, a CR LF split
// among them, spread over the request's share of the second. Once a line is whole in LOG, its
// "address TAB status TAB url" is appended to RECORD.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<std::string_view, 9> Statuses{"200", "200", "200", "200", "200",
                                                   "304", "304", "404", "500"};

constexpr std::array<std::string_view, 3> Agents{
    "Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.1;+SV1)",
    "Mozilla/5.0+(Windows;+U;+Windows+NT+5.1;+en-US;+rv:1.7.5)+Gecko/20041107+Firefox/1.0",
    "Googlebot/2.1+(+http://www.google.com/bot.html)"};

struct Options {
    std::filesystem::path Log;
    std::filesystem::path Record;
    std::int64_t FirstSequence = 0;
    std::int64_t Count = 0;
    std::int64_t Rate = 0;
    std::string FilteredAddress;
    std::uint64_t Seed = 0;
};

// Like IIS, the requests are stamped in UTC.
std::string UtcStamp() {
    const std::time_t now = std::time(nullptr);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", std::gmtime(&now));
    return text.data();
}

class Requests {
public:
    explicit Requests(const Options& options) : filtered_(options.FilteredAddress), random_(options.Seed) {}

    // One request in the line format of scripts/lib/iis-log.sh, and its record.
    void Next(std::int64_t sequence, std::string& line, std::string& record) {
        const std::string address =
            Below(10) == 0 ? filtered_
                           : "192.168." + std::to_string(Below(256)) + "." + std::to_string(1 + Below(254));
        const std::string url = "/soak/" + std::to_string(sequence) + ".htm";
        const std::string_view status = Statuses[Below(Statuses.size())];
        const std::string query = Below(4) == 0 ? "id=" + std::to_string(Below(100000)) : "-";
        line = UtcStamp() + " " + address + " - 192.168.0.1 80 " + (Below(20) == 0 ? "POST " : "GET ") + url +
               " " + query + " " + std::string(status) + " " + std::string(Agents[Below(Agents.size())]) +
               "\r\n";
        record = address + "\t" + std::string(status) + "\t" + url + "\n";
    }

    // Where the line is cut into pieces: none to two distinct positions inside it, ascending.
    std::vector<std::size_t> Cuts(std::size_t size) {
        const std::size_t wanted = Below(3);
        std::vector<std::size_t> cuts;
        // A CR at the end of the file with its LF still to come is the case a reader most easily gets wrong.
        if (wanted > 0 && Below(5) == 0) {
            cuts.push_back(size - 1);
        }
        while (cuts.size() < wanted) {
            const std::size_t cut = 1 + Below(size - 1);
            if (std::find(cuts.begin(), cuts.end(), cut) == cuts.end()) {
                cuts.push_back(cut);
            }
        }
        std::sort(cuts.begin(), cuts.end());
        return cuts;
    }

private:
    std::size_t Below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }

    std::string filtered_;
    std::mt19937_64 random_;
};

std::ofstream OpenForAppending(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) {
        throw std::runtime_error("cannot open " + path.string());
    }
    return out;
}

void Run(const Options& options) {
    Requests requests(options);
    std::ofstream log = OpenForAppending(options.Log);
    std::ofstream record = OpenForAppending(options.Record);
    const auto start = Clock::now();
    const auto slot =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.Rate));
    std::string line;
    std::string recorded;
    for (std::int64_t n = 0; n < options.Count; ++n) {
        const auto due = start + n * slot;
        requests.Next(options.FirstSequence + n, line, recorded);
        const std::vector<std::size_t> cuts = requests.Cuts(line.size());
        // The pieces share the request's slot, so that a poll often finds a line half written.
        std::size_t from = 0;
        for (std::size_t piece = 0; piece <= cuts.size(); ++piece) {
            const std::size_t to = piece < cuts.size() ? cuts[piece] : line.size();
            std::this_thread::sleep_until(due + slot * static_cast<std::int64_t>(piece) /
                                                    static_cast<std::int64_t>(cuts.size() + 1));
            log.write(line.data() + from, static_cast<std::streamsize>(to - from));
            log.flush();
            from = to;
        }
        record << recorded;
        if (!log || !record) {
            throw std::runtime_error("cannot write " + (log ? options.Record : options.Log).string());
        }
    }
    if (!record.flush()) {
        throw std::runtime_error("cannot write " + options.Record.string());
    }
}

int Usage() {
    std::cerr << "usage: soak_writer LOG RECORD FIRST_SEQUENCE COUNT RATE FILTERED_ADDRESS SEED\n";
    return 2;
}

std::int64_t Whole(const char* text) {
    std::size_t used = 0;
    const std::int64_t value = std::stoll(text, &used);
    if (text[used] != '\0' || value < 0) {
        throw std::invalid_argument(text);
    }
    return value;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        return Usage();
    }
    Options options;
    try {
        options.Log = argv[1];
        options.Record = argv[2];
        options.FirstSequence = Whole(argv[3]);
        options.Count = Whole(argv[4]);
        options.Rate = Whole(argv[5]);
        options.FilteredAddress = argv[6];
        options.Seed = static_cast<std::uint64_t>(Whole(argv[7]));
    } catch (const std::logic_error&) {
        return Usage();
    }
    if (options.Rate == 0) {
        return Usage();
    }
    try {
        Run(options);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "soak_writer: " << error.what() << '\n';
        return 1;
    }
}
