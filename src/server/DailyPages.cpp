#include "server/DailyPages.h"

#include <cstdio>

#include "server/PageLook.h"
#include "server/ScorePages.h"

std::string RaceTimeText(int32_t hundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d.%02d", static_cast<int>(hundredths / 6000),
                  static_cast<int>(hundredths / 100 % 60), static_cast<int>(hundredths % 100));
    return text;
}

std::string DailyTable(const std::vector<TDailyRow>& rows, const std::string& ownName) {
    if (rows.empty()) return "<p>No times yet.</p>\n";
    std::string out =
        "<table>\n<tr><th class=\"n\">#</th><th>Name</th><th class=\"n\">Time</th></tr>\n";
    for (const TDailyRow& r : rows)
        out += std::string(!ownName.empty() && r.Name == ownName ? "<tr class=\"own\">" : "<tr>") +
               "<td class=\"n\">" + std::to_string(r.Place) + "</td><td>" + HtmlEscape(r.Name) +
               "</td><td class=\"n\">" + RaceTimeText(r.Hundredths) + "</td></tr>\n";
    return out + "</table>\n";
}

namespace {

std::string DayLinks(const TDailyView& view) {
    std::string out = "<p class=\"days\">";
    out += view.Previous.empty() ? "<span></span>"
                                 : "<a rel=\"prev\" href=\"/daily/" + view.Previous + "\">&larr; " +
                                       view.Previous + "</a>";
    if (!view.Next.empty())
        out += "<a rel=\"next\" href=\"/daily/" + view.Next + "\">" + view.Next + " &rarr;</a>";
    return out + "</p>\n";
}

std::string RecentDays(const TDailyView& view) {
    if (view.Recent.empty()) return {};
    std::string out =
        "<section class=\"panel\"><h2>Last " + std::to_string(view.Recent.size()) +
        " days</h2>\n<table>\n<tr><th>Day</th><th>Winner</th><th class=\"n\">Time</th></tr>\n";
    for (const auto& [date, winner] : view.Recent) {
        out += "<tr><td><a href=\"/daily/" + date + "\">" + date + "</a></td>";
        out += winner ? "<td>" + HtmlEscape(winner->Name) + "</td><td class=\"n\">" +
                            RaceTimeText(winner->Hundredths) + "</td></tr>\n"
                      : std::string("<td class=\"quiet\">no times</td><td></td></tr>\n");
    }
    return out + "</table></section>\n";
}

}  // namespace

std::string DailyHeading(const TDailyView& view) {
    std::string out = "<h1>Daily race " + HtmlEscape(view.Date) + "</h1>\n";
    if (!view.Car.empty()) out += "<p>The day's car: <b>" + HtmlEscape(view.Car) + "</b></p>\n";
    return out;
}

std::string DailyHtml(const TDailyView& view) {
    return PageTop("Velkaro daily race " + view.Date) + "<section class=\"panel\">" +
           DailyHeading(view) + DayLinks(view) +
           "<p class=\"quiet\">Every time here is verified by replay.</p>\n" +
           DailyTable(view.Rows, view.OwnName) + "</section>\n" + RecentDays(view) + PageBottom();
}

std::string DailyHtml(const std::string& date, const std::vector<TDailyRow>& rows) {
    TDailyView view;
    view.Date = date;
    view.Rows = rows;
    return DailyHtml(view);
}

std::string DailyJson(const std::string& date, const std::vector<TDailyRow>& rows,
                      const std::optional<TDailyRow>& own) {
    std::string out = "{\"date\":\"" + JsonEscape(date) + "\",\"entries\":[";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) out += ",";
        out += "{\"place\":" + std::to_string(rows[i].Place) + ",\"name\":\"" +
               JsonEscape(rows[i].Name) +
               "\",\"hundredths\":" + std::to_string(rows[i].Hundredths) + "}";
    }
    out += "]";
    if (own)
        out += ",\"own\":{\"place\":" + std::to_string(own->Place) +
               ",\"hundredths\":" + std::to_string(own->Hundredths) + "}";
    out += "}";
    return out;
}

std::string DailyLeaderJson(const std::string& date, const TStoredDailyRun& leader) {
    return "{\"date\":\"" + JsonEscape(date) + "\",\"name\":\"" + JsonEscape(leader.Name) +
           "\",\"hundredths\":" + std::to_string(leader.Hundredths) + ",\"log\":\"" +
           JsonEscape(leader.Log) + "\"}";
}
