#include "server/PageLook.h"

#include <ctime>

#include "server/ScorePages.h"

namespace {

// Dark brushed panels, orange accents and light header plates, as in the game's menus. Long
// names may break anywhere and dates between words so that a table fits a 360-pixel phone
// screen. The icon has no size of its own: when the service has none it then takes no room.
// Headings and the name plate use the game's own typeface (served by the service from the
// game's data, under its open font licence); without it they fall back to the system's.
constexpr std::string_view kStyle = R"(:root{color-scheme:dark}
@font-face{font-family:"Velkaro Wide";src:url(/font.woff) format("woff");font-display:swap}
*{box-sizing:border-box}
body{margin:0;color:#ece7dd;background:#1c1e22 repeating-linear-gradient(90deg,rgba(255,255,255,.03) 0 1px,transparent 1px 3px);font:16px/1.4 system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif}
a{color:#ff9f45}
.bar{display:flex;flex-wrap:wrap;align-items:center;gap:.4em 1.2em;padding:.5em 1em;background:linear-gradient(#40434a,#26282d);border-bottom:3px solid #f07d1a}
.brand,h1,h2{font-family:"Velkaro Wide",system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;letter-spacing:.02em}
.brand{display:flex;align-items:center;gap:.5em;font-weight:700;font-size:1.3em;color:#fff;text-decoration:none}
.brand img{max-width:32px;max-height:32px}
nav{display:flex;flex-wrap:wrap;gap:.2em 1em}
main{max-width:46em;margin:0 auto;padding:1em .5em}
.panel{background:linear-gradient(#35383e,#27292e);border:1px solid #4a4d55;border-radius:6px;padding:.7em;margin:0 0 1em;box-shadow:inset 0 1px 0 rgba(255,255,255,.08)}
h1,h2{margin:.1em 0 .4em;color:#ffae5c;font-size:1.4em}
h2{font-size:1.15em}
table{width:100%;border-collapse:collapse}
th,td{padding:.3em .4em;text-align:left;overflow-wrap:anywhere}
th{background:#dcd6ca;color:#24252a;overflow-wrap:normal}
tr:nth-child(even) td{background:rgba(255,255,255,.05)}
.n{text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}
.d{text-align:right}
tr.own td{background:#f07d1a;color:#15161a;font-weight:700}
.quiet{color:#b8b2a7;font-size:.9em}
.days{display:flex;flex-wrap:wrap;justify-content:space-between;gap:.5em}
@media(max-width:480px){h1{font-size:1.05em}h2{font-size:1em}}
)";

}  // namespace

std::string PageTop(std::string_view title) {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\"><title>" +
           HtmlEscape(title) +
           "</title><link rel=\"stylesheet\" href=\"/style.css\">"
           "<link rel=\"icon\" href=\"/favicon.ico\"></head><body>\n"
           "<header class=\"bar\"><a class=\"brand\" href=\"/\"><img src=\"/icon.png\" alt=\"\">"
           "Velkaro</a><nav><a href=\"/\">Home</a><a href=\"/daily\">Daily race</a>"
           "<a href=\"/scores\">World table</a></nav></header>\n<main>\n";
}

std::string PageBottom() {
    return "</main></body></html>\n";
}

std::string_view PageStyleSheet() {
    return kStyle;
}

std::string DayText(int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return std::to_string(tm.tm_mday) + " " + kMonths[tm.tm_mon] + " " +
           std::to_string(tm.tm_year + 1900);
}
