// What every page of the service shares: the head with the stylesheet and icon, the bar that
// leads from page to page, and the way dates are shown to people.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The start of a page up to and including <main>; the title is escaped here.
std::string PageTop(std::string_view title);
// Closes what PageTop opened.
std::string PageBottom();
// The one stylesheet, served at /style.css: no fonts or images fetched from elsewhere.
std::string_view PageStyleSheet();
// "11 Dec 2026" of a Unix time, in UTC.
std::string DayText(int64_t unixSeconds);
