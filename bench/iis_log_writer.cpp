#include "bench/iis_log_writer.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwatch::bench {

namespace {

constexpr std::array<const char*, 10> Paths{
    "/default.htm",       "/images/logo.gif",     "/css/site.css",           "/scripts/menu.js",
    "/products/list.asp", "/products/item.asp",   "/news/2003/09/story.htm", "/images/products/thumb.jpg",
    "/search.asp",        "/downloads/manual.pdf"};

constexpr std::array<const char*, 4> Agents{
    "Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.1;+.NET+CLR+1.1.4322)",
    "Mozilla/5.0+(Windows;+U;+Windows+NT+5.1;+en-US;+rv:1.4)+Gecko/20030624",
    "Mozilla/4.0+(compatible;+MSIE+5.5;+Windows+98;+Win+9x+4.90)",
    "Googlebot/2.1+(+http://www.googlebot.com/bot.html)"};

const char* const Header =
    "#Software: Microsoft Internet Information Services 6.0\r\n"
    "#Version: 1.0\r\n"
    "#Date: 2003-09-05 00:00:00\r\n"
    "#Fields: date time c-ip cs-username s-ip s-port cs-method cs-uri-stem cs-uri-query "
    "sc-status cs(User-Agent) \r\n";

std::string TwoDigits(int value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

} // namespace

void WriteIisLog(const std::filesystem::path& file, std::int64_t requestLines) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    std::mt19937 random(20030905);
    const auto below = [&random](int bound) {
        return std::uniform_int_distribution<int>(0, bound - 1)(random);
    };

    std::string chunk = Header;
    for (std::int64_t i = 0; i < requestLines; ++i) {
        const auto secondOfDay = static_cast<int>(i * 86400 / std::max<std::int64_t>(requestLines, 1));
        chunk += "2003-09-05 ";
        chunk += TwoDigits(secondOfDay / 3600) + ":" + TwoDigits(secondOfDay / 60 % 60) + ":" +
                 TwoDigits(secondOfDay % 60) + " ";
        if (below(10) == 0) {
            chunk += "127.0.0.1";
        } else {
            chunk += std::to_string(60 + below(160)) + "." + std::to_string(below(256)) + "." +
                     std::to_string(below(256)) + "." + std::to_string(1 + below(254));
        }
        chunk += " - 192.168.0.1 80 ";
        chunk += below(20) == 0 ? "POST " : "GET ";
        chunk += Paths[static_cast<std::size_t>(below(static_cast<int>(Paths.size())))];
        chunk += below(3) == 0 ? " id=" + std::to_string(below(100000)) + "&page=" + std::to_string(below(20))
                               : " -";
        const int roll = below(100);
        chunk += roll < 75 ? " 200 " : roll < 90 ? " 304 " : roll < 97 ? " 404 " : " 500 ";
        chunk += Agents[static_cast<std::size_t>(below(static_cast<int>(Agents.size())))];
        chunk += "\r\n";
        if (chunk.size() > (1u << 20)) {
            out << chunk;
            chunk.clear();
        }
    }
    out << chunk;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

} // namespace tarnwatch::bench
